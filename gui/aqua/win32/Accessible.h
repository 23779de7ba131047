#pragma once
// The accessible objects of skinned controls: the system's standard object
// for the window, with the control's own role and name (the window text), and
// for a window that hosts drawn controls, those controls as its children.
#include <string>
#include <vector>

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

// A drawn control as a screen reader sees it.
struct AccessibleChild {
    std::wstring name;
    LONG role = 0;   // ROLE_SYSTEM_*
    LONG state = 0;  // STATE_SYSTEM_* flags
    RECT rect{};     // in the host's client coordinates
};

// The message a host of drawn controls answers with its children: WPARAM
// points to a std::vector<AccessibleChild> to fill. The object asks the
// window each time, so it never outlives what it describes.
UINT DescribeChildrenMessage();

// Answers WM_GETOBJECT for a host of drawn controls: for OBJID_CLIENT the
// window's standard object whose children 1..n are the drawn controls the
// window describes, followed by its child windows.
LRESULT AnswerHostGetObject(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace GUI::Aqua
