# corvane_add_manifest(TARGET)
# Gives a Windows program the application manifest (resources/corvane.manifest)
# as its RT_MANIFEST resource (type 24, id 1), through a generated .rc file.
# Native builds have no use for it.
function(corvane_add_manifest target)
  if(NOT CORVANE_WINDOWS)
    return()
  endif()
  set(manifest ${PROJECT_SOURCE_DIR}/resources/corvane.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "1 24 \"${manifest}\"\n")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
endfunction()
