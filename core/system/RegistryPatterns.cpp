#include "core/system/RegistryPatterns.h"

#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/system/ValueText.h"

namespace Sys {
namespace {

using Platform::KeyAccess;
using Platform::KeyHandle;
using Platform::UniqueKey;

Platform::IRegistry& Registry()
{
    return Platform::Current().Registry();
}

// The outcome of a walk: found, walked to the end without finding, or stopped.
enum class Walk { Found, NotFound, Stopped };

// Calls visit(name, type) for each value from the highest index down, testing
// the cancel event before each; visit returns true to end the walk.
template <class Visit>
Walk ForEachValue(KeyHandle key, Platform::EventHandle cancel, Visit&& visit)
{
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key, &info) != 0) {
        return Walk::NotFound;
    }
    for (uint32_t i = info.values; i-- > 0;) {
        if (IsCancelled(cancel)) {
            return Walk::Stopped;
        }
        std::wstring name;
        uint32_t type = 0;
        if (Registry().EnumValue(key, i, &name, &type) == 0 && visit(name, type)) {
            return Walk::Found;
        }
    }
    return Walk::NotFound;
}

// The same over subkey names.
template <class Visit>
Walk ForEachSubkey(KeyHandle key, Platform::EventHandle cancel, Visit&& visit)
{
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key, &info) != 0) {
        return Walk::NotFound;
    }
    for (uint32_t i = info.subkeys; i-- > 0;) {
        if (IsCancelled(cancel)) {
            return Walk::Stopped;
        }
        std::wstring name;
        if (Registry().EnumKey(key, i, &name) != 0) {
            continue;
        }
        if (Walk w = visit(name); w != Walk::NotFound) {
            return w;
        }
    }
    return Walk::NotFound;
}

Walk FindSubkey(KeyHandle key, const NamePattern& pattern, Recursive recursive, Platform::EventHandle cancel)
{
    return ForEachSubkey(key, cancel, [&](const std::wstring& name) {
        if (pattern.Matches(name)) {
            return Walk::Found;
        }
        UniqueKey sub;
        if (recursive == Recursive::No || Registry().OpenKey(key, name, KeyAccess::Read, sub.put()) != 0) {
            return Walk::NotFound;
        }
        return FindSubkey(sub.get(), pattern, recursive, cancel);
    });
}

Walk FindValue(KeyHandle key, const NamePattern& pattern, Recursive recursive, Platform::EventHandle cancel)
{
    if (recursive == Recursive::Yes) {
        Walk below = ForEachSubkey(key, cancel, [&](const std::wstring& name) {
            UniqueKey sub;
            if (Registry().OpenKey(key, name, KeyAccess::Read, sub.put()) != 0) {
                return Walk::NotFound;
            }
            return FindValue(sub.get(), pattern, recursive, cancel);
        });
        if (below != Walk::NotFound) {
            return below;
        }
    }
    return ForEachValue(key, cancel, [&](const std::wstring& name, uint32_t) { return pattern.Matches(name); });
}

// Found = some value holds data, or something could not be read.
Walk FindNonEmpty(KeyHandle key, Recursive recursive, Platform::EventHandle cancel)
{
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key, &info) != 0) {
        return Walk::Found;
    }
    Walk own = ForEachValue(key, cancel, [&](const std::wstring& name, uint32_t) {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        const Platform::Status status = Registry().QueryValue(key, name, &type, &data);
        // A value deleted since it was enumerated holds nothing.
        return status == Err::FileNotFound ? false : status != 0 || !data.empty();
    });
    if (own != Walk::NotFound || recursive == Recursive::No) {
        return own;
    }
    return ForEachSubkey(key, cancel, [&](const std::wstring& name) {
        UniqueKey sub;
        const Platform::Status status = Registry().OpenKey(key, name, KeyAccess::Read, sub.put());
        if (status != 0) {
            return status == Err::FileNotFound ? Walk::NotFound : Walk::Found;
        }
        return FindNonEmpty(sub.get(), recursive, cancel);
    });
}

UniqueKey OpenForReading(KeyHandle root, std::wstring_view keyPath, Platform::Status* status = nullptr)
{
    UniqueKey key;
    const Platform::Status s = Registry().OpenKey(root, keyPath, KeyAccess::Read, key.put());
    if (status) {
        *status = s;
    }
    return key;
}

}  // namespace

bool SubkeyExists(KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, Recursive recursive,
                  Platform::EventHandle cancel)
{
    UniqueKey key = OpenForReading(root, keyPath);
    return key && FindSubkey(key.get(), pattern, recursive, cancel) == Walk::Found;
}

bool ValueExists(KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, Recursive recursive,
                 Platform::EventHandle cancel)
{
    UniqueKey key = OpenForReading(root, keyPath);
    return key && FindValue(key.get(), pattern, recursive, cancel) == Walk::Found;
}

bool ValueHasType(KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, uint32_t type,
                  Platform::EventHandle cancel)
{
    UniqueKey key = OpenForReading(root, keyPath);
    return key && ForEachValue(key.get(), cancel, [&](const std::wstring& name, uint32_t t) {
                      return t == type && pattern.Matches(name);
                  }) == Walk::Found;
}

bool ValueIsEmpty(KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, Platform::EventHandle cancel)
{
    UniqueKey key = OpenForReading(root, keyPath);
    if (!key) {
        return false;
    }
    bool empty = false;
    ForEachValue(key.get(), cancel, [&](const std::wstring& name, uint32_t) {
        if (!pattern.Matches(name)) {
            return false;
        }
        uint32_t type = 0;
        std::vector<uint8_t> data;
        empty = Registry().QueryValue(key.get(), name, &type, &data) == 0 && data.empty();
        return true;
    });
    return empty;
}

bool AllValuesEmpty(KeyHandle root, std::wstring_view keyPath, Recursive recursive, Platform::EventHandle cancel)
{
    Platform::Status status = 0;
    UniqueKey key = OpenForReading(root, keyPath, &status);
    if (!key) {
        return status == Err::FileNotFound;
    }
    return FindNonEmpty(key.get(), recursive, cancel) == Walk::NotFound;
}

bool ValueEquals(KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, std::wstring_view text,
                 Platform::EventHandle cancel)
{
    UniqueKey key = OpenForReading(root, keyPath);
    return key && ForEachValue(key.get(), cancel, [&](const std::wstring& name, uint32_t) {
                      if (!pattern.Matches(name)) {
                          return false;
                      }
                      uint32_t type = 0;
                      std::vector<uint8_t> data;
                      return Registry().QueryValue(key.get(), name, &type, &data) == 0 &&
                             ValueDataEquals(type, data, text);
                  }) == Walk::Found;
}

}  // namespace Sys
