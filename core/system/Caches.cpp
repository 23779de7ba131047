#include "core/system/Caches.h"

namespace Sys {
namespace detail {

SystemCaches& Caches()
{
    static SystemCaches caches;
    return caches;
}

Platform::KeyHandle PublishKey(Platform::KeyHandle* slot, Platform::KeyHandle fresh)
{
    auto& caches = Caches();
    Platform::IPlatform* current = &Platform::Current();
    {
        std::lock_guard lock(caches.mutex);
        if (*slot == nullptr) {
            *slot = fresh;
            caches.keysOwner = current;
            return fresh;
        }
    }
    (void)current->Registry().CloseKey(fresh);
    std::lock_guard lock(caches.mutex);
    return *slot;
}

}  // namespace detail

void ResetSystemCachesForTesting()
{
    auto& caches = detail::Caches();
    std::lock_guard lock(caches.mutex);
    Platform::IPlatform* current = &Platform::Current();
    auto forget = [&](Platform::KeyHandle& key) {
        if (key != nullptr && caches.keysOwner == current) {
            (void)current->Registry().CloseKey(key);
        }
        key = nullptr;
    };
    forget(caches.defaultUserKey);
    for (auto& key : caches.shellFolderKeys) {
        forget(key);
    }
    caches.keysOwner = nullptr;
    caches.version.reset();
    caches.versionCode = 0;
    caches.displayName.reset();
    caches.shellVersion.reset();
}

}  // namespace Sys
