#pragma once
// Splits a Windows file path the way the Win32 layer reads it before any file
// system sees it: "/" as "\", repeated separators as one, "." and ".."
// resolved, trailing dots and spaces of names dropped, "\\?\" taken off.
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"

namespace Platform::Portable {

struct ParsedPath {
    std::wstring root;                // "C:" (upper case) or "\\server\share" as written
    std::vector<std::wstring> parts;  // the names below the root
    bool trailingSeparator = false;   // the path ended with "\" after a name
    bool hasWildcard = false;         // the last name holds "*" or "?" (patterns only)
};

enum class Wildcards { Refused, AllowedInLastName };

// Errors: 3 for a relative or empty path, 123 for a name with characters
// Windows refuses (or wildcards where none are allowed) or longer than 255.
[[nodiscard]] Status ParseFilePath(std::wstring_view path, Wildcards wildcards, ParsedPath* out);

// "C:\a\b" back from the parts, without a trailing separator.
std::wstring JoinFilePath(const std::wstring& root, const std::vector<std::wstring>& parts, size_t count);

}  // namespace Platform::Portable
