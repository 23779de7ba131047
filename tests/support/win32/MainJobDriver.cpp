// The main job's run of the real program: starts Corvane.exe with the
// engine's pacing off and its analysis at launch on, waits until the tuning
// view shows the analysis, saves the screen around the window as a PNG, and
// ends the program through the tray window's "Exit", as a user would.
//   main_job_driver CORVANE_EXE OUT_PNG
// The exit code is the program's, or 1 when a step failed (said on stderr).
#include "gui/aqua/win32/Gdiplus.h"
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "gui/gallery/Shots.h"
#include "tests/support/win32/InspectionClient.h"

namespace {

constexpr wchar_t kTrayClass[] = L"Velmont TrayIcon";
constexpr WPARAM kTrayExit = 1002;
constexpr DWORD kAnalysisTimeoutMs = 60000;

struct Search {
    DWORD pid;
    bool wantMain;
    HWND found = nullptr;
    RECT all{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
};

bool IsMainTitle(HWND window)
{
    wchar_t title[256] = {};
    const int length = GetWindowTextW(window, title, 256);
    return length > 9 && wcsncmp(title, L"Corvane ", 8) == 0 && title[length - 1] == L')';
}

// Finds the main window, or gathers the rectangle of every shown window of
// the process (the window and its menu and help pop-ups).
BOOL CALLBACK Visit(HWND window, LPARAM parameter)
{
    auto* s = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->pid || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (s->wantMain) {
        if (IsMainTitle(window)) {
            s->found = window;
            return FALSE;
        }
        return TRUE;
    }
    RECT r{};
    GetWindowRect(window, &r);
    if (r.right > r.left && r.bottom > r.top) {
        s->all = {std::min(s->all.left, r.left), std::min(s->all.top, r.top), std::max(s->all.right, r.right),
                  std::max(s->all.bottom, r.bottom)};
    }
    return TRUE;
}

// Waits for `done`, handling this thread's messages (the inspection's answers).
template <typename Done>
bool WaitFor(Done done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
    return true;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "main_job_driver: %s\n", what);
    return 1;
}

void SetAnalyseAtLaunch()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Corvane\\Settings", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        const DWORD on = 1;
        RegSetValueExW(key, L"AnalyseAtLaunch", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
        RegCloseKey(key);
    }
}

int Run(const std::wstring& program, const std::wstring& picture)
{
    SetAnalyseAtLaunch();
    SetEnvironmentVariableW(L"CORVANE_TEST_NO_PACING", L"1");
    SetEnvironmentVariableW(L"CORVANE_TEST_RESTART_ANSWER", L"no");
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return Fail("Corvane.exe could not be started");
    }
    CloseHandle(process.hThread);
    const auto ended = [&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; };

    Search main{process.dwProcessId, true};
    const bool analysed = WaitFor(
        [&] {
            if (ended()) {
                return true;
            }
            main.found = nullptr;
            EnumWindows(&Visit, reinterpret_cast<LPARAM>(&main));
            return main.found && Testing::JsonFlag(Testing::Inspect(main.found), "analysed") == true;
        },
        kAnalysisTimeoutMs);
    int result = 0;
    if (ended()) {
        result = Fail("Corvane.exe ended before its window showed an analysis");
    } else if (!analysed) {
        result = Fail("no analysed tuning view within 60 s");
    } else {
        // The sections' last paint is done before the screen is read.
        RedrawWindow(main.found, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        (void)Testing::Inspect(main.found);
        Search shown{process.dwProcessId, false};
        EnumWindows(&Visit, reinterpret_cast<LPARAM>(&shown));
        if (!Gallery::ShootArea(shown.all, 8, picture)) {
            result = Fail("the screenshot could not be saved");
        }
    }

    // There is no tray on this display: its window takes the menu's command.
    HWND tray = FindWindowW(kTrayClass, nullptr);
    if (!ended() && (!tray || !PostMessageW(tray, WM_COMMAND, kTrayExit, 0))) {
        result = Fail("no tray window to send \"Exit\" to");
    }
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        result = Fail("Corvane.exe did not end within 15 s of \"Exit\"");
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return result != 0 ? result : static_cast<int>(code);
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) {
        return Fail("usage: main_job_driver CORVANE_EXE OUT_PNG");
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        return Fail("GDI+ did not start");
    }
    const int result = Run(argv[1], argv[2]);
    Gdiplus::GdiplusShutdown(token);
    LocalFree(argv);
    return result;
}
