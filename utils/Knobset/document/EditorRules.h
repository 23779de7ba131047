#pragma once
// The editor's decisions that do not need a window: what a new tweak or item
// holds, which fields a key enables, what the drop-down lists offer, and what
// Save does. The dialog calls these and only shows the results.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "utils/Knobset/document/Document.h"

namespace Knobset {

// The kind of a tree node is its depth.
enum class NodeKind { Category, Tweak, Item, Unknown };
NodeKind NodeKindAtDepth(int depth);
// "Category", "Tweak", "Item" or "Unknown Type".
std::wstring_view NodeKindName(NodeKind kind);

// Add Tweak: named "tweak" and the time in seconds since 1970, ver "WIN_32",
// no icon of its own (it is written with its category's). When a tweak of the
// document already has that name the next free number is taken, so two
// tweaks never share a name, whatever the clock does.
Tweak NewTweak(const Document& document, uint64_t secondsSince1970);
// Add Item: a Key with parent "HKCU", valuetype "REG_SZ", action "VALUE_SET".
Item NewKeyItem();

struct KeyFieldStates {
    bool choicesEnabled = false;     // editable is "set"
    bool valuedescrEnabled = false;  // editable is "range"
    bool byteLengthEnabled = false;  // valuetype is "REG_BINARY"
};
KeyFieldStates KeyFieldStatesOf(const Key& key);

// What a drop-down list shows for a text: an empty editable as "no", an empty
// choice action as "VALUE_SET", an empty version as "WIN_32".
std::wstring_view ShownEditable(std::wstring_view editable);
std::wstring_view ShownAction(std::wstring_view action);
std::wstring_view ShownVersion(std::wstring_view ver);

// The entries of the drop-down lists. Each holds every keyword of its kind;
// a text read from a file that is none of them is added at the end, so that
// showing it never changes it.
std::vector<std::wstring> VersionChoices(std::wstring_view current);
// maxver: an empty entry first (no newest version, and no attribute written),
// then every version keyword.
std::vector<std::wstring> MaxVersionChoices(std::wstring_view current);
std::vector<std::wstring> ActionChoices(std::wstring_view current);
std::vector<std::wstring> ParentChoices(std::wstring_view current);
std::vector<std::wstring> ValueTypeChoices(std::wstring_view current);
std::vector<std::wstring> EditableChoices(std::wstring_view current);

enum class SaveStep {
    NothingToSave,  // no category, or nothing changed: "There is nothing to save"
    AskForPath,     // a new document: Save as...
    Write,          // validate and write to the document's path
};
SaveStep DecideSave(const Document& document, bool changed, std::wstring_view path);

}  // namespace Knobset
