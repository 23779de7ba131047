#pragma once
// The startup guard as the window runs it: switched by the settings (it is
// the settings library's IStartupGuard), looked at on each tick of the
// window's timer, and the entries that appeared told to the user in a tray
// balloon whose click opens the startup programs view. The catalogue is
// built on the guard's worker; a tick before it is ready finds nothing and
// returns at once, so the user-interface thread never waits for it.
//
//   GUI::StartupGuardSwitch guard(place, balloon, poster);
//   AppSettings::Environment env = AppSettings::RunningProgram(&guard);
//   guard.SetTimerSwitch([&](bool on) { on ? SetTimer(...) : KillTimer(...); });
//   on WM_TIMER StartUp::kGuardTimerId: guard.OnTick();
//   on the balloon's click: guard.OnBalloonClicked();
#include <functional>
#include <string>
#include <vector>

#include "app/settings/Environment.h"
#include "gui/Commands.h"
#include "startup/Guard.h"

namespace GUI {

// The tray's balloon (the shell owns the tray icon). A click on the balloon
// shown last calls the guard's OnBalloonClicked.
class IBalloon {
public:
    virtual void Show(const std::wstring& title, const std::wstring& text) = 0;

protected:
    ~IBalloon() = default;
};

struct BalloonText {
    std::wstring title;
    std::wstring text;
};

struct NewEntry {
    std::wstring name;
    std::wstring category;  // "Group / Category"
};

// What the balloon says about entries that appeared; empty title for none.
BalloonText NewEntriesBalloon(const std::vector<NewEntry>& appeared);

class StartupGuardSwitch final : public AppSettings::IStartupGuard {
public:
    StartupGuardSwitch(StartUp::SnapshotPlace place, IBalloon& balloon, ICommandPoster& poster)
        : guard_(std::move(place)), balloon_(balloon), poster_(poster)
    {
    }

    // Called with true when the tick timer should run, false when not.
    void SetTimerSwitch(std::function<void(bool)> timerSwitch) { timerSwitch_ = std::move(timerSwitch); }

    // The settings' switch. A snapshot folder that cannot be made is kept as
    // LastError(): the guard still watches; only removing files needs it.
    void SetStartupGuard(bool enabled) override;
    Platform::Status LastError() const { return lastError_; }

    // One tick of the timer: shows the balloon when entries appeared and
    // returns them.
    std::vector<StartUp::ListedEntry> OnTick();
    // Opens the startup programs view.
    void OnBalloonClicked();

    StartUp::Guard& Guard() { return guard_; }

private:
    StartUp::Guard guard_;
    IBalloon& balloon_;
    ICommandPoster& poster_;
    std::function<void(bool)> timerSwitch_;
    Platform::Status lastError_ = 0;
};

}  // namespace GUI
