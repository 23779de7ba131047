// Parsing of the document element into the element index. The parse keeps
// its own stack of open elements instead of recursing, so that the depth of a
// document cannot overflow the thread's stack.
#include <algorithm>
#include <vector>

#include "core/platform/Errors.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "core/xml/XmlScan.h"

namespace {

using Xml::NextToken;
using Xml::Token;

constexpr size_t npos = std::wstring_view::npos;

// An element whose end tag has not been seen yet.
struct OpenElement {
    uint32_t record;
    uint32_t lastChild;  // to link the next child; 0 = none yet
    size_t nameBegin;
    size_t nameLength;
};

// doc.find(c, from), looking at the first few characters inline: the gaps
// between tags are mostly short, and for them the call costs more than the
// search. (Attribute values are longer; for them the library search wins.)
inline size_t FindChar(std::wstring_view doc, wchar_t c, size_t from)
{
    const size_t inlineEnd = std::min(doc.size(), from + 16);
    for (size_t i = from; i < inlineEnd; ++i) {
        if (doc[i] == c) {
            return i;
        }
    }
    return inlineEnd == doc.size() ? npos : doc.find(c, inlineEnd);
}

// The ">" that ends a tag, read from pos (where a token may begin) so that one
// inside a quoted value does not count; npos when there is none. This is the
// first ">" token NextToken would meet, found without building tokens: a quote
// opens a quoted value only where a token begins, that is after whitespace, a
// delimiter or another quoted value; inside a run of other characters it is
// an ordinary character.
size_t FindTagEnd(std::wstring_view doc, size_t pos)
{
    const size_t n = doc.size();
    size_t afterValue = pos;  // where the last quoted value ended
    for (size_t i = pos; i < n; ++i) {
        const wchar_t c = doc[i];
        if (c == L'>') {
            return i;
        }
        if (c != L'"' && c != L'\'') {
            continue;
        }
        const Xml::CharClass before = i == afterValue ? Xml::CharClass::Space : Xml::ClassOf(doc[i - 1]);
        if (before == Xml::CharClass::Space || before == Xml::CharClass::Delim) {  // a token begins here
            i = doc.find(c, i + 1);
            if (i == npos) {
                return npos;
            }
            afterValue = i + 1;
        }
    }
    return npos;
}

// Skips a node that starts with "<?" or "<!" (tok is the "?" or "!"). Returns
// the position after it, or npos when its end is missing.
size_t SkipMarkup(std::wstring_view doc, const Token& tok)
{
    const size_t mark = tok.start;
    auto after = [doc](size_t from, std::wstring_view terminator) {
        const size_t at = doc.find(terminator, from);
        return at == npos ? npos : at + terminator.size();
    };
    if (doc[mark] == L'?') {
        return after(mark + 1, L"?>");
    }
    if (mark + 1 < doc.size() && doc[mark + 1] == L'[') {
        return after(mark + 2, L"]]>");  // CDATA
    }
    if (mark + 1 < doc.size() && doc[mark + 1] == L'-') {
        return after(mark + 2, L"-->");  // comment
    }
    // A document type declaration: its internal subset in square brackets may
    // hold ">" characters of its own.
    size_t pos = mark + 1;
    long depth = 0;
    Token t;
    while (NextToken(doc, &pos, &t)) {
        if (t.quoted) {
            continue;
        }
        if (t.Is(doc, L'>') && depth <= 0) {
            return t.stop;
        }
        for (const wchar_t c : t.Text(doc)) {
            depth += c == L'[' ? 1 : c == L']' ? -1 : 0;
        }
    }
    return npos;
}

}  // namespace

Platform::Status XmlDocument::LoadFromUtf8(std::string_view bytes)
{
    std::wstring text;
    if (const Platform::Status s = Text::Utf8ToWide(bytes, &text)) {
        return s;
    }
    return SetDoc(std::move(text)) ? Err::Success : Err::BadFormat;
}

bool XmlDocument::SetDoc(std::wstring text)
{
    text_ = std::move(text);
    ResetPos();
    return Parse();
}

bool XmlDocument::Fail(std::wstring_view message, std::wstring_view name)
{
    error_.assign(message);
    if (const size_t at = error_.find(L"%s"); at != std::wstring::npos) {
        error_.replace(at, 2, name);
    }
    records_.assign(1, Record{});
    ResetPos();
    return false;
}

bool XmlDocument::Parse()
{
    error_.clear();
    errorOffset_ = 0;
    records_.clear();
    records_.reserve(text_.size() / 64 + 8);
    records_.emplace_back();  // the virtual root
    if (text_.size() > Xml::kMaxDocumentLength) {
        return Fail(L"Element tag not found");  // no position in it could be indexed
    }
    const std::wstring_view doc(text_);
    std::vector<OpenElement> open{{0, 0, 0, 0}};
    size_t pos = 0;
    Token tok;
    for (;;) {
        const size_t lt = FindChar(doc, L'<', pos);
        errorOffset_ = lt == npos ? doc.size() : lt;  // where a failure below is reported
        if (lt == npos) {
            if (open.size() == 1) {
                return Fail(L"Element tag not found");
            }
            return Fail(L"End tag of %s element not found", doc.substr(open.back().nameBegin, open.back().nameLength));
        }
        size_t p = lt + 1;
        if (!NextToken(doc, &p, &tok)) {
            return Fail(L"Abrupt end within tag");
        }
        if (tok.quoted) {
            return Fail(L"Tag starts with quote");
        }
        if (tok.Is(doc, L'?') || tok.Is(doc, L'!')) {
            pos = SkipMarkup(doc, tok);
            if (pos == npos) {
                return Fail(L"Invalid node");
            }
            continue;
        }

        if (tok.Is(doc, L'/')) {
            if (open.size() == 1) {
                return Fail(L"Element tag not found");  // an end tag before any element
            }
            const OpenElement top = open.back();
            const std::wstring_view name = doc.substr(top.nameBegin, top.nameLength);
            if (doc[lt + 1] != L'/') {
                // "< /a>": an end tag must begin with "</".
                return Fail(L"Expecting end tag of element %s", name);
            }
            if (!NextToken(doc, &p, &tok)) {
                return Fail(L"End tag not completed for element %s", name);
            }
            if (tok.quoted || tok.Text(doc) != name) {
                return Fail(L"End tag does not correspond to %s", name);
            }
            const size_t gt = FindTagEnd(doc, p);
            if (gt == npos) {
                return Fail(L"End tag not completed for element %s", name);
            }
            Record& r = records_[top.record];
            r.endTagStart = static_cast<uint32_t>(lt);
            r.endTagEnd = static_cast<uint32_t>(gt);
            open.pop_back();
            if (open.size() == 1) {
                return true;  // the document element is complete; the rest is ignored
            }
            pos = gt + 1;
            continue;
        }

        // A start tag; tok is the element's name.
        const size_t gt = FindTagEnd(doc, p);
        if (gt == npos) {
            return Fail(L"End of tag not found");
        }
        const auto index = static_cast<uint32_t>(records_.size());
        OpenElement& parent = open.back();
        Record r;
        r.startTagStart = static_cast<uint32_t>(lt);
        r.startTagEnd = static_cast<uint32_t>(gt);
        r.parent = parent.record;
        if (parent.lastChild) {
            records_[parent.lastChild].nextSibling = index;
        } else {
            records_[parent.record].firstChild = index;
        }
        parent.lastChild = index;
        const bool empty = doc[gt - 1] == L'/';
        if (empty) {
            r.flags = Record::Empty;
            r.endTagStart = static_cast<uint32_t>(gt - 1);
            r.endTagEnd = static_cast<uint32_t>(gt);
        }
        records_.push_back(r);
        if (empty) {
            if (open.size() == 1) {
                return true;
            }
        } else {
            open.push_back({index, 0, tok.textBegin, tok.textEnd - tok.textBegin});
        }
        pos = gt + 1;
    }
}
