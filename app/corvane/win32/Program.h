#pragma once
// Corvane.exe from its start to its end: one instance per user session, the
// folders, the catalogue, the tray thread, the main window with the settings
// at start, the update check, the message loop and a shutdown that waits for
// every thread it started. Returns the exit code.
#include <windows.h>

namespace AppShell {

int RunProgram(HINSTANCE instance, int showCommand);

}  // namespace AppShell
