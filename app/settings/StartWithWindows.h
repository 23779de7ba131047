#pragma once
// "Load at Windows startup": the value <runValue> under the Run key, whose
// data is the running program's quoted path, or, when the program runs
// elevated, a logon task of the Task Scheduler for the current user (Windows
// does not start elevated programs from the Run key). Exactly one of the two
// exists while it is on.
#include <string>

#include "app/settings/Environment.h"
#include "core/platform/Platform.h"

namespace AppSettings {

// "<taskPrefix> (<account>)", with the characters a task name cannot hold
// ("\" and the others) replaced by "_".
std::wstring LogonTaskName(const std::wstring& taskPrefix, const std::wstring& account);

// The task's definition in the scheduler's XML: triggered at the account's
// logon, run with its interactive token and the highest privileges, without
// a time limit, also on batteries, starting the program in its folder.
std::wstring LogonTaskDefinition(const std::wstring& programPath, const std::wstring& account);

// The Run value's data: the path in double quotes, so that a path with
// blanks cannot start another program.
std::wstring RunCommand(const std::wstring& programPath);

// True when the Run value or the logon task exists.
bool StartsWithWindows(const Environment& environment);

struct StartWithWindowsResult {
    // 0 when the choice is in effect.
    Platform::Status status = 0;
    // Not 0 when the program runs elevated but its logon task could not be
    // made: the Run value was written instead, and Windows may not start the
    // program from it.
    Platform::Status taskError = 0;
};

StartWithWindowsResult ApplyStartWithWindows(const Environment& environment, bool on);

}  // namespace AppSettings
