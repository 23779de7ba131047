#pragma once
// The Knobset document: a tweak file as the editor holds it. Categories hold
// tweaks, tweaks hold items; every attribute the editor edits is held as text
// exactly as read (an absent attribute reads as empty text, which every
// reader of tweak files treats the same as absence).
//
// What the editor does not edit is kept so that saving loses nothing: the
// attributes it does not know stay with their element, and child markup it
// does not model (nested groups, a category's description, unknown elements,
// comments) is kept as source text in the place it stood, relative to the
// modelled siblings around it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace Knobset {

struct Attribute {
    std::wstring name;
    std::wstring value;

    bool operator==(const Attribute&) const = default;
};
using AttributeList = std::vector<Attribute>;

// Pieces of source markup (elements, comments), each written back verbatim.
using KeptMarkup = std::vector<std::wstring>;

// The names of the edited attributes an element had in its file. The writer
// writes these even where the writing order leaves them out for the action
// or value at hand, so that a file read and saved keeps them all; an element
// made in the editor has none and is written by the writing order alone.
using AttributeNames = std::vector<std::wstring>;

// One choice of a Key whose editable is "set" (a "value" element).
struct Choice {
    std::wstring val;
    std::wstring valuevalbytelen;
    std::wstring descr;
    std::wstring action;
    std::wstring main;

    AttributeNames attributesInFile;
    AttributeList otherAttributes;
    KeptMarkup keptBefore;  // markup between the previous choice and this one
    KeptMarkup keptInside;  // child markup of the "value" element

    bool operator==(const Choice&) const = default;
};

// The attributes of a "Key" item and its choices.
struct Key {
    std::wstring parent;
    std::wstring path;
    std::wstring keyname;
    std::wstring action;
    std::wstring valuename;
    std::wstring valuetype;
    std::wstring valueval;
    std::wstring valuevalbytelen;
    std::wstring editable;
    std::wstring valuedescr;
    std::vector<Choice> choices;
    AttributeNames attributesInFile;

    // The "values" element that holds the choices: its own attributes and the
    // markup after the last choice. hasValuesElement keeps an element that
    // was in the file even when it has no choice.
    bool hasValuesElement = false;
    AttributeList valuesAttributes;
    KeptMarkup keptAfterChoices;

    bool operator==(const Key&) const = default;
};

enum class ItemKind { Key, File, Shortcut };

// The element name of an item: "Key", "File" or "Shortcut".
const wchar_t* ItemElementName(ItemKind kind);

struct Item {
    ItemKind kind = ItemKind::Key;
    Key key;  // used when kind is Key

    // Attributes the editor does not edit: a Key's "recursive" and unknown
    // ones; every attribute of a File or Shortcut, in their order.
    AttributeList otherAttributes;
    KeptMarkup keptBefore;       // markup between the previous item and this one
    KeptMarkup keptInside;       // child markup before the "values" element (all of it for File, Shortcut)
    KeptMarkup keptAfterValues;  // child markup after the "values" element

    bool operator==(const Item&) const = default;
};

struct Tweak {
    std::wstring name;         // n
    std::wstring ver;          // version keyword, or any other text as read
    std::wstring maxver;       // newest version keyword; empty: no newest version
    std::wstring enabled;      // "1" selects the tweak
    std::wstring manageable;   // "0" turns the two-state switch off
    std::wstring description;  // d
    std::wstring details;      // dex
    // i: the tweak's own icon as read (empty when the file had none). A tweak
    // made in the editor has none of its own and is written with the icon of
    // its category.
    std::optional<std::wstring> icon;
    std::vector<Item> items;

    AttributeNames attributesInFile;
    AttributeList otherAttributes;
    KeptMarkup keptBefore;   // markup between the previous tweak and this one
    KeptMarkup keptAtStart;  // markup before the tweak's first child
    KeptMarkup keptAtEnd;    // markup after the last item

    bool operator==(const Tweak&) const = default;
};

// A category, or (when read from kept markup for the validator) a nested
// Group or Application, which have the same content.
struct Category {
    std::wstring name;  // n
    std::wstring icon;  // i
    std::vector<Tweak> tweaks;

    AttributeList otherAttributes;
    KeptMarkup keptBefore;  // markup between the previous category and this one
    KeptMarkup keptAtEnd;   // markup after the last tweak

    bool operator==(const Category&) const = default;
};

struct Document {
    std::vector<Category> categories;

    AttributeList rootAttributes;  // of the "Tweaks" element
    KeptMarkup prolog;             // markup before the "Tweaks" element
    KeptMarkup keptAtEnd;          // root markup after the last category

    bool operator==(const Document&) const = default;
};

// Removing a tweak, an item or a choice keeps the markup that stood before
// it: it moves in front of the next sibling (or to the container's end), so
// that a nested group or an unknown element is never dropped with its
// neighbour. Out-of-range indexes change nothing and give false.
bool RemoveTweak(Category* category, size_t index);
bool RemoveItem(Tweak* tweak, size_t index);
bool RemoveChoice(Key* key, size_t index);

}  // namespace Knobset
