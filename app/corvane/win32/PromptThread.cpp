#include "app/corvane/win32/PromptThread.h"

#include "gui/win32/Prompts.h"

namespace AppShell {

void PromptThread::ShowMessage(const std::wstring& text, const std::wstring& caption)
{
    (void)GUI::ShowMessageBox(owner_, caption, text, MB_OK | MB_ICONWARNING);
}

}  // namespace AppShell
