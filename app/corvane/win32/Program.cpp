#include "app/corvane/win32/Program.h"

#include <memory>
#include <optional>
#include <string>

#include "app/catalogue/CatalogueLoad.h"
#include "app/corvane/LoadNotice.h"
#include "app/corvane/Shutdown.h"
#include "app/corvane/SingleInstance.h"
#include "app/corvane/StartPosition.h"
#include "app/corvane/TestSwitches.h"
#include "app/corvane/win32/ComApartment.h"
#include "app/corvane/win32/GuardBalloon.h"
#include "app/corvane/win32/HandOverWindow.h"
#include "app/corvane/win32/InstanceSystem.h"
#include "app/corvane/win32/MainWindowFactory.h"
#include "app/corvane/win32/PromptThread.h"
#include "app/corvane/win32/TrayWindow.h"
#include "app/corvane/win32/UpdatePrompt.h"
#include "app/settings/Environment.h"
#include "app/settings/Settings.h"
#include "app/update/UpdateCheck.h"
#include "app/version/MainWindowTitle.h"
#include "core/platform/Platform.h"
#include "core/platform/win32/WinHandles.h"
#include "gui/Commands.h"
#include "tweaker/ITweakSetSource.h"

namespace AppShell {

namespace {

constexpr wchar_t kCaption[] = L"Corvane";

std::optional<std::wstring> ReadEnvironment(const wchar_t* name)
{
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    if (length == 0 || length >= std::size(value)) {
        return std::nullopt;
    }
    return std::wstring(value, length);
}

// The program's folder, with its trailing backslash, made the current
// directory. 0 or the Windows error code.
DWORD EnterProgramFolder()
{
    std::wstring path = Platform::Current().System().ProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return ERROR_PATH_NOT_FOUND;
    }
    path.resize(slash + 1);
    return SetCurrentDirectoryW(path.c_str()) ? 0 : GetLastError();
}

// The usual start, clamped to the work area of the monitor it lands on.
ScreenPoint StartPosition(HWND window, int width, int height)
{
    const ScreenPoint usual = kUsualStart;
    POINT at{usual.x, usual.y};
    HMONITOR monitor =
        window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) : MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info)) {
        return usual;
    }
    const RECT& work = info.rcWork;
    return ClampToWorkArea(usual, width, height, {work.left, work.top, work.right, work.bottom});
}

// The steps after the loop, over the program's threads.
class ProgramShutdown final : public IShutdownSteps {
public:
    ProgramShutdown(HANDLE shutdown, GUI::IMainWindow& window, TrayThread& tray, Update::Checker& update)
        : shutdown_(shutdown), window_(window), tray_(tray), update_(update)
    {
    }
    void SignalShutdown() override { SetEvent(shutdown_); }
    void StopRun() override { window_.StopRun(); }
    void CloseTray() override { tray_.Close(); }
    void StopUpdateCheck() override { update_.Stop(); }

private:
    HANDLE shutdown_;
    GUI::IMainWindow& window_;
    TrayThread& tray_;
    Update::Checker& update_;
};

int RunLoop()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

}  // namespace

int RunProgram(HINSTANCE instance, int showCommand)
{
    // The user-interface thread's apartment: the shell's dialogs and links need it.
    ComApartment com;
    const TestSwitches switches = ReadTestSwitches(&ReadEnvironment);
    ApplyEngineSwitches(switches);

    Win32InstanceSystem instanceSystem;
    const InstanceRole role = DecideInstance(instanceSystem);
    if (role == InstanceRole::NotResponding) {
        MessageBoxW(nullptr, Instance::kNotResponding, kCaption, MB_OK | MB_ICONWARNING);
    }
    if (role != InstanceRole::First) {
        return ExitCodeOf(role);
    }
    // At once, so that a second start finds this instance while it loads.
    HandOverWindow handOver(instance);
    (void)handOver.Create();

    Platform::Win32::UniqueHandle shutdown(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!shutdown) {
        return 1;
    }
    if (const DWORD error = EnterProgramFolder()) {
        return static_cast<int>(error);
    }
    GUI::Aqua::Toolkit toolkit(instance);
    RTI::Reference<GUI::Aqua::Frame> frame(new GUI::Aqua::Frame(toolkit));
    if (!toolkit.started() || frame->LoadSkin(instance) != 0) {
        return 1;
    }

    Tweaker::Manager manager;
    const ProgramCatalogue::Report catalogue =
        ProgramCatalogue::Load(manager, Tweaker::ResourceTweakSets(), L"Corvane");
    LoadNotice loadNotice(LoadProblemsText(catalogue.lines));

    TrayThread tray(instance, handOver.hwnd(), shutdown.get(), GetCurrentThreadId(), SystemNotifyIcon());
    if (!tray.Start()) {
        return 1;
    }

    GuardBalloon balloon(tray);
    const MainWindowParts parts{instance, toolkit, *frame, manager, switches, &balloon};
    std::unique_ptr<GUI::IMainWindow> window = MakeMainWindow(parts);
    const ScreenPoint start = StartPosition(nullptr, 0, 0);
    // A test run can have the creation refused, as a system out of window
    // resources refuses it.
    const DWORD created =
        switches.failWindow
            ? ERROR_NOT_ENOUGH_MEMORY
            : window->Create(Version::MainWindowTitle(static_cast<size_t>(manager.CountTweaks())), start.x, start.y);
    if (created != 0) {
        // A program without its window has failed.
        tray.Close();
        return 1;
    }
    HWND main = window->Handle();
    RECT placed{};
    GetWindowRect(main, &placed);
    const ScreenPoint clamped = StartPosition(main, placed.right - placed.left, placed.bottom - placed.top);
    if (clamped.x != placed.left || clamped.y != placed.top) {
        SetWindowPos(main, nullptr, clamped.x, clamped.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Settings at start, with the window as the startup guard when it is one.
    const AppSettings::Environment environment =
        AppSettings::RunningProgram(dynamic_cast<AppSettings::IStartupGuard*>(window.get()));
    const AppSettings::StartState settings = AppSettings::AtStart(environment);

    tray.SetMainWindow(main);
    handOver.SetMainWindow(window.get());
    if (handOver.Requested()) {
        window->BringUp();  // a second start came while this one loaded
    } else {
        ShowWindow(main, showCommand);
        UpdateWindow(main);
    }
    PromptThread prompt(main);
    loadNotice.ShowOnce(prompt);
    if (settings.options.analyseAtLaunch) {
        SendMessageW(main, WM_COMMAND, GUI::Command::Analyse, 0);
    }

    UpdatePrompt updatePrompt;
    updatePrompt.SetMainWindow(main);
    Update::Checker update(Update::BuildConfig(), &Update::MakeSystemSession, &updatePrompt);
    update.Start();

    const int exitCode = RunLoop();

    ProgramShutdown steps(shutdown.get(), *window, tray, update);
    ShutDown(steps);
    handOver.SetMainWindow(nullptr);
    return exitCode;
}

}  // namespace AppShell
