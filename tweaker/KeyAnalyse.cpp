// Analysis of registry items: whether the registry already matches, with the
// status code that says why not.
#include "core/platform/Handles.h"
#include "core/system/RegistryPatterns.h"
#include "core/system/RegistryTree.h"
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

// What the values whose names match a pattern hold.
struct MatchingValues {
    bool exists = false;
    bool hasType = false;
    bool equals = false;
    bool firstEmpty = false;  // the first match, from the highest index, holds nothing
};

MatchingValues FindValues(Platform::KeyHandle key, const Sys::NamePattern& pattern, uint32_t type,
                          std::wstring_view text, uint32_t byteLength)
{
    MatchingValues found;
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key, &info) != 0) {
        return found;
    }
    for (uint32_t i = info.values; i-- > 0;) {
        std::wstring name;
        uint32_t valueType = 0;
        if (Registry().EnumValue(key, i, &name, &valueType) != 0 || !pattern.Matches(name)) {
            continue;
        }
        std::vector<uint8_t> data;
        if (Registry().QueryValue(key, name, &valueType, &data) != 0) {
            continue;
        }
        if (!found.exists) {
            found.firstEmpty = data.empty();
        }
        found.exists = true;
        if (valueType == type) {
            found.hasType = true;
            found.equals = found.equals || ValueMatches(type, data, text, byteLength);
        }
    }
    return found;
}

}  // namespace

const Sys::NamePattern& Key::KeyNamePattern()
{
    if (!keyPattern_) {
        const size_t slash = keyName_.rfind(L'\\');
        keyPattern_.emplace(slash == std::wstring::npos ? keyName_ : keyName_.substr(slash + 1),
                            Sys::MatchCase::Ignore);
    }
    return *keyPattern_;
}

const Sys::NamePattern& Key::ValueNamePattern()
{
    if (!valuePattern_) {
        valuePattern_.emplace(L"^" + valueName_ + L"$", Sys::MatchCase::Ignore);
    }
    return *valuePattern_;
}

bool Key::Analyse()
{
    status_ = L"Y_";
    switch (action_) {
        case Action::KeyDelete:
            return AnalyseKeyPresence(false);
        case Action::KeySet:
            return AnalyseKeyPresence(true);
        case Action::KeyValuesDelete:
            return AnalyseValuesDeleted();
        case Action::KeyValuesClear:
            return Root() != nullptr &&
                   Sys::AllValuesEmpty(Root(), FullKeyPath(), recursive_ ? Sys::Recursive::Yes : Sys::Recursive::No,
                                       nullptr);
        case Action::ValueDelete:
            return AnalyseValueDeleted();
        case Action::ValueSet:
            return AnalyseValueSet();
        case Action::ValueClear:
            return AnalyseValueCleared();
        case Action::SubkeysDelete:
            return AnalyseSubkeysDeleted();
        default:
            return false;  // SUBKEYS_CLEAR and unknown actions are never in effect
    }
}

bool Key::AnalyseKeyPresence(bool wanted)
{
    // A nested key name ("a\b") is searched for below "path\a".
    const size_t slash = keyName_.rfind(L'\\');
    const std::wstring leaf = slash == std::wstring::npos ? keyName_ : keyName_.substr(slash + 1);
    const std::wstring parent =
        slash == std::wstring::npos ? keyPath_ : JoinKeyPath(keyPath_, std::wstring_view(keyName_).substr(0, slash));
    bool exists = false;
    if (Root() != nullptr && !leaf.empty()) {
        if (!recursive_ && IsLiteralName(leaf)) {
            UniqueKey key;
            exists = OpenItemKey(Root(), JoinKeyPath(parent, leaf), KeyAccess::Read, &key) == 0;
        } else {
            exists = Sys::SubkeyExists(Root(), parent, KeyNamePattern(),
                                       recursive_ ? Sys::Recursive::Yes : Sys::Recursive::No, nullptr);
        }
    }
    if (exists != wanted) {
        status_ = wanted ? L"!K_" : L"K_";
    }
    return exists == wanted;
}

bool Key::AnalyseValuesDeleted()
{
    UniqueKey key;
    if (OpenItemKey(Root(), FullKeyPath(), KeyAccess::Read, &key) != 0) {
        return true;  // a key that cannot be opened holds no values
    }
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key.get(), &info) != 0 || info.values != 0) {
        return false;
    }
    return !recursive_ || Sys::CountValues(std::move(key), Sys::Recursive::Yes, nullptr) == 0;
}

bool Key::AnalyseValueDeleted()
{
    UniqueKey key;
    if (OpenItemKey(Root(), FullKeyPath(), KeyAccess::Read, &key) != 0) {
        status_ = L"Y(!K)_";
        return true;
    }
    bool exists = false;
    if (!recursive_ && IsLiteralName(valueName_)) {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        exists = Registry().QueryValue(key.get(), valueName_, &type, &data) == 0;
    } else {
        exists = Sys::ValueExists(Root(), FullKeyPath(), ValueNamePattern(),
                                  recursive_ ? Sys::Recursive::Yes : Sys::Recursive::No, nullptr);
    }
    if (exists) {
        status_ = L"V_";
    }
    return !exists;
}

bool Key::AnalyseValueSet()
{
    UniqueKey key;
    if (OpenItemKey(Root(), FullKeyPath(), KeyAccess::Read, &key) != 0) {
        status_ = L"!K_";
        return false;
    }
    MatchingValues found;
    if (IsLiteralName(valueName_)) {
        // The registry compares names as the case-insensitive pattern does.
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (Registry().QueryValue(key.get(), valueName_, &type, &data) == 0) {
            found.exists = true;
            found.firstEmpty = data.empty();
            found.hasType = type == type_;
            found.equals = found.hasType && ValueMatches(type_, data, configured_, byteLength_);
        }
    } else {
        found = FindValues(key.get(), ValueNamePattern(), type_, configured_, byteLength_);
    }
    if (!found.exists) {
        status_ = L"!V_";
    } else if (!found.hasType) {
        status_ = L"T_";
    } else if (!found.equals) {
        status_ = found.firstEmpty ? L"!C_" : L"C_";
    }
    return found.exists && found.hasType && found.equals;
}

bool Key::AnalyseValueCleared()
{
    UniqueKey key;
    const Platform::Status opened = OpenItemKey(Root(), FullKeyPath(), KeyAccess::Read, &key);
    if (opened != 0) {
        return opened == Err::FileNotFound;  // no key: nothing holds data
    }
    bool empty = true;  // no such value holds nothing either
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key.get(), &info) == 0) {
        for (uint32_t i = info.values; i-- > 0;) {
            std::wstring name;
            uint32_t type = 0;
            std::vector<uint8_t> data;
            if (Registry().EnumValue(key.get(), i, &name, &type) == 0 && ValueNamePattern().Matches(name)) {
                empty = Registry().QueryValue(key.get(), name, &type, &data) == 0 && data.empty();
                break;  // the first match decides
            }
        }
    }
    if (!empty) {
        status_ = L"C_";
    }
    return empty;
}

bool Key::AnalyseSubkeysDeleted()
{
    UniqueKey key;
    if (OpenItemKey(Root(), FullKeyPath(), KeyAccess::Read, &key) != 0) {
        return true;
    }
    Platform::KeyInfo info;
    return Registry().QueryKeyInfo(key.get(), &info) == 0 && info.subkeys == 0;
}

}  // namespace Tweaker
