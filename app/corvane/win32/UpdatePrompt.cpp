#include "app/corvane/win32/UpdatePrompt.h"

#include <shellapi.h>

#include "app/corvane/win32/ComApartment.h"
#include "gui/Commands.h"

namespace AppShell {

bool UpdatePrompt::ConfirmOpenDownloadPage()
{
    ComApartment com;
    return MessageBoxW(GetDesktopWindow(), L"New update is available, do you want to open download page?", L"Update",
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool UpdatePrompt::OpenPage(const std::wstring& url)
{
    ComApartment com;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(GetDesktopWindow(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void UpdatePrompt::RequestExit()
{
    // Posted, not sent: the main thread may be waiting for this one.
    if (HWND window = main_.load()) {
        PostMessageW(window, WM_COMMAND, GUI::Command::Exit, 0);
    }
}

}  // namespace AppShell
