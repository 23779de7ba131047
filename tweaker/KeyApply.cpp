// Application of registry items. Each change is recorded first, decided by
// the literal key or value it touches; a change whose record fails is not made.
#include "core/platform/Handles.h"
#include "core/system/Options.h"
#include "core/system/RegistryTree.h"
#include "tweaker/JournalCall.h"
#include "tweaker/Key.h"
#include "tweaker/KeyAccess.h"
#include "tweaker/ValueData.h"

namespace Tweaker {

using Platform::KeyAccess;
using Platform::UniqueKey;

namespace {

Platform::IRegistry& Registry()
{
    return Platform::Current().Registry();
}

std::vector<std::wstring> SubkeyNames(Platform::KeyHandle key)
{
    std::vector<std::wstring> names;
    std::wstring name;
    for (uint32_t i = 0; Registry().EnumKey(key, i, &name) == 0; ++i) {
        names.push_back(name);
    }
    return names;
}

std::vector<std::wstring> ValueNames(Platform::KeyHandle key)
{
    std::vector<std::wstring> names;
    std::wstring name;
    uint32_t type = 0;
    for (uint32_t i = 0; Registry().EnumValue(key, i, &name, &type) == 0; ++i) {
        names.push_back(name);
    }
    return names;
}

// Deletes (or empties) every value of root\path, and of every key below it
// when recursive, each after its record. False when a record failed, the run
// was cancelled or the key cannot be opened.
bool ChangeValues(Remover::Processor* journal, Platform::KeyHandle root, const std::wstring& path, bool clear,
                  Sys::Recursive recursive, Platform::EventHandle cancel)
{
    UniqueKey key;
    if (OpenItemKey(root, path, KeyAccess::Change, &key) != 0) {
        return false;
    }
    bool ok = true;
    if (recursive == Sys::Recursive::Yes) {
        for (const std::wstring& sub : SubkeyNames(key.get())) {
            if (!ChangeValues(journal, root, JoinKeyPath(path, sub), clear, recursive, cancel)) {
                ok = false;
            }
        }
    }
    // From the last value to the first: a registry removes the last entry
    // cheapest, and a restore (which runs backwards) puts the values back in
    // their old order.
    const std::vector<std::wstring> names = ValueNames(key.get());
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        const std::wstring& name = *it;
        if (Sys::IsCancelled(cancel)) {
            return false;
        }
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (Registry().QueryValue(key.get(), name, &type, &data) != 0 || (clear && data.empty())) {
            continue;  // gone since, or nothing to empty
        }
        if (!RecordValue(journal, L"DelRegValue", root, path, name, cancel, true)) {
            return false;
        }
        const Platform::Status s =
            clear ? Sys::ClearValue(key.get(), name, nullptr) : Sys::DeleteValue(key.get(), name, nullptr);
        ok = ok && s == 0;
    }
    return ok;
}

}  // namespace

bool Key::Apply(Remover::Processor* journal, Platform::EventHandle cancel)
{
    if (Analyse()) {
        return true;  // in effect: nothing is changed and nothing recorded
    }
    if (Root() == nullptr) {
        return false;
    }
    switch (action_) {
        case Action::KeyDelete:
            return ApplyKeyDelete(journal, cancel);
        case Action::KeySet:
            return ApplyKeySet(journal, cancel);
        case Action::KeyValuesDelete:
        case Action::KeyValuesClear:
            return ApplyValueWalk(journal, action_ == Action::KeyValuesClear, cancel);
        case Action::ValueDelete:
        case Action::ValueClear:
            return ApplyValueDelete(journal, action_ == Action::ValueClear, cancel);
        case Action::ValueSet:
            return ApplyValueSet(journal, cancel);
        case Action::SubkeysDelete:
            return ApplySubkeysDelete(journal, cancel);
        default:
            return false;
    }
}

bool Key::ApplyKeyDelete(Remover::Processor* journal, Platform::EventHandle cancel)
{
    const std::wstring full = FullKeyPath();
    UniqueKey key;
    if (keyName_.empty() || OpenItemKey(Root(), full, KeyAccess::Read, &key) != 0) {
        return Analyse();  // the literal key is not there: nothing to delete
    }
    key.reset();
    if (!RecordKey(journal, L"DelRegKey", Root(), full, cancel)) {
        return false;
    }
    (void)Sys::DeleteKeyTree(Root(), full, nullptr, cancel);
    return Analyse();
}

bool Key::ApplyKeySet(Remover::Processor* journal, Platform::EventHandle cancel)
{
    UniqueKey parent;
    if (keyName_.empty() || OpenItemKey(Root(), keyPath_, KeyAccess::Change, &parent) != 0) {
        return false;
    }
    if (!RecordKey(journal, L"SetRegKey", Root(), FullKeyPath(), cancel)) {
        return false;
    }
    UniqueKey created;
    bool isNew = false;
    if (Registry().CreateKey(parent.get(), keyName_, created.put(), &isNew) != 0) {
        return false;
    }
    return Analyse();
}

bool Key::ApplyValueWalk(Remover::Processor* journal, bool clear, Platform::EventHandle cancel)
{
    if (!ChangeValues(journal, Root(), FullKeyPath(), clear, recursive_ ? Sys::Recursive::Yes : Sys::Recursive::No,
                      cancel)) {
        return false;
    }
    return Analyse();
}

bool Key::ApplyValueDelete(Remover::Processor* journal, bool clear, Platform::EventHandle cancel)
{
    UniqueKey key;
    if (OpenItemKey(Root(), FullKeyPath(), KeyAccess::Change, &key) != 0) {
        return false;
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Registry().QueryValue(key.get(), valueName_, &type, &data) != 0 || (clear && data.empty())) {
        return Analyse();  // the literal value needs no change
    }
    if (!RecordValue(journal, L"DelRegValue", Root(), FullKeyPath(), valueName_, cancel)) {
        return false;
    }
    const Platform::Status s =
        clear ? Sys::ClearValue(key.get(), valueName_, nullptr) : Sys::DeleteValue(key.get(), valueName_, nullptr);
    return s == 0 && Analyse();
}

bool Key::ApplyValueSet(Remover::Processor* journal, Platform::EventHandle cancel)
{
    const std::wstring full = FullKeyPath();
    UniqueKey key;
    bool createdHere = false;
    const Platform::Status opened = OpenItemKey(Root(), full, KeyAccess::Change, &key);
    if (opened == Err::FileNotFound) {
        // The record names the outermost level that does not exist yet, so
        // the restore removes every level created here.
        if (!RecordKey(journal, L"SetRegKey", Root(), full, cancel)) {
            return false;
        }
        bool isNew = false;
        if (Registry().CreateKey(Root(), full, key.put(), &isNew) != 0) {
            return false;
        }
        createdHere = true;
    } else if (opened != 0) {
        return false;
    }
    const std::vector<uint8_t> bytes = ValueBytes(type_, configured_, byteLength_);
    uint32_t oldType = 0;
    std::vector<uint8_t> old;
    // The registry finds the value whatever the letter case of its name, so a
    // value spelled differently is this value: its old content is recorded
    // under its stored name, and overwriting keeps that spelling.
    const bool exists = Registry().QueryValue(key.get(), valueName_, &oldType, &old) == 0;
    if (exists && oldType == type_ && old == bytes) {
        return Analyse();
    }
    if (!createdHere &&
        !RecordValue(journal, exists ? L"DelRegValue" : L"SetRegValue", Root(), full, valueName_, cancel)) {
        return false;
    }
    if (Registry().SetValue(key.get(), valueName_, type_, bytes.data(), bytes.size()) != 0) {
        return false;
    }
    return Analyse();
}

bool Key::ApplySubkeysDelete(Remover::Processor* journal, Platform::EventHandle cancel)
{
    const std::wstring full = FullKeyPath();
    UniqueKey key;
    if (OpenItemKey(Root(), full, KeyAccess::Read, &key) != 0) {
        return Analyse();
    }
    const std::vector<std::wstring> names = SubkeyNames(key.get());
    key.reset();
    for (const std::wstring& name : names) {
        if (Sys::IsCancelled(cancel)) {
            return false;
        }
        const std::wstring sub = JoinKeyPath(full, name);
        if (!RecordKey(journal, L"DelRegKey", Root(), sub, cancel)) {
            return false;
        }
        (void)Sys::DeleteKeyTree(Root(), sub, nullptr, cancel);
    }
    return Analyse();
}

}  // namespace Tweaker
