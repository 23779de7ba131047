#pragma once
// The startup guard's timer on the user-interface thread: a message-only
// window that runs timer 12357 while the guard is on and hands each tick to
// the guard. The tick returns at once while the guard's worker still builds
// the catalogue, so the thread never waits for it.
//
//   GUI::StartupGuardSwitch guard(place, balloon, poster);
//   GUI::GuardTicker ticker(toolkit, guard);
//   ticker.Create();   // before the settings switch the guard
//   ticker.onAppeared = [&](auto& appeared) { startupView.Refresh(); };
#include <functional>
#include <vector>

#include "gui/StartupGuardSwitch.h"
#include "gui/aqua/win32/Window.h"

namespace GUI {

class GuardTicker : public WindowBase {
public:
    GuardTicker(Aqua::Toolkit& toolkit, StartupGuardSwitch& guard,
                uint32_t periodMilliseconds = StartUp::kGuardTickMilliseconds)
        : WindowBase(toolkit), guard_(guard), period_(periodMilliseconds)
    {
    }
    ~GuardTicker() override;
    bool Create();
    bool running() const { return running_; }

    // Called after a tick that found new entries (the balloon is shown already).
    std::function<void(const std::vector<StartUp::ListedEntry>&)> onAppeared;

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    StartupGuardSwitch& guard_;
    uint32_t period_;
    bool running_ = false;
};

}  // namespace GUI
