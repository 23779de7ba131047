// Adding elements and attributes. Every edit changes the text in one place
// and moves the index positions behind it, so the index stays what a new
// parse of the text would give.
#include "core/xml/XmlDocument.h"
#include "core/xml/XmlEscape.h"
#include "core/xml/XmlScan.h"

bool XmlDocument::Splice(size_t at, size_t length, std::wstring_view replacement)
{
    if (text_.size() - length + replacement.size() > Xml::kMaxDocumentLength) {
        return false;
    }
    text_.replace(at, length, replacement);
    // Unsigned arithmetic wraps, so one addition moves positions either way.
    const auto delta = static_cast<uint32_t>(replacement.size() - length);
    const size_t from = at + length;
    for (size_t i = 1; i < records_.size(); ++i) {
        Record& r = records_[i];
        for (uint32_t* p : {&r.startTagStart, &r.startTagEnd, &r.endTagStart, &r.endTagEnd}) {
            if (*p >= from) {
                *p += delta;
            }
        }
    }
    return true;
}

uint32_t XmlDocument::InsertElement(uint32_t parent, uint32_t after, std::wstring_view name, std::wstring_view text)
{
    if (!Xml::IsPlainName(name)) {
        return 0;
    }
    // The new element's text and its positions relative to its "<".
    std::wstring element = L"<";
    element += name;
    Record added;
    added.parent = parent;
    if (text.empty()) {
        element += L"/>\r\n";
        added.flags = Record::Empty;
        added.startTagEnd = static_cast<uint32_t>(name.size() + 2);
        added.endTagStart = added.startTagEnd - 1;
    } else {
        const std::wstring escaped = Xml::Escape(text, Xml::EscapeFor::Text);
        element += L'>';
        element += escaped;
        element += L"</";
        element += name;
        element += L">\r\n";
        added.startTagEnd = static_cast<uint32_t>(name.size() + 1);
        added.endTagStart = static_cast<uint32_t>(added.startTagEnd + 1 + escaped.size());
    }
    added.endTagEnd = static_cast<uint32_t>(element.size() - 3);  // before the line break

    if (after == 0 && parent != 0) {
        for (uint32_t r = records_[parent].firstChild; r != 0; r = records_[r].nextSibling) {
            after = r;  // at the end of the children
        }
    }

    size_t at;
    size_t cut = 0;
    size_t offset = 0;  // of the new element in the replacement
    std::wstring replacement;
    std::wstring parentName;
    bool parentWasEmpty = false;
    if (after != 0) {
        // After the sibling and the line break that usually follows it.
        at = records_[after].endTagEnd + 1;
        if (text_.compare(at, 2, L"\r\n") == 0) {
            at += 2;
        } else if (at < text_.size() && text_[at] == L'\n') {
            at += 1;
        }
        replacement = std::move(element);
    } else if (parent == 0) {
        at = text_.size();
        replacement = std::move(element);
    } else if (records_[parent].flags & Record::Empty) {
        // "<p/>" becomes "<p>\r\n" + element + "</p>".
        parentWasEmpty = true;
        parentName = TagName(parent);
        at = records_[parent].startTagEnd - 1;
        cut = 2;
        offset = 3;
        replacement = L">\r\n" + element + L"</" + parentName + L">";
    } else {
        at = records_[parent].endTagStart;
        if (records_[parent].startTagEnd + 1 == at) {
            offset = 2;  // "<p></p>": the child goes on a line of its own
            replacement = L"\r\n";
        }
        replacement += element;
    }
    const size_t elementSize = replacement.size() - offset - (parentWasEmpty ? parentName.size() + 3 : 0);
    if (!Splice(at, cut, replacement)) {
        return 0;
    }

    if (parentWasEmpty) {
        Record& p = records_[parent];
        p.flags &= ~Record::Empty;
        p.startTagEnd = static_cast<uint32_t>(at);
        p.endTagStart = static_cast<uint32_t>(at + offset + elementSize);
        p.endTagEnd = static_cast<uint32_t>(p.endTagStart + parentName.size() + 2);
    }
    const auto base = static_cast<uint32_t>(at + offset);
    added.startTagStart = base;
    added.startTagEnd += base;
    added.endTagStart += base;
    added.endTagEnd += base;

    const auto index = static_cast<uint32_t>(records_.size());
    if (after != 0) {
        added.nextSibling = records_[after].nextSibling;
        records_[after].nextSibling = index;
    } else {
        records_[parent].firstChild = index;
    }
    records_.push_back(added);
    return index;
}

bool XmlDocument::AddElem(std::wstring_view name, std::wstring_view text)
{
    if (parent_ == 0 && records_[0].firstChild != 0) {
        return false;  // a document has one document element
    }
    const uint32_t added = InsertElement(parent_, current_, name, text);
    if (added == 0) {
        return false;
    }
    current_ = added;
    child_ = 0;
    nodeKind_ = 1;
    return true;
}

bool XmlDocument::AddChildElem(std::wstring_view name, std::wstring_view text)
{
    if (current_ == 0) {
        return false;
    }
    const uint32_t added = InsertElement(current_, child_, name, text);
    if (added == 0) {
        return false;
    }
    child_ = added;
    return true;
}

bool XmlDocument::WriteAttribute(uint32_t record, std::wstring_view name, std::wstring_view value)
{
    if (record == 0 || !Xml::IsPlainName(name)) {
        return false;
    }
    std::wstring quoted = L"\"";
    quoted += Xml::Escape(value, Xml::EscapeFor::Attribute);
    quoted += L'"';
    AttributeSpot spot;
    if (FindAttribute(record, name, &spot)) {
        return Splice(spot.valueStart, spot.valueStop - spot.valueStart, quoted);
    }
    const Record& r = records_[record];
    const size_t at = (r.flags & Record::Empty) ? r.startTagEnd - 1 : r.startTagEnd;  // before "/>" or ">"
    std::wstring attribute = L" ";
    attribute += name;
    attribute += L'=';
    attribute += quoted;
    return Splice(at, 0, attribute);
}
