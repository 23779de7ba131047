# Warnings, static runtime and sanitizers for every target of this project.
add_library(corvane_options INTERFACE)
target_compile_options(corvane_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(corvane_options INTERFACE $<$<BOOL:${CORVANE_WINDOWS}>:UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501>)

if(CORVANE_WINDOWS)
  # The .exe files must run without the MinGW runtime DLLs beside them.
  # Programs with a wmain entry add -municode themselves.
  target_link_options(corvane_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

if(CORVANE_FUZZ)
  target_compile_options(corvane_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()

if(CORVANE_SANITIZE)
  target_compile_options(corvane_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()

# Engine libraries must build without windows.h; this flag makes an accidental
# include fail on the native build, and the native build is what CI proves.
set(CORVANE_ENGINE_DEFINES CORVANE_ENGINE_NO_WINDOWS_H)

# Third-party code built from source (GoogleTest) keeps its own warnings quiet.
# GoogleTest builds quietly and without optimisation: its speed does not
# matter, and optimising it is a large part of every build's time.
function(corvane_quiet_third_party)
  foreach(t IN ITEMS gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w -O0)
    endif()
  endforeach()
endfunction()
