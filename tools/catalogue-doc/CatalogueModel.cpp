#include "tools/catalogue-doc/CatalogueModel.h"

#include <cwctype>

#include "core/xml/XmlDocument.h"

namespace CatalogueDoc {
namespace {

// Nested groups deeper than this are not followed; the program drops them too.
constexpr int kMaxGroupDepth = 64;

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsGroupElement(std::wstring_view name)
{
    return EqualsIgnoreCase(name, L"Category") || EqualsIgnoreCase(name, L"Group") ||
           EqualsIgnoreCase(name, L"Application");
}

// The reader is inside the Key element.
KeyItem ReadKey(XmlDocument& doc)
{
    KeyItem key;
    key.parent = doc.GetAttrib(L"parent");
    key.path = doc.GetAttrib(L"path");
    key.keyname = doc.GetAttrib(L"keyname");
    key.action = doc.GetAttrib(L"action");
    key.valuename = doc.GetAttrib(L"valuename");
    key.valuetype = doc.GetAttrib(L"valuetype");
    key.valueval = doc.GetAttrib(L"valueval");
    key.byteLength = doc.GetAttrib(L"valuevalbytelen");
    key.recursive = doc.GetAttrib(L"recursive");
    key.editable = doc.GetAttrib(L"editable");
    key.valuedescr = doc.GetAttrib(L"valuedescr");
    if (doc.FindChildElem(L"values")) {
        doc.IntoElem();
        while (doc.FindChildElem(L"value")) {
            Choice choice;
            choice.val = doc.GetChildAttrib(L"val");
            choice.action = doc.GetChildAttrib(L"action");
            choice.descr = doc.GetChildAttrib(L"descr");
            choice.byteLength = doc.GetChildAttrib(L"valuevalbytelen");
            choice.main = doc.GetChildAttrib(L"main") == L"1";
            key.choices.push_back(std::move(choice));
        }
        doc.OutOfElem();
    }
    return key;
}

FileItem ReadFile(const XmlDocument& doc)
{
    return {doc.GetAttrib(L"path"), doc.GetAttrib(L"name"), doc.GetAttrib(L"action"), doc.GetAttrib(L"destination"),
            doc.GetAttrib(L"recursive")};
}

ShortcutItem ReadShortcut(const XmlDocument& doc)
{
    return {doc.GetAttrib(L"shcname"), doc.GetAttrib(L"shcpath"), doc.GetAttrib(L"shcfoldername"),
            doc.GetAttrib(L"targetname"), doc.GetAttrib(L"targetpath")};
}

// The reader is on the Tweak element.
Tweak ReadTweak(XmlDocument& doc, const std::wstring& setName, const std::wstring& groups)
{
    Tweak tweak;
    tweak.name = doc.GetAttrib(L"n");
    tweak.set = setName;
    tweak.ver = doc.GetAttrib(L"ver");
    tweak.selected = doc.GetAttrib(L"enabled") == L"1";
    tweak.groups = groups;
    while (doc.FindChildElem()) {
        const std::wstring tag = doc.GetChildTagName();
        if (tag == L"d") {
            tweak.description = doc.GetChildData();
            continue;
        }
        if (tag != L"Key" && tag != L"File" && tag != L"Shortcut") {
            continue;
        }
        doc.IntoElem();
        if (tag == L"Key") {
            tweak.items.emplace_back(ReadKey(doc));
        } else if (tag == L"File") {
            tweak.items.emplace_back(ReadFile(doc));
        } else {
            tweak.items.emplace_back(ReadShortcut(doc));
        }
        doc.OutOfElem();
    }
    return tweak;
}

// The reader is on a Category, Group or Application element; its tweaks,
// those of nested groups included, go to `tweaks` in document order.
void ReadGroup(XmlDocument& doc, const std::wstring& setName, const std::wstring& groups, int depth,
               std::wstring* description, std::vector<Tweak>* tweaks)
{
    while (doc.FindChildElem()) {
        const std::wstring tag = doc.GetChildTagName();
        if (tag == L"d") {
            if (description != nullptr) {
                *description = doc.GetChildData();
            }
            continue;
        }
        const bool isTweak = EqualsIgnoreCase(tag, L"Tweak");
        if (!isTweak && (!IsGroupElement(tag) || depth >= kMaxGroupDepth)) {
            continue;
        }
        doc.IntoElem();
        if (isTweak) {
            tweaks->push_back(ReadTweak(doc, setName, groups));
        } else {
            const std::wstring name = doc.GetAttrib(L"n");
            ReadGroup(doc, setName, groups.empty() ? name : groups + L" / " + name, depth + 1, nullptr, tweaks);
        }
        doc.OutOfElem();
    }
}

}  // namespace

bool ReadTweakSet(XmlDocument& document, const std::wstring& setName, Catalogue* catalogue)
{
    document.ResetPos();
    if (!document.FindElem(L"Tweaks") || document.GetTagName() != L"Tweaks") {
        return false;
    }
    catalogue->sets.push_back(setName);
    const bool builtIn = catalogue->sets.size() == 1;
    document.IntoElem();
    while (document.FindElem(L"Category")) {
        if (document.GetTagName() != L"Category") {
            continue;
        }
        const std::wstring name = document.GetAttrib(L"n");
        Category* category = nullptr;
        for (Category& known : catalogue->categories) {
            if (known.name == name) {
                category = &known;
                break;
            }
        }
        if (category == nullptr) {
            category = &catalogue->categories.emplace_back();
            category->name = name;
            category->loaded = builtIn;
        }
        std::wstring description;
        ReadGroup(document, setName, {}, 1, &description, &category->tweaks);
        if (category->description.empty()) {
            category->description = description;
        }
    }
    return true;
}

}  // namespace CatalogueDoc
