#pragma once
// The end of the program after its message loop, in an order that never
// terminates a thread: a thread killed inside the loader or the HTTP client
// leaves locks held and the exit hangs.
namespace AppShell {

class IShutdownSteps {
public:
    virtual ~IShutdownSteps() = default;
    // Sets the shutdown event, which the tray window's end of session waits
    // for: from then on the program's data are safe.
    virtual void SignalShutdown() = 0;
    // A running analyse or tune-up: cancelled, waited for, its journal
    // closed cleanly.
    virtual void StopRun() = 0;
    // Closes the tray window (the icon goes with it) and joins its thread.
    virtual void CloseTray() = 0;
    // Closes the update request's handles and joins its thread.
    virtual void StopUpdateCheck() = 0;
};

// Runs the steps in this order: stop the run, signal, tray, update check.
// The run stops first so that nothing still writes while the rest ends; the
// signal follows it because the end of the session waits for the signal and
// the system may end the process as soon as that wait returns: a journal
// being closed then would be cut short.
void ShutDown(IShutdownSteps& steps);

}  // namespace AppShell
