// Corvane.exe: the main program. It takes no arguments; only the show state
// Windows passes is used.
#include <windows.h>

#include "app/corvane/win32/Program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    return AppShell::RunProgram(instance, showCommand);
}
