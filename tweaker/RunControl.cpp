#include "tweaker/RunControl.h"

#include <atomic>

#include "core/system/Options.h"

namespace Tweaker {
namespace {

std::atomic<bool> gPacing{true};
std::atomic<IRunGate*> gGate{nullptr};

}  // namespace

void SetPacing(Pacing pacing)
{
    gPacing.store(pacing == Pacing::On);
}

Pacing GetPacing()
{
    return gPacing.load() ? Pacing::On : Pacing::Off;
}

void Pace(uint32_t milliseconds)
{
    if (gPacing.load()) {
        Platform::Current().Threads().Sleep(milliseconds);
    }
}

IRunGate* SetRunGate(IRunGate* gate)
{
    return gGate.exchange(gate);
}

bool Checkpoint(Platform::EventHandle cancel)
{
    if (IRunGate* gate = gGate.load()) {
        gate->WaitWhilePaused();
    }
    return Sys::IsCancelled(cancel);
}

}  // namespace Tweaker
