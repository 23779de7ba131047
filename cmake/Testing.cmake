# Test registration. Native tests run directly. Windows test executables run
# under Wine in a prefix of their own inside the build folder; one fixture
# creates it and keeps one wineserver alive for the whole ctest run, another
# stops it at the end. Each executable runs once as a whole. Wine is always
# started through cmake/wine-launch.sh, which picks the loader this machine
# can run. On a machine that runs no 32-bit programs, every test of a win32
# build exits with 77 and a reason, which ctest reports as skipped.
set(CORVANE_SKIP_CODE 77)
if(CORVANE_WINDOWS)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CORVANE_WINE_ARCH win32)
  else()
    set(CORVANE_WINE_ARCH win64)
  endif()
  set(CORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CORVANE_WINE_RUN ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh)
  set(CORVANE_XVFB_STATE ${CMAKE_BINARY_DIR}/xvfb)
  # Every executable target made after this runs under Wine in that prefix
  # when a test (or a custom command) runs it.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE_RUN} ${CORVANE_WINEPREFIX})
endif()
if(CORVANE_WINDOWS AND CORVANE_TESTS)
  add_test(NAME wine_prefix_setup
    COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh start ${CORVANE_WINEPREFIX} ${CORVANE_WINE_ARCH})
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 900
    SKIP_RETURN_CODE ${CORVANE_SKIP_CODE})
  add_test(NAME wine_prefix_cleanup COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh stop ${CORVANE_WINEPREFIX})
  set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)
  # An X display for the tests that create windows (Wine creates no window without one).
  add_test(NAME xvfb_setup COMMAND ${PROJECT_SOURCE_DIR}/cmake/xvfb.sh start ${CORVANE_XVFB_STATE})
  set_tests_properties(xvfb_setup PROPERTIES FIXTURES_SETUP xvfb SKIP_RETURN_CODE ${CORVANE_SKIP_CODE})
  add_test(NAME xvfb_cleanup COMMAND ${PROJECT_SOURCE_DIR}/cmake/xvfb.sh stop ${CORVANE_XVFB_STATE})
  set_tests_properties(xvfb_cleanup PROPERTIES FIXTURES_CLEANUP xvfb)
endif()

# corvane_add_wine_test(NAME COMMAND...) registers a test that starts Wine
# itself (a script driving a Windows program) in the build's prefix.
function(corvane_add_wine_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wineserver TIMEOUT 900
    SKIP_RETURN_CODE ${CORVANE_SKIP_CODE})
endfunction()

# Every test file includes GoogleTest, and parsing it was a large part of
# compiling each one. The test executables therefore share one precompiled
# header, compiled once per build with the test code's own flags (those of
# corvane_options, the build type's and -O0) and reused by each of them.
# -DCORVANE_TEST_PCH=OFF builds the tests without it.
option(CORVANE_TEST_PCH "Share one precompiled GoogleTest header among the test executables" ON)
function(corvane_use_test_pch target)
  if(NOT CORVANE_TEST_PCH)
    return()
  endif()
  if(NOT TARGET corvane_test_pch)
    set(source ${CMAKE_BINARY_DIR}/corvane_test_pch.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// Carries the tests' precompiled header.\n")
    add_library(corvane_test_pch OBJECT ${source})
    target_link_libraries(corvane_test_pch PRIVATE corvane_options GTest::gtest)
    target_compile_options(corvane_test_pch PRIVATE -O0)
    target_precompile_headers(corvane_test_pch PRIVATE <gtest/gtest.h>)
    corvane_ccache_pch_launcher(corvane_test_pch)
  endif()
  target_precompile_headers(${target} REUSE_FROM corvane_test_pch)
  corvane_ccache_pch_launcher(${target})
endfunction()

# ccache caches a compile that uses a precompiled header only when told that
# the header's macros and time stamps may be trusted (the header is a build
# output whose content ccache hashes anyway).
function(corvane_ccache_pch_launcher target)
  if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
    set(sloppiness pch_defines,time_macros)
    if(DEFINED ENV{CCACHE_SLOPPINESS})
      set(sloppiness "$ENV{CCACHE_SLOPPINESS},${sloppiness}")
    endif()
    set_property(TARGET ${target} PROPERTY CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=${sloppiness} ${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
endfunction()

# corvane_add_test(TARGET) registers one test executable as one test.
# The test code itself is built without optimisation: optimising the many
# large test files took most of the build time, and the code under test keeps
# the build type's optimisation in its own libraries.
function(corvane_add_test target)
  target_compile_options(${target} PRIVATE -O0)
  corvane_use_test_pch(${target})
  if(CORVANE_WINDOWS)
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wineserver TIMEOUT 900
      SKIP_RETURN_CODE ${CORVANE_SKIP_CODE})
  else()
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    set_tests_properties(${target} PROPERTIES TIMEOUT 900)
  endif()
endfunction()

# corvane_add_window_test(TARGET) registers a Windows test executable that
# creates real windows: it runs under Wine with the display of the Xvfb
# fixture, and is skipped with the reason when there is no display.
function(corvane_add_window_test target)
  target_compile_options(${target} PRIVATE -O0)
  corvane_use_test_pch(${target})
  add_test(NAME ${target}
    COMMAND ${CORVANE_WINE_RUN} --display ${CORVANE_XVFB_STATE} ${CORVANE_WINEPREFIX}
            $<TARGET_FILE:${target}> --gtest_color=no)
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED "wine_prefix;xvfb" RESOURCE_LOCK wineserver
    TIMEOUT 900 SKIP_RETURN_CODE ${CORVANE_SKIP_CODE})
endfunction()
