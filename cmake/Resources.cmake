# corvane_add_resources(TARGET NAME TYPE FILE [NAME TYPE FILE ...])
# Embeds files as named resources of a program. Windows builds get a .rc file
# (real module resources); native builds get the bytes linked in with .incbin
# and a table that core/resources finds them through.
#
# A target may be given resources by several calls (the tweak sets and the
# program data come from different places): the entries are collected on the
# target and its one resource file is written at the end of the directory.
function(corvane_add_resources target)
  set(args ${ARGN})
  list(LENGTH args n)
  math(EXPR rem "${n} % 3")
  if(n EQUAL 0 OR NOT rem EQUAL 0)
    message(FATAL_ERROR "corvane_add_resources: expected NAME TYPE FILE triples")
  endif()
  get_property(scheduled TARGET ${target} PROPERTY CORVANE_RESOURCES_SCHEDULED)
  set_property(TARGET ${target} APPEND PROPERTY CORVANE_RESOURCE_ENTRIES ${args})
  if(NOT scheduled)
    set_property(TARGET ${target} PROPERTY CORVANE_RESOURCES_SCHEDULED ON)
    cmake_language(EVAL CODE "cmake_language(DEFER CALL _corvane_write_resources [[${target}]])")
  endif()
endfunction()

# Writes the resource file of a target from the entries its calls collected.
function(_corvane_write_resources target)
  get_property(args TARGET ${target} PROPERTY CORVANE_RESOURCE_ENTRIES)
  list(LENGTH args n)
  math(EXPR last "${n} - 1")
  set(names)
  foreach(i RANGE 0 ${last} 3)
    list(GET args ${i} name)
    string(TOUPPER "${name}" upper)
    if(upper IN_LIST names)
      message(FATAL_ERROR "corvane_add_resources: ${target} has two resources named ${name}")
    endif()
    list(APPEND names ${upper})
  endforeach()

  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  file(MAKE_DIRECTORY ${gen_dir})
  set(depends)
  if(CORVANE_WINDOWS)
    set(rc "")
    foreach(i RANGE 0 ${last} 3)
      math(EXPR ti "${i} + 1")
      math(EXPR fi "${i} + 2")
      list(GET args ${i} name)
      list(GET args ${ti} type)
      list(GET args ${fi} path)
      string(APPEND rc "${name} ${type} \"${path}\"\n")
      list(APPEND depends ${path})
    endforeach()
    file(GENERATE OUTPUT ${gen_dir}/resources.rc CONTENT "${rc}")
    target_sources(${target} PRIVATE ${gen_dir}/resources.rc)
    set_source_files_properties(${gen_dir}/resources.rc PROPERTIES OBJECT_DEPENDS "${depends}")
  else()
    string(MAKE_C_IDENTIFIER ${target} sym)
    set(asm "")
    set(table "")
    set(decls "")
    set(k 0)
    foreach(i RANGE 0 ${last} 3)
      math(EXPR ti "${i} + 1")
      math(EXPR fi "${i} + 2")
      list(GET args ${i} name)
      list(GET args ${ti} type)
      list(GET args ${fi} path)
      set(b "corvane_res_${sym}_${k}_begin")
      set(e "corvane_res_${sym}_${k}_end")
      string(APPEND asm "__asm__(\".section .rodata\\n.balign 16\\n.global ${b}\\n${b}:\\n.incbin \\\"${path}\\\"\\n.global ${e}\\n${e}:\\n.byte 0\\n.previous\\n\");\n")
      string(APPEND decls "extern \"C\" const unsigned char ${b}[];\nextern \"C\" const unsigned char ${e}[];\n")
      string(APPEND table "    {L\"${name}\", L\"${type}\", ${b}, ${e}},\n")
      list(APPEND depends ${path})
      math(EXPR k "${k} + 1")
    endforeach()
    file(GENERATE OUTPUT ${gen_dir}/linked_resources.cpp CONTENT
"// Generated: the resources linked into this program.
#include \"core/resources/LinkedResources.h\"
${asm}${decls}
namespace Resources {
const LinkedResource kLinkedResources[] = {
${table}    {nullptr, nullptr, nullptr, nullptr},
};
}  // namespace Resources
")
    target_sources(${target} PRIVATE ${gen_dir}/linked_resources.cpp)
    set_source_files_properties(${gen_dir}/linked_resources.cpp PROPERTIES OBJECT_DEPENDS "${depends}")
  endif()
endfunction()
