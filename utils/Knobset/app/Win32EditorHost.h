#pragma once
// The editor's questions, messages, file choices and shell calls as the
// Windows user sees them: message boxes, the common file dialogs and
// ShellExecuteW, owned by the editor's window.
#include <windows.h>

#include "utils/Knobset/editor/EditorHost.h"

class Win32EditorHost final : public Knobset::IEditorHost {
public:
    void SetOwner(HWND owner) { owner_ = owner; }

    Knobset::Answer Ask(std::wstring_view text, std::wstring_view caption) override;
    void Show(std::wstring_view text, std::wstring_view caption) override;
    std::optional<std::wstring> ChooseFileToOpen() override;
    std::optional<std::wstring> ChooseFileToSave(std::wstring_view currentPath) override;
    bool OpenWithShell(std::wstring_view path) override;

private:
    std::optional<std::wstring> ChooseFile(bool save, std::wstring_view initial);

    HWND owner_ = nullptr;
};
