#pragma once
// What the program's shell (start-up, tray, single instance, shutdown) asks of
// its main window. The shell holds the window through this interface only, so
// its own behaviour is testable with a stand-in window.
#include <windows.h>

#include <string>

namespace GUI {

class IMainWindow {
public:
    virtual ~IMainWindow() = default;

    // Creates the window hidden, with this title, at this screen position (the
    // shell clamps it to the work area first). Returns 0 or a Windows error code.
    [[nodiscard]] virtual DWORD Create(const std::wstring& title, int x, int y) = 0;
    virtual HWND Handle() const = 0;
    // Shows the window normally with the pop-ups it keeps visible and makes it
    // the foreground window (the tray's "Open", a second start).
    virtual void BringUp() = 0;
    // Ends a running analyse or tune-up before the program exits: cancel, wait
    // up to 5 s, then abandon the run's journal cleanly. Returns at once when
    // no run is active.
    virtual void StopRun() = 0;
};

}  // namespace GUI
