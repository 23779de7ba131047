#pragma once
// The main window's prompts: questions, messages, the tune-up preview and the
// offer to restart. They go through IPrompts so that tests answer them by
// their buttons; WindowPrompts shows them to the user.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Toolkit.h"
#include "tweaker/Preview.h"

namespace GUI {

class IPrompts {
public:
    virtual ~IPrompts() = default;
    // OK / Cancel; true for OK.
    virtual bool Ask(HWND owner, const std::wstring& caption, const std::wstring& text) = 0;
    // A message with OK; `icon` is MB_ICONWARNING, MB_ICONINFORMATION ...
    virtual void Tell(HWND owner, const std::wstring& caption, const std::wstring& text, UINT icon) = 0;
    // What a tune-up would change, with "Tune Up!" and "Cancel"; true for "Tune Up!".
    virtual bool ConfirmTuneUp(HWND owner, const std::vector<Tweaker::TweakChange>& changes) = 0;
    // After a tune-up: the offer to restart Windows so that the changes take effect.
    virtual void OfferRestart(HWND owner) = 0;
};

// Message boxes run on a short-lived prompt thread (single-threaded COM
// apartment) while the calling user-interface thread keeps painting and
// answering sent messages, its windows disabled; posted commands wait until
// the prompt is closed. The prompt thread is waited for, never terminated.
// The preview is a skinned pop-up with its own modal loop.
class WindowPrompts final : public IPrompts {
public:
    // The title of the preview window.
    static const wchar_t* const kPreviewTitle;
    // `restartAnswer`, set only by a test run, answers the restart offer
    // without showing it (under Wine "Yes" ends the session).
    WindowPrompts(Aqua::Toolkit& toolkit, IFrame& frame, std::optional<bool> restartAnswer = std::nullopt)
        : toolkit_(toolkit), frame_(frame), restartAnswer_(restartAnswer)
    {
    }

    bool Ask(HWND owner, const std::wstring& caption, const std::wstring& text) override;
    void Tell(HWND owner, const std::wstring& caption, const std::wstring& text, UINT icon) override;
    bool ConfirmTuneUp(HWND owner, const std::vector<Tweaker::TweakChange>& changes) override;
    void OfferRestart(HWND owner) override;

private:
    Aqua::Toolkit& toolkit_;
    IFrame& frame_;
    std::optional<bool> restartAnswer_;
};

// Runs `body` on a prompt thread and returns its result, keeping `owner`
// painted (and disabled) meanwhile, with this thread's timers ticking. What
// `body` shows has no owner window: an owner on another thread would join the
// two threads' input, and this waiting thread would stall the prompt's input.
int RunPrompt(HWND owner, int (*body)(void*), void* argument);

// A message box (MB_* `flags`) on a prompt thread: the button pressed.
int ShowMessageBox(HWND owner, const std::wstring& caption, const std::wstring& text, UINT flags);

}  // namespace GUI
