#pragma once
// The first instance's hidden hand-over window (class "Corvane.HandOver"),
// made as soon as the instance owns the mutex so that a second start finds
// it. It lives on the main thread: the registered message "Corvane.Show",
// from a second start or the tray thread, brings the main window up there.
#include <windows.h>

#include "gui/MainWindow.h"

namespace AppShell {

class HandOverWindow {
public:
    explicit HandOverWindow(HINSTANCE instance);
    ~HandOverWindow();
    HandOverWindow(const HandOverWindow&) = delete;
    HandOverWindow& operator=(const HandOverWindow&) = delete;

    // False when the window could not be made (a second start then waits
    // in vain and says so; this instance still runs).
    [[nodiscard]] bool Create();
    HWND hwnd() const { return window_; }
    // The window to bring up from now on (null: none). A request that came
    // before the window existed is remembered and reported by Requested().
    void SetMainWindow(GUI::IMainWindow* window) { main_ = window; }
    bool Requested() const { return requested_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    UINT showMessage_ = 0;
    GUI::IMainWindow* main_ = nullptr;
    bool requested_ = false;
};

}  // namespace AppShell
