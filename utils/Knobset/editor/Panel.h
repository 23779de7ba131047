#pragma once
// What the field panel beside the tree shows for the selected node: each
// field's text, whether it is enabled, and the entries of the drop-down
// lists. The dialog only copies this into its controls.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "utils/Knobset/document/Document.h"
#include "utils/Knobset/editor/TreeEdit.h"

namespace Knobset {

enum class Field {
    CategoryName,
    CategoryIcon,
    TweakName,
    TweakDescription,
    TweakDetails,
    TweakVersion,        // list
    TweakMaxVersion,     // list: the newest version, "" for none
    TweakManageableOff,  // check box: "1" when manageable is "0"
    ItemType,            // list, shown but never edited
    KeyAction,           // list
    KeyParent,           // list
    KeyValueType,        // list
    KeyPath,
    KeyKeyname,
    KeyValueName,
    KeyByteLength,
    KeyValue,
    KeyEditable,  // list
    KeyValueDescr,
    ChoiceMain,  // check box: "1" when the choice's main is "1"
    ChoiceVal,
    ChoiceAction,  // list
    ChoiceByteLength,
    ChoiceDescr,
};
inline constexpr size_t kFieldCount = static_cast<size_t>(Field::ChoiceDescr) + 1;

enum class FieldKind { Edit, List, Check };
FieldKind KindOf(Field field);

struct FieldView {
    bool enabled = false;
    std::wstring text;                  // for a list: the entry shown; for a check box: "1" when checked
    std::vector<std::wstring> entries;  // lists only
};

struct Panel {
    std::array<FieldView, kFieldCount> fields;
    // The "Key Values Set" group: its list of choices (each shown as "value"),
    // the selected one (-1 none), and whether Add and Delete work.
    bool choicesEnabled = false;
    std::vector<std::wstring> choices;
    int selectedChoice = -1;
    bool deleteChoiceEnabled = false;
    // The buttons that work on the selection.
    bool addTweakEnabled = false;
    bool deleteTweakEnabled = false;
    bool addItemEnabled = false;
    bool deleteItemEnabled = false;
    bool tweakXmlEnabled = false;

    FieldView& operator[](Field f) { return fields[static_cast<size_t>(f)]; }
    const FieldView& operator[](Field f) const { return fields[static_cast<size_t>(f)]; }
};

// The panel for a node of the document and a selected choice of its key.
// Lists hold every keyword of their kind and the text shown, so that showing
// a node never changes it.
Panel PanelFor(const Document& document, NodeRef node, int selectedChoice);

}  // namespace Knobset
