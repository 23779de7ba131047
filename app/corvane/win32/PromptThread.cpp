#include "app/corvane/win32/PromptThread.h"

#include "app/corvane/win32/ComApartment.h"
#include "core/platform/win32/WinHandles.h"

namespace AppShell {

namespace {

struct MessageJob {
    std::wstring text;
    std::wstring caption;
};

DWORD WINAPI ShowOnPromptThread(void* parameter)
{
    const auto* job = static_cast<const MessageJob*>(parameter);
    ComApartment com;
    MessageBoxW(nullptr, job->text.c_str(), job->caption.c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    return 0;
}

}  // namespace

void WaitPainting(HANDLE handle)
{
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_SENDMESSAGE | QS_PAINT, 0);
        if (woken != WAIT_OBJECT_0 + 1) {
            return;  // the handle is signalled, or waiting failed
        }
        // Sent messages are handled by PeekMessage itself; paint messages are
        // taken from the queue one by one, other posted messages stay.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
            DispatchMessageW(&msg);
        }
    }
}

void PromptThread::ShowMessage(const std::wstring& text, const std::wstring& caption)
{
    MessageJob job{text, caption};
    Platform::Win32::UniqueHandle thread(CreateThread(nullptr, 0, &ShowOnPromptThread, &job, 0, nullptr));
    if (!thread) {
        // Without a thread the message is still shown, on this one.
        MessageBoxW(owner_, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    const bool disable = owner_ != nullptr && IsWindowEnabled(owner_);
    if (disable) {
        EnableWindow(owner_, FALSE);
    }
    WaitPainting(thread.get());
    if (disable) {
        EnableWindow(owner_, TRUE);
    }
}

}  // namespace AppShell
