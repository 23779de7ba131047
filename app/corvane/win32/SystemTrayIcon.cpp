#include "app/corvane/win32/SystemTrayIcon.h"

#include <cwchar>
#include <utility>

#include "app/corvane/TrayMessages.h"

namespace AppShell {

NotifyIconCall SystemNotifyIcon()
{
    return [](DWORD message, NOTIFYICONDATAW* data) { return Shell_NotifyIconW(message, data); };
}

SystemTrayIcon::SystemTrayIcon(HWND owner, HICON icon, NotifyIconCall call) : call_(std::move(call))
{
    data_.cbSize = sizeof data_;
    data_.hWnd = owner;
    data_.uID = TrayId::kIcon;
    data_.uCallbackMessage = TrayId::kCallbackMessage;
    data_.hIcon = icon;
    wcsncpy(data_.szTip, L"Corvane", std::size(data_.szTip) - 1);
}

SystemTrayIcon::~SystemTrayIcon()
{
    Hide();
}

void SystemTrayIcon::Show()
{
    if (!hidden_) {
        data_.uFlags = 0;
        if (call_(NIM_DELETE, &data_)) {
            hidden_ = true;
        }
    }
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (call_(NIM_ADD, &data_)) {
        hidden_ = false;
        failed_ = false;
    } else {
        failed_ = true;
    }
}

void SystemTrayIcon::Hide()
{
    if (hidden_) {
        return;
    }
    data_.uFlags = 0;
    (void)call_(NIM_DELETE, &data_);
    hidden_ = true;
}

void SystemTrayIcon::EnsureShown()
{
    if (hidden_ || failed_) {
        Show();
    }
}

}  // namespace AppShell
