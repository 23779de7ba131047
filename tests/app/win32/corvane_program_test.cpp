// The real Corvane.exe as a person meets it, under Wine on the test display:
// started with the engine's pacing off, read through the inspection hook,
// driven through its tray window and the keyboard, ended through the tray.
#include <gtest/gtest.h>

#include <windows.h>
// after windows.h, which it needs
#include <shlwapi.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/corvane/SingleInstance.h"
#include "app/corvane/TrayMessages.h"
#include "app/corvane/win32/TrayWindow.h"
#include "tests/support/win32/InspectionClient.h"

namespace AppShell {
namespace {

// The program's path as Windows sees the build folder (Wine maps / to Z:).
std::wstring ProgramPath()
{
    const std::string unix = CORVANE_PROGRAM;
    std::wstring path = unix.front() == '/' ? L"Z:" : L"";
    for (const char c : unix) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
}

// Pumps this thread's messages until `done` or the time is up.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* match;
    HWND found = nullptr;
};

// A stdcall callback (a lambda cannot be one in 32-bit builds).
BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* s = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s->pid && (*s->match)(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of process `pid` that `match` accepts.
HWND WindowOf(DWORD pid, const std::function<bool(HWND)>& match)
{
    Search search{pid, &match};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The main window: the program's window whose title names the catalogue.
HWND MainWindowOf(DWORD pid)
{
    return WindowOf(pid, [](HWND w) {
        const std::wstring title = TextOf(w);
        return title.rfind(L"Corvane ", 0) == 0 && title.size() > 8 && title.back() == L')';
    });
}

HWND TrayWindowOf(DWORD pid)
{
    return WindowOf(pid, [](HWND w) { return ClassOf(w) == kTrayClass; });
}

// A message box of the process, and the texts of its static controls.
HWND MessageBoxOf(DWORD pid)
{
    return WindowOf(pid, [](HWND w) { return ClassOf(w) == L"#32770" && IsWindowVisible(w); });
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM parameter)
{
    if (ClassOf(child) == L"Static") {
        *reinterpret_cast<std::wstring*>(parameter) += TextOf(child);
    }
    return TRUE;
}

std::wstring StaticTexts(HWND box)
{
    std::wstring texts;
    EnumChildWindows(box, &CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

DWORD ReadDword(const wchar_t* key, const wchar_t* name, DWORD missing = 0xFFFFFFFF)
{
    DWORD value = 0, size = sizeof value, type = 0;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return missing;
    }
    const LONG read = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    return read == ERROR_SUCCESS && type == REG_DWORD ? value : missing;
}

void WriteDword(const wchar_t* key, const wchar_t* name, DWORD value)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(handle);
}

constexpr wchar_t kSettingsKey[] = L"Software\\Corvane\\Settings";

// One started Corvane.exe; ended at the test's end if the test did not end it.
class Program {
public:
    Program()
    {
        SetEnvironmentVariableW(L"CORVANE_TEST_NO_PACING", L"1");
        SetEnvironmentVariableW(L"CORVANE_TEST_RESTART_ANSWER", L"no");
        std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
    }
    ~Program()
    {
        if (!started_) {
            return;
        }
        if (Running()) {
            // Left running by a failed test: end it the way a user would,
            // and only then by force so that the next test starts clean.
            if (HWND tray = TrayWindowOf(pid())) {
                PostMessageW(tray, WM_COMMAND, TrayId::kExit, 0);
            }
            if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 5000);
            }
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }
    DWORD pid() const { return process_.dwProcessId; }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code once it ended within `milliseconds`; empty otherwise.
    std::optional<DWORD> Ended(DWORD milliseconds) const
    {
        if (!WaitUntil([this] { return !Running(); }, milliseconds)) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }
    // The main window once it is shown (null after 20 s).
    HWND ShownWindow() const
    {
        HWND window = nullptr;
        WaitUntil(
            [&] {
                window = MainWindowOf(pid());
                return window != nullptr && IsWindowVisible(window);
            },
            20000);
        return window;
    }
    HWND Tray() const
    {
        HWND tray = nullptr;
        WaitUntil([&] { return (tray = TrayWindowOf(pid())) != nullptr; }, 5000);
        return tray;
    }
    void Tray(unsigned command) const { PostMessageW(Tray(), WM_COMMAND, command, 0); }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

void PressAltF4(HWND window)
{
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    INPUT keys[4] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
    }
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = VK_F4;
    keys[2].ki.wVk = VK_F4;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_MENU;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
}

TEST(CorvaneProgram, TheFirstStartWritesTheSettingsAnalysesAtLaunchAndEndsWithTheSession)
{
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Corvane");
    Program program;
    ASSERT_TRUE(program.started());
    HWND window = program.ShownWindow();
    ASSERT_NE(window, nullptr) << "no main window within 20 s";

    const std::string state = Testing::Inspect(window);
    ASSERT_FALSE(state.empty()) << "the inspection hook did not answer";
    EXPECT_EQ(Testing::JsonText(state, "view"), "tuning") << state;
    const std::optional<std::string> title = Testing::JsonText(state, "caption");
    ASSERT_TRUE(title.has_value()) << state;
    EXPECT_EQ(title->rfind("Corvane 2.", 0), 0u) << *title;
    EXPECT_NE(title->find(" tweaks)"), std::string::npos) << *title;
    EXPECT_EQ(title->find("(0 tweaks)"), std::string::npos) << "the catalogue did not load: " << *title;

    for (const auto& [name, value] : {std::pair{L"EnableBackup", 1u},
                                      {L"AnalyseAtLaunch", 1u},
                                      {L"EnableStartUpGuard", 0u},
                                      {L"EnableBrowserGuard", 0u}}) {
        EXPECT_EQ(ReadDword(kSettingsKey, name), value) << "setting " << std::string(name, name + wcslen(name));
    }
    // The analysis at launch runs without pacing and ends within seconds.
    EXPECT_TRUE(WaitUntil([&] { return Testing::JsonFlag(Testing::Inspect(window), "analysed") == true; }, 20000))
        << Testing::Inspect(window);

    // The session ends: the tray window lets the program shut down as
    // after "Exit" (the tray's Exit is the next scenario's).
    HWND tray = program.Tray();
    ASSERT_NE(tray, nullptr);
    DWORD_PTR answer = 1;
    SendMessageTimeoutW(tray, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 20000, &answer);
    EXPECT_EQ(answer, 0u) << "WM_ENDSESSION is answered 0";
    EXPECT_EQ(program.Ended(5000), std::optional<DWORD>(0)) << "the end of the session ends the program with 0";
}

// One running program, hidden and brought back every way a user can, ended
// only through the tray (each start and end costs seconds under Wine).
TEST(CorvaneProgram, TheWindowHidesAndComesBackAndOnlyTheTrayEndsTheProgram)
{
    WriteDword(kSettingsKey, L"AnalyseAtLaunch", 0);
    Program first;
    HWND window = first.ShownWindow();
    ASSERT_NE(window, nullptr);
    HWND tray = first.Tray();
    ASSERT_NE(tray, nullptr) << "no \"Velmont TrayIcon\" window";

    PressAltF4(window);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 3000)) << "Alt+F4 hides the window";
    EXPECT_TRUE(first.Running()) << "Alt+F4 does not end the program";

    Program second;
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.Ended(8000), std::optional<DWORD>(0)) << "a second start hands over and ends with 0";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 3000)) << "the first window is shown";
    EXPECT_EQ(MainWindowOf(second.pid()), nullptr) << "the second start made no window";

    ShowWindow(window, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 2000));
    PostMessageW(tray, WM_COMMAND, TrayId::kOpen, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 3000)) << "\"Open Corvane\" shows it";

    // A logoff that another program cancelled: the session goes on, so does Corvane.
    SendMessageTimeoutW(tray, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 3000, nullptr);
    WaitUntil([] { return false; }, 500);
    EXPECT_TRUE(first.Running()) << "WM_ENDSESSION with FALSE ended the program";
    EXPECT_FALSE(Testing::Inspect(window).empty()) << "the window no longer answers";

    // Exit ends the program even with the window hidden.
    ShowWindow(window, SW_HIDE);
    first.Tray(TrayId::kExit);
    EXPECT_EQ(first.Ended(5000), std::optional<DWORD>(0)) << "\"Exit\" ends the process within 5 s with 0";
}

TEST(CorvaneProgram, AStartBesideAHungInstanceSaysSoAndEndsWith1)
{
    // This process holds the instance mutex but has no hand-over window, as
    // a first instance that hangs before making it.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, Instance::kMutexName);
    ASSERT_NE(mutex, nullptr);
    Program program;
    ASSERT_TRUE(program.started());
    HWND box = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(program.pid())) != nullptr; }, 12000))
        << "no message after 12 s";
    if (box) {
        EXPECT_NE(StaticTexts(box).find(Instance::kNotResponding), std::wstring::npos)
            << "the message box says something else";
        HWND ok = GetDlgItem(box, IDOK);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    }
    EXPECT_EQ(program.Ended(5000), std::optional<DWORD>(1));
    EXPECT_EQ(MainWindowOf(program.pid()), nullptr);
    CloseHandle(mutex);
}

}  // namespace
}  // namespace AppShell
