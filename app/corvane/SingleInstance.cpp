#include "app/corvane/SingleInstance.h"

namespace AppShell {

InstanceRole DecideInstance(IInstanceSystem& system, uint32_t patienceMs, uint32_t retryMs)
{
    if (system.TakeMutex()) {
        return InstanceRole::First;
    }
    // The first instance may still be starting up: its hand-over window is
    // made right after the mutex, but that can take a moment on a busy system.
    const uint64_t start = system.NowMs();
    for (;;) {
        if (system.FindHandOver() && system.AskToShow()) {
            return InstanceRole::HandedOver;
        }
        const uint64_t waited = system.NowMs() - start;
        if (waited >= patienceMs) {
            return InstanceRole::NotResponding;
        }
        const uint64_t left = patienceMs - waited;
        system.SleepMs(static_cast<uint32_t>(left < retryMs ? left : retryMs));
    }
}

int ExitCodeOf(InstanceRole role)
{
    return role == InstanceRole::NotResponding ? 1 : 0;
}

}  // namespace AppShell
