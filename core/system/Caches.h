#pragma once
// The process-wide caches of the system helpers: the version information and
// code (code 0 excepted), the display name, the shell version, the default-user
// key and the three shell-folder keys. Each is filled on first use and never
// refreshed; a program fills the version entries during start-up.
#include <mutex>
#include <optional>
#include <string>

#include "core/platform/Platform.h"

namespace Sys {

// Forgets every cache and closes the cached keys, so that the next use reads
// the platform again. For tests, which install a fresh platform per case: call
// it after installing one and again before removing it (keys are closed only
// through the platform that opened them).
void ResetSystemCachesForTesting();

namespace detail {

struct SystemCaches {
    std::mutex mutex;
    std::optional<Platform::VersionInfo> version;  // kept only with a known code
    int versionCode = 0;
    std::optional<std::wstring> displayName;
    std::optional<uint32_t> shellVersion;
    Platform::KeyHandle defaultUserKey = nullptr;
    Platform::KeyHandle shellFolderKeys[3] = {};
    Platform::IPlatform* keysOwner = nullptr;  // the platform the keys belong to
};

SystemCaches& Caches();

// Publishes a freshly opened key into a cache slot unless another thread won
// the race, in which case the fresh key is closed; returns the key to use.
Platform::KeyHandle PublishKey(Platform::KeyHandle* slot, Platform::KeyHandle fresh);

}  // namespace detail
}  // namespace Sys
