#pragma once
// Small text helpers of the startup manager.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace StartUp {

// Equal without regard to case, as Windows compares names.
bool SameText(std::wstring_view a, std::wstring_view b);
// The text after the last backslash (all of it when there is none).
std::wstring_view LastComponent(std::wstring_view path);
// The text before the last backslash (empty when there is none).
std::wstring_view ParentPath(std::wstring_view path);
// ` name="value"` with the value escaped for an attribute.
std::wstring XmlAttribute(std::wstring_view name, std::wstring_view value);
// True for exactly 32 hexadecimal digits.
bool IsDigestText(std::wstring_view text);
// A decimal number without sign that fits 32 bits.
std::optional<uint32_t> ParseDecimal(std::wstring_view text);

// The text of a registry string value (REG_SZ, REG_EXPAND_SZ) up to its first
// null; empty for other types.
std::wstring StringOfValue(uint32_t type, const std::vector<uint8_t>& data);

// The program a command line starts: environment references expanded, then
// the quoted part, or the longest part up to a space that names an existing
// file, or the part up to the first space.
std::wstring ProgramOfCommand(std::wstring_view command);

// The long form of an existing path (8.3 short names replaced); the path as
// given when the system cannot tell, so that comparisons still work.
std::wstring LongPathOr(std::wstring_view path);

// The registry path of root\path in a view, as the one registry stores it:
// the 32-bit view of HKLM\SOFTWARE\X is HKLM\SOFTWARE\WOW6432Node\X and of
// HKCR\X is HKCR\WOW6432Node\X.
std::wstring StoredKeyPath(Platform::KeyHandle root, std::wstring_view path, Platform::RegistryView view);

}  // namespace StartUp
