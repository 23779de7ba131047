#pragma once
// The text forms under which analysis compares registry data with the values
// written in tweak files.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Sys {

// True when the data, as text, equals the given text:
// - REG_SZ, REG_EXPAND_SZ: the string as stored (terminating NULs dropped);
// - REG_DWORD (and its big-endian form): decimal, or, when the text holds
//   "0x" (either case), "0x" and eight upper-case hexadecimal digits,
//   compared ignoring case; data that is not four bytes long matches nothing;
// - REG_BINARY: the Base64 form; line breaks on either side do not matter,
//   since XML readers turn "\r\n" into "\n";
// - REG_MULTI_SZ: the strings joined with "\n", after removing every "\r"
//   from the given text;
// - any other type (REG_NONE, REG_QWORD, ...) never matches.
bool ValueDataEquals(uint32_t type, const std::vector<uint8_t>& data, std::wstring_view text);

// The UTF-16 text of string data, up to the first NUL or the last whole
// character.
std::wstring StringFromRegistryData(const std::vector<uint8_t>& data);

}  // namespace Sys
