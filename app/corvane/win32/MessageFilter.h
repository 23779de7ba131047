#pragma once
// Lets a message from a process of lower integrity through to one window of
// an elevated program (ChangeWindowMessageFilterEx, Windows 7 and later; a
// system without it filters nothing, so there is nothing to do).
#include <windows.h>

namespace AppShell {

void AllowLowerIntegrityMessage(HWND window, UINT message);

}  // namespace AppShell
