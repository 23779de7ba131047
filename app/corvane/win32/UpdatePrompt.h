#pragma once
// What the update check shows and does, on its own thread: the question owned
// by the desktop (the main window stays usable), the page opened through the
// shell in a single-threaded apartment, and the Exit command posted to the
// main window.
#include <windows.h>

#include <atomic>

#include "app/update/UpdateCheck.h"

namespace AppShell {

class UpdatePrompt final : public Update::IPrompt {
public:
    void SetMainWindow(HWND window) { main_.store(window); }
    bool ConfirmOpenDownloadPage() override;
    bool OpenPage(const std::wstring& url) override;
    void RequestExit() override;

private:
    std::atomic<HWND> main_{nullptr};
};

}  // namespace AppShell
