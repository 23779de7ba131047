#pragma once
// The tray thread: the hidden window "Velmont TrayIcon" with the icon, its
// menu and its own message loop. It never touches the main window beyond
// posting to it: "bring up" goes to the hand-over window (which lives on the
// main thread), commands go to the main window.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "app/corvane/win32/SystemTrayIcon.h"
#include "core/platform/win32/WinHandles.h"

namespace AppShell {

inline constexpr wchar_t kTrayClass[] = L"Velmont TrayIcon";

class TrayThread {
public:
    // `handOver` receives the show message; `shutdown` is the program's
    // shutdown event, waited for at the end of the session.
    TrayThread(HINSTANCE instance, HWND handOver, HANDLE shutdown, DWORD mainThread, NotifyIconCall notify);
    ~TrayThread();  // Close()
    TrayThread(const TrayThread&) = delete;
    TrayThread& operator=(const TrayThread&) = delete;

    // Starts the thread and waits until its window exists (at most 30 s).
    // False when it was not made; the thread has then ended and been joined.
    [[nodiscard]] bool Start();
    // The main window, once it exists (commands go there).
    void SetMainWindow(HWND window) { mainWindow_.store(window); }
    HWND window() const { return window_.load(); }
    // Shows a balloon over the icon; from any thread (the tray thread shows it).
    void ShowBalloon(const std::wstring& title, const std::wstring& text);
    // Closes the tray window (the icon goes with it) and joins the thread.
    void Close();

private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PopUpMenu(HWND window);
    void BringUp();

    HINSTANCE instance_;
    HWND handOver_;
    HANDLE shutdown_;
    DWORD mainThread_;
    NotifyIconCall notify_;
    UINT taskbarCreated_ = 0;
    UINT showMessage_ = 0;
    HICON icon_ = nullptr;
    SystemTrayIcon* trayIcon_ = nullptr;  // lives on the tray thread's stack
    std::atomic<HWND> window_{nullptr};
    std::atomic<HWND> mainWindow_{nullptr};
    std::mutex balloonLock_;
    std::wstring balloonTitle_, balloonText_;  // the balloon waiting for the tray thread
    Platform::Win32::UniqueHandle ready_;
    Platform::Win32::UniqueHandle thread_;
};

}  // namespace AppShell
