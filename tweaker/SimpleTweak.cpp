#include "tweaker/SimpleTweak.h"

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

// A stored configuration value takes over the item's value and action.
void TakeStoredValue(Key& key, const ItemValue& value)
{
    if (value.n != key.GetValueName() || !value.path.empty()) {
        return;  // registry items have no path, so an entry with one is another item's
    }
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

}  // namespace

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
        if (stored && !stored->empty()) {
            if (auto* key = dynamic_cast<Key*>(item.Get())) {
                defaults.items.push_back(
                    {key->GetValueName(), key->GetPath(), key->GetConfiguredValue(), key->GetActionText()});
                for (const ItemValue& value : *stored) {
                    TakeStoredValue(*key, value);
                }
            }
        }
        items_.push_back(std::move(item));
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
    for (Key* key : RegistryItems()) {
        for (const ItemValue& value : values) {
            if (value.n != key->GetValueName() || (!value.path.empty() && value.path != key->GetPath())) {
                continue;
            }
            key->SetConfiguredValue(value.curval);
            if (value.path.empty()) {
                key->SetActionText(value.action);
            }
            if (key->GetValueType() == Platform::RegType::Binary) {
                for (const Choice& choice : key->GetChoices()) {
                    if (choice.val == value.curval) {
                        key->SetByteLength(choice.byteLength);
                        break;
                    }
                }
            }
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
