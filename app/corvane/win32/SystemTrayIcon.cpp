#include "app/corvane/win32/SystemTrayIcon.h"

#include <cwchar>
#include <utility>

#include "app/corvane/TrayMessages.h"

namespace AppShell {

namespace {

// Copies `text` into a fixed field, NUL-terminated; cut with "..." when long.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text)
{
    std::wstring shown = text;
    if (shown.size() >= N) {
        shown = shown.substr(0, N - 4) + L"...";
    }
    wcsncpy(field, shown.c_str(), N - 1);
    field[N - 1] = L'\0';
}

}  // namespace

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

bool SystemTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text)
{
    EnsureShown();
    if (hidden_) {
        return false;
    }
    data_.uFlags = NIF_INFO;
    CopyField(data_.szInfoTitle, title);
    CopyField(data_.szInfo, text);
    data_.dwInfoFlags = NIIF_INFO;
    const bool shown = call_(NIM_MODIFY, &data_) != FALSE;
    // Later adds of the icon carry no balloon.
    data_.szInfoTitle[0] = L'\0';
    data_.szInfo[0] = L'\0';
    data_.dwInfoFlags = 0;
    return shown;
}

void SystemTrayIcon::EnsureShown()
{
    if (hidden_ || failed_) {
        Show();
    }
}

}  // namespace AppShell
