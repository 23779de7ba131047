#pragma once
// Registry roots by their short names ("HKLM", "HKCR", "HKCU", "HKCC", "HKUR",
// "HKPD", "HKDD", ".DEFAULT"), as tweak files and journals write them.
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace Sys {

// The short name of a root; ".DEFAULT" for the default-user key handed out by
// RootKeyFromName; empty for any other key.
std::wstring RootKeyName(Platform::KeyHandle root);

// The root for an exact, case-sensitive short name; null for anything else.
// ".DEFAULT" is HKEY_USERS\.DEFAULT, opened on first use with the rights to
// read, create subkeys and set values and kept open for the life of the
// process (every call returns the same handle; callers must not close it). A
// failed open gives null and is retried on the next call.
Platform::KeyHandle RootKeyFromName(std::wstring_view name);

}  // namespace Sys
