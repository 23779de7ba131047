#include "app/corvane/win32/TrayWindow.h"

#include <utility>

#include "app/corvane/SingleInstance.h"
#include "app/corvane/TrayMessages.h"
#include "app/corvane/win32/MessageFilter.h"
#include "gui/Commands.h"

namespace AppShell {

namespace {

constexpr DWORD kReadyTimeoutMs = 30000;
constexpr DWORD kEndSessionWaitMs = 15000;
constexpr int kProgramIcon = 107;
constexpr UINT kBalloonMessage = WM_APP + 1;  // a balloon waits in balloonTitle_/balloonText_

}  // namespace

TrayThread::TrayThread(HINSTANCE instance, HWND handOver, HANDLE shutdown, DWORD mainThread, NotifyIconCall notify)
    : instance_(instance), handOver_(handOver), shutdown_(shutdown), mainThread_(mainThread), notify_(std::move(notify))
{
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    showMessage_ = RegisterWindowMessageW(Instance::kShowMessage);
}

TrayThread::~TrayThread()
{
    Close();
    if (icon_) {
        DestroyIcon(icon_);
    }
}

bool TrayThread::Start()
{
    icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready_) {
        return false;
    }
    thread_.reset(CreateThread(nullptr, 0, &TrayThread::ThreadMain, this, 0, nullptr));
    if (!thread_) {
        return false;
    }
    const DWORD waited = WaitForSingleObject(ready_.get(), kReadyTimeoutMs);
    if (waited != WAIT_OBJECT_0 || window() == nullptr) {
        // The thread is told to end, never terminated.
        Close();
        return false;
    }
    return true;
}

void TrayThread::Close()
{
    if (!thread_) {
        return;
    }
    if (HWND window = window_.load()) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else {
        PostThreadMessageW(GetThreadId(thread_.get()), WM_QUIT, 0, 0);
    }
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

DWORD WINAPI TrayThread::ThreadMain(void* parameter)
{
    auto* self = static_cast<TrayThread*>(parameter);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TrayThread::Procedure;
    wc.hInstance = self->instance_;
    wc.lpszClassName = kTrayClass;
    RegisterClassExW(&wc);  // a class left from an earlier thread of this process serves as well
    HWND window = CreateWindowExW(0, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, self->instance_, self);
    if (!window) {
        SetEvent(self->ready_.get());
        return 1;
    }
    // An elevated program still gets the shell's messages after Explorer
    // restarts, and the icon's callback.
    AllowLowerIntegrityMessage(window, self->taskbarCreated_);
    AllowLowerIntegrityMessage(window, TrayId::kCallbackMessage);
    SystemTrayIcon trayIcon(window, self->icon_, self->notify_);
    self->trayIcon_ = &trayIcon;
    self->window_.store(window);
    SetEvent(self->ready_.get());
    // The icon is added while the main thread goes on to make the main
    // window: the shell can take a while to answer.
    trayIcon.EnsureShown();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    self->trayIcon_ = nullptr;  // the icon is removed as trayIcon ends
    return 0;
}

LRESULT CALLBACK TrayThread::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(window, message, wParam, lParam);
}

void TrayThread::ShowBalloon(const std::wstring& title, const std::wstring& text)
{
    {
        std::lock_guard<std::mutex> lock(balloonLock_);
        balloonTitle_ = title;
        balloonText_ = text;
    }
    if (HWND window = window_.load()) {
        PostMessageW(window, kBalloonMessage, 0, 0);
    }
}

void TrayThread::BringUp()
{
    // The hand-over window lives on the main thread, which brings the main
    // window up; this thread never touches it.
    PostMessageW(handOver_, showMessage_, 0, 0);
}

LRESULT TrayThread::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        // The icon goes while its window still exists and answers the shell.
        if (trayIcon_) {
            trayIcon_->Hide();
        }
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        if (trayIcon_) {
            trayIcon_->Hide();
        }
        window_.store(nullptr);
        PostQuitMessage(0);
        return 0;
    }
    if (message == kBalloonMessage) {
        std::wstring title, text;
        {
            std::lock_guard<std::mutex> lock(balloonLock_);
            title.swap(balloonTitle_);
            text.swap(balloonText_);
        }
        if (trayIcon_ && !title.empty()) {
            (void)trayIcon_->ShowBalloon(title, text);
        }
        return 0;
    }
    HWND main = mainWindow_.load();
    const bool mainExists = main != nullptr && IsWindow(main);
    switch (DecideTrayAction({message, wParam, lParam}, taskbarCreated_, mainExists)) {
        case TrayAction::Default:
            return DefWindowProcW(window, message, wParam, lParam);
        case TrayAction::Ignore:
            return 0;
        case TrayAction::BringUp:
            BringUp();
            return 0;
        case TrayAction::PopUpMenu:
            PopUpMenu(window);
            return 0;
        case TrayAction::PostNull:
            PostMessageW(window, WM_NULL, 0, 0);
            return 0;
        case TrayAction::BringUpAnalyse:
            BringUp();
            PostMessageW(main, WM_COMMAND, GUI::Command::Analyse, 0);
            return 0;
        case TrayAction::Exit:
            // Hidden or not, the window ends the program through its Exit
            // command; without one the main thread's loop is ended directly.
            if (mainExists) {
                PostMessageW(main, WM_COMMAND, GUI::Command::Exit, 0);
            } else {
                PostThreadMessageW(mainThread_, WM_QUIT, 0, 0);
            }
            return 0;
        case TrayAction::OpenStartup:
            BringUp();
            PostMessageW(main, WM_COMMAND, GUI::Command::StartupPrograms, 0);
            return 0;
        case TrayAction::WindowClosed:
            MessageBoxW(nullptr, L"Window is closed!", nullptr, MB_OK);
            return 0;
        case TrayAction::ShowIconAgain:
            if (trayIcon_) {
                trayIcon_->Show();
            }
            return 0;
        case TrayAction::AllowEndSession:
            return TRUE;
        case TrayAction::EndSession:
            if (WaitForSingleObject(shutdown_, 0) != WAIT_OBJECT_0) {
                PostThreadMessageW(mainThread_, WM_QUIT, 0, 0);
                WaitForSingleObject(shutdown_, kEndSessionWaitMs);
            }
            if (trayIcon_) {
                trayIcon_->Hide();
            }
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TrayThread::PopUpMenu(HWND window)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) {
        return;
    }
    AppendMenuW(menu, MF_STRING, TrayId::kOpen, L"Open Corvane");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, TrayId::kAnalyse, L"Run Corvane Analyse");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, TrayId::kExit, L"Exit");
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    DestroyMenu(menu);
    PostMessageW(window, WM_NULL, 0, 0);
}

}  // namespace AppShell
