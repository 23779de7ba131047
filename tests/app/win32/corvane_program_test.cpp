// The real Corvane.exe as a person meets it, under Wine on the test display:
// started with the engine's pacing off, read through the inspection hook,
// driven through its tray window and the keyboard, ended through the tray.
#include <gtest/gtest.h>

#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/corvane/SingleInstance.h"
#include "app/corvane/TrayMessages.h"
#include "app/corvane/win32/TrayWindow.h"
#include "tests/support/win32/InspectionClient.h"

namespace AppShell {
namespace {

// A path of the build machine as Windows sees it (Wine maps / to Z:).
std::wstring WindowsPath(const std::string& unix)
{
    std::wstring path = unix.front() == '/' ? L"Z:" : L"";
    for (const char c : unix) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
}

std::wstring ProgramPath()
{
    return WindowsPath(CORVANE_PROGRAM);
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
    // `extraSwitch`: one more test switch set to "1" for this start only.
    explicit Program(const wchar_t* extraSwitch = nullptr)
    {
        SetEnvironmentVariableW(L"CORVANE_TEST_NO_PACING", L"1");
        SetEnvironmentVariableW(L"CORVANE_TEST_RESTART_ANSWER", L"no");
        if (extraSwitch) {
            SetEnvironmentVariableW(extraSwitch, L"1");
        }
        std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
        if (extraSwitch) {
            SetEnvironmentVariableW(extraSwitch, nullptr);
        }
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
    // The program shows its window as the shell asks; the menu beside it
    // comes too (it once stayed hidden until the tray's "Open").
    HWND menu = FindWindowW(nullptr, L"Velmont Main Menu");
    DWORD menuOwner = 0;
    GetWindowThreadProcessId(menu, &menuOwner);
    EXPECT_TRUE(menu && menuOwner == program.pid() && WaitUntil([&] { return IsWindowVisible(menu) != FALSE; }, 3000))
        << "the main menu is not shown with the window";

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

void PressKey(HWND window, WORD key)
{
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = key;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool RunValueExists(const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool found = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

// The startup snapshot of the program's data folder, as text ("" when none).
std::string SnapshotText()
{
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    const std::wstring path = std::wstring(appData) + L"\\Corvane\\startup\\snapshot.xml";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text(64 * 1024, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

// The startup view's row of that name in the inspection's JSON ("" when not shown).
std::string StartupEntry(const std::string& json, const std::string& name)
{
    const size_t list = json.find("\"startup\":[");
    const size_t at = list == std::string::npos ? list : json.find("{\"name\":\"" + name + "\"", list);
    return at == std::string::npos ? std::string() : json.substr(at, json.find('}', at) - at + 1);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The startup guard in the running program, switched on by its setting: a
// Run value added while it watches is told in a balloon; the balloon's click
// (as the shell sends it to the tray window) brings the window up on the
// startup programs view, on the guard's own list with the entry selected; Space unticks it (gone from
// Run, its backup in the snapshot) and ticks it again (back).
TEST(CorvaneProgram, TheGuardTellsANewRunValueAndItsBalloonLeadsToTheStartupView)
{
    const std::wstring name = L"CorvaneProgramGuard" + std::to_wstring(GetCurrentProcessId());
    struct Cleanup {
        std::wstring name;
        ~Cleanup()
        {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueW(key, name.c_str());
                RegCloseKey(key);
            }
            WriteDword(kSettingsKey, L"EnableStartUpGuard", 0);
            SetEnvironmentVariableW(L"CORVANE_TEST_GUARD_TICK_MS", nullptr);
        }
    } cleanup{name};
    WriteDword(kSettingsKey, L"AnalyseAtLaunch", 0);
    WriteDword(kSettingsKey, L"EnableStartUpGuard", 1);
    SetEnvironmentVariableW(L"CORVANE_TEST_GUARD_TICK_MS", L"200");
    Program program;
    HWND window = program.ShownWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Testing::JsonFlag(Testing::Inspect(window), "guardWatching") == true; }, 60000))
        << "the guard never started watching: " << Testing::Inspect(window);

    HKEY run = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &run, nullptr),
              ERROR_SUCCESS);
    const std::wstring command = L"C:\\windows\\notepad.exe";
    RegSetValueExW(run, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(run);
    const std::string told = "A new program starts with Windows|\\\"" + Narrow(name) + "\\\"";
    std::string state;
    EXPECT_TRUE(WaitUntil([&] { return (state = Testing::Inspect(window)).find(told) != std::string::npos; }, 10000))
        << "no balloon: " << state;

    ShowWindow(window, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 2000));
    constexpr LPARAM kBalloonUserClick = WM_USER + 5;  // NIN_BALLOONUSERCLICK
    PostMessageW(program.Tray(), TrayId::kCallbackMessage, TrayId::kIcon, kBalloonUserClick);
    ASSERT_TRUE(WaitUntil(
        [&] {
            state = Testing::Inspect(window);
            return IsWindowVisible(window) && Testing::JsonText(state, "view") == "startup" &&
                   !StartupEntry(state, Narrow(name)).empty();
        },
        10000))
        << "the balloon's click did not show the entry in the startup view: " << state;
    EXPECT_EQ(Testing::JsonFlag(state, "startupWorking"), false) << "the guard's own list is shown at once";
    const std::string entry = StartupEntry(state, Narrow(name));
    EXPECT_NE(entry.find("\"check\":\"on\""), std::string::npos) << entry;
    EXPECT_NE(entry.find("\"selected\":true"), std::string::npos) << entry;

    const struct {
        const char* what;
        bool present;
        const char* check;
    } presses[] = {{"Space unticks: gone from Run, the backup kept", false, "\"check\":\"off\""},
                   {"Space ticks again: back in Run", true, "\"check\":\"on\""}};
    for (const auto& press : presses) {
        PressKey(window, VK_SPACE);
        EXPECT_TRUE(WaitUntil([&] { return RunValueExists(name) == press.present; }, 5000)) << press.what;
        EXPECT_TRUE(WaitUntil(
            [&] { return StartupEntry(Testing::Inspect(window), Narrow(name)).find(press.check) != std::string::npos; },
            3000))
            << press.what << ": " << Testing::Inspect(window);
        EXPECT_EQ(SnapshotText().find(Narrow(name)) != std::string::npos, !press.present) << press.what;
    }

    program.Tray(TrayId::kExit);
    EXPECT_EQ(program.Ended(5000), std::optional<DWORD>(0));
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

TEST(CorvaneProgram, AMainWindowThatCannotBeMadeEndsTheProgramWith1)
{
    WriteDword(kSettingsKey, L"AnalyseAtLaunch", 0);
    Program program(L"CORVANE_TEST_FAIL_WINDOW");
    ASSERT_TRUE(program.started());
    EXPECT_EQ(program.Ended(10000), std::optional<DWORD>(1)) << "a program without its window has failed";
    EXPECT_EQ(MainWindowOf(program.pid()), nullptr);
}

std::wstring CorvaneFolder()
{
    wchar_t appData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return std::wstring(appData) + L"\\Corvane";
}

std::string ReadText(const std::wstring& path)
{
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    CloseHandle(file);
    return text;
}

// Config.xml as a user leaves it who deselected every tweak the shipped
// sets select: a tune-up then changes only what the test selects.
void WriteEverythingDeselected(const std::wstring& configuration)
{
    std::string records;
    for (const char* set : {"free.xml", "silver.xml"}) {
        std::ifstream file(std::string(CORVANE_SOURCE_DIR) + "/resources/tweaks/" + set, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        const std::string xml = text.str();
        const std::regex selected("<Tweak n=\"([^\"]*)\"[^>]*enabled=\"1\"");
        for (std::sregex_iterator it(xml.begin(), xml.end(), selected), end; it != end; ++it) {
            records += "<Tweak n=\"" + (*it)[1].str() + "\" enabled=\"0\"/>";
        }
    }
    ASSERT_FALSE(records.empty()) << "no selected tweaks found in the shipped sets";
    std::ofstream(std::filesystem::path(configuration), std::ios::binary | std::ios::trunc)
        << "<Tweaks>" << records << "</Tweaks>";
}

std::vector<std::wstring> BackupPoints()
{
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((CorvaneFolder() + L"\\backup\\*.arch").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            found.push_back(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return found;
}

std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name)
{
    wchar_t value[256] = {};
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const LONG read = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    if (read != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(value);
}

// Writes the text, or deletes the value when there is none.
void WriteString(const wchar_t* key, const wchar_t* name, const std::optional<std::wstring>& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    if (value) {
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                       static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(handle, name);
    }
    RegCloseKey(handle);
}

// Pumps until the window's state satisfies `done`; the last state read.
bool WaitForState(HWND window, const std::function<bool(const std::string&)>& done, DWORD milliseconds,
                  std::string* last)
{
    return WaitUntil([&] { return done(*last = Testing::Inspect(window)); }, milliseconds);
}

// A click as the mouse gives it: to the innermost shown child under the
// point (client coordinates of `frame`), at that child's own coordinates.
void ClickAt(HWND frame, POINT at)
{
    HWND target = frame;
    for (;;) {
        HWND child = ChildWindowFromPointEx(target, at, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == target) {
            break;
        }
        MapWindowPoints(target, child, &at, 1);
        target = child;
    }
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

BOOL CALLBACK FindShownEdit(HWND child, LPARAM parameter)
{
    if (ClassOf(child) == L"Edit" && IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(parameter) = child;
        return FALSE;
    }
    return TRUE;
}

// The user's way through the list: select a tweak by its "Apply" box, turn a
// switch and back, each saved in Config.xml; then Tune Up shows the preview of
// that one tweak, "Tune Up!" changes the registry and writes a backup point.
TEST(CorvaneProgram, ATweakSelectedInTheListIsPreviewedAndTunedUp)
{
    constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
    constexpr wchar_t kWait[] = L"WaitToKillAppTimeout";
    constexpr char kCategory[] = "Windows/System";
    constexpr char kSelected[] = "Shorter wait for programs at sign-out";  // sets kWait to 10000

    WriteDword(kSettingsKey, L"AnalyseAtLaunch", 0);
    WriteDword(kSettingsKey, L"EnableBackup", 1);
    CreateDirectoryW(CorvaneFolder().c_str(), nullptr);
    const std::wstring configuration = CorvaneFolder() + L"\\Config.xml";
    WriteEverythingDeselected(configuration);
    for (const std::wstring& point : BackupPoints()) {
        DeleteFileW((CorvaneFolder() + L"\\backup\\" + point).c_str());
    }
    const std::optional<std::wstring> waitBefore = ReadString(kDesktop, kWait);
    WriteString(kDesktop, kWait, L"20000");

    Program program;
    HWND window = program.ShownWindow();
    ASSERT_NE(window, nullptr);
    std::string state;
    PostMessageW(window, WM_COMMAND, 5001, 0);
    ASSERT_TRUE(WaitForState(
        window, [](const std::string& s) { return Testing::JsonFlag(s, "analysed") == true; }, 20000, &state))
        << state;

    const std::optional<POINT> link =
        Testing::JsonPoint(Testing::JsonObjectNamed(state, "sections", kCategory), "customize");
    ASSERT_TRUE(link.has_value()) << "no active \"Customize...\" link: " << state;
    ClickAt(window, *link);
    ASSERT_TRUE(WaitForState(
        window,
        [&](const std::string& s) {
            return Testing::JsonText(s, "view") == "tweaks" && Testing::JsonText(s, "title") == kCategory &&
                   !Testing::JsonObjects(s, "rows").empty();
        },
        10000, &state))
        << state;
    HWND filter = nullptr;
    EnumChildWindows(window, &FindShownEdit, reinterpret_cast<LPARAM>(&filter));
    ASSERT_NE(filter, nullptr) << "no filter box";

    const struct {
        const wchar_t* filter;
        const char* row;
        const char* box;
        const char* flag;   // the row's state the click turns over
        const char* saved;  // Config.xml's record afterwards ("enabled" follows the "Apply" box only)
    } clicks[] = {
        {L"Shorter wait for programs", kSelected, "selectBox", "selected",
         "n=\"Shorter wait for programs at sign-out\" enabled=\"1\""},
        {L"Restart Explorer automatically", "Restart Explorer automatically after a crash", "switchBox", "switchOn",
         "n=\"Restart Explorer automatically after a crash\" enabled=\"0\""},
        {L"Restart Explorer automatically", "Restart Explorer automatically after a crash", "switchBox", "switchOn",
         "n=\"Restart Explorer automatically after a crash\" enabled=\"0\""},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(std::string(click.row) + " " + click.box);
        SetWindowTextW(filter, click.filter);
        ASSERT_TRUE(WaitForState(
            window, [&](const std::string& s) { return Testing::JsonObjects(s, "rows").size() == 1; }, 5000, &state))
            << state;
        const std::string row = Testing::JsonObjectNamed(state, "rows", click.row);
        const std::optional<POINT> box = Testing::JsonPoint(row, click.box);
        const std::optional<bool> before = Testing::JsonFlag(row, click.flag);
        ASSERT_TRUE(box.has_value() && before.has_value()) << state;
        const std::string savedBefore = ReadText(configuration);
        ClickAt(window, *box);
        EXPECT_TRUE(WaitForState(
            window,
            [&](const std::string& s) {
                return Testing::JsonFlag(Testing::JsonObjectNamed(s, "rows", click.row), click.flag) == !*before;
            },
            5000, &state))
            << state;
        const std::string saved = ReadText(configuration);
        EXPECT_NE(saved, savedBefore) << "Config.xml did not change";
        EXPECT_NE(saved.find(click.saved), std::string::npos) << saved;
    }

    PostMessageW(window, WM_COMMAND, 5022, 0);
    ASSERT_TRUE(WaitForState(
        window, [](const std::string& s) { return Testing::JsonText(s, "view") == "tuning"; }, 5000, &state));
    PostMessageW(window, WM_COMMAND, 5015, 0);
    HWND tuneUp = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            HWND preview = WindowOf(program.pid(), [](HWND w) { return TextOf(w) == L"Tune-up preview"; });
            return preview && (tuneUp = FindWindowExW(preview, nullptr, nullptr, L"Tune Up!")) != nullptr;
        },
        10000))
        << "no preview with \"Tune Up!\"";
    PostMessageW(tuneUp, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(tuneUp, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(WaitForState(
        window,
        [](const std::string& s) {
            const std::vector<std::string> sections = Testing::JsonObjects(s, "sections");
            for (const std::string& section : sections) {
                if (Testing::JsonNumber(section, "mode") != 5) {  // applied
                    return false;
                }
            }
            return !sections.empty() && Testing::JsonFlag(s, "running") == false;
        },
        20000, &state))
        << state;

    const std::vector<std::string> previewed = Testing::JsonObjects(state, "preview");
    ASSERT_EQ(previewed.size(), 1u) << state;
    EXPECT_EQ(Testing::JsonText(previewed[0], "name"), kSelected);
    EXPECT_EQ(ReadString(kDesktop, kWait), std::optional<std::wstring>(L"10000"));
    EXPECT_EQ(BackupPoints().size(), 1u);
    EXPECT_EQ(Testing::JsonText(state, "view"), "tuning");

    program.Tray(TrayId::kExit);
    EXPECT_EQ(program.Ended(5000), std::optional<DWORD>(0));
    // The prefix is left as a first start finds it.
    WriteString(kDesktop, kWait, waitBefore);
    DeleteFileW(configuration.c_str());
    for (const std::wstring& point : BackupPoints()) {
        DeleteFileW((CorvaneFolder() + L"\\backup\\" + point).c_str());
    }
}

}  // namespace
}  // namespace AppShell
