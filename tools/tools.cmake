# encipher: turns a tweak file into the enciphered resource form the program
# reads its built-in catalogue from. It needs only the cipher and the format.
corvane_host_tool(encipher
  ${CMAKE_CURRENT_LIST_DIR}/encipher/main.cpp
  ${PROJECT_SOURCE_DIR}/core/crypto/Blowfish.cpp
  ${PROJECT_SOURCE_DIR}/core/resources/CatalogueFormat.cpp)
# Other folders (tests, resources) find the tool through this property.
set_property(GLOBAL PROPERTY CORVANE_TOOL_encipher "${CORVANE_TOOL_encipher}")

# corvane_encipher(OUTPUT INPUT) enciphers INPUT into OUTPUT at build time.
function(corvane_encipher output input)
  get_property(tool GLOBAL PROPERTY CORVANE_TOOL_encipher)
  add_custom_command(OUTPUT ${output}
    COMMAND ${tool} ${input} ${output}
    DEPENDS ${input} encipher_host ${tool}
    COMMENT "Enciphering ${input}"
    VERBATIM)
endfunction()
