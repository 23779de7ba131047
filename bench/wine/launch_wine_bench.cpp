// How long Corvane.exe takes from its start to a main window ready for input
// (shown, idle and answering the inspection hook), and how long its tray
// "Exit" takes to end it, beside `corvane-cli analyse` of the same catalogue
// in the same run for comparison. Pacing is off, as in the tests; the
// analysis at launch runs as the user's settings say.
//
// Usage: corvane_wine_launch_bench CORVANE.EXE CORVANE-CLI.EXE [ROUNDS]
// (Windows paths; ROUNDS defaults to 5). Needs a display.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/wine/Timing.h"
#include "gui/Inspection.h"
#include "tests/support/win32/InspectionClient.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "launch benchmark: %s\n", what);
    std::exit(1);
}

PROCESS_INFORMATION Start(const std::wstring& program, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // corvane-cli's output goes nowhere
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Fail("the program could not be started");
    }
    return process;
}

struct Found {
    DWORD pid;
    const wchar_t* className;  // null: the main window (title "Corvane ... tweaks)")
    HWND window = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    auto* found = reinterpret_cast<Found*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != found->pid) {
        return TRUE;
    }
    wchar_t text[256] = {};
    if (found->className) {
        GetClassNameW(window, text, 256);
        if (wcscmp(text, found->className) == 0) {
            found->window = window;
            return FALSE;
        }
        return TRUE;
    }
    GetWindowTextW(window, text, 256);
    if (wcsncmp(text, L"Corvane ", 8) == 0 && IsWindowVisible(window)) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid, const wchar_t* className)
{
    Found found{pid, className};
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

void Close(PROCESS_INFORMATION& process)
{
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        Fail("usage: corvane_wine_launch_bench CORVANE.EXE CORVANE-CLI.EXE [ROUNDS]");
    }
    const std::wstring program = argv[1];
    const std::wstring cli = argv[2];
    const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    SetEnvironmentVariableW(L"CORVANE_TEST_NO_PACING", L"1");

    PROCESS_INFORMATION running{};
    HWND window = nullptr;
    const Bench::Round launch{
        [] {},
        [&] {
            running = Start(program, L"");
            WaitForInputIdle(running.hProcess, 20000);
            const DWORD start = GetTickCount();
            while (!(window = WindowOf(running.dwProcessId, nullptr)) || Testing::Inspect(window, 1000).empty()) {
                if (GetTickCount() - start > 20000) {
                    Fail("no main window ready within 20 s");
                }
                Sleep(5);
            }
        },
        [] {}};
    const Bench::Round exit{[] {},
                            [&] {
                                HWND tray = WindowOf(running.dwProcessId, L"Velmont TrayIcon");
                                if (!tray || !PostMessageW(tray, WM_COMMAND, 1002, 0)) {
                                    Fail("no tray window");
                                }
                                if (WaitForSingleObject(running.hProcess, 20000) != WAIT_OBJECT_0) {
                                    Fail("the program did not end within 20 s");
                                }
                            },
                            [&] { Close(running); }};
    const Bench::Round analyse{[] {},
                               [&] {
                                   PROCESS_INFORMATION process = Start(cli, L"analyse --json");
                                   WaitForSingleObject(process.hProcess, INFINITE);
                                   Close(process);
                               },
                               [] {}};
    const std::vector<double> medians = Bench::MedianMilliseconds(rounds, {launch, exit, analyse});
    Bench::Report("Corvane.exe start to window ready", medians[0], 0);
    Bench::Report("Corvane.exe tray Exit to end", medians[1], 0);
    Bench::Report("corvane-cli analyse (whole run)", medians[2], 0);
    return 0;
}
