#pragma once
// Messages shown on a prompt thread of their own while the user-interface
// thread waits without freezing (GUI::RunPrompt, gui/win32/Prompts.h): it
// keeps painting and answering sent messages, the main window disabled
// meanwhile. The prompt thread is waited for, never terminated.
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

}  // namespace AppShell
