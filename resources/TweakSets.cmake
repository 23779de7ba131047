# corvane_add_tweak_sets(TARGET): the built-in tweak set and the sets
# "Silver" and "Gold", enciphered at build time from resources/tweaks/ and
# embedded as the BINARY resources TWEAKSDB, SILVER and GOLD.
function(corvane_add_tweak_sets target)
  set(out_dir ${CMAKE_BINARY_DIR}/resources/tweaks)
  file(MAKE_DIRECTORY ${out_dir})
  set(outputs)
  foreach(set IN ITEMS free silver gold)
    set(output ${out_dir}/${set}.bin)
    if(NOT TARGET corvane_tweak_set_${set})
      corvane_encipher(${output} ${PROJECT_SOURCE_DIR}/resources/tweaks/${set}.xml)
      add_custom_target(corvane_tweak_set_${set} DEPENDS ${output})
    endif()
    add_dependencies(${target} corvane_tweak_set_${set})
    list(APPEND outputs ${output})
  endforeach()
  list(GET outputs 0 free)
  list(GET outputs 1 silver)
  list(GET outputs 2 gold)
  corvane_add_resources(${target}
    TWEAKSDB BINARY ${free}
    SILVER BINARY ${silver}
    GOLD BINARY ${gold})
endfunction()
