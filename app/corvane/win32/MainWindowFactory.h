#pragma once
// The one place that decides which main window the program shows. The shell
// knows the window only as GUI::IMainWindow; everything a window may need is
// handed over here.
#include <windows.h>

#include <memory>

#include "app/corvane/TestSwitches.h"
#include "gui/MainWindow.h"
#include "gui/StartupGuardSwitch.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Toolkit.h"
#include "tweaker/Manager.h"

namespace AppShell {

struct MainWindowParts {
    HINSTANCE instance = nullptr;
    GUI::Aqua::Toolkit& toolkit;
    GUI::IFrame& frame;
    Tweaker::Manager& manager;
    const TestSwitches& switches;
    // Where the startup guard's balloons go (the tray); nullptr: nowhere.
    GUI::IBalloon* balloon = nullptr;
};

// The window is not created yet; the shell calls Create on it.
std::unique_ptr<GUI::IMainWindow> MakeMainWindow(const MainWindowParts& parts);

}  // namespace AppShell
