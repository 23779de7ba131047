#pragma once
// The startup guard's balloons over the tray icon: the main window asks on
// its thread, the tray thread shows them.
#include "app/corvane/win32/TrayWindow.h"
#include "gui/StartupGuardSwitch.h"

namespace AppShell {

class GuardBalloon final : public GUI::IBalloon {
public:
    explicit GuardBalloon(TrayThread& tray) : tray_(tray) {}
    void Show(const std::wstring& title, const std::wstring& text) override { tray_.ShowBalloon(title, text); }

private:
    TrayThread& tray_;
};

}  // namespace AppShell
