#pragma once
// What a Task Scheduler task definition (its XML) says about starting with
// Windows.
#include <optional>
#include <string>
#include <string_view>

namespace StartUp {

struct TaskStart {
    bool atLogon = false;  // an enabled logon trigger
    bool atBoot = false;   // an enabled boot trigger
    bool enabled = true;   // the task itself (Settings/Enabled)
    // The first program action: the program, quoted when it holds a space,
    // and its arguments. Empty when the task starts no program.
    std::wstring command;
};

// Reads a definition; nullopt when the text is not a task definition.
std::optional<TaskStart> ReadTaskDefinition(std::wstring_view xml);

}  // namespace StartUp
