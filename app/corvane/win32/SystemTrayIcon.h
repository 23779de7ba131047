#pragma once
// The notification-area icon. The record is the system's own size for the
// running program (sizeof NOTIFYICONDATAW), so that 32- and 64-bit builds
// both describe it correctly; the call goes through a seam so that tests
// record it (under a virtual display there is no notification area).
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <functional>
#include <string>

namespace AppShell {

using NotifyIconCall = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;

// The system's Shell_NotifyIconW.
NotifyIconCall SystemNotifyIcon();

class SystemTrayIcon {
public:
    // The icon of `owner`: identifier 1000, callback message WM_USER, the
    // tip "Corvane". The icon handle is borrowed.
    SystemTrayIcon(HWND owner, HICON icon, NotifyIconCall call);
    ~SystemTrayIcon();  // removes the icon when it is shown
    SystemTrayIcon(const SystemTrayIcon&) = delete;
    SystemTrayIcon& operator=(const SystemTrayIcon&) = delete;

    // Deletes the icon first unless it is hidden, then adds it; success
    // clears both flags, a failed add marks it failed.
    void Show();
    // Deletes the icon unless it is hidden.
    void Hide();
    // At start-up: Show() when hidden or failed.
    void EnsureShown();
    // A balloon over the icon, the icon added first when it is not shown;
    // texts too long for the record are cut with "...". False when the
    // shell took neither.
    bool ShowBalloon(const std::wstring& title, const std::wstring& text);

    bool hidden() const { return hidden_; }
    bool failed() const { return failed_; }

private:
    NOTIFYICONDATAW data_{};
    NotifyIconCall call_;
    bool hidden_ = true;
    bool failed_ = false;
};

}  // namespace AppShell
