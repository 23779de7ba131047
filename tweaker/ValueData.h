#pragma once
// The registry data a tweak file's value text stands for, and the comparison
// that decides whether a value already holds it.
//
// Text forms: strings as they are; REG_DWORD decimal, or hexadecimal after
// "0x"/"0X"; REG_QWORD decimal or "0x" with up to 16 hexadecimal digits;
// REG_BINARY Base64, decoded into exactly the configured byte length;
// REG_MULTI_SZ the strings joined by "\n" ("\r" ignored); REG_NONE no data.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Tweaker {

// The bytes written for a value of this type.
std::vector<uint8_t> ValueBytes(uint32_t type, std::wstring_view text, uint32_t byteLength);

// True when registry data of the item's type equals the text. A REG_DWORD
// text holding "0x" (lower-case x) is compared with "0x" and eight
// hexadecimal digits ignoring case, any other text with the decimal form. A
// REG_QWORD compares numerically and zero bytes of data never match; a
// REG_NONE value matches when it holds nothing.
bool ValueMatches(uint32_t type, const std::vector<uint8_t>& data, std::wstring_view text, uint32_t byteLength);

// The value's data as text of the tweak file's form (DWORD and QWORD in
// decimal); false for types without a text form.
bool ValueToText(uint32_t type, const std::vector<uint8_t>& data, std::wstring* text);

// REG_DWORD text: hexadecimal after the first "0x"/"0X", else decimal, the
// leading digits only; too large numbers saturate.
uint32_t ParseDword(std::wstring_view text);
// REG_QWORD text; false when it is neither form.
bool ParseQword(std::wstring_view text, uint64_t* value);

}  // namespace Tweaker
