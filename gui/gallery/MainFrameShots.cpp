// Pictures of the main window for people to look at (tools/screenshots.sh;
// not part of CI). Hosts the real MainFrame over the free catalogue and saves
// the screen around it: the tuning view before and after an analysis, the
// tweaks of the first category, the details of a tweak with an edit box,
// the startup programs view while it gathers its list and with an example
// Run value selected (added to the prefix's registry and removed again), the
// tune-up preview, and after a tune-up the backups, profiles, a profile's
// details, the tweak sets and the "Profiles" dialog.
//   mainframe_shots OUTDIR SUFFIX
#include <atomic>
#include <filesystem>
#include <string>
#include <tuple>
#include <thread>

#include "core/xml/XmlDocument.h"
#include "gui/gallery/Shots.h"
#include "gui/win32/BackupsView.h"
#include "gui/win32/MainFrame.h"
#include "gui/win32/PreviewWindow.h"
#include "tweaker/RunControl.h"

#include <shellapi.h>

namespace {

using Gallery::Pump;
using Gallery::Shoot;

const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void SetRunValue(const wchar_t* name, const std::wstring& command)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == 0) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void DeleteRunValue(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &key) == 0) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

std::wstring gPreviewShot;
bool gRunPreview = false;  // the next preview is answered "Tune Up!" without a picture

void CALLBACK ShootPreview(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND preview = FindWindowW(nullptr, GUI::WindowPrompts::kPreviewTitle);
    if (gRunPreview) {
        PostMessageW(preview, WM_COMMAND, GUI::PreviewWindow::kTuneUp, 0);
        return;
    }
    Shoot({preview}, gPreviewShot);
    PostMessageW(preview, WM_COMMAND, GUI::PreviewWindow::kCancel, 0);
}

// The "Profiles" dialog runs on the window's prompt thread while the
// window's own thread waits: another thread photographs and cancels it.
bool ShootProfileDialog(HWND window, const std::wstring& path)
{
    std::atomic<bool> shot{false};
    std::thread photographer([&] {
        for (int i = 0; i < 300; ++i, Sleep(20)) {
            HWND dialog = FindWindowW(L"#32770", L"Profiles");
            if (dialog && IsWindowVisible(dialog)) {
                Sleep(700);  // its first paint
                shot = Shoot({dialog}, path);
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
        }
    });
    SendMessageW(window, WM_COMMAND, GUI::Command::SaveProfile, 0);
    photographer.join();
    return shot;
}

// Answers everything but the preview at once; the preview is shown for real
// and photographed before it is cancelled.
class ShotPrompts final : public GUI::IPrompts {
public:
    ShotPrompts(GUI::Aqua::Toolkit& toolkit, GUI::IFrame& frame) : real_(toolkit, frame) {}
    bool Ask(HWND, const std::wstring&, const std::wstring&) override { return true; }
    void Tell(HWND, const std::wstring&, const std::wstring&, UINT) override {}
    bool ConfirmTuneUp(HWND owner, const std::vector<Tweaker::TweakChange>& changes) override
    {
        // A thread timer fires inside the preview's own loop.
        SetTimer(nullptr, 0, 1200, ShootPreview);
        return real_.ConfirmTuneUp(owner, changes);
    }
    void OfferRestart(HWND) override {}

private:
    GUI::WindowPrompts real_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring out = argc > 1 ? argv[1] : L".";
    const std::wstring suffix = argc > 2 ? argv[2] : L"100";
    LocalFree(argv);
    auto name = [&](const wchar_t* what) { return out + L"\\main-" + what + L"-" + suffix + L".png"; };
    gPreviewShot = name(L"preview");

    Tweaker::SetPacing(Tweaker::Pacing::Off);
    GUI::Aqua::Toolkit toolkit(instance);
    RTI::Reference<GUI::Aqua::Frame> frame(new GUI::Aqua::Frame(toolkit));
    if (frame->LoadSkin(instance) != 0) {
        return 1;
    }
    Tweaker::Manager manager;
    manager.RegisterFactories();
    manager.SetFolderName(L"CorvaneShots");
    HRSRC found = FindResourceW(instance, L"FREE", L"BINARY");
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    XmlDocument document;
    if (!loaded ||
        document.LoadFromUtf8(
            std::string_view(static_cast<const char*>(LockResource(loaded)), SizeofResource(instance, found))) != 0 ||
        !manager.LoadCategories(document, &manager.Categories())) {
        return 1;
    }
    std::filesystem::create_directories(manager.ConfigurationFolder());
    {
        XmlDocument empty;
        (void)empty.SetDoc(L"<Tweaks></Tweaks>");
        (void)empty.Save(manager.ConfigurationPath());
    }

    ShotPrompts prompts(toolkit, *frame);
    GUI::MainFrameParts parts;
    parts.toolkit = &toolkit;
    parts.frame = frame.Get();
    parts.manager = &manager;
    parts.prompts = &prompts;
    parts.openUrl = [](const std::wstring&) { return DWORD{0}; };
    // The settings as a first start leaves them, so that the panel shows its defaults.
    AppSettings::Environment settings = AppSettings::RunningProgram(nullptr);
    settings.where.dataFolder = L"CorvaneShots";
    (void)AppSettings::AtStart(settings);
    parts.settings = settings;
    parts.backupEnabled = [] { return true; };  // the tune-up keeps a point for the backups view
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    parts.startupPlace = {std::wstring(temp) + L"corvane-shots-startup"};
    GUI::MainFrame window(parts);
    const GUI::Aqua::Scaler s(GUI::Aqua::WindowDpi(nullptr));
    if (window.Create(L"Corvane 2.3", s.Scale(120), s.Scale(10)) != 0) {
        return 1;
    }
    window.BringUp();
    HWND w = window.Handle();
    auto shoot = [&](const wchar_t* what) {
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(700);
        return Shoot({w, window.menu()->hwnd()}, name(what));
    };
    bool ok = shoot(L"tuning");
    SendMessageW(w, WM_COMMAND, GUI::Command::Analyse, 0);
    for (int i = 0; i < 500 && manager.IsRunning(); ++i) {
        Pump(20);
    }
    ok = shoot(L"analysed") && ok;
    // The settings and support panels over the tuning view, the strip below.
    for (const auto& [command, what, close] : {std::tuple{GUI::Command::Settings, L"settings", GUI::Command::Cancel},
                                               std::tuple{GUI::Command::Support, L"support", GUI::Command::Ok}}) {
        SendMessageW(w, WM_COMMAND, command, 0);
        Pump(400);  // the fade: four 50 ms steps
        ok = shoot(what) && ok;
        SendMessageW(w, WM_COMMAND, close, 0);
        Pump(400);
    }
    GUI::SectionWindow& first = *window.sectionWindows().at(0);
    const GUI::Aqua::Rect link = first.CustomizeRect();
    SendMessageW(first.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(link.x + 4, link.y + 4));
    Pump(200);
    ok = shoot(L"tweaks") && ok;
    // The details of the first tweak with an edit box.
    for (const GUI::TweakRow& row : window.tweaksView()->list().Rows()) {
        if (row.name.find(L"sign-out") != std::wstring::npos && !row.twoState) {
            SendMessageW(w, WM_COMMAND, GUI::Command::ShowDetails, reinterpret_cast<LPARAM>(row.tweak.Get()));
            break;
        }
    }
    ok = shoot(L"details") && ok;
    SendMessageW(w, WM_COMMAND, GUI::Command::Cancel, 0);
    SendMessageW(w, WM_COMMAND, GUI::Command::LeaveTweaks, 0);
    // The startup programs view: first while the worker gathers the list.
    SetRunValue(L"Example Updater", L"\"C:\\windows\\notepad.exe\" /check");
    SetRunValue(L"Example Tray", L"C:\\windows\\system32\\winver.exe");
    SendMessageW(w, WM_COMMAND, GUI::Command::StartupPrograms, 0);
    // Painted at once: pumping would hand over the worker's list.
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RedrawWindow(window.menu()->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ok = Shoot({w, window.menu()->hwnd()}, name(L"startup-gathering")) && ok;
    for (int i = 0; i < 3000 && window.startupView()->working(); ++i) {
        Pump(20);
    }
    (void)window.startupView()->Reveal(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run, Example Updater");
    ok = shoot(L"startup") && ok;
    DeleteRunValue(L"Example Updater");
    DeleteRunValue(L"Example Tray");
    SendMessageW(w, WM_COMMAND, GUI::Command::Back, 0);
    SendMessageW(w, WM_COMMAND, GUI::Command::TuneUp, 0);  // the preview photographs itself
    Pump(200);
    ok = std::filesystem::exists(gPreviewShot) && ok;

    // A tune-up that runs, so that the backups view lists its point.
    gRunPreview = true;
    SendMessageW(w, WM_COMMAND, GUI::Command::TuneUp, 0);
    for (int i = 0; i < 1500 && manager.IsRunning(); ++i) {
        Pump(20);
    }
    const struct {
        int command;
        LPARAM parameter;
        const wchar_t* what;
    } views[] = {
        {GUI::Command::Backups, 0, L"backups"},
        {GUI::Command::Profiles, 0, L"profiles"},
        {GUI::Command::ShowProfile, 1, L"profile"},  // the first one with a description
        {GUI::Command::TweakSets, 0, L"tweaksets"},
    };
    for (const auto& view : views) {
        SendMessageW(w, WM_COMMAND, view.command, view.parameter);
        Pump(200);
        ok = shoot(view.what) && ok;
    }
    SendMessageW(w, WM_COMMAND, GUI::Command::Profiles, 0);
    ok = ShootProfileDialog(w, name(L"profile-dialog")) && ok;

    // The tune-up is undone through its point, and the point deleted, so
    // that the next run finds the registry as this one did.
    SendMessageW(w, WM_COMMAND, GUI::Command::Backups, 0);
    GUI::BackupsView& backups = *window.backupsView();
    for (const GUI::BackupRow& row : backups.list().Rows()) {
        const GUI::Aqua::Scaler& bs = backups.scaler();
        const LPARAM at = MAKELPARAM(bs.Scale(row.checkBox.left + row.checkBox.width / 2),
                                     bs.Scale(row.checkBox.top + row.checkBox.height / 2));
        SendMessageW(backups.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(backups.hwnd(), WM_LBUTTONUP, 0, at);
    }
    Pump(100);
    SendMessageW(w, WM_COMMAND, GUI::Command::RestorePoints, 0);
    for (int i = 0; i < 1500 && backups.restoring(); ++i) {
        Pump(20);
    }
    SendMessageW(w, WM_COMMAND, GUI::Command::DeletePoints, 0);
    return ok ? 0 : 1;
}
