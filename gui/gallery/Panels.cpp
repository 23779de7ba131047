// The panels' gallery, for screenshots: the main window's stand-in with the
// settings panel, the support panel, and the startup programs view over the
// system-information strip, each captured from the screen.
//   panels_gallery OUT-PREFIX   writes OUT-PREFIX-settings.png,
//   OUT-PREFIX-support.png and OUT-PREFIX-startup.png (and .txt beside each
//   with the draw operations).
// It runs in a prefix of its own: it adds two example Run values there,
// disables one of them into a snapshot under %TEMP%, and removes both again.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings/Environment.h"
#include "core/platform/Handles.h"
#include "core/platform/Platform.h"
#include "gui/StartupGuardSwitch.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/gallery/Shots.h"
#include "gui/panels/Settings.h"
#include "gui/panels/StartupView.h"
#include "gui/panels/Support.h"
#include "gui/panels/SystemInfoStrip.h"
#include "startup/Catalogue.h"

#include <shellapi.h>

namespace {

using Gallery::Capture;
using Gallery::Dump;
using Gallery::Pump;

class NoBalloon final : public GUI::IBalloon {
public:
    void Show(const std::wstring&, const std::wstring&) override {}
};

class NoPoster final : public GUI::ICommandPoster {
public:
    void PostCommand(int, intptr_t) override {}
};

const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void SetRunValue(const std::wstring& name, const std::wstring& command)
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (registry.CreateKey(Platform::CurrentUser(), kRun, key.put(), &created) == 0) {
        const std::vector<uint8_t> data(reinterpret_cast<const uint8_t*>(command.c_str()),
                                        reinterpret_cast<const uint8_t*>(command.c_str() + command.size() + 1));
        (void)registry.SetValue(key.get(), name, Platform::RegType::Sz, data.data(), data.size());
    }
}

void DeleteRunValue(const std::wstring& name)
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (registry.OpenKey(Platform::CurrentUser(), kRun, Platform::KeyAccess::Change, key.put()) == 0) {
        (void)registry.DeleteValue(key.get(), name);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring out = argc > 1 ? argv[1] : L"panels";
    LocalFree(argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    std::vector<std::wstring> prompts;
    bool ok = true;
    {
        GUI::Aqua::Toolkit toolkit(instance,
                                   [&](const std::wstring& text, const std::wstring&) { prompts.push_back(text); });
        RTI::Reference<GUI::Aqua::Frame> frame(new GUI::Aqua::Frame(toolkit));
        if (frame->LoadSkin(instance) != 0) {
            return 1;
        }
        const GUI::Aqua::Scaler s(GUI::Aqua::WindowDpi(nullptr));
        RTI::Reference<GUI::Window> window(new GUI::Window(toolkit, *frame));
        if (!window->Create(L"Corvane", s.Scale(40), s.Scale(40), 390, 500)) {
            return 1;
        }
        HWND w = window->hwnd();
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        RECT client{};
        GetClientRect(w, &client);
        const int viewsTop = s.Scale(29);
        const int stripHeight = s.Scale(GUI::SystemSummary::kHeight);
        RTI::Reference<GUI::SystemInfo::Strip> strip(new GUI::SystemInfo::Strip(toolkit, GUI::ProbedSummaryLines()));
        strip->Create(w, {0, client.bottom - stripHeight, client.right, stripHeight});
        Pump(300);

        POINT origin{0, viewsTop};
        ClientToScreen(w, &origin);

        // The settings panel, with the options as a first start leaves them.
        AppSettings::Environment environment;
        environment.where.settingsKey = L"Software\\CorvaneGallery\\Settings";
        environment.where.programKey = L"Software\\CorvaneGallery";
        environment.where.runValue = L"CorvaneGallery";
        environment.where.shortcutName = L"CorvaneGallery";
        environment.where.dataFolder = L"CorvaneGallery";
        environment.programPath = L"C:\\Program Files\\Corvane\\Corvane.exe";
        environment.elevated = false;
        (void)AppSettings::AtStart(environment);
        RTI::Reference<GUI::Settings> settings(new GUI::Settings(toolkit, environment));
        settings->Create(w, origin.x, origin.y);
        settings->Show();
        Pump(800);
        ok = Capture(w, out + L"-settings.png") && ok;
        Dump(out + L"-settings.txt", *settings->host());
        settings->HideNow();

        RTI::Reference<GUI::Support> support(
            new GUI::Support(toolkit, {L"Corvane", L"1.0.0", L"", L"", L"C:\\users\\me\\AppData\\Roaming\\Corvane"}));
        support->Create(w, origin.x, origin.y);
        support->FadeIn();
        Pump(800);
        ok = Capture(w, out + L"-support.png") && ok;
        Dump(out + L"-support.txt", *support);
        support->HideNow();

        // The startup programs view with one example entry disabled.
        SetRunValue(L"Example Updater", L"\"C:\\windows\\notepad.exe\" /check");
        SetRunValue(L"Example Tray", L"C:\\windows\\system32\\winver.exe");
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        const StartUp::SnapshotPlace place{std::wstring(temp) + L"corvane-gallery-startup"};
        StartUp::CategoryList roots;
        StartUp::BuildCatalogue(roots);
        RTI::Reference<GUI::StartupView> view(new GUI::StartupView(toolkit));
        view->Create(w, {0, viewsTop, client.right, client.bottom - viewsTop - stripHeight});
        view->Open(roots, place);
        const std::wstring base = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run, ";
        if (view->Reveal(base + L"Example Tray")) {
            view->ClickBox(*view->model()->Selected());
        }
        view->Reveal(base + L"Example Updater");
        ShowWindow(view->hwnd(), SW_SHOW);
        Pump(800);
        ok = Capture(w, out + L"-startup.png") && ok;
        Dump(out + L"-startup.txt", *view);
        if (const auto row = view->model()->FindLocation(base + L"Example Tray")) {
            view->ClickBox(*row);  // put back, so that the value can be removed
        }
        DeleteRunValue(L"Example Updater");
        DeleteRunValue(L"Example Tray");
        Dump(out + L"-strip.txt", *strip);
    }
    CoUninitialize();
    for (const std::wstring& prompt : prompts) {
        fwprintf(stderr, L"prompt: %ls\n", prompt.c_str());
    }
    return ok && prompts.empty() ? 0 : 1;
}
