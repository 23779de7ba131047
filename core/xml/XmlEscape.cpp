#include "core/xml/XmlEscape.h"

namespace Xml {

std::wstring Escape(std::wstring_view text, EscapeFor target)
{
    std::wstring out;
    // Room for a few entities without growing; longer output grows as needed.
    out.reserve(text.size() + text.size() / 10 + 7);
    const bool attribute = target == EscapeFor::Attribute;
    for (const wchar_t c : text) {
        switch (c) {
            case L'<':
                out += L"&lt;";
                break;
            case L'&':
                out += L"&amp;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'\'':
                out += attribute ? L"&apos;" : L"'";
                break;
            case L'"':
                out += attribute ? L"&quot;" : L"\"";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::wstring Unescape(std::wstring_view text)
{
    struct Entity {
        std::wstring_view name;  // what follows the "&"
        wchar_t value;
    };
    static constexpr Entity kEntities[] = {
        {L"lt;", L'<'}, {L"amp;", L'&'}, {L"gt;", L'>'}, {L"apos;", L'\''}, {L"quot;", L'"'},
    };
    size_t amp = text.find(L'&');
    if (amp == std::wstring_view::npos) {
        return std::wstring(text);
    }
    std::wstring out;
    out.reserve(text.size());
    size_t from = 0;
    while (amp != std::wstring_view::npos) {
        out.append(text, from, amp - from);
        const std::wstring_view rest = text.substr(amp + 1);
        from = amp + 1;
        wchar_t value = L'&';
        for (const Entity& e : kEntities) {
            if (rest.starts_with(e.name)) {
                value = e.value;
                from += e.name.size();
                break;
            }
        }
        out += value;
        amp = text.find(L'&', from);
    }
    out.append(text, from);
    return out;
}

}  // namespace Xml
