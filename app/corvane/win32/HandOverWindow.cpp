#include "app/corvane/win32/HandOverWindow.h"

#include "app/corvane/SingleInstance.h"
#include "app/corvane/win32/MessageFilter.h"

namespace AppShell {

HandOverWindow::HandOverWindow(HINSTANCE instance) : instance_(instance)
{
    showMessage_ = RegisterWindowMessageW(Instance::kShowMessage);
}

HandOverWindow::~HandOverWindow()
{
    if (window_) {
        DestroyWindow(window_);
    }
}

bool HandOverWindow::Create()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &HandOverWindow::Procedure;
    wc.hInstance = instance_;
    wc.lpszClassName = Instance::kHandOverClass;
    if (!RegisterClassExW(&wc)) {
        return false;
    }
    // A hidden top-level window (not a message-only one): FindWindow finds it.
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, Instance::kHandOverClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance_, this);
    if (!window_) {
        return false;
    }
    // A second start by the same user from an unelevated shell reaches an
    // elevated first instance.
    AllowLowerIntegrityMessage(window_, showMessage_);
    return true;
}

LRESULT CALLBACK HandOverWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HandOverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == self->showMessage_ && message != 0) {
        if (self->main_) {
            self->main_->BringUp();
        } else {
            self->requested_ = true;
        }
        return 0;
    }
    if (self && message == WM_NCDESTROY) {
        self->window_ = nullptr;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace AppShell
