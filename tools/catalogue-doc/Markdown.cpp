#include "tools/catalogue-doc/Markdown.h"

#include <algorithm>

namespace CatalogueDoc {
namespace {

std::wstring OneLine(std::wstring_view text)
{
    std::wstring line;
    line.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\r') {
            continue;
        }
        line += (c == L'\n' || c == L'\t') ? L' ' : c;
    }
    return line;
}

}  // namespace

std::wstring EscapeText(std::wstring_view text)
{
    static constexpr std::wstring_view kSpecial = L"\\`*_[]<>|#";
    std::wstring escaped;
    for (const wchar_t c : OneLine(text)) {
        if (kSpecial.find(c) != std::wstring_view::npos) {
            escaped += L'\\';
        }
        escaped += c;
    }
    return escaped;
}

std::wstring Code(std::wstring_view text)
{
    const std::wstring line = OneLine(text);
    size_t longest = 0;
    size_t run = 0;
    for (const wchar_t c : line) {
        run = c == L'`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const std::wstring fence(longest + 1, L'`');
    // A blank on each side keeps a backtick at either end apart from the fence.
    const bool pad = !line.empty() && (line.front() == L'`' || line.back() == L'`');
    return fence + (pad ? L" " : L"") + line + (pad ? L" " : L"") + fence;
}

}  // namespace CatalogueDoc
