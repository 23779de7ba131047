#include "tweaker/Configuration.h"

namespace Tweaker {

bool ReadConfiguration(XmlDocument& document, TweakValuesMap* map)
{
    document.ResetPos();
    if (!document.FindElem() || document.GetTagName() != L"Tweaks") {
        return false;
    }
    while (document.FindChildElem(L"Tweak")) {
        TweakValues values;
        values.enabled = document.GetChildAttrib(L"enabled") == L"1";
        const std::wstring name = document.GetChildAttrib(L"n");
        ReadItemValues(document, &values.items);
        InsertKeepingExisting(*map, name, std::move(values));
    }
    return true;
}

void ReadItemValues(XmlDocument& document, std::vector<ItemValue>* items)
{
    if (!document.IntoElem()) {
        return;
    }
    while (document.FindChildElem(L"ItmKeyVal")) {
        items->push_back({document.GetChildAttrib(L"n"), document.GetChildAttrib(L"path"),
                          document.GetChildAttrib(L"curval"), document.GetChildAttrib(L"action")});
    }
    (void)document.OutOfElem();
}

void WriteTweakElements(XmlDocument& document, const wchar_t* nameAttribute, const TweakValuesMap& map)
{
    for (const auto& [name, values] : map) {
        (void)document.AddChildElem(L"Tweak");
        (void)document.SetChildAttrib(nameAttribute, name);
        (void)document.SetChildAttrib(L"enabled", values.enabled ? L"1" : L"0");
        if (values.items.empty()) {
            continue;
        }
        (void)document.IntoElem();
        for (const ItemValue& item : values.items) {
            (void)document.AddChildElem(L"ItmKeyVal");
            (void)document.SetChildAttrib(L"n", item.n);
            (void)document.SetChildAttrib(L"curval", item.curval);
            (void)document.SetChildAttrib(L"action", item.action);
            if (!item.path.empty()) {
                (void)document.SetChildAttrib(L"path", item.path);
            }
        }
        (void)document.OutOfElem();
    }
}

std::wstring WriteConfiguration(const TweakValuesMap& map)
{
    XmlDocument document;
    (void)document.AddElem(L"Tweaks");
    WriteTweakElements(document, L"n", map);
    return document.GetDoc();
}

}  // namespace Tweaker
