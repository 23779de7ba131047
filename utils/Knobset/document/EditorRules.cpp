#include "utils/Knobset/document/EditorRules.h"

#include <algorithm>

#include "utils/Knobset/document/Keywords.h"

namespace Knobset {

namespace {

// The lists start with the entries the editor has always offered, in that
// order; the other keywords of the format follow.
constexpr std::wstring_view kActions[] = {
    L"VALUE_SET",         L"VALUE_DELETE",     L"VALUE_CLEAR",   L"KEY_SET",        L"KEY_DELETE",
    L"KEY_VALUES_DELETE", L"KEY_VALUES_CLEAR", L"SUBKEYS_CLEAR", L"SUBKEYS_DELETE",
};
constexpr std::wstring_view kParents[] = {
    L"HKCU", L"HKLM", L"HKCC", L"HKCR", L"HKUR", L"HKPD", L"HKDD", L".DEFAULT", L"DEFAULT_USER",
};
constexpr std::wstring_view kValueTypes[] = {
    L"REG_SZ",
    L"REG_BINARY",
    L"REG_DWORD",
    L"REG_MULTI_SZ",
    L"REG_QWORD",
    L"REG_NONE",
    L"REG_EXPAND_SZ",
    L"REG_DWORD_LITTLE_ENDIAN",
    L"REG_QWORD_LITTLE_ENDIAN",
};
constexpr std::wstring_view kEditable[] = {L"no", L"range", L"set"};

std::vector<std::wstring> ListWith(std::span<const std::wstring_view> head, std::span<const std::wstring_view> tail,
                                   std::wstring_view current)
{
    std::vector<std::wstring> list(head.begin(), head.end());
    list.insert(list.end(), tail.begin(), tail.end());
    if (std::find(list.begin(), list.end(), current) == list.end()) {
        list.emplace_back(current);
    }
    return list;
}

bool HasTweakNamed(const Document& document, std::wstring_view name)
{
    return std::any_of(document.categories.begin(), document.categories.end(), [name](const Category& c) {
        return std::any_of(c.tweaks.begin(), c.tweaks.end(), [name](const Tweak& t) { return t.name == name; });
    });
}

}  // namespace

NodeKind NodeKindAtDepth(int depth)
{
    switch (depth) {
        case 0:
            return NodeKind::Category;
        case 1:
            return NodeKind::Tweak;
        case 2:
            return NodeKind::Item;
        default:
            return NodeKind::Unknown;
    }
}

std::wstring_view NodeKindName(NodeKind kind)
{
    switch (kind) {
        case NodeKind::Category:
            return L"Category";
        case NodeKind::Tweak:
            return L"Tweak";
        case NodeKind::Item:
            return L"Item";
        case NodeKind::Unknown:
            break;
    }
    return L"Unknown Type";
}

Tweak NewTweak(const Document& document, uint64_t secondsSince1970)
{
    Tweak tweak;
    tweak.ver = kEveryVersion;
    uint64_t number = secondsSince1970;
    do {
        tweak.name = L"tweak" + std::to_wstring(number++);
    } while (HasTweakNamed(document, tweak.name));
    return tweak;
}

Item NewKeyItem()
{
    Item item;
    item.kind = ItemKind::Key;
    item.key.parent = L"HKCU";
    item.key.valuetype = L"REG_SZ";
    item.key.action = kValueSet;
    return item;
}

KeyFieldStates KeyFieldStatesOf(const Key& key)
{
    return {key.editable == L"set", key.editable == L"range", key.valuetype == L"REG_BINARY"};
}

std::wstring_view ShownEditable(std::wstring_view editable)
{
    return editable.empty() ? std::wstring_view(L"no") : editable;
}

std::wstring_view ShownAction(std::wstring_view action)
{
    return action.empty() ? kValueSet : action;
}

std::wstring_view ShownVersion(std::wstring_view ver)
{
    return ver.empty() ? kEveryVersion : ver;
}

std::vector<std::wstring> VersionChoices(std::wstring_view current)
{
    const std::wstring_view head[] = {kEveryVersion};
    return ListWith(head, VersionKeywords(), ShownVersion(current));
}

std::vector<std::wstring> MaxVersionChoices(std::wstring_view current)
{
    const std::wstring_view head[] = {std::wstring_view()};
    return ListWith(head, VersionKeywords(), current);
}

std::vector<std::wstring> ActionChoices(std::wstring_view current)
{
    return ListWith(kActions, {}, ShownAction(current));
}

std::vector<std::wstring> ParentChoices(std::wstring_view current)
{
    return ListWith(kParents, {}, current);
}

std::vector<std::wstring> ValueTypeChoices(std::wstring_view current)
{
    return ListWith(kValueTypes, {}, current);
}

std::vector<std::wstring> EditableChoices(std::wstring_view current)
{
    return ListWith(kEditable, {}, ShownEditable(current));
}

SaveStep DecideSave(const Document& document, bool changed, std::wstring_view path)
{
    if (document.categories.empty() || !changed) {
        return SaveStep::NothingToSave;
    }
    return path.empty() ? SaveStep::AskForPath : SaveStep::Write;
}

}  // namespace Knobset
