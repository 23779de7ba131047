#pragma once
// The read-only inspection hook that tests use to read a window's state. A
// test posts or sends the registered message kInspectMessage to the window with
// its own window handle in wParam; the window answers by sending WM_COPYDATA to
// that handle with dwData = kInspectData and the state as UTF-8 JSON. The hook
// only reads, so it is compiled into every build.
namespace GUI::Inspection {

inline constexpr wchar_t kInspectMessage[] = L"Corvane.Inspect";
inline constexpr unsigned long kInspectData = 0x43564E49;  // "CVNI"

}  // namespace GUI::Inspection
