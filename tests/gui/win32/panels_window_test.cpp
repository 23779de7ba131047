// The panels and views in real windows under Wine: the settings panel fades
// to opacity 224 and "OK" writes the settings to the registry; the support
// panel fades and returns to the tuning view; the summary strip names Wine's
// display adapter and turns to the next fact; a Run value added while the
// guard runs is told in the balloon, whose click opens the startup view,
// where unticking it removes it with a backup and ticking puts it back.
#include <gtest/gtest.h>
// Before the platform's headers, so that their DeleteFile is renamed as the fixture's is.
#include <windows.h>

#include <chrono>
#include <functional>
#include <random>

#include "gui/Commands.h"
#include "gui/StartupGuardSwitch.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/panels/GuardTicker.h"
#include "gui/panels/Settings.h"
#include "gui/panels/StartupView.h"
#include "gui/panels/Support.h"
#include "gui/panels/SystemInfoStrip.h"
#include "startup/Snapshot.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/win32/MessagePump.h"
#include "tests/support/win32/TestHost.h"

namespace {

using GUI::Aqua::Rect;
using Testing::ClickAt;

bool PumpUntil(const std::function<bool()>& done, int seconds = 3)
{
    return Testing::PumpMessagesUntil(done, std::chrono::seconds(seconds));
}

void Pump(int ms)
{
    Testing::PumpMessages(ms);
}

void ClickCentre(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    ClickAt(window, r.right / 2, r.bottom / 2);
}

class WindowPoster final : public GUI::ICommandPoster {
public:
    explicit WindowPoster(HWND window) : window_(window) {}
    void PostCommand(int command, intptr_t parameter) override
    {
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(command, 0), static_cast<LPARAM>(parameter));
    }

private:
    HWND window_;
};

class RecordingBalloon final : public GUI::IBalloon {
public:
    void Show(const std::wstring& title, const std::wstring& text) override { shown.push_back(title + L"|" + text); }
    std::vector<std::wstring> shown;
};

class PanelsWindowTest : public Testing::SettingsTest {
protected:
    // The host window stands in for the main window: it records the commands
    // the panels post to it.
    static void SetUpTestSuite() { suite_ = new Testing::HostSuite(L"Corvane", 60, 60, 390, 500); }
    static void TearDownTestSuite() { delete suite_; }
    void SetUp() override
    {
        SettingsTest::SetUp();
        ASSERT_TRUE(toolkit().started());
        ASSERT_NE(host()->hwnd(), nullptr);
        host()->Clear();
        prompts().clear();
    }
    static Testing::HostWindow* host() { return suite_->host(); }
    static GUI::Aqua::Toolkit& toolkit() { return suite_->toolkit(); }
    static std::vector<std::wstring>& prompts() { return suite_->reports(); }
    POINT ViewsOrigin() const
    {
        POINT p{0, 30};
        ClientToScreen(host()->hwnd(), &p);
        return p;
    }

    static inline Testing::HostSuite* suite_ = nullptr;
};

TEST_F(PanelsWindowTest, TheSettingsPanelFadesTo224AndOkWritesTheSettings)
{
    (void)AppSettings::AtStart(env_);
    RTI::Reference<GUI::Settings> panel(new GUI::Settings(toolkit(), env_));
    const POINT origin = ViewsOrigin();
    ASSERT_TRUE(panel->Create(host()->hwnd(), origin.x, origin.y));
    panel->Show();
    ASSERT_TRUE(PumpUntil([&] { return panel->fade().phase() == GUI::Fade::Phase::Shown; }));
    EXPECT_EQ(panel->Opacity(), 224) << "slightly translucent";
    EXPECT_TRUE(IsWindowVisible(panel->hwnd()));
    EXPECT_TRUE(panel->Box(GUI::SettingsBox::CreateBackup)->state().ticked()) << "read from the stored settings";

    // The user unticks "Create backup registry" and ticks "Startup Guard" with the mouse.
    for (GUI::SettingsBox box : {GUI::SettingsBox::CreateBackup, GUI::SettingsBox::StartupGuard}) {
        panel->host()->Snapshot();  // laid out as painted
        const Rect r = GUI::Aqua::CheckboxBox(panel->host()->scaler(), panel->Box(box)->GetRect());
        ClickAt(panel->host()->hwnd(), r.x + r.width / 2, r.y + r.height / 2);
    }
    EXPECT_FALSE(panel->Box(GUI::SettingsBox::CreateBackup)->state().ticked());
    EXPECT_TRUE(panel->Box(GUI::SettingsBox::StartupGuard)->state().ticked());
    EXPECT_EQ(StoredDword(L"EnableBackup"), 1) << "nothing is stored before OK";

    ClickCentre(panel->OkButton()->hwnd());
    EXPECT_EQ(StoredDword(L"EnableBackup"), 0);
    EXPECT_EQ(StoredDword(L"EnableStartUpGuard"), 1);
    EXPECT_EQ(guard_.calls, std::vector<bool>{true});
    EXPECT_EQ(panel->lastMessage(), L"");
    EXPECT_TRUE(prompts().empty());
    ASSERT_TRUE(PumpUntil([&] { return panel->fade().phase() == GUI::Fade::Phase::Hidden; }));
    EXPECT_FALSE(IsWindowVisible(panel->hwnd()));
    EXPECT_EQ(host()->CommandIds(), std::vector<int>{GUI::Command::Tuning});

    // "Startup programs..." asks the owner for the startup view.
    host()->commands.clear();
    panel->Show();
    ASSERT_TRUE(PumpUntil([&] { return panel->fade().phase() == GUI::Fade::Phase::Shown; }));
    ClickCentre(panel->StartupButton()->hwnd());
    ASSERT_TRUE(PumpUntil([&] { return !host()->commands.empty(); }));
    EXPECT_EQ(host()->CommandIds(), std::vector<int>{GUI::Command::StartupPrograms});
    panel->HideNow();
}

TEST_F(PanelsWindowTest, TheSupportPanelFadesInAndBothButtonsReturnToTheTuningView)
{
    RTI::Reference<GUI::Support> panel(
        new GUI::Support(toolkit(), {L"Corvane", L"1.0.0", L"", L"", L"C:\\users\\me\\AppData\\Roaming\\Corvane"}));
    const POINT origin = ViewsOrigin();
    ASSERT_TRUE(panel->Create(host()->hwnd(), origin.x, origin.y));
    for (int command : {GUI::Command::Ok, GUI::Command::Cancel}) {
        host()->commands.clear();
        panel->FadeIn();
        ASSERT_TRUE(PumpUntil([&] { return panel->fade().phase() == GUI::Fade::Phase::Shown; }));
        EXPECT_EQ(panel->Opacity(), 224);
        panel->Snapshot();
        EXPECT_EQ(panel->lastPaint().Texts().front().text, L"Support");
        EXPECT_TRUE(panel->CommandHook(command));
        ASSERT_TRUE(PumpUntil([&] { return panel->fade().phase() == GUI::Fade::Phase::Hidden; }));
        EXPECT_EQ(host()->CommandIds(), std::vector<int>{GUI::Command::Tuning});
    }
}

TEST_F(PanelsWindowTest, TheSummaryStripNamesWinesAdapterAndTurnsEveryHundredTicks)
{
    const std::vector<GUI::SummaryLine> lines = GUI::ProbedSummaryLines();
    size_t video = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].label == L"Video:") {
            video = i;
        }
    }
    ASSERT_LT(video, lines.size()) << "no adapter named";
    EXPECT_FALSE(lines[video].value.empty());
    EXPECT_EQ(lines.front().label, L"System Summary:");

    RTI::Reference<GUI::SystemInfo::Strip> strip(new GUI::SystemInfo::Strip(toolkit(), lines));
    RECT client{};
    GetClientRect(host()->hwnd(), &client);
    ASSERT_TRUE(strip->Create(host()->hwnd(), {0, client.bottom - 37, 388, 37}));
    strip->Snapshot();
    EXPECT_EQ(strip->lastPaint().Texts().front().text, L"System Summary:");
    for (size_t i = 0; i < video * GUI::SystemSummary::kTicksPerLine; ++i) {
        SendMessageW(strip->hwnd(), WM_TIMER, GUI::SystemInfo::Strip::kTimer, 0);
    }
    strip->Snapshot();
    const auto texts = strip->lastPaint().Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, L"Video:");
    EXPECT_EQ(texts[1].text, lines[video].value);
    EXPECT_EQ(texts[0].align, GUI::Aqua::TextAlign::Right);
}

TEST_F(PanelsWindowTest, ARunValueAddedWhileTheGuardRunsIsToldAndCanBeDisabledWithABackup)
{
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring name = L"CorvaneGuardTest" + std::to_wstring(std::random_device{}() % 100000);
    // The location as the catalogue writes it.
    const std::wstring location = L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run, " + name;
    struct RunValueRemover {
        std::wstring run, name;
        ~RunValueRemover()
        {
            Platform::UniqueKey key;
            if (Platform::Current().Registry().OpenKey(Platform::CurrentUser(), run, Platform::KeyAccess::Change,
                                                       key.put()) == 0) {
                (void)Platform::Current().Registry().DeleteValue(key.get(), name);
            }
        }
    } remover{run, name};

    RecordingBalloon balloon;
    WindowPoster poster(host()->hwnd());
    const StartUp::SnapshotPlace place{PathOf(L"startup")};
    GUI::StartupGuardSwitch guard(place, balloon, poster);
    RTI::Reference<GUI::GuardTicker> ticker(new GUI::GuardTicker(toolkit(), guard, 100));
    ASSERT_TRUE(ticker->Create());
    guard.SetStartupGuard(true);
    EXPECT_TRUE(ticker->running());
    ASSERT_TRUE(PumpUntil([&] { return guard.Guard().IsReady(); }, 60)) << "the worker builds the catalogue";
    Pump(300);
    EXPECT_TRUE(balloon.shown.empty());

    // The window shows the view when the balloon's click comes back as 5036.
    RTI::Reference<GUI::StartupView> view(new GUI::StartupView(toolkit()));
    RECT client{};
    GetClientRect(host()->hwnd(), &client);
    ASSERT_TRUE(view->Create(host()->hwnd(), {0, 30, client.right, client.bottom - 30}));
    host()->onCommand = [&](int command) {
        if (command == GUI::Command::StartupPrograms) {
            view->Open(guard.Guard().Catalogue(), guard.Guard().Place());
            ShowWindow(view->hwnd(), SW_SHOW);
        }
    };

    Platform::UniqueKey key;
    ASSERT_EQ(
        Platform::Current().Registry().OpenKey(Platform::CurrentUser(), run, Platform::KeyAccess::Change, key.put()),
        0u);
    const std::vector<uint8_t> data = Testing::StringBytes(L"C:\\windows\\notepad.exe");
    ASSERT_EQ(Platform::Current().Registry().SetValue(key.get(), name, Platform::RegType::Sz, data.data(), data.size()),
              0u);
    ASSERT_TRUE(PumpUntil([&] { return !balloon.shown.empty(); }, 10)) << "told within a few ticks";
    EXPECT_NE(balloon.shown.front().find(L"\"" + name + L"\""), std::wstring::npos);

    guard.OnBalloonClicked();
    ASSERT_TRUE(PumpUntil([&] { return view->model() != nullptr; }));
    ASSERT_TRUE(view->Reveal(location)) << "shown in the startup view";
    ASSERT_TRUE(view->model()->Selected().has_value());
    const size_t row = *view->model()->Selected();
    EXPECT_EQ(view->model()->Details(row).command, L"C:\\windows\\notepad.exe");

    // Unticking it with the mouse removes it with a backup.
    view->Snapshot();
    const GUI::StartupViewLayout layout(view->scaler(), {0, 0, client.right, client.bottom - 30});
    const Rect box =
        layout.BoxRect(static_cast<int>(row) * layout.RowHeight() - view->scroll(), view->model()->Rows()[row]);
    ClickAt(view->hwnd(), box.x + box.width / 2, box.y + box.height / 2);
    EXPECT_EQ(view->message(), L"");
    uint32_t type = 0;
    std::vector<uint8_t> stored;
    EXPECT_EQ(Platform::Current().Registry().QueryValue(key.get(), name, &type, &stored), 2u) << "removed";
    StartUp::Snapshot snapshot(place);
    ASSERT_EQ(snapshot.Load(), 0u);
    ASSERT_EQ(snapshot.Records().size(), 1u);
    EXPECT_EQ(snapshot.Records().front().entry->Location(), location);
    const std::optional<size_t> disabled = view->model()->FindLocation(location);
    ASSERT_TRUE(disabled.has_value()) << "still shown, unticked";
    EXPECT_TRUE(view->model()->Rows()[*disabled].disabled);

    // Ticking it puts it back.
    view->ClickBox(*disabled);
    EXPECT_EQ(view->message(), L"");
    EXPECT_EQ(Platform::Current().Registry().QueryValue(key.get(), name, &type, &stored), 0u) << "back";
    EXPECT_EQ(stored, data);
    EXPECT_TRUE(prompts().empty());

    guard.SetStartupGuard(false);
    EXPECT_FALSE(ticker->running());
    host()->onCommand = nullptr;
}

}  // namespace
