#pragma once
#include <string>
#include <string_view>

namespace Platform::Win32 {

// The form of a path to hand to the file functions. Short paths stay as they
// are. From 248 characters on (the limit of CreateDirectoryW, which keeps room
// for an 8.3 name) a path gets the extended-length prefix: "\\?\C:\..." for a
// drive path, "\\?\UNC\server\share\..." for a network path. Windows stops
// normalising a prefixed path, so the path is first made full by the system
// (separators, "." and "..", trailing dots and spaces, as for short paths).
// Paths that already carry "\\?\" or "\\.\" are left alone.
std::wstring ExtendedPath(std::wstring_view path);

// The threshold above, for tests.
constexpr size_t kLongPathThreshold = 248;

}  // namespace Platform::Win32
