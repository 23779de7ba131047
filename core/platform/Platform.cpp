#include "core/platform/Platform.h"

#include <atomic>

namespace Platform {

// Defined by the backend that is the build's default: the Windows API on
// Windows builds, the portable substitute on native builds.
IPlatform& DefaultPlatform();

namespace {
// The platform chosen at start-up; null means the build's default.
std::atomic<IPlatform*> g_installed{nullptr};
}  // namespace

IPlatform& Current()
{
    IPlatform* p = g_installed.load(std::memory_order_acquire);
    return p ? *p : DefaultPlatform();
}

IPlatform* Install(IPlatform* platform) { return g_installed.exchange(platform, std::memory_order_acq_rel); }

bool IsPredefinedKey(KeyHandle key)
{
    const auto v = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
    return v >= 0x80000000u && v <= 0x80000006u;
}

}  // namespace Platform
