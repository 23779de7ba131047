#include "gui/win32/UserFileSeam.h"

#include <commdlg.h>
#include <shellapi.h>

#include "gui/win32/Prompts.h"

namespace GUI {

namespace {

struct OpenFileJob {
    const OpenFileRequest* request = nullptr;
    std::wstring path;
};

// The file-open dialog on the prompt thread: IDOK with the chosen path.
int AskOnPromptThread(void* argument)
{
    auto* job = static_cast<OpenFileJob*>(argument);
    const OpenFileRequest& request = *job->request;
    std::wstring filter;
    for (const auto& [description, pattern] : request.filters) {
        filter += description;
        filter.push_back(L'\0');
        filter += pattern;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    wchar_t buffer[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.Flags = OFN_EXPLORER | (request.pathMustExist ? OFN_PATHMUSTEXIST : 0) |
                (request.fileMustExist ? OFN_FILEMUSTEXIST : 0) | (request.noChangeDir ? OFN_NOCHANGEDIR : 0);
    if (!GetOpenFileNameW(&ofn)) {
        return IDCANCEL;
    }
    job->path = buffer;
    return IDOK;
}

}  // namespace

HWND Win32UserFileSeam::TopWindow() const
{
    return owner_ ? GetAncestor(owner_, GA_ROOT) : nullptr;
}

bool Win32UserFileSeam::AskOpenFile(const OpenFileRequest& request, std::wstring* path)
{
    OpenFileJob job{&request, {}};
    if (RunPrompt(TopWindow(), &AskOnPromptThread, &job) != IDOK) {
        return false;
    }
    *path = std::move(job.path);
    return true;
}

uint32_t Win32UserFileSeam::StartProgram(const std::wstring& program, const std::wstring& arguments,
                                         const std::wstring& folder)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_;
    info.lpVerb = L"open";
    info.lpFile = program.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_FILE_NOT_FOUND;
    }
    return 0;
}

bool Win32UserFileSeam::FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Win32UserFileSeam::ShowMessage(const std::wstring& text, const std::wstring& caption)
{
    (void)ShowMessageBox(TopWindow(), caption, text, MB_OK);
}

}  // namespace GUI
