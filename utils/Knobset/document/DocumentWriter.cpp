#include "utils/Knobset/document/DocumentWriter.h"

#include <algorithm>
#include <utility>

#include "core/platform/Errors.h"
#include "core/xml/XmlDocument.h"
#include "core/xml/XmlEscape.h"
#include "core/xml/XmlScan.h"
#include "utils/Knobset/document/Keywords.h"

namespace Knobset {

namespace {

// Indented XML text, one element or piece of kept markup per line.
class XmlText {
public:
    // Writes <name attributes>, the children that children() writes, and the
    // end tag; an element without children is written as <name .../>.
    template <typename Children>
    void Element(std::wstring_view name, const AttributeList& attributes, Children children)
    {
        Indent();
        out_ += L'<';
        out_ += name;
        for (const Attribute& a : attributes) {
            if (!Xml::IsPlainName(a.name)) {
                continue;  // could not be read back as this attribute
            }
            out_ += L' ';
            out_ += a.name;
            out_ += L"=\"";
            out_ += Xml::Escape(a.value, Xml::EscapeFor::Attribute);
            out_ += L'"';
        }
        out_ += L">\r\n";
        const size_t afterStartTag = out_.size();
        ++depth_;
        children();
        --depth_;
        if (out_.size() == afterStartTag) {
            out_.replace(afterStartTag - 3, 3, L"/>\r\n");
            return;
        }
        Indent();
        out_ += L"</";
        out_ += name;
        out_ += L">\r\n";
    }

    void TextElement(std::wstring_view name, std::wstring_view text)
    {
        Indent();
        out_ += L'<';
        out_ += name;
        out_ += L'>';
        out_ += Xml::Escape(text, Xml::EscapeFor::Text);
        out_ += L"</";
        out_ += name;
        out_ += L">\r\n";
    }

    void Kept(const KeptMarkup& markup)
    {
        for (const std::wstring& piece : markup) {
            Indent();
            out_ += piece;
            out_ += L"\r\n";
        }
    }

    std::wstring Take() { return std::move(out_); }

private:
    void Indent() { out_.append(static_cast<size_t>(depth_) * 2, L' '); }

    std::wstring out_;
    int depth_ = 0;
};

// The attribute list of an element: the edited attributes in writing order,
// then the element's other attributes. An attribute the element had in its
// file is written whatever the writing order says.
class Attributes {
public:
    explicit Attributes(const AttributeNames& inFile = {}) : inFile_(inFile) {}

    void Add(std::wstring_view name, std::wstring_view value)
    {
        list_.push_back({std::wstring(name), std::wstring(value)});
    }
    void AddWhen(bool wanted, std::wstring_view name, std::wstring_view value)
    {
        if (wanted || std::find(inFile_.begin(), inFile_.end(), name) != inFile_.end()) {
            Add(name, value);
        }
    }
    AttributeList Finish(const AttributeList& others)
    {
        list_.insert(list_.end(), others.begin(), others.end());
        return std::move(list_);
    }

private:
    const AttributeNames& inFile_;
    AttributeList list_;
};

void WriteChoice(XmlText& out, const Choice& choice, bool binary)
{
    Attributes a(choice.attributesInFile);
    a.AddWhen(choice.main == L"1", L"main", choice.main);
    a.AddWhen(!IsValueSet(choice.action), L"action", choice.action);
    a.AddWhen(!choice.val.empty(), L"val", choice.val);
    a.AddWhen(binary, L"valuevalbytelen", choice.valuevalbytelen);
    a.AddWhen(!choice.descr.empty(), L"descr", choice.descr);
    out.Element(L"value", a.Finish(choice.otherAttributes), [&] { out.Kept(choice.keptInside); });
}

AttributeList KeyAttributes(const Key& key, const AttributeList& others)
{
    const std::wstring_view action = key.action.empty() ? kValueSet : std::wstring_view(key.action);
    const bool valueAction = IsValueAction(action);
    const bool valueSet = action == kValueSet;
    Attributes a(key.attributesInFile);
    a.Add(L"parent", key.parent);
    a.Add(L"path", key.path);
    a.AddWhen(!key.keyname.empty(), L"keyname", key.keyname);
    a.Add(L"action", action);
    a.AddWhen(valueAction && !key.valuename.empty(), L"valuename", key.valuename);
    a.AddWhen(valueAction, L"valuetype", key.valuetype);
    a.AddWhen(valueSet, L"valueval", key.valueval);
    a.AddWhen(valueSet && key.valuetype == L"REG_BINARY", L"valuevalbytelen", key.valuevalbytelen);
    a.AddWhen(!key.editable.empty() && key.editable != L"no", L"editable", key.editable);
    a.AddWhen(!key.valuedescr.empty() && key.editable == L"range", L"valuedescr", key.valuedescr);
    return a.Finish(others);
}

void WriteItem(XmlText& out, const Item& item)
{
    out.Kept(item.keptBefore);
    if (item.kind != ItemKind::Key) {
        out.Element(ItemElementName(item.kind), item.otherAttributes, [&] {
            out.Kept(item.keptInside);
            out.Kept(item.keptAfterValues);
        });
        return;
    }
    const Key& key = item.key;
    out.Element(L"Key", KeyAttributes(key, item.otherAttributes), [&] {
        out.Kept(item.keptInside);
        if (key.editable == L"set" || key.hasValuesElement || !key.choices.empty()) {
            const bool binary = key.valuetype == L"REG_BINARY";
            out.Element(L"values", key.valuesAttributes, [&] {
                for (const Choice& choice : key.choices) {
                    out.Kept(choice.keptBefore);
                    WriteChoice(out, choice, binary);
                }
                out.Kept(key.keptAfterChoices);
            });
        }
        out.Kept(item.keptAfterValues);
    });
}

void WriteTweak(XmlText& out, const Tweak& tweak, std::wstring_view categoryIcon)
{
    Attributes a(tweak.attributesInFile);
    a.Add(L"n", tweak.name);
    a.Add(L"i", tweak.icon ? std::wstring_view(*tweak.icon) : categoryIcon);
    a.Add(L"ver", tweak.ver);
    a.AddWhen(!tweak.maxver.empty(), L"maxver", tweak.maxver);
    a.Add(L"enabled", tweak.enabled);
    a.AddWhen(tweak.manageable == L"0", L"manageable", tweak.manageable);
    out.Element(L"Tweak", a.Finish(tweak.otherAttributes), [&] {
        out.Kept(tweak.keptAtStart);
        if (!tweak.description.empty()) {
            out.TextElement(L"d", tweak.description);
        }
        if (!tweak.details.empty()) {
            out.TextElement(L"dex", tweak.details);
        }
        for (const Item& item : tweak.items) {
            WriteItem(out, item);
        }
        out.Kept(tweak.keptAtEnd);
    });
}

void WriteCategory(XmlText& out, const Category& category)
{
    Attributes a;
    a.Add(L"n", category.name);
    a.Add(L"i", category.icon);
    out.Element(L"Category", a.Finish(category.otherAttributes), [&] {
        for (const Tweak& tweak : category.tweaks) {
            out.Kept(tweak.keptBefore);
            WriteTweak(out, tweak, category.icon);
        }
        out.Kept(category.keptAtEnd);
    });
}

}  // namespace

std::wstring WriteDocumentText(const Document& document)
{
    XmlText out;
    out.Kept(document.prolog);
    out.Element(L"Tweaks", document.rootAttributes, [&] {
        for (const Category& category : document.categories) {
            out.Kept(category.keptBefore);
            WriteCategory(out, category);
        }
        out.Kept(document.keptAtEnd);
    });
    return out.Take();
}

std::wstring WriteTweakText(const Tweak& tweak, std::wstring_view categoryIcon)
{
    XmlText out;
    WriteTweak(out, tweak, categoryIcon);
    return out.Take();
}

Platform::Status WriteDocument(std::wstring_view path, const Document& document)
{
    XmlDocument xml;
    if (!xml.SetDoc(WriteDocumentText(document))) {
        return Err::BadFormat;
    }
    return xml.Save(path);
}

}  // namespace Knobset
