#pragma once
// The one lock that the window program and the command line hold while they
// change anything: a tune-up, restoring or deleting backup points, changing
// selections and Config.xml. Two command lines exclude each other too.
// Analysing and listing need no lock.
#include <cstdint>
#include <string_view>

#include "core/platform/Handles.h"

namespace Tweaker {

// A mutex of the user's session on Windows.
inline constexpr std::wstring_view kChangeLockName = L"Local\\Corvane.Changes";

// Takes the lock without waiting: 0 when `lock` holds it now; 183 when
// another holder has it (another program, or this one already). `lock` is
// untouched on failure.
[[nodiscard]] inline uint32_t TakeChangeLock(Platform::UniqueNamedLock* lock, std::wstring_view name = kChangeLockName)
{
    Platform::LockHandle handle = nullptr;
    const uint32_t status = Platform::Current().Threads().AcquireNamedLock(name, &handle);
    if (status == 0) {
        lock->reset(handle);
    }
    return status;
}

}  // namespace Tweaker
