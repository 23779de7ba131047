// Navigation and reading of XmlDocument.
#include "core/xml/XmlDocument.h"

#include "core/xml/XmlEscape.h"
#include "core/xml/XmlScan.h"

using Xml::NextToken;
using Xml::Token;

XmlDocument::XmlDocument() : records_(1) {}

void XmlDocument::ResetPos()
{
    parent_ = current_ = child_ = 0;
    nodeKind_ = 0;
}

bool XmlDocument::Matches(uint32_t record, std::wstring_view name) const
{
    if (name.empty()) {
        return true;
    }
    // Callers may pass a path-like name ("Tweak[@n]", "Key/x"); only its
    // leading name takes part.
    const size_t end = name.find_first_of(L" =/[");
    return TagNameView(record) == name.substr(0, end);
}

bool XmlDocument::FindElem(std::wstring_view name)
{
    uint32_t r = current_ ? records_[current_].nextSibling : records_[parent_].firstChild;
    for (; r != 0; r = records_[r].nextSibling) {
        if (Matches(r, name)) {
            current_ = r;
            child_ = 0;
            nodeKind_ = 1;
            return true;
        }
    }
    return false;
}

bool XmlDocument::FindChildElem(std::wstring_view name)
{
    if (current_ == 0 && !FindElem()) {
        return false;
    }
    uint32_t r = child_ ? records_[child_].nextSibling : records_[current_].firstChild;
    for (; r != 0; r = records_[r].nextSibling) {
        if (Matches(r, name)) {
            child_ = r;
            return true;
        }
    }
    return false;
}

bool XmlDocument::IntoElem()
{
    if (current_ == 0) {
        return false;
    }
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    nodeKind_ = current_ ? 1 : 0;
    return true;
}

bool XmlDocument::OutOfElem()
{
    if (parent_ == 0) {
        return false;
    }
    child_ = current_;
    current_ = parent_;
    parent_ = records_[parent_].parent;
    nodeKind_ = 1;
    return true;
}

std::wstring_view XmlDocument::TagNameView(uint32_t record) const
{
    if (record == 0) {
        return {};
    }
    const std::wstring_view doc(text_);
    size_t pos = records_[record].startTagStart + 1;
    Token tok;
    return NextToken(doc, &pos, &tok) ? tok.Text(doc) : std::wstring_view{};
}

std::wstring XmlDocument::TagName(uint32_t record) const
{
    return std::wstring(TagNameView(record));
}

bool XmlDocument::FindAttribute(uint32_t record, std::wstring_view name, AttributeSpot* spot) const
{
    if (record == 0) {
        return false;
    }
    const std::wstring_view doc(text_);
    const size_t end = records_[record].startTagEnd;
    size_t pos = records_[record].startTagStart + 1;
    Token tok;
    if (!NextToken(doc, &pos, &tok)) {  // the tag name
        return false;
    }
    while (NextToken(doc, &pos, &tok) && tok.start < end) {
        if (tok.quoted || tok.IsDelimiter(doc)) {
            continue;
        }
        // tok may be an attribute name: it is when "=" follows. Otherwise the
        // next token is looked at again as a name of its own.
        size_t afterEquals = pos;
        Token equals;
        if (!NextToken(doc, &afterEquals, &equals) || equals.start >= end || !equals.Is(doc, L'=')) {
            continue;
        }
        pos = afterEquals;
        size_t afterValue = pos;
        Token value;
        const bool hasValue = NextToken(doc, &afterValue, &value) && value.start < end && !value.IsDelimiter(doc);
        if (hasValue) {
            pos = afterValue;
        }
        if (tok.Text(doc) == name) {
            if (hasValue) {
                *spot = {value.start, value.stop, value.textBegin, value.textEnd};
            } else {
                *spot = {equals.stop, equals.stop, equals.stop, equals.stop};
            }
            return true;
        }
    }
    return false;
}

std::wstring XmlDocument::Attribute(uint32_t record, std::wstring_view name) const
{
    AttributeSpot spot;
    if (!FindAttribute(record, name, &spot)) {
        return {};
    }
    return Xml::Unescape(std::wstring_view(text_).substr(spot.valueBegin, spot.valueEnd - spot.valueBegin));
}

std::wstring XmlDocument::Data(uint32_t record) const
{
    if (record == 0) {
        return {};
    }
    const Record& r = records_[record];
    if ((r.flags & Record::Empty) || r.firstChild != 0) {
        return {};
    }
    const std::wstring_view content =
        std::wstring_view(text_).substr(r.startTagEnd + 1, r.endTagStart - (r.startTagEnd + 1));
    size_t i = 0;
    while (i < content.size() && Xml::IsSpace(content[i])) {
        ++i;
    }
    constexpr std::wstring_view kCdataOpen = L"<![CDATA[";
    if (content.substr(i).starts_with(kCdataOpen)) {
        const size_t begin = i + kCdataOpen.size();
        const size_t close = content.find(L"]]>", begin);
        if (close != std::wstring_view::npos) {
            return std::wstring(content.substr(begin, close - begin));
        }
    }
    return Xml::Unescape(content);
}
