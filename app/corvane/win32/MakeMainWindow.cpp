// The main window the program shows: GUI::MainFrame over the loaded
// catalogue, asking the settings at each tune-up whether to keep a backup
// point, and taking a test run's answer to the restart offer. Its startup
// guard tells of new entries in the tray's balloon.
#include "app/corvane/win32/MainWindowFactory.h"
#include "app/settings/Settings.h"
#include "gui/win32/MainFrame.h"

namespace AppShell {

std::unique_ptr<GUI::IMainWindow> MakeMainWindow(const MainWindowParts& parts)
{
    GUI::MainFrameParts frame;
    frame.toolkit = &parts.toolkit;
    frame.frame = &parts.frame;
    frame.manager = &parts.manager;
    frame.backupEnabled = [] { return AppSettings::BackupEnabled(AppSettings::Locations{}); };
    frame.restartAnswer = parts.switches.restartAnswer;
    frame.resources = parts.instance;
    frame.balloon = parts.balloon;
    frame.guardTickMilliseconds = parts.switches.guardTickMilliseconds;
    return GUI::MakeMainFrame(frame);
}

}  // namespace AppShell
