#include "app/settings/RegistryValues.h"

#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/ValueText.h"
#include "core/text/Utf.h"

namespace AppSettings {
namespace {

Platform::IRegistry& Registry()
{
    return Platform::Current().Registry();
}

Platform::Status Query(std::wstring_view keyPath, std::wstring_view name, uint32_t* type, std::vector<uint8_t>* data)
{
    Platform::UniqueKey key;
    if (Platform::Status s =
            Registry().OpenKey(Platform::CurrentUser(), keyPath, Platform::KeyAccess::Read, key.put())) {
        return s;
    }
    return Registry().QueryValue(key.get(), name, type, data);
}

// Writes, then compares what the registry gives back with what was written.
Platform::Status WriteChecked(std::wstring_view keyPath, std::wstring_view name, uint32_t type,
                              const std::vector<uint8_t>& bytes)
{
    Platform::UniqueKey key;
    bool created = false;
    if (Platform::Status s = Registry().CreateKey(Platform::CurrentUser(), keyPath, key.put(), &created)) {
        return s;
    }
    if (Platform::Status s = Registry().SetValue(key.get(), name, type, bytes.data(), bytes.size())) {
        return s;
    }
    uint32_t storedType = 0;
    std::vector<uint8_t> stored;
    if (Platform::Status s = Registry().QueryValue(key.get(), name, &storedType, &stored)) {
        return s;
    }
    return storedType == type && stored == bytes ? Err::Success : Err::WriteFault;
}

}  // namespace

DwordValue ReadDword(std::wstring_view keyPath, std::wstring_view name)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    DwordValue result;
    const Platform::Status s = Query(keyPath, name, &type, &data);
    if (s == Err::FileNotFound) {
        return result;
    }
    // A value that cannot be read is not missing: it must not be replaced.
    if (s != Err::Success || type != Platform::RegType::Dword || data.size() != 4) {
        result.state = DwordValue::State::OtherType;
        return result;
    }
    result.state = DwordValue::State::Dword;
    result.value = static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
                   (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
    return result;
}

std::optional<std::wstring> ReadString(std::wstring_view keyPath, std::wstring_view name)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Query(keyPath, name, &type, &data) != Err::Success ||
        (type != Platform::RegType::Sz && type != Platform::RegType::ExpandSz)) {
        return std::nullopt;
    }
    return Sys::StringFromRegistryData(data);
}

bool ValueExists(std::wstring_view keyPath, std::wstring_view name)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    return Query(keyPath, name, &type, &data) != Err::FileNotFound;
}

Platform::Status WriteDword(std::wstring_view keyPath, std::wstring_view name, uint32_t value)
{
    const std::vector<uint8_t> bytes = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return WriteChecked(keyPath, name, Platform::RegType::Dword, bytes);
}

Platform::Status WriteString(std::wstring_view keyPath, std::wstring_view name, std::wstring_view text)
{
    std::vector<uint8_t> bytes;
    if (Platform::Status s = Text::WideToUtf16Le(text, &bytes)) {
        return s;
    }
    // Size = characters x 2 + 2: the terminating null is stored too.
    bytes.push_back(0);
    bytes.push_back(0);
    return WriteChecked(keyPath, name, Platform::RegType::Sz, bytes);
}

Platform::Status DeleteValue(std::wstring_view keyPath, std::wstring_view name)
{
    Platform::UniqueKey key;
    Platform::Status s = Registry().OpenKey(Platform::CurrentUser(), keyPath, Platform::KeyAccess::Change, key.put());
    if (s == Err::Success) {
        s = Registry().DeleteValue(key.get(), name);
    }
    return s == Err::FileNotFound ? Err::Success : s;
}

Platform::Status EnsureKey(std::wstring_view keyPath)
{
    Platform::UniqueKey key;
    bool created = false;
    return Registry().CreateKey(Platform::CurrentUser(), keyPath, key.put(), &created);
}

}  // namespace AppSettings
