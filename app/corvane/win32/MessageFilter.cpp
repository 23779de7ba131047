#include "app/corvane/win32/MessageFilter.h"

namespace AppShell {

void AllowLowerIntegrityMessage(HWND window, UINT message)
{
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    static const Filter filter = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<Filter>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")))
                      : nullptr;
    }();
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
    if (filter && window) {
        (void)filter(window, message, kAllow, nullptr);
    }
}

}  // namespace AppShell
