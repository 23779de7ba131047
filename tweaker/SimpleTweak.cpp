#include "tweaker/SimpleTweak.h"

#include <algorithm>
#include <map>

#include "core/platform/Errors.h"
#include "tweaker/IProducer.h"
#include "tweaker/Key.h"
#include "tweaker/Keywords.h"
#include "tweaker/RunControl.h"

namespace Tweaker {
namespace {

constexpr uint32_t kTweakPaceMs = 50;

bool IsItemElement(std::wstring_view name)
{
    return name == L"Key" || name == L"File" || name == L"Shortcut";
}

// A recorded value takes over the item's value and action.
void TakeValue(Key& key, const ItemValue& value)
{
    key.SetConfiguredValue(value.curval);
    key.SetActionText(value.action);
    if (key.GetValueType() == Platform::RegType::Binary) {
        for (const Choice& choice : key.GetChoices()) {
            if (choice.val == value.curval) {
                key.SetByteLength(choice.byteLength);
                break;
            }
        }
    }
}

std::wstring_view ActionOrDefault(std::wstring_view action)
{
    return action.empty() ? std::wstring_view(L"VALUE_SET") : action;
}

// Whether an item may take a profile's value: an item with choices only one
// of them (a choice that deletes the value has no value to compare), a
// typed item only a value that passes its check; other items anything.
bool Accepts(const Key& key, const ItemValue& value)
{
    switch (key.GetEditKind()) {
        case EditKind::Choices:
            for (const Choice& choice : key.GetChoices()) {
                const std::wstring_view action = ActionOrDefault(choice.action);
                if (action == ActionOrDefault(value.action) &&
                    (action == L"VALUE_DELETE" || choice.val == value.curval)) {
                    return true;
                }
            }
            return false;
        case EditKind::Range:
            return key.IsValidValue(value.curval);
        default:
            return true;
    }
}

}  // namespace

std::vector<const ItemValue*> PairValuesWithItems(const std::vector<Key*>& keys, const std::vector<ItemValue>& values)
{
    std::vector<const ItemValue*> paired(keys.size(), nullptr);
    // Registry items have no path, so an entry with one belongs to no item.
    std::map<std::wstring, std::vector<const ItemValue*>> entries;
    for (const ItemValue& value : values) {
        if (value.path.empty()) {
            entries[value.n].push_back(&value);
        }
    }
    std::map<std::wstring, std::vector<size_t>> items;
    for (size_t i = 0; i < keys.size(); ++i) {
        items[keys[i]->GetValueName()].push_back(i);
    }
    for (const auto& [name, indices] : items) {
        const auto found = entries.find(name);
        if (found == entries.end()) {
            continue;
        }
        const std::vector<const ItemValue*>& list = found->second;
        for (size_t k = 0; k < indices.size(); ++k) {
            const bool lastItem = k + 1 == indices.size();
            paired[indices[k]] = list[lastItem ? list.size() - 1 : std::min(k, list.size() - 1)];
        }
    }
    return paired;
}

int SimpleTweak::Load(XmlDocument& reader, IProducer& producer)
{
    share_ = 0.0;
    name_ = reader.GetAttrib(L"n");
    icon_ = reader.GetAttrib(L"i");
    selected_ = reader.GetAttrib(L"enabled") == L"1";
    manageable_ = reader.GetAttrib(L"manageable") != L"0";
    version_ = reader.GetAttrib(L"ver");
    minimumSystem_ = SystemCode(version_);
    maxVersion_ = reader.GetAttrib(L"maxver");
    maximumSystem_ = SystemCode(maxVersion_);

    TweakValues defaults{selected_, {}};
    const std::vector<ItemValue>* stored = nullptr;
    if (const TweakValuesMap* config = producer.ConfigValues()) {
        if (auto it = config->find(name_); it != config->end()) {
            selected_ = it->second.enabled;
            stored = &it->second.items;
        }
    }
    while (reader.FindChildElem()) {
        const std::wstring tag = reader.GetChildTagName();
        if (tag == L"d") {
            description_ = reader.GetChildData();
            continue;
        }
        if (tag == L"dex") {
            details_ = reader.GetChildData();
            continue;
        }
        if (!IsItemElement(tag)) {
            continue;
        }
        RTI::Reference<IItem> item = producer.Items().Create(tag);
        if (!item || !reader.IntoElem()) {
            continue;
        }
        const int loaded = item->Load(reader);
        (void)reader.OutOfElem();
        if (loaded != 0) {
            continue;
        }
        editable_ = editable_ || item->GetEditKind() != EditKind::None;
        // The default snapshot holds every registry item as the file gives
        // it, so that the Default profile restores all of them.
        if (const auto* key = dynamic_cast<Key*>(item.Get())) {
            defaults.items.push_back(
                {key->GetValueName(), key->GetPath(), key->GetConfiguredValue(), key->GetActionText()});
        }
        items_.push_back(std::move(item));
    }
    if (stored && !stored->empty()) {
        const std::vector<Key*> keys = RegistryItems();
        const std::vector<const ItemValue*> paired = PairValuesWithItems(keys, *stored);
        for (size_t i = 0; i < keys.size(); ++i) {
            if (paired[i] != nullptr) {
                TakeValue(*keys[i], *paired[i]);
            }
        }
    }
    if (TweakValuesMap* snapshot = producer.DefaultValues()) {
        InsertKeepingExisting(*snapshot, name_, std::move(defaults));
    }
    return 0;
}

uint32_t SimpleTweak::Analyse(RTI::ITracer* tracer, ITweak* /*parent*/, Platform::EventHandle cancel)
{
    if (tracer) {
        Pace(kTweakPaceMs);
    }
    if (items_.empty()) {
        share_ = 0.0;
        return Err::Success;
    }
    applyComplete_ = true;
    share_ = 1.0;
    for (const auto& item : items_) {
        // Every item is analysed, so that each refreshes its own status.
        if (!item->Analyse()) {
            share_ = 0.0;
        }
        if (Checkpoint(cancel)) {
            return Err::Cancelled;
        }
    }
    return Err::Success;
}

uint32_t SimpleTweak::Apply(RTI::ITracer* /*tracer*/, ITweak* /*parent*/, Platform::EventHandle cancel,
                            Remover::Processor* journal)
{
    Pace(kTweakPaceMs);
    applyComplete_ = true;
    if (!selected_) {
        return Err::NotSelected;
    }
    if (items_.empty()) {
        share_ = 0.0;
        return Err::Success;
    }
    share_ = 1.0;
    for (const auto& item : items_) {
        if (!item->Apply(journal, cancel)) {
            share_ = 0.0;
            applyComplete_ = false;
        }
        if (Checkpoint(cancel)) {
            return Err::Cancelled;
        }
    }
    return Err::Success;
}

std::vector<Key*> SimpleTweak::RegistryItems() const
{
    std::vector<Key*> keys;
    for (const auto& item : items_) {
        if (auto* key = dynamic_cast<Key*>(item.Get())) {
            keys.push_back(key);
        }
    }
    return keys;
}

std::vector<ItemValue> SimpleTweak::RegistryItemValues() const
{
    std::vector<ItemValue> values;
    for (const Key* key : RegistryItems()) {
        values.push_back({key->GetValueName(), key->GetPath(), key->GetConfiguredValue(), key->GetActionText()});
    }
    return values;
}

void SimpleTweak::ApplyProfileValues(const std::vector<ItemValue>& values)
{
    const std::vector<Key*> keys = RegistryItems();
    const std::vector<const ItemValue*> paired = PairValuesWithItems(keys, values);
    for (size_t i = 0; i < keys.size(); ++i) {
        if (paired[i] != nullptr && Accepts(*keys[i], *paired[i])) {
            TakeValue(*keys[i], *paired[i]);
        }
    }
}

void SimpleTweak::DiscardProfileValues()
{
    for (Key* key : RegistryItems()) {
        if (!key->Analyse()) {
            (void)key->TakeValuesFromRegistry();
        }
    }
}

}  // namespace Tweaker
