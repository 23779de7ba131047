#pragma once
// What a run of the model consults between units of work: the pacing pauses
// that give the progress display its feel, the place where a paused run
// waits, and the cancel event. One run at a time uses them.
#include <cstdint>

#include "core/platform/Platform.h"

namespace Tweaker {

enum class Pacing : bool { Off = false, On = true };

// Pacing is on unless the program (tests, the command line) turns it off.
void SetPacing(Pacing pacing);
Pacing GetPacing();
// Sleeps for the given time when pacing is on.
void Pace(uint32_t milliseconds);

// Where a paused run waits. The main window implements it; WaitWhilePaused
// returns when the run may go on (resumed or cancelled).
class IRunGate {
public:
    virtual void WaitWhilePaused() = 0;

protected:
    ~IRunGate() = default;
};

// Installs the gate (not owned; nullptr = none) and returns the previous one.
IRunGate* SetRunGate(IRunGate* gate);

// A point between two units of work: waits while paused, then tells whether
// the cancel event (optional) is signalled.
bool Checkpoint(Platform::EventHandle cancel);

}  // namespace Tweaker
