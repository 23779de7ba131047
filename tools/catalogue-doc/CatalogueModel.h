#pragma once
// The tweak files read as the catalogue document needs them: categories in
// catalogue order, each with the tweaks of every set, and each tweak's items
// with their attributes as written.
#include <string>
#include <variant>
#include <vector>

class XmlDocument;

namespace CatalogueDoc {

struct Choice {
    std::wstring val;
    std::wstring action;
    std::wstring descr;
    std::wstring byteLength;
    bool main = false;
};

struct KeyItem {
    std::wstring parent;
    std::wstring path;
    std::wstring keyname;
    std::wstring action;
    std::wstring valuename;
    std::wstring valuetype;
    std::wstring valueval;
    std::wstring byteLength;
    std::wstring recursive;
    std::wstring editable;
    std::wstring valuedescr;
    std::vector<Choice> choices;
};

struct FileItem {
    std::wstring path;
    std::wstring name;
    std::wstring action;
    std::wstring destination;
    std::wstring recursive;
};

struct ShortcutItem {
    std::wstring shcname;
    std::wstring shcpath;
    std::wstring shcfoldername;
    std::wstring targetname;
    std::wstring targetpath;
};

using Item = std::variant<KeyItem, FileItem, ShortcutItem>;

struct Tweak {
    std::wstring name;
    std::wstring set;
    std::wstring ver;
    bool selected = false;  // enabled is exactly "1"
    std::wstring description;
    std::wstring groups;  // nested groups on the way, joined by " / "; empty directly in the category
    std::vector<Item> items;
};

struct Category {
    std::wstring name;
    std::wstring description;  // the first set's non-empty one
    // False for a category that only a later set names: the program drops
    // such categories with their tweaks.
    bool loaded = true;
    std::vector<Tweak> tweaks;
};

struct Catalogue {
    std::vector<std::wstring> sets;  // in reading order
    std::vector<Category> categories;
};

// Adds the categories and tweaks of one tweak file, already parsed, as the set
// `setName`. Categories of a name already present gain the tweaks at their
// end. False when the root element is not "Tweaks".
bool ReadTweakSet(XmlDocument& document, const std::wstring& setName, Catalogue* catalogue);

}  // namespace CatalogueDoc
