#include "tools/catalogue-doc/CatalogueModel.h"

#include <algorithm>

#include "core/xml/XmlDocument.h"
#include "utils/Knobset/document/DocumentReader.h"

namespace CatalogueDoc {
namespace {

// Nested groups deeper than this are not followed; the program drops them too.
constexpr int kMaxGroupDepth = 64;

// The category's own description: the last "d" among its children, which the
// document keeps as markup because the editor does not edit it.
std::wstring DescriptionOf(const Knobset::Category& category)
{
    std::wstring description;
    const auto scan = [&description](const Knobset::KeptMarkup& kept) {
        for (const std::wstring& markup : kept) {
            XmlDocument element;  // a kept comment has no element and fails here
            if (element.SetDoc(markup) && element.FindElem() && element.GetTagName() == L"d") {
                description = element.GetData();
            }
        }
    };
    for (const Knobset::Tweak& tweak : category.tweaks) {
        scan(tweak.keptBefore);
    }
    scan(category.keptAtEnd);
    return description;
}

// Moves the tweaks of a category or nested group to *out in document order;
// nested groups, kept as markup, give theirs where they stand.
void TakeTweaks(Knobset::Category& group, const std::wstring& setName, const std::wstring& groups, int depth,
                std::vector<PlacedTweak>* out)
{
    const auto takeNested = [&](const Knobset::KeptMarkup& kept) {
        if (depth >= kMaxGroupDepth) {
            return;
        }
        for (const std::wstring& markup : kept) {
            Knobset::Category nested;
            if (Knobset::ReadNestedGroup(markup, &nested)) {
                TakeTweaks(nested, setName, groups.empty() ? nested.name : groups + L" / " + nested.name, depth + 1,
                           out);
            }
        }
    };
    for (Knobset::Tweak& tweak : group.tweaks) {
        takeNested(tweak.keptBefore);
        out->push_back({std::move(tweak), setName, groups});
    }
    takeNested(group.keptAtEnd);
}

}  // namespace

void AddTweakSet(Knobset::Document document, const std::wstring& setName, Catalogue* catalogue)
{
    catalogue->sets.push_back(setName);
    const bool builtIn = catalogue->sets.size() == 1;
    for (Knobset::Category& read : document.categories) {
        auto category = std::find_if(catalogue->categories.begin(), catalogue->categories.end(),
                                     [&read](const Category& known) { return known.name == read.name; });
        if (category == catalogue->categories.end()) {
            category = catalogue->categories.insert(category, Category{read.name, {}, builtIn, {}});
        }
        if (category->description.empty()) {
            category->description = DescriptionOf(read);
        }
        TakeTweaks(read, setName, {}, 1, &category->tweaks);
    }
}

bool IsSelected(const Knobset::Tweak& tweak)
{
    return tweak.enabled == L"1";
}

}  // namespace CatalogueDoc
