#pragma once
// An in-memory registry that behaves as the Windows one: the predefined roots,
// names compared without regard to case but kept as first spelled, subkeys
// enumerated sorted by their upper-cased names (as Windows keeps them), values
// in the order they were created, handles that outlive the deletion of their
// key (error 1018), and the Windows error codes.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/platform/Platform.h"
#include "core/platform/portable/Clock.h"
#include "core/platform/portable/Faults.h"
#include "core/platform/portable/Protection.h"

namespace Platform::Portable {

class MemoryRegistry final : public IRegistry {
public:
    // The roots start empty except for HKU\.DEFAULT.
    MemoryRegistry(FaultInjector& faults, const Clock& clock);
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    Status OpenKey(KeyHandle parent, std::wstring_view subKey, KeyAccess access, KeyHandle* out) override;
    Status CreateKey(KeyHandle parent, std::wstring_view subKey, KeyHandle* out, bool* created) override;
    // The 32-bit view of a 64-bit Windows: below HKLM, "Software\X" is
    // "Software\WOW6432Node\X"; below HKCR, "X" is "WOW6432Node\X". Other
    // parents and the native view take the path as it is.
    Status OpenKeyInView(KeyHandle parent, std::wstring_view subKey, KeyAccess access, RegistryView view,
                         KeyHandle* out) override;
    Status CreateKeyInView(KeyHandle parent, std::wstring_view subKey, RegistryView view, KeyHandle* out,
                           bool* created) override;
    Status CloseKey(KeyHandle key) override;
    Status QueryKeyInfo(KeyHandle key, KeyInfo* out) override;
    Status EnumKey(KeyHandle key, uint32_t index, std::wstring* name) override;
    Status EnumValue(KeyHandle key, uint32_t index, std::wstring* name, uint32_t* type) override;
    Status QueryValue(KeyHandle key, std::wstring_view name, uint32_t* type, std::vector<uint8_t>* data) override;
    Status SetValue(KeyHandle key, std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) override;
    Status DeleteValue(KeyHandle key, std::wstring_view name) override;
    Status DeleteKey(KeyHandle parent, std::wstring_view subKey) override;

    // The access tests grant on an existing key, in place of a security
    // descriptor: checked when the key is opened, created below or deleted;
    // handles opened before keep the access they were given. Error 2 when
    // the key is missing.
    [[nodiscard]] Status SetProtection(KeyHandle parent, std::wstring_view subKey, Protection protection);
    // Handles open now (roots excluded), to find leaks.
    size_t OpenHandleCount();

    static constexpr size_t kMaxKeyNameLength = 255;
    static constexpr size_t kMaxValueNameLength = 16383;

    struct Node;

private:
    struct OpenKeyState {
        std::shared_ptr<Node> node;
        KeyAccess access;
    };
    struct Target;

    Status ResolveHandle(KeyHandle key, std::shared_ptr<Node>* node, KeyAccess* access);
    Status ParsePath(std::wstring_view subKey, std::vector<std::wstring_view>* parts) const;
    std::wstring PathOf(const Node& node) const;
    std::wstring JoinPath(const Node& base, const std::vector<std::wstring_view>& parts) const;
    KeyHandle NewHandle(std::shared_ptr<Node> node, KeyAccess access);
    void Touch(Node& node);

    std::mutex mutex_;
    FaultInjector& faults_;
    const Clock& clock_;
    std::shared_ptr<Node> roots_[7];
    std::unordered_map<KeyHandle, std::unique_ptr<OpenKeyState>> open_;
};

}  // namespace Platform::Portable
