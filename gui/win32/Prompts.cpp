#include "gui/win32/Prompts.h"

#include <objbase.h>

#include "gui/win32/PreviewWindow.h"

namespace GUI {

const wchar_t* const WindowPrompts::kPreviewTitle = L"Tune-up preview";

namespace {

struct PromptJob {
    int (*body)(void*) = nullptr;
    void* argument = nullptr;
    int result = 0;
};

DWORD WINAPI PromptThread(void* parameter)
{
    auto* job = static_cast<PromptJob*>(parameter);
    // The shell's dialogs need a single-threaded apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    job->result = job->body(job->argument);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

struct Box {
    const std::wstring* caption;
    const std::wstring* text;
    UINT flags;
};

int ShowBox(void* argument)
{
    const auto* box = static_cast<const Box*>(argument);
    return MessageBoxW(nullptr, box->text->c_str(), box->caption->c_str(), box->flags | MB_SETFOREGROUND);
}

int ShowRestart(void*)
{
    // The shell's restart prompt (exported by ordinal only).
    using RestartDialog = int(WINAPI*)(HWND, PCWSTR, DWORD);
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    if (!shell) {
        return 0;
    }
    auto restart =
        reinterpret_cast<RestartDialog>(reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(59))));
    int result = 0;
    if (restart) {
        result = restart(nullptr, L"", 2 /* EWX_REBOOT */);
    }
    FreeLibrary(shell);
    return result;
}

}  // namespace

int RunPrompt(HWND owner, int (*body)(void*), void* argument)
{
    PromptJob job{body, argument, 0};
    const bool wasEnabled = owner && IsWindowEnabled(owner);
    if (wasEnabled) {
        EnableWindow(owner, FALSE);
    }
    HANDLE thread = CreateThread(nullptr, 0, PromptThread, &job, 0, nullptr);
    if (!thread) {
        job.result = body(argument);  // no thread: the prompt blocks, but it is shown
    } else {
        // Keep painting, ticking timers and answering sent messages while the
        // prompt is open; posted commands and input stay queued until it closes.
        for (;;) {
            const DWORD r = MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_SENDMESSAGE | QS_PAINT | QS_TIMER, 0);
            if (r != WAIT_OBJECT_0 + 1) {
                break;  // the thread ended (or the wait failed: do not spin)
            }
            MSG msg;
            while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            while (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            // Delivers messages sent from other threads.
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (wasEnabled) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    return job.result;
}

int ShowMessageBox(HWND owner, const std::wstring& caption, const std::wstring& text, UINT flags)
{
    Box box{&caption, &text, flags};
    return RunPrompt(owner, ShowBox, &box);
}

bool WindowPrompts::Ask(HWND owner, const std::wstring& caption, const std::wstring& text)
{
    return ShowMessageBox(owner, caption, text, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void WindowPrompts::Tell(HWND owner, const std::wstring& caption, const std::wstring& text, UINT icon)
{
    (void)ShowMessageBox(owner, caption, text, MB_OK | icon);
}

bool WindowPrompts::ConfirmTuneUp(HWND owner, const std::vector<Tweaker::TweakChange>& changes)
{
    RTI::Reference<PreviewWindow> preview(new PreviewWindow(toolkit_, frame_));
    return preview->Run(owner, kPreviewTitle, changes);
}

void WindowPrompts::OfferRestart(HWND owner)
{
    if (restartAnswer_) {
        if (*restartAnswer_) {
            (void)ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
        }
        return;
    }
    (void)RunPrompt(owner, ShowRestart, nullptr);
}

}  // namespace GUI
