#pragma once
// The number forms the validator accepts in value texts.
#include <string_view>

namespace Knobset {

// Every character is a digit 0-9; the empty text counts as a number. Only
// the digits are looked at, so a number too large for its type passes.
bool IsDecimalNumber(std::wstring_view text);
// "0x" and exactly eight hexadecimal digits, letters in either case (the
// form the main program compares with the registry).
bool IsHexDword(std::wstring_view text);
// Either of the two: a text the DWORD checks accept.
inline bool IsDwordText(std::wstring_view text)
{
    return IsHexDword(text) || IsDecimalNumber(text);
}

}  // namespace Knobset
