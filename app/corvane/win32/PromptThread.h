#pragma once
// Messages shown on a prompt thread of their own while the user-interface
// thread waits without freezing: it keeps handling sent and paint messages
// (MsgWaitForMultipleObjectsEx), with the main window disabled meanwhile.
// The prompt thread is waited for, never terminated.
#include <windows.h>

#include "app/corvane/LoadNotice.h"

namespace AppShell {

class PromptThread final : public IPrompt {
public:
    // `owner` is disabled while a prompt is open (null: none).
    explicit PromptThread(HWND owner) : owner_(owner) {}
    void ShowMessage(const std::wstring& text, const std::wstring& caption) override;

private:
    HWND owner_;
};

// Waits for `handle` on the user-interface thread, handling sent messages and
// painting meanwhile; posted input waits until the prompt has closed.
void WaitPainting(HANDLE handle);

}  // namespace AppShell
