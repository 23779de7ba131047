#include "core/system/RegistryTree.h"

#include <string>
#include <vector>

namespace Sys {
namespace {

using Platform::KeyAccess;
using Platform::KeyHandle;
using Platform::Status;
using Platform::UniqueKey;

Platform::IRegistry& Registry()
{
    return Platform::Current().Registry();
}

// Every subkey name of a key, read before anything below is changed, so that
// deletions cannot shift the indexes still to be read.
std::vector<std::wstring> SubkeyNames(KeyHandle key, uint32_t count)
{
    std::vector<std::wstring> names;
    names.reserve(count);
    for (uint32_t i = count; i-- > 0;) {
        std::wstring name;
        if (Registry().EnumKey(key, i, &name) == 0) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

// True when cancelled; adds the counts below key to *total otherwise.
bool AddValuesBelow(KeyHandle key, Recursive recursive, Platform::EventHandle cancel, uint32_t* total)
{
    Platform::KeyInfo info;
    if (Registry().QueryKeyInfo(key, &info) != 0) {
        return false;
    }
    for (const auto& name : SubkeyNames(key, info.subkeys)) {
        if (IsCancelled(cancel)) {
            return true;
        }
        UniqueKey sub;
        if (Registry().OpenKey(key, name, KeyAccess::Read, sub.put()) != 0) {
            continue;
        }
        Platform::KeyInfo subInfo;
        if (Registry().QueryKeyInfo(sub.get(), &subInfo) == 0) {
            *total += subInfo.values;
        }
        if (recursive == Recursive::Yes && AddValuesBelow(sub.get(), recursive, cancel, total)) {
            return true;
        }
    }
    return false;
}

Status DeleteMatchingValues(KeyHandle key, const NamePattern& pattern, Recursive recursive, RTI::ITracer* tracer)
{
    Platform::KeyInfo info;
    if (Status status = Registry().QueryKeyInfo(key, &info); status != 0) {
        return status;
    }
    Status first = 0;
    if (recursive == Recursive::Yes) {
        for (const auto& name : SubkeyNames(key, info.subkeys)) {
            UniqueKey sub;
            Status status = Registry().OpenKey(key, name, KeyAccess::Change, sub.put());
            if (status == 0) {
                status = DeleteMatchingValues(sub.get(), pattern, recursive, tracer);
            }
            if (first == 0) {
                first = status;
            }
        }
    }
    // From the highest index down, so that a deletion never moves a value
    // that is still to be visited.
    for (uint32_t i = info.values; i-- > 0;) {
        std::wstring name;
        uint32_t type = 0;
        if (Registry().EnumValue(key, i, &name, &type) != 0 || !pattern.Matches(name)) {
            continue;
        }
        Status status = DeleteValue(key, name, tracer);
        if (first == 0) {
            first = status;
        }
    }
    return first;
}

}  // namespace

Status DeleteKeyTree(KeyHandle parent, std::wstring_view subKey, RTI::ITracer* tracer, Platform::EventHandle cancel)
{
    if (subKey.empty()) {
        return Err::InvalidParameter;
    }
    {
        UniqueKey key;
        if (Status status = Registry().OpenKey(parent, subKey, KeyAccess::Change, key.put()); status != 0) {
            return status;
        }
        Platform::KeyInfo info;
        if (Status status = Registry().QueryKeyInfo(key.get(), &info); status != 0) {
            return status;
        }
        for (const auto& name : SubkeyNames(key.get(), info.subkeys)) {
            if (IsCancelled(cancel) || DeleteKeyTree(key.get(), name, tracer, cancel) == Err::Cancelled) {
                return Err::Cancelled;
            }
        }
        for (uint32_t i = info.values; i-- > 0;) {
            if (IsCancelled(cancel)) {
                return Err::Cancelled;
            }
            std::wstring name;
            uint32_t type = 0;
            if (Registry().EnumValue(key.get(), i, &name, &type) == 0) {
                (void)DeleteValue(key.get(), name, tracer);
            }
        }
    }
    if (Status status = Registry().DeleteKey(parent, subKey); status != 0) {
        return status;
    }
    RTI::TraceTo(tracer, RTI::TraceCode::KeyRemoved, 0, 1);
    return 0;
}

Status ClearValue(KeyHandle key, std::wstring_view valueName, RTI::ITracer* tracer)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Status status = Registry().QueryValue(key, valueName, &type, &data); status != 0) {
        return status;
    }
    if (Status status = Registry().SetValue(key, valueName, type, nullptr, 0); status != 0) {
        return status;
    }
    RTI::TraceTo(tracer, RTI::TraceCode::ValueCleared, 0, 1);
    return 0;
}

Status DeleteValue(KeyHandle key, std::wstring_view valueName, RTI::ITracer* tracer)
{
    if (Status status = Registry().DeleteValue(key, valueName); status != 0) {
        return status;
    }
    RTI::TraceTo(tracer, RTI::TraceCode::ValueRemoved, 0, 1);
    return 0;
}

uint32_t CountValues(UniqueKey key, Recursive recursive, Platform::EventHandle cancel)
{
    uint32_t total = 0;
    if (key && AddValuesBelow(key.get(), recursive, cancel, &total)) {
        return 0;
    }
    return total;
}

Status DeleteValues(KeyHandle root, std::wstring_view keyPath, const NamePattern& pattern, Recursive recursive,
                    RTI::ITracer* tracer)
{
    UniqueKey key;
    if (Status status = Registry().OpenKey(root, keyPath, KeyAccess::Change, key.put()); status != 0) {
        return status;
    }
    return DeleteMatchingValues(key.get(), pattern, recursive, tracer);
}

}  // namespace Sys
