#pragma once
// The document's category, tweak or item that a tree node stands for;
// nullptr when the node names none (or something deeper than asked for).
#include <cstddef>

#include "utils/Knobset/document/Document.h"
#include "utils/Knobset/editor/TreeEdit.h"

namespace Knobset {

template <typename Doc>
auto CategoryAt(Doc& document, NodeRef node) -> decltype(&document.categories[0])
{
    if (node.category < 0 || static_cast<size_t>(node.category) >= document.categories.size()) {
        return nullptr;
    }
    return &document.categories[static_cast<size_t>(node.category)];
}

template <typename Doc>
auto TweakAt(Doc& document, NodeRef node) -> decltype(&document.categories[0].tweaks[0])
{
    auto* category = CategoryAt(document, node);
    if (!category || node.tweak < 0 || static_cast<size_t>(node.tweak) >= category->tweaks.size()) {
        return nullptr;
    }
    return &category->tweaks[static_cast<size_t>(node.tweak)];
}

template <typename Doc>
auto ItemAt(Doc& document, NodeRef node) -> decltype(&document.categories[0].tweaks[0].items[0])
{
    auto* tweak = TweakAt(document, node);
    if (!tweak || node.item < 0 || static_cast<size_t>(node.item) >= tweak->items.size()) {
        return nullptr;
    }
    return &tweak->items[static_cast<size_t>(node.item)];
}

// True when the node names something in the document.
inline bool Exists(const Document& document, NodeRef node)
{
    switch (node.Depth()) {
        case 0:
            return CategoryAt(document, node) != nullptr;
        case 1:
            return TweakAt(document, node) != nullptr;
        case 2:
            return ItemAt(document, node) != nullptr;
        default:
            return false;
    }
}

}  // namespace Knobset
