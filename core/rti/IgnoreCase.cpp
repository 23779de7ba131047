#include <cwctype>

#include "core/rti/IgnoreCaseStringComparator.h"

namespace RTI {

namespace {
// Windows folds names to upper case for comparison; towupper follows the
// current C locale, as the program's other case-insensitive comparisons do.
wchar_t Fold(wchar_t c) noexcept
{
    if (c < 0x80) {
        return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
    }
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
}
}  // namespace

int CompareIgnoreCase(std::wstring_view a, std::wstring_view b) noexcept
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const wchar_t x = Fold(a[i]);
        const wchar_t y = Fold(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) noexcept
{
    return a.size() == b.size() && CompareIgnoreCase(a, b) == 0;
}

}  // namespace RTI
