#pragma once
#include <string>
#include <vector>

#include "core/platform/Platform.h"

namespace Platform::Win32 {

// The task definitions under tasksFolder (the system's "Tasks" folder), each
// with its path as the scheduler names it ("\Folder\Name"). Files that cannot
// be read are left out.
std::vector<TaskListing> ListTaskFiles(const std::wstring& tasksFolder);

}  // namespace Platform::Win32
