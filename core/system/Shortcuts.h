#pragma once
// Windows shortcut (.lnk) files.
#include <string>
#include <string_view>

#include "core/platform/Errors.h"
#include "core/platform/Platform.h"

namespace Sys {

// Saves a shortcut as GetShellFolder(folderCsidl) + "\" + name + ".lnk" with
// the link's target, arguments, working folder, description and icon. Missing
// parent folders are created first; -1 when that fails or the shell folder is
// unknown, otherwise the result of saving the link.
[[nodiscard]] Platform::Status CreateShortcut(const Platform::ShellLink& link, std::wstring_view name, int folderCsidl);

// The target path of a shortcut file; false when the file cannot be loaded or
// names no target. *target is untouched then.
bool ReadShortcutTarget(std::wstring_view shortcutPath, std::wstring* target);

}  // namespace Sys
