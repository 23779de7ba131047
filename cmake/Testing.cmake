# Test registration. Native tests run directly. Windows test executables run
# under Wine in a prefix of their own inside the build folder; one fixture
# creates it and keeps one wineserver alive for the whole ctest run, another
# stops it at the end. Each executable runs once as a whole.
if(CORVANE_WINDOWS)
  set(CORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CORVANE_WINE_RUN ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh)
  # Every executable target made after this runs under Wine in that prefix
  # when a test (or a custom command) runs it.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVANE_WINE_RUN} ${CORVANE_WINEPREFIX})
  add_test(NAME wine_prefix_setup COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh start ${CORVANE_WINEPREFIX})
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 900)
  add_test(NAME wine_prefix_cleanup COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh stop ${CORVANE_WINEPREFIX})
  set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)
endif()

# corvane_add_test(TARGET) registers one test executable as one test.
# The test code itself is built without optimisation: optimising the many
# large test files took most of the build time, and the code under test keeps
# the build type's optimisation in its own libraries.
function(corvane_add_test target)
  target_compile_options(${target} PRIVATE -O0)
  if(CORVANE_WINDOWS)
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wineserver TIMEOUT 900)
  else()
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    set_tests_properties(${target} PROPERTIES TIMEOUT 900)
  endif()
endfunction()
