# The program version (CORVANE_VERSION, set at the top of the build) and the
# version resource of every program.
#
# Windows Installer compares versions as major.minor.build with at most
# 255.255.65535, and the packages carry this version, so the setting keeps to
# that form and those limits.
# Without leading zeros, so that one version has one text ("2.3.0", never "2.03.0").
set(_number "(0|[1-9][0-9]*)")
if(NOT CORVANE_VERSION MATCHES "^${_number}\\.${_number}\\.${_number}$")
  message(FATAL_ERROR "CORVANE_VERSION must be MAJOR.MINOR.PATCH (numbers without leading zeros), not \"${CORVANE_VERSION}\"")
endif()
set(CORVANE_VERSION_MAJOR ${CMAKE_MATCH_1})
set(CORVANE_VERSION_MINOR ${CMAKE_MATCH_2})
set(CORVANE_VERSION_PATCH ${CMAKE_MATCH_3})
unset(_number)
if(CORVANE_VERSION_MAJOR GREATER 255 OR CORVANE_VERSION_MINOR GREATER 255 OR CORVANE_VERSION_PATCH GREATER 65535)
  message(FATAL_ERROR "CORVANE_VERSION ${CORVANE_VERSION}: at most 255.255.65535 (a Windows Installer limit)")
endif()

set(CORVANE_PRODUCT "Corvane" CACHE STRING "Product name in version resources and packages")
set(CORVANE_COMPANY "Velmont" CACHE STRING "Company name in version resources and packages")

# corvane_add_version_info(TARGET DESCRIPTION TEXT)
# Gives a Windows program its version resource (VS_VERSION_INFO, id 1): the
# company, the product, the file and product version and the description, as
# Explorer's file properties and installers read them. Native builds have no
# use for it.
function(corvane_add_version_info target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "")
  if(NOT arg_DESCRIPTION)
    message(FATAL_ERROR "corvane_add_version_info(${target}): DESCRIPTION is required")
  endif()
  if(NOT CORVANE_WINDOWS)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VERSION_FILE_TYPE "VFT_APP")
    set(VERSION_FILE_NAME "${target}.exe")
  else()
    set(VERSION_FILE_TYPE "VFT_DLL")
    set(VERSION_FILE_NAME "${target}.dll")
  endif()
  # Resource texts are in double quotes; a quote inside is written twice.
  string(REPLACE "\"" "\"\"" VERSION_DESCRIPTION "${arg_DESCRIPTION}")
  string(REPLACE "\"" "\"\"" VERSION_COMPANY "${CORVANE_COMPANY}")
  string(REPLACE "\"" "\"\"" VERSION_PRODUCT "${CORVANE_PRODUCT}")
  set(VERSION_INTERNAL_NAME "${target}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
