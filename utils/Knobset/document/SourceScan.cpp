#include "utils/Knobset/document/SourceScan.h"

#include <algorithm>

#include "core/xml/XmlEscape.h"
#include "core/xml/XmlScan.h"

namespace Knobset::Source {

namespace {

constexpr size_t npos = std::wstring_view::npos;

}  // namespace

std::wstring_view TagName(const XmlDocument& xml, uint32_t record)
{
    const std::wstring_view doc(xml.GetDoc());
    size_t pos = xml.GetIndex().at(record).startTagStart + 1;
    Xml::Token tok;
    return Xml::NextToken(doc, &pos, &tok) ? tok.Text(doc) : std::wstring_view{};
}

// Tokenizes the start tag the same way XmlDocument looks up one attribute: a
// name is a plain token followed by "="; the value is the next token unless it
// is a delimiter, and is missing otherwise.
AttributeList Attributes(const XmlDocument& xml, uint32_t record)
{
    const std::wstring_view doc(xml.GetDoc());
    const XmlDocument::Record& r = xml.GetIndex().at(record);
    const size_t end = r.startTagEnd;
    size_t pos = r.startTagStart + 1;
    AttributeList list;
    Xml::Token tok;
    if (!Xml::NextToken(doc, &pos, &tok)) {
        return list;
    }
    while (Xml::NextToken(doc, &pos, &tok) && tok.start < end) {
        if (tok.quoted || tok.IsDelimiter(doc)) {
            continue;
        }
        size_t afterEquals = pos;
        Xml::Token equals;
        if (!Xml::NextToken(doc, &afterEquals, &equals) || equals.start >= end || !equals.Is(doc, L'=')) {
            continue;
        }
        pos = afterEquals;
        size_t afterValue = pos;
        Xml::Token value;
        std::wstring text;
        if (Xml::NextToken(doc, &afterValue, &value) && value.start < end && !value.IsDelimiter(doc)) {
            pos = afterValue;
            text = Xml::Unescape(value.Text(doc));
        }
        const std::wstring_view name = tok.Text(doc);
        const bool seen = std::any_of(list.begin(), list.end(), [name](const Attribute& a) { return a.name == name; });
        if (!seen) {
            list.push_back({std::wstring(name), std::move(text)});
        }
    }
    return list;
}

std::wstring ElementText(const XmlDocument& xml, uint32_t record)
{
    const XmlDocument::Record& r = xml.GetIndex().at(record);
    return xml.GetDoc().substr(r.startTagStart, r.endTagEnd + 1 - r.startTagStart);
}

// Mirrors how the parser skips markup between elements, so that what is kept
// is exactly what the parser passed over.
void AppendMarkup(std::wstring_view text, size_t from, size_t to, KeptMarkup* out)
{
    const std::wstring_view gap = text.substr(0, std::min(to, text.size()));
    size_t pos = from;
    while (pos < gap.size()) {
        const size_t lt = gap.find(L'<', pos);
        if (lt == npos) {
            return;
        }
        size_t mark = lt + 1;
        while (mark < gap.size() && Xml::IsSpace(gap[mark])) {
            ++mark;
        }
        if (mark >= gap.size()) {
            return;
        }
        std::wstring_view terminator = L">";
        bool keep = false;
        size_t searchFrom = mark + 1;
        if (gap[mark] == L'?') {
            terminator = L"?>";
            keep = true;
        } else if (gap.substr(mark).starts_with(L"![")) {
            terminator = L"]]>";  // CDATA: text, which no container of a tweak file has
            searchFrom = mark + 2;
        } else if (gap.substr(mark).starts_with(L"!-")) {
            terminator = L"-->";
            keep = true;
            searchFrom = mark + 2;
        }
        const size_t close = gap.find(terminator, searchFrom);
        if (close == npos) {
            return;
        }
        pos = close + terminator.size();
        if (keep) {
            out->emplace_back(gap.substr(lt, pos - lt));
        }
    }
}

}  // namespace Knobset::Source
