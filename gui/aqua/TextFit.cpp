#include "gui/aqua/TextFit.h"

#include <cwctype>

namespace GUI::Aqua {

namespace {

constexpr wchar_t kEllipsis[] = L"\x2026";

// The text up to `end` without the spaces and separators that would stand
// before the ellipsis.
std::wstring Stem(const std::wstring& text, size_t end)
{
    while (end > 0 && (std::iswspace(text[end - 1]) || text[end - 1] == L',' || text[end - 1] == L';' ||
                       text[end - 1] == L':' || text[end - 1] == L'-')) {
        --end;
    }
    return text.substr(0, end);
}

}  // namespace

std::wstring FitWithEllipsis(const std::wstring& text, double width,
                             const std::function<double(const std::wstring&)>& widthOf)
{
    if (text.empty() || widthOf(text) <= width) {
        return text;
    }
    // Word ends from the longest down.
    for (size_t end = text.size(); end > 0;) {
        const size_t space = text.find_last_of(L' ', end - 1);
        if (space == std::wstring::npos) {
            break;
        }
        const std::wstring stem = Stem(text, space);
        if (!stem.empty() && widthOf(stem + kEllipsis) <= width) {
            return stem + kEllipsis;
        }
        end = space;
    }
    for (size_t count = text.size() - 1; count > 0; --count) {
        const std::wstring stem = Stem(text, count);
        if (!stem.empty() && widthOf(stem + kEllipsis) <= width) {
            return stem + kEllipsis;
        }
    }
    return kEllipsis;
}

}  // namespace GUI::Aqua
