#pragma once
// The system's side of the user tweak file's actions: the file-open dialog,
// starting a program through the shell, and message boxes, for a window. The
// dialog and the boxes run on a prompt thread (gui/win32/Prompts.h) while the
// window's top-level window keeps painting, disabled.
#include <windows.h>

#include "gui/UserTweaksChoice.h"

namespace GUI {

class Win32UserFileSeam final : public IUserFileSeam {
public:
    explicit Win32UserFileSeam(HWND owner) : owner_(owner) {}
    bool AskOpenFile(const OpenFileRequest& request, std::wstring* path) override;
    uint32_t StartProgram(const std::wstring& program, const std::wstring& arguments,
                          const std::wstring& folder) override;
    bool FileExists(const std::wstring& path) override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption) override;

private:
    HWND TopWindow() const;

    HWND owner_;
};

}  // namespace GUI
