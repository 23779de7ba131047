#include "utils/Knobset/document/Document.h"

namespace Knobset {

namespace {

// Erases list[index]; its keptBefore goes in front of the next element's, or
// to the end of keptAtEnd when it was the last.
template <typename T>
bool RemoveKeepingMarkup(std::vector<T>* list, size_t index, KeptMarkup* keptAtEnd)
{
    if (index >= list->size()) {
        return false;
    }
    KeptMarkup orphans = std::move((*list)[index].keptBefore);
    list->erase(list->begin() + static_cast<std::ptrdiff_t>(index));
    if (index < list->size()) {
        KeptMarkup& next = (*list)[index].keptBefore;
        next.insert(next.begin(), orphans.begin(), orphans.end());
    } else {
        keptAtEnd->insert(keptAtEnd->begin(), orphans.begin(), orphans.end());
    }
    return true;
}

}  // namespace

const wchar_t* ItemElementName(ItemKind kind)
{
    switch (kind) {
        case ItemKind::File:
            return L"File";
        case ItemKind::Shortcut:
            return L"Shortcut";
        case ItemKind::Key:
            break;
    }
    return L"Key";
}

bool RemoveTweak(Category* category, size_t index)
{
    return RemoveKeepingMarkup(&category->tweaks, index, &category->keptAtEnd);
}

bool RemoveItem(Tweak* tweak, size_t index)
{
    return RemoveKeepingMarkup(&tweak->items, index, &tweak->keptAtEnd);
}

bool RemoveChoice(Key* key, size_t index)
{
    return RemoveKeepingMarkup(&key->choices, index, &key->keptAfterChoices);
}

}  // namespace Knobset
