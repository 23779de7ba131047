#include "gui/aqua/Fonts.h"

#include <algorithm>
#include <cwctype>

namespace GUI::Aqua {

namespace {

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
           });
}

}  // namespace

std::wstring ChooseFontFamily(std::wstring_view requested, const std::vector<std::wstring>& installed)
{
    const std::wstring_view order[] = {requested, kSansSerif,         L"Segoe UI",
                                       L"Arial",  L"Liberation Sans", L"DejaVu Sans"};
    for (std::wstring_view candidate : order) {
        for (const std::wstring& family : installed) {
            if (!candidate.empty() && SameName(candidate, family)) {
                return family;
            }
        }
    }
    for (const std::wstring& family : installed) {
        // Vertical families ("@...") draw text sideways: never a fallback.
        if (!family.empty() && family[0] != L'@') {
            return family;
        }
    }
    return {};
}

}  // namespace GUI::Aqua
