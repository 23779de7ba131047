#include "core/platform/win32/Win32Registry.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

// The longest names Windows allows, in characters, without the terminating null.
constexpr DWORD kMaxKeyName = 255;
// Name buffers grow up to this many characters; more than Windows allows,
// since Wine keeps longer key names.
constexpr DWORD kNameBufferLimit = 32768;
// A value that keeps answering "more data" although the buffer keeps growing
// (performance data can) is given up at this size.
constexpr DWORD kMaxValueBytes = 0x40000000;

HKEY ToHkey(KeyHandle key)
{
    return reinterpret_cast<HKEY>(key);
}
KeyHandle ToKeyHandle(HKEY key)
{
    return reinterpret_cast<KeyHandle>(key);
}

REGSAM Rights(KeyAccess access, RegistryView view = RegistryView::Native)
{
    const REGSAM rights = access == KeyAccess::Read ? KEY_READ : KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;
    return rights | RegistryViewFlag(view);
}

// The first buffer size (terminating null included) for a name read by
// index. The key's information is not asked for on every step of a walk (that
// made walking a large key quadratic); a longer name makes the buffer grow.
constexpr DWORD kFirstNameCapacity = kMaxKeyName + 1;

// Reads one name by index with enumerate(buffer, &length), growing the buffer
// when the key gained a longer name since its size was read.
template <class Enumerate>
LONG EnumerateName(DWORD capacity, Enumerate enumerate, std::wstring* name)
{
    for (;;) {
        std::wstring buffer(capacity, L'\0');
        DWORD length = capacity;
        const LONG rc = enumerate(buffer.data(), &length);
        if (rc == ERROR_MORE_DATA && capacity < kNameBufferLimit) {
            capacity = std::min(kNameBufferLimit, capacity * 2);
            continue;
        }
        if (rc == ERROR_SUCCESS && name) {
            buffer.resize(length);
            *name = std::move(buffer);
        }
        return rc;
    }
}

}  // namespace

Status Win32Registry::OpenKey(KeyHandle parent, std::wstring_view subKey, KeyAccess access, KeyHandle* out)
{
    return OpenKeyInView(parent, subKey, access, RegistryView::Native, out);
}

Status Win32Registry::OpenKeyInView(KeyHandle parent, std::wstring_view subKey, KeyAccess access, RegistryView view,
                                    KeyHandle* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    const std::wstring path(subKey);
    HKEY key = nullptr;
    const LONG rc = ::RegOpenKeyExW(ToHkey(parent), path.c_str(), 0, Rights(access, view), &key);
    if (rc != ERROR_SUCCESS) {
        return static_cast<Status>(rc);
    }
    *out = ToKeyHandle(key);
    return Err::Success;
}

Status Win32Registry::CreateKey(KeyHandle parent, std::wstring_view subKey, KeyHandle* out, bool* created)
{
    return CreateKeyInView(parent, subKey, RegistryView::Native, out, created);
}

Status Win32Registry::CreateKeyInView(KeyHandle parent, std::wstring_view subKey, RegistryView view, KeyHandle* out,
                                      bool* created)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    const std::wstring path(subKey);
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG rc = ::RegCreateKeyExW(ToHkey(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      Rights(KeyAccess::Change, view), nullptr, &key, &disposition);
    if (rc != ERROR_SUCCESS) {
        return static_cast<Status>(rc);
    }
    *out = ToKeyHandle(key);
    if (created) {
        *created = disposition == REG_CREATED_NEW_KEY;
    }
    return Err::Success;
}

Status Win32Registry::CloseKey(KeyHandle key)
{
    if (IsPredefinedKey(key)) {
        return Err::Success;
    }
    if (!key) {
        return Err::InvalidHandle;
    }
    return static_cast<Status>(::RegCloseKey(ToHkey(key)));
}

Status Win32Registry::QueryKeyInfo(KeyHandle key, KeyInfo* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    DWORD subkeys = 0;
    DWORD maxSubkey = 0;
    DWORD values = 0;
    DWORD maxValueName = 0;
    DWORD maxValueData = 0;
    FILETIME written{};
    const LONG rc = ::RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                                       &maxValueName, &maxValueData, nullptr, &written);
    if (rc != ERROR_SUCCESS) {
        return static_cast<Status>(rc);
    }
    out->subkeys = subkeys;
    out->values = values;
    out->maxSubkeyNameLength = maxSubkey;
    out->maxValueNameLength = maxValueName;
    out->maxValueDataLength = maxValueData;
    out->lastWriteTime = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    return Err::Success;
}

Status Win32Registry::EnumKey(KeyHandle key, uint32_t index, std::wstring* name)
{
    HKEY hkey = ToHkey(key);
    return static_cast<Status>(EnumerateName(
        kFirstNameCapacity,
        [&](wchar_t* buffer, DWORD* length) {
            return ::RegEnumKeyExW(hkey, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
        },
        name));
}

Status Win32Registry::EnumValue(KeyHandle key, uint32_t index, std::wstring* name, uint32_t* type)
{
    HKEY hkey = ToHkey(key);
    DWORD valueType = 0;
    const LONG rc = EnumerateName(
        kFirstNameCapacity,
        [&](wchar_t* buffer, DWORD* length) {
            return ::RegEnumValueW(hkey, index, buffer, length, nullptr, &valueType, nullptr, nullptr);
        },
        name);
    if (rc == ERROR_SUCCESS && type) {
        *type = valueType;
    }
    return static_cast<Status>(rc);
}

Status Win32Registry::QueryValue(KeyHandle key, std::wstring_view name, uint32_t* type, std::vector<uint8_t>* data)
{
    const std::wstring valueName(name);
    DWORD valueType = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExW(ToHkey(key), valueName.c_str(), nullptr, &valueType, nullptr, &size);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) {
        return static_cast<Status>(rc);
    }
    // The value may grow between the calls, and performance data reports no
    // useful size at all: grow until the data fits. A buffer of at least one
    // byte makes the system answer "more data" rather than just a size.
    std::vector<uint8_t> bytes;
    for (;;) {
        bytes.resize(std::max<DWORD>(size, 1));
        DWORD got = static_cast<DWORD>(bytes.size());
        rc = ::RegQueryValueExW(ToHkey(key), valueName.c_str(), nullptr, &valueType, bytes.data(), &got);
        if (rc == ERROR_SUCCESS) {
            bytes.resize(got);
            break;
        }
        if (rc != ERROR_MORE_DATA || size >= kMaxValueBytes) {
            return static_cast<Status>(rc);
        }
        size = std::max<DWORD>(got, std::min<DWORD>(kMaxValueBytes, static_cast<DWORD>(bytes.size()) * 2));
    }
    if (type) {
        *type = valueType;
    }
    if (data) {
        *data = std::move(bytes);
    }
    return Err::Success;
}

Status Win32Registry::SetValue(KeyHandle key, std::wstring_view name, uint32_t type, const uint8_t* data, size_t size)
{
    if (size > kMaxValueBytes || (size != 0 && !data)) {
        return Err::InvalidParameter;
    }
    const std::wstring valueName(name);
    return static_cast<Status>(
        ::RegSetValueExW(ToHkey(key), valueName.c_str(), 0, type, data, static_cast<DWORD>(size)));
}

Status Win32Registry::DeleteValue(KeyHandle key, std::wstring_view name)
{
    const std::wstring valueName(name);
    return static_cast<Status>(::RegDeleteValueW(ToHkey(key), valueName.c_str()));
}

Status Win32Registry::DeleteKey(KeyHandle parent, std::wstring_view subKey)
{
    // An empty name would make Windows delete the parent itself.
    if (subKey.empty()) {
        return Err::InvalidParameter;
    }
    const std::wstring path(subKey);
    return static_cast<Status>(DeleteRegistryKey(ToHkey(parent), path.c_str()));
}

}  // namespace Platform::Win32
