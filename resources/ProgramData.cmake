# corvane_add_program_data(TARGET): the program's own data, embedded as BINARY
# resources of raw UTF-8 XML (not enciphered): the built-in profiles
# (PROFILES), the help texts (TIPS) and the list of tweak sets (COLLECTIONS).
function(corvane_add_program_data target)
  set(dir ${PROJECT_SOURCE_DIR}/resources)
  corvane_add_resources(${target}
    PROFILES BINARY ${dir}/profiles.xml
    TIPS BINARY ${dir}/tips.xml
    COLLECTIONS BINARY ${dir}/collections.xml)
endfunction()
