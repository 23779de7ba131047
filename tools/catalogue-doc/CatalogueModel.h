#pragma once
// The tweak sets merged as the catalogue document shows them: categories in
// catalogue order, each with the tweaks of every set, those of nested groups
// where the groups stand.
#include <string>
#include <vector>

#include "utils/Knobset/document/Document.h"

namespace CatalogueDoc {

struct PlacedTweak {
    Knobset::Tweak tweak;
    std::wstring set;
    std::wstring groups;  // nested groups on the way, joined by " / "; empty directly in the category
};

struct Category {
    std::wstring name;
    std::wstring description;  // the first set's non-empty one
    // False for a category that only a later set names: the program drops
    // such categories with their tweaks.
    bool loaded = true;
    std::vector<PlacedTweak> tweaks;
};

struct Catalogue {
    std::vector<std::wstring> sets;  // in reading order
    std::vector<Category> categories;
};

// Adds the categories and tweaks of one tweak file as the set `setName`.
// Categories of a name already present gain the tweaks at their end.
void AddTweakSet(Knobset::Document document, const std::wstring& setName, Catalogue* catalogue);

// The tweak is selected by default: its enabled is exactly "1".
bool IsSelected(const Knobset::Tweak& tweak);

}  // namespace CatalogueDoc
