# Resources embedded into core_tests: an enciphered sample catalogue (made by
# the encipher tool at build time, as the program's own catalogue is) and the
# same file raw, to compare against and to read through ResourceStream.
set(CORVANE_TESTCAT_BIN ${CMAKE_CURRENT_BINARY_DIR}/testcat.bin)
corvane_encipher(${CORVANE_TESTCAT_BIN} ${CMAKE_CURRENT_SOURCE_DIR}/data/sample_catalogue.xml)
add_custom_target(core_tests_testcat DEPENDS ${CORVANE_TESTCAT_BIN})
add_dependencies(core_tests core_tests_testcat encipher_host)

corvane_add_resources(core_tests
  TESTCAT BINARY ${CORVANE_TESTCAT_BIN}
  TESTCATXML BINARY ${CMAKE_CURRENT_SOURCE_DIR}/data/sample_catalogue.xml)

# The shipped tweak sets, so that the engine tests can load the catalogue the
# program carries.
if(TARGET tweaker_tests)
  corvane_add_tweak_sets(tweaker_tests)
endif()

# The shipped tweak sets and profiles, so that the profile tests set the
# profiles the program carries over the catalogue it carries.
if(TARGET profiles_tests)
  corvane_add_tweak_sets(profiles_tests)
  corvane_add_program_data(profiles_tests)
endif()
