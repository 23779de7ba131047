#include "utils/Knobset/document/TextForms.h"

#include <algorithm>

namespace Knobset {

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsHexDigit(wchar_t c)
{
    return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

}  // namespace

bool IsDecimalNumber(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsHexDword(std::wstring_view text)
{
    return text.size() == 10 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X') &&
           std::all_of(text.begin() + 2, text.end(), IsHexDigit);
}

}  // namespace Knobset
