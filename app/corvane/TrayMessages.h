#pragma once
// What the tray window does with each message it gets: the notification
// icon's callback, the tray menu's commands, the shell's restart and the end
// of the session. Decided here, done by the tray window.
#include <cstdint>

namespace AppShell {

namespace TrayId {
constexpr unsigned kIcon = 1000;
constexpr unsigned kCallbackMessage = 0x0400;  // WM_USER
constexpr unsigned kOpen = 1000;               // "Open Corvane"
constexpr unsigned kAnalyse = 1001;            // "Run Corvane Analyse"
constexpr unsigned kExit = 1002;               // "Exit"
}  // namespace TrayId

enum class TrayAction {
    Default,          // the default window procedure
    Ignore,           // answered 0, nothing done
    BringUp,          // the main window shown and made the foreground window
    PopUpMenu,        // the tray menu at the cursor
    PostNull,         // WM_NULL posted to the tray window itself
    BringUpAnalyse,   // brought up, then the main window's Analyse command
    Exit,             // the main window's Exit command, shown or hidden
    WindowClosed,     // "Window is closed!" (no main window)
    ShowIconAgain,    // the shell restarted: the icon is added again
    AllowEndSession,  // answered TRUE: the program may be ended
    EndSession,       // the session ends: quit, wait for the shutdown, hide the icon
    OpenStartup,      // the guard's balloon was clicked: brought up on the startup programs view
};

struct TrayMessage {
    unsigned message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// `taskbarCreated` is the registered "TaskbarCreated" message; `mainWindow`
// whether the main window exists.
TrayAction DecideTrayAction(const TrayMessage& message, unsigned taskbarCreated, bool mainWindow);

}  // namespace AppShell
