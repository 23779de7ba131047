#pragma once
// The path of the user's own tweak file (UserTweaksPath, REG_SZ, a full path:
// the catalogue loader does not expand variables). Its default lies in the
// user's application-data folder, where a standard user can save it.
#include <string>

#include "app/settings/Environment.h"
#include "core/platform/Platform.h"

namespace AppSettings {

// <AppData>\<dataFolder>\tweaks.xml; empty when the shell names no
// application-data folder.
std::wstring DefaultUserTweaksPath(const Locations& where);

// The value; empty when missing, empty or not a string.
std::wstring ReadUserTweaksPath(const Locations& where);

// At start: when the value is missing, writes the default and, when no file
// is there yet, copies the starter tweak file there (never over a file). An
// existing value is never changed. Returns the value read afterwards.
std::wstring PrepareUserTweaksPath(const Environment& environment);

// Copies a file to a new file, creating the destination's folders; error 80
// when the destination exists. A partly written copy is removed.
[[nodiscard]] Platform::Status CopyToNewFile(const std::wstring& from, const std::wstring& to);

}  // namespace AppSettings
