#pragma once
// The accessible object of a skinned control: the system's standard object
// for the window, with the control's own role (and name, the window text).
#include "gui/aqua/win32/Gdiplus.h"

#include <oleacc.h>

namespace GUI::Aqua {

// IAccessible's interface id. The import library of oleacc also names
// IID_IAccessible, and linking against it can give the address of an import
// stub instead of the id, so the toolkit keeps its own copy.
inline constexpr IID kIAccessibleId = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Answers WM_GETOBJECT: for OBJID_CLIENT an object with `role` (such as
// ROLE_SYSTEM_PUSHBUTTON) whose name is the window text; anything else goes
// to the default handling.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, LONG role);

}  // namespace GUI::Aqua
