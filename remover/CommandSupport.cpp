#include "remover/CommandSupport.h"

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/RegistryRoots.h"
#include "remover/Format.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;

uint32_t EnterOwnBlock(RTI::IReader& reader, uint8_t tag)
{
    if (reader.GetType() != Format::Record::BlockStart || reader.GetBlockTag() != tag) {
        return Err::BadFormat;
    }
    return reader.EnterBlock();
}

uint32_t ReadWide(RTI::IReader& reader, std::wstring* text)
{
    if (reader.GetType() != Format::Record::StringW && reader.GetType() != Format::Record::StringA) {
        return Err::BadFormat;
    }
    return reader.ReadString(text);
}

uint32_t ReadDataRecord(RTI::IReader& reader, std::vector<uint8_t>* bytes)
{
    uint32_t size = 0;
    if (Status s = reader.BeginData(&size)) {
        return s;
    }
    std::vector<uint8_t> data(size);
    uint32_t done = 0;
    while (done < size) {
        uint32_t got = 0;
        if (Status s = reader.ReadData(data.data() + done, size - done, &got)) {
            return s;
        }
        if (got == 0) {
            return Err::BadFormat;
        }
        done += got;
    }
    if (Status s = reader.EndData()) {
        return s;
    }
    *bytes = std::move(data);
    return Err::Success;
}

uint32_t WriteWide(RTI::IWriter& writer, std::wstring_view text)
{
    if (text.size() > 0x7FFFFFFFu) {
        return Err::InvalidParameter;
    }
    return writer.WriteString(text.data(), static_cast<int32_t>(text.size()));
}

std::wstring JournalRootName(Platform::KeyHandle root)
{
    std::wstring name = Sys::RootKeyName(root);
    return IsRootName(name) ? name : std::wstring();
}

Platform::KeyHandle RootFromJournal(std::wstring_view name)
{
    return IsRootName(name) ? Sys::RootKeyFromName(name) : nullptr;
}

bool IsKeyPath(std::wstring_view keyPath)
{
    if (keyPath.empty() || keyPath.find(L'\0') != std::wstring_view::npos) {
        return false;
    }
    size_t pos = 0;
    for (;;) {
        const size_t end = keyPath.find(L'\\', pos);
        if (end == pos) {
            return false;  // an empty component
        }
        if (end == std::wstring_view::npos) {
            return true;
        }
        pos = end + 1;
        if (pos == keyPath.size()) {
            return false;
        }
    }
}

std::vector<std::wstring_view> SplitKeyPath(std::wstring_view keyPath)
{
    std::vector<std::wstring_view> parts;
    size_t pos = 0;
    while (pos <= keyPath.size()) {
        size_t end = keyPath.find(L'\\', pos);
        if (end == std::wstring_view::npos) {
            end = keyPath.size();
        }
        if (end > pos) {
            parts.push_back(keyPath.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return parts;
}

std::wstring NormalizeKeyPath(std::wstring_view keyPath)
{
    std::wstring path;
    for (std::wstring_view part : SplitKeyPath(keyPath)) {
        if (!path.empty()) {
            path.push_back(L'\\');
        }
        path += part;
    }
    return path;
}

std::wstring StoredSubkeyName(Platform::KeyHandle parent, std::wstring_view name)
{
    auto& registry = Platform::Current().Registry();
    std::wstring candidate;
    for (uint32_t i = 0; registry.EnumKey(parent, i, &candidate) == 0; ++i) {
        if (RTI::EqualsIgnoreCase(candidate, name)) {
            return candidate;
        }
    }
    return std::wstring(name);
}

std::wstring StoredValueName(Platform::KeyHandle key, std::wstring_view name)
{
    auto& registry = Platform::Current().Registry();
    std::wstring candidate;
    uint32_t type = 0;
    for (uint32_t i = 0; registry.EnumValue(key, i, &candidate, &type) == 0; ++i) {
        if (RTI::EqualsIgnoreCase(candidate, name)) {
            return candidate;
        }
    }
    return std::wstring(name);
}

std::wstring StoredKeyPath(Platform::KeyHandle root, std::wstring_view keyPath)
{
    const size_t slash = keyPath.rfind(L'\\');
    const std::wstring_view parentPath =
        slash == std::wstring_view::npos ? std::wstring_view() : keyPath.substr(0, slash);
    const std::wstring_view last = slash == std::wstring_view::npos ? keyPath : keyPath.substr(slash + 1);
    Platform::UniqueKey parent;
    Platform::KeyHandle where = root;
    if (!parentPath.empty()) {
        if (Platform::Current().Registry().OpenKey(root, parentPath, Platform::KeyAccess::Read, parent.put()) != 0) {
            return std::wstring(keyPath);
        }
        where = parent.get();
    }
    std::wstring stored(parentPath);
    if (!stored.empty()) {
        stored.push_back(L'\\');
    }
    stored += StoredSubkeyName(where, last);
    return stored;
}

uint32_t ResolveKeyTarget(Platform::KeyHandle root, std::wstring_view keyPath, std::wstring* rootName,
                          std::wstring* normalizedPath)
{
    std::wstring name = JournalRootName(root);
    std::wstring path = NormalizeKeyPath(keyPath);
    if (name.empty() || !IsKeyPath(path)) {
        return Err::InvalidParameter;
    }
    *rootName = std::move(name);
    *normalizedPath = std::move(path);
    return Err::Success;
}

uint32_t OpenKeyTarget(Platform::KeyHandle root, std::wstring_view keyPath, std::wstring* rootName,
                       std::wstring* normalizedPath, Platform::UniqueKey* key)
{
    if (uint32_t s = ResolveKeyTarget(root, keyPath, rootName, normalizedPath)) {
        return s;
    }
    return Platform::Current().Registry().OpenKey(root, *normalizedPath, Platform::KeyAccess::Read, key->put());
}

}  // namespace Remover
