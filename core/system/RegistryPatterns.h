#pragma once
// Analysis searches over a key given by root and path. Keys are opened for
// reading only. Subkeys and values are walked from the highest index down to
// 0 and the cancel event is tested before every step; cancelling, or a key
// that cannot be opened, gives false.
#include <cstdint>
#include <string_view>

#include "core/platform/Errors.h"
#include "core/platform/Platform.h"
#include "core/system/NamePattern.h"
#include "core/system/Options.h"

namespace Sys {

// True when a subkey's name matches; when recursive, a subkey that does not
// match is searched the same way before the next one is looked at.
bool SubkeyExists(Platform::KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, Recursive recursive,
                  Platform::EventHandle cancel);

// True when a value's name matches; when recursive, the subkeys are searched
// first, then the key's own values.
bool ValueExists(Platform::KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, Recursive recursive,
                 Platform::EventHandle cancel);

// True when a value with a matching name has the given registry type.
bool ValueHasType(Platform::KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, uint32_t type,
                  Platform::EventHandle cancel);

// Decided by the first matching value from the highest index: true when its
// data is zero bytes long; false otherwise or when no value matches.
bool ValueIsEmpty(Platform::KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern,
                  Platform::EventHandle cancel);

// True when every value of the key (and, when recursive, of every key below
// it) holds zero bytes, and for a key that does not exist, since it holds no
// data. False when a value holds data or a key exists but cannot be read.
bool AllValuesEmpty(Platform::KeyHandle root, std::wstring_view keyPath, Recursive recursive,
                    Platform::EventHandle cancel);

// True when a value with a matching name has data equal to the text under the
// text forms of ValueDataEquals (ValueText.h).
bool ValueEquals(Platform::KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern,
                 std::wstring_view text, Platform::EventHandle cancel);

}  // namespace Sys
