#pragma once
// The desktop shortcut to the program: <Desktop>\<shortcutName>.lnk, or any
// other shortcut on the desktop whose target is the running program.
#include <string>
#include <vector>

#include "app/settings/Environment.h"
#include "core/platform/Platform.h"

namespace AppSettings {

// The desktop shortcuts whose target is the program, the named one first.
std::vector<std::wstring> DesktopShortcutsToProgram(const Environment& environment);

bool DesktopShortcutPresent(const Environment& environment);

// On: makes sure a shortcut to the program exists, creating
// <Desktop>\<shortcutName>.lnk (target the program, working folder its
// folder) when none does. Off: deletes every desktop shortcut to the program.
// 0 only when the desktop is as asked afterwards.
[[nodiscard]] Platform::Status ApplyDesktopShortcut(const Environment& environment, bool on);

}  // namespace AppSettings
