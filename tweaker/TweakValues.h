#pragma once
// The recorded values of tweaks, as profiles, the configuration file and the
// default snapshot keep them.
#include <map>
#include <string>
#include <vector>

namespace Tweaker {

// One recorded value of one registry item of a tweak.
struct ItemValue {
    std::wstring n;       // the value name; empty = the key's default value
    std::wstring path;    // the item path it is for; registry items have none
    std::wstring curval;  // the value text in the tweak file's form
    std::wstring action;  // an action keyword, or empty
    bool operator==(const ItemValue&) const = default;
};

struct TweakValues {
    bool enabled = false;
    std::vector<ItemValue> items;
    bool operator==(const TweakValues&) const = default;
};

// Ordered by tweak name, compared code unit by code unit.
using TweakValuesMap = std::map<std::wstring, TweakValues>;

// Inserting a name that is present keeps the existing entry.
inline void InsertKeepingExisting(TweakValuesMap& map, const std::wstring& name, TweakValues values)
{
    map.emplace(name, std::move(values));
}

}  // namespace Tweaker
