#include "utils/Knobset/editor/Panel.h"

#include "utils/Knobset/document/EditorRules.h"
#include "utils/Knobset/editor/NodeLookup.h"

namespace Knobset {

namespace {

void SetEdit(Panel& panel, Field field, const std::wstring& text)
{
    panel[field].enabled = true;
    panel[field].text = text;
}

void SetList(Panel& panel, Field field, std::wstring_view shown, std::vector<std::wstring> entries)
{
    panel[field].enabled = true;
    panel[field].text = std::wstring(shown);
    panel[field].entries = std::move(entries);
}

void SetCheck(Panel& panel, Field field, bool checked)
{
    panel[field].enabled = true;
    panel[field].text = checked ? L"1" : L"";
}

void ShowKey(Panel& panel, const Key& key, int selectedChoice)
{
    SetList(panel, Field::KeyAction, ShownAction(key.action), ActionChoices(key.action));
    SetList(panel, Field::KeyParent, key.parent, ParentChoices(key.parent));
    SetList(panel, Field::KeyValueType, key.valuetype, ValueTypeChoices(key.valuetype));
    SetEdit(panel, Field::KeyPath, key.path);
    SetEdit(panel, Field::KeyKeyname, key.keyname);
    SetEdit(panel, Field::KeyValueName, key.valuename);
    SetEdit(panel, Field::KeyByteLength, key.valuevalbytelen);
    SetEdit(panel, Field::KeyValue, key.valueval);
    SetList(panel, Field::KeyEditable, ShownEditable(key.editable), EditableChoices(key.editable));
    SetEdit(panel, Field::KeyValueDescr, key.valuedescr);

    const KeyFieldStates states = KeyFieldStatesOf(key);
    panel[Field::KeyValueDescr].enabled = states.valuedescrEnabled;
    panel[Field::KeyByteLength].enabled = states.byteLengthEnabled;
    panel.choicesEnabled = states.choicesEnabled;
    panel.choices.assign(key.choices.size(), L"value");
    if (!states.choicesEnabled || selectedChoice < 0 || static_cast<size_t>(selectedChoice) >= key.choices.size()) {
        return;
    }
    const Choice& choice = key.choices[static_cast<size_t>(selectedChoice)];
    panel.selectedChoice = selectedChoice;
    panel.deleteChoiceEnabled = true;
    SetCheck(panel, Field::ChoiceMain, choice.main == L"1");
    SetEdit(panel, Field::ChoiceVal, choice.val);
    SetList(panel, Field::ChoiceAction, ShownAction(choice.action), ActionChoices(choice.action));
    SetEdit(panel, Field::ChoiceByteLength, choice.valuevalbytelen);
    SetEdit(panel, Field::ChoiceDescr, choice.descr);
}

}  // namespace

FieldKind KindOf(Field field)
{
    switch (field) {
        case Field::TweakVersion:
        case Field::TweakMaxVersion:
        case Field::ItemType:
        case Field::KeyAction:
        case Field::KeyParent:
        case Field::KeyValueType:
        case Field::KeyEditable:
        case Field::ChoiceAction:
            return FieldKind::List;
        case Field::TweakManageableOff:
        case Field::ChoiceMain:
            return FieldKind::Check;
        default:
            return FieldKind::Edit;
    }
}

Panel PanelFor(const Document& document, NodeRef node, int selectedChoice)
{
    Panel panel;
    panel[Field::ItemType].entries = {L"Key", L"Shortcut", L"File"};
    if (const Item* item = ItemAt(document, node)) {
        panel[Field::ItemType].text = ItemElementName(item->kind);  // shown, never enabled
        panel.deleteItemEnabled = true;
        if (item->kind == ItemKind::Key) {
            ShowKey(panel, item->key, selectedChoice);
        }
    } else if (const Tweak* tweak = TweakAt(document, node); tweak && node.Depth() == 1) {
        SetEdit(panel, Field::TweakName, tweak->name);
        SetEdit(panel, Field::TweakDescription, tweak->description);
        SetEdit(panel, Field::TweakDetails, tweak->details);
        SetList(panel, Field::TweakVersion, ShownVersion(tweak->ver), VersionChoices(tweak->ver));
        SetList(panel, Field::TweakMaxVersion, tweak->maxver, MaxVersionChoices(tweak->maxver));
        SetCheck(panel, Field::TweakManageableOff, tweak->manageable == L"0");
        panel.deleteTweakEnabled = true;
        panel.addItemEnabled = true;
        panel.tweakXmlEnabled = true;
    } else if (const Category* category = CategoryAt(document, node); category && node.Depth() == 0) {
        SetEdit(panel, Field::CategoryName, category->name);
        SetEdit(panel, Field::CategoryIcon, category->icon);
        panel.addTweakEnabled = true;
    }
    return panel;
}

}  // namespace Knobset
