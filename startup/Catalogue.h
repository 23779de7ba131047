#pragma once
// The catalogue of autostart locations and the flat listing of its entries.
#include <string>
#include <vector>

#include "startup/IEntry.h"

namespace StartUp {

// Appends the groups of every autostart location, in order, to roots. The
// 32-bit view's Run and RunOnce keys are added on 64-bit Windows only.
void AddCatalogueGroups(CategoryList& roots);

// AddCatalogueGroups, then Enumerate on each group.
void BuildCatalogue(CategoryList& roots);

// One entry with the category that lists it.
struct ListedEntry {
    std::wstring category;  // "Group / Category"
    RTI::Reference<ICategory> owner;
    RTI::Reference<IElement> entry;
};

// Every entry of every leaf category, in catalogue order.
std::vector<ListedEntry> ListEntries(const CategoryList& roots);

// Calls visit(path, category) for every leaf category ("Group / Category").
template <class Visit>
void ForEachCategory(const CategoryList& roots, Visit visit, const std::wstring& prefix = {})
{
    for (const RTI::Reference<ICategory>& category : roots) {
        const std::wstring path = prefix.empty() ? category->Name() : prefix + L" / " + category->Name();
        if (category->Categories().empty() && category->TypeCode() != FourCC("GRUP")) {
            visit(path, category);
        } else {
            ForEachCategory(category->Categories(), visit, path);
        }
    }
}

}  // namespace StartUp
