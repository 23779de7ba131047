#pragma once
#include "core/platform/Platform.h"

namespace Platform::Win32 {

// The registry of the running Windows. A 32-bit process on 64-bit Windows
// works in the 64-bit view, the one Windows itself reads. Keys are opened for
// reading, or for reading plus creating subkeys and setting values; never with
// full access.
class Win32Registry final : public IRegistry {
public:
    [[nodiscard]] Status OpenKey(KeyHandle parent, std::wstring_view subKey, KeyAccess access, KeyHandle* out) override;
    [[nodiscard]] Status CreateKey(KeyHandle parent, std::wstring_view subKey, KeyHandle* out, bool* created) override;
    [[nodiscard]] Status OpenKeyInView(KeyHandle parent, std::wstring_view subKey, KeyAccess access,
                                       RegistryView view, KeyHandle* out) override;
    [[nodiscard]] Status CreateKeyInView(KeyHandle parent, std::wstring_view subKey, RegistryView view,
                                         KeyHandle* out, bool* created) override;
    Status CloseKey(KeyHandle key) override;
    [[nodiscard]] Status QueryKeyInfo(KeyHandle key, KeyInfo* out) override;
    [[nodiscard]] Status EnumKey(KeyHandle key, uint32_t index, std::wstring* name) override;
    [[nodiscard]] Status EnumValue(KeyHandle key, uint32_t index, std::wstring* name, uint32_t* type) override;
    [[nodiscard]] Status QueryValue(KeyHandle key, std::wstring_view name, uint32_t* type,
                                    std::vector<uint8_t>* data) override;
    [[nodiscard]] Status SetValue(KeyHandle key, std::wstring_view name, uint32_t type, const uint8_t* data,
                                  size_t size) override;
    [[nodiscard]] Status DeleteValue(KeyHandle key, std::wstring_view name) override;
    [[nodiscard]] Status DeleteKey(KeyHandle parent, std::wstring_view subKey) override;
};

}  // namespace Platform::Win32
