# Build-time tools (the encipher tool) must run on the build machine. A cross
# build compiles them with the host compiler; a native build uses its own targets.
set(CORVANE_HOST_CXX "c++" CACHE STRING "Compiler for build-time tools in cross builds")

# corvane_host_tool(NAME SOURCES...) defines the variable CORVANE_TOOL_<NAME>
# holding the path of a runnable tool and a target <NAME>_host to depend on.
function(corvane_host_tool name)
  set(sources ${ARGN})
  if(NOT CMAKE_CROSSCOMPILING)
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE corvane_options)
    add_custom_target(${name}_host DEPENDS ${name})
    set(CORVANE_TOOL_${name} $<TARGET_FILE:${name}> PARENT_SCOPE)
  else()
    set(out ${CMAKE_BINARY_DIR}/host-tools/${name})
    set(abs_sources)
    foreach(s IN LISTS sources)
      get_filename_component(a ${s} ABSOLUTE)
      list(APPEND abs_sources ${a})
    endforeach()
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
      COMMAND ${CORVANE_HOST_CXX} -std=c++20 -O2 -I${PROJECT_SOURCE_DIR} ${abs_sources} -o ${out}
      DEPENDS ${abs_sources}
      COMMENT "Building host tool ${name}"
      VERBATIM)
    add_custom_target(${name}_host DEPENDS ${out})
    set(CORVANE_TOOL_${name} ${out} PARENT_SCOPE)
  endif()
endfunction()
