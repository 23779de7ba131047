#include "core/system/RegistryRoots.h"

#include "core/platform/Errors.h"
#include "core/system/Caches.h"

namespace Sys {
namespace {

struct RootName {
    const wchar_t* name;
    Platform::KeyHandle (*root)();
};

constexpr RootName kRoots[] = {
    {L"HKLM", &Platform::LocalMachine},  {L"HKCR", &Platform::ClassesRoot}, {L"HKCU", &Platform::CurrentUser},
    {L"HKCC", &Platform::CurrentConfig}, {L"HKUR", &Platform::Users},       {L"HKPD", &Platform::PerformanceData},
    {L"HKDD", &Platform::DynData},
};

constexpr std::wstring_view kDefaultUser = L".DEFAULT";

Platform::KeyHandle DefaultUserKey()
{
    auto& caches = detail::Caches();
    {
        std::lock_guard lock(caches.mutex);
        if (caches.defaultUserKey != nullptr) {
            return caches.defaultUserKey;
        }
    }
    Platform::KeyHandle key = nullptr;
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::Status status = registry.OpenKey(Platform::Users(), kDefaultUser, Platform::KeyAccess::Change, &key);
    if (status == Err::AccessDenied) {
        // A standard user may read the default user's settings but not change
        // them: analysis must still see them, and changes then fail honestly
        // with "access denied" instead of the whole root being unknown.
        status = registry.OpenKey(Platform::Users(), kDefaultUser, Platform::KeyAccess::Read, &key);
    }
    if (status != 0) {
        return nullptr;
    }
    return detail::PublishKey(&caches.defaultUserKey, key);
}

}  // namespace

std::wstring RootKeyName(Platform::KeyHandle root)
{
    if (root == nullptr) {
        return {};
    }
    for (const auto& r : kRoots) {
        if (r.root() == root) {
            return r.name;
        }
    }
    auto& caches = detail::Caches();
    std::lock_guard lock(caches.mutex);
    return root == caches.defaultUserKey ? std::wstring(kDefaultUser) : std::wstring();
}

Platform::KeyHandle RootKeyFromName(std::wstring_view name)
{
    for (const auto& r : kRoots) {
        if (name == r.name) {
            return r.root();
        }
    }
    return name == kDefaultUser ? DefaultUserKey() : nullptr;
}

}  // namespace Sys
