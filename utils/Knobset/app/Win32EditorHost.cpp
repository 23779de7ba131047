#include "utils/Knobset/app/Win32EditorHost.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

Knobset::Answer Win32EditorHost::Ask(std::wstring_view text, std::wstring_view caption)
{
    const std::wstring t(text);
    const std::wstring c(caption);
    switch (::MessageBoxW(owner_, t.c_str(), c.c_str(), MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            return Knobset::Answer::Yes;
        case IDNO:
            return Knobset::Answer::No;
        default:
            return Knobset::Answer::Cancel;
    }
}

void Win32EditorHost::Show(std::wstring_view text, std::wstring_view caption)
{
    const std::wstring t(text);
    const std::wstring c(caption);
    ::MessageBoxW(owner_, t.c_str(), c.c_str(), MB_OK | MB_ICONWARNING);
}

std::optional<std::wstring> Win32EditorHost::ChooseFile(bool save, std::wstring_view initial)
{
    // Long paths are allowed; the dialog reports a longer one as a failure.
    std::vector<wchar_t> name(32768, L'\0');
    if (initial.size() < name.size()) {
        std::copy(initial.begin(), initial.end(), name.begin());
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = L"xml Files (*.xml)\0*.xml\0\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrDefExt = L"xml";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_PATHMUSTEXIST;
    if (!save) {
        ofn.Flags |= OFN_FILEMUSTEXIST;
    }
    const BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!chosen) {
        return std::nullopt;
    }
    return std::wstring(name.data());
}

std::optional<std::wstring> Win32EditorHost::ChooseFileToOpen()
{
    return ChooseFile(false, {});
}

std::optional<std::wstring> Win32EditorHost::ChooseFileToSave(std::wstring_view currentPath)
{
    return ChooseFile(true, currentPath);
}

bool Win32EditorHost::OpenWithShell(std::wstring_view path)
{
    const std::wstring p(path);
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(owner_, L"open", p.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
