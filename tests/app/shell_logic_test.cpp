// The program shell's decisions without windows: where the main window
// starts, what the tray window does with each message, the order of the
// shutdown, the test switches and the load problems' message.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/corvane/LoadNotice.h"
#include "app/corvane/Shutdown.h"
#include "app/corvane/StartPosition.h"
#include "app/corvane/TestSwitches.h"
#include "app/corvane/TrayMessages.h"
#include "tweaker/RunControl.h"

namespace AppShell {
namespace {

TEST(StartPosition, ClampedToTheMonitorsWorkArea)
{
    const ScreenRect screen{0, 0, 1280, 984};  // a taskbar of 40 pixels below
    const ScreenRect secondLeft{-1024, 0, 0, 768};
    const struct {
        const char* name;
        ScreenPoint wanted;
        int width, height;
        ScreenRect work;
        ScreenPoint expected;
    } cases[] = {
        {"fits: kept", kUsualStart, 390, 500, screen, kUsualStart},
        {"too far right", {1000, 100}, 390, 500, screen, {890, 100}},
        {"below the taskbar", {500, 700}, 390, 500, screen, {500, 484}},
        {"above and left of the area", {-50, -20}, 390, 500, screen, {0, 0}},
        {"small screen: near edges win", kUsualStart, 390, 500, {0, 0, 320, 240}, {0, 0}},
        {"monitor left of the primary", {-100, 100}, 390, 500, secondLeft, {-390, 100}},
        {"work area not at the origin", {0, 0}, 390, 500, {0, 30, 1280, 1024}, {0, 30}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampToWorkArea(c.wanted, c.width, c.height, c.work), c.expected) << c.name;
    }
}

TEST(TrayWindow, EachMessageHasItsAction)
{
    constexpr unsigned kTaskbarCreated = 0xC123;
    constexpr unsigned kCommand = 0x0111, kQueryEnd = 0x0011, kEnd = 0x0016, kPaint = 0x000F;
    constexpr unsigned kCallback = TrayId::kCallbackMessage;
    const struct {
        const char* name;
        TrayMessage message;
        bool mainWindow;
        TrayAction expected;
    } cases[] = {
        {"double click on the icon", {kCallback, TrayId::kIcon, 0x0203}, true, TrayAction::BringUp},
        {"right button up on the icon", {kCallback, TrayId::kIcon, 0x0205}, true, TrayAction::PopUpMenu},
        {"balloon shown", {kCallback, TrayId::kIcon, 0x0402}, true, TrayAction::PostNull},
        {"balloon clicked", {kCallback, TrayId::kIcon, 0x0405}, true, TrayAction::OpenStartup},
        {"balloon clicked after the window went", {kCallback, TrayId::kIcon, 0x0405}, false, TrayAction::Ignore},
        {"mouse move over the icon", {kCallback, TrayId::kIcon, 0x0200}, true, TrayAction::Ignore},
        {"another icon's double click", {kCallback, 7, 0x0203}, true, TrayAction::Ignore},
        {"Open", {kCommand, TrayId::kOpen, 0}, true, TrayAction::BringUp},
        {"Open without a window", {kCommand, TrayId::kOpen, 0}, false, TrayAction::WindowClosed},
        {"Run Analyse", {kCommand, TrayId::kAnalyse, 0}, true, TrayAction::BringUpAnalyse},
        {"Run Analyse without a window", {kCommand, TrayId::kAnalyse, 0}, false, TrayAction::WindowClosed},
        {"Exit", {kCommand, TrayId::kExit, 0}, true, TrayAction::Exit},
        {"Exit without a window still ends", {kCommand, TrayId::kExit, 0}, false, TrayAction::Exit},
        {"menu id in the low word only", {kCommand, 0x10000 | TrayId::kExit, 0}, true, TrayAction::Exit},
        {"an unknown command", {kCommand, 1003, 0}, true, TrayAction::Default},
        {"the shell restarted", {kTaskbarCreated, 0, 0}, true, TrayAction::ShowIconAgain},
        {"may the session end", {kQueryEnd, 0, 0}, true, TrayAction::AllowEndSession},
        {"the session ends", {kEnd, 1, 0}, true, TrayAction::EndSession},
        {"a cancelled logoff keeps running", {kEnd, 0, 0}, true, TrayAction::Ignore},
        {"anything else", {kPaint, 0, 0}, true, TrayAction::Default},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecideTrayAction(c.message, kTaskbarCreated, c.mainWindow), c.expected) << c.name;
    }
}

TEST(Shutdown, TheRunEndsBeforeTheSessionMayEndAndThenTheThreads)
{
    struct Recorder final : IShutdownSteps {
        std::vector<std::string> steps;
        void SignalShutdown() override { steps.push_back("signal"); }
        void StopRun() override { steps.push_back("stop run"); }
        void CloseTray() override { steps.push_back("close tray"); }
        void StopUpdateCheck() override { steps.push_back("stop update check"); }
    } recorder;
    ShutDown(recorder);
    EXPECT_EQ(recorder.steps, (std::vector<std::string>{"stop run", "signal", "close tray", "stop update check"}));
}

TEST(TestSwitches, ReadOnlyFromTheirExactValues)
{
    using Env = std::map<std::wstring, std::wstring>;
    const struct {
        const char* name;
        Env env;
        TestSwitches expected;
    } cases[] = {
        {"none set", {}, {}},
        {"pacing off", {{L"CORVANE_TEST_NO_PACING", L"1"}}, {true, std::nullopt}},
        {"pacing: another value", {{L"CORVANE_TEST_NO_PACING", L"yes"}}, {}},
        {"restart answered No", {{L"CORVANE_TEST_RESTART_ANSWER", L"no"}}, {false, false}},
        {"restart answered Yes, any case", {{L"CORVANE_TEST_RESTART_ANSWER", L"YES"}}, {false, true}},
        {"restart: another value", {{L"CORVANE_TEST_RESTART_ANSWER", L"maybe"}}, {}},
        {"both", {{L"CORVANE_TEST_NO_PACING", L"1"}, {L"CORVANE_TEST_RESTART_ANSWER", L"No"}}, {true, false}},
        {"window refused", {{L"CORVANE_TEST_FAIL_WINDOW", L"1"}}, {false, std::nullopt, true}},
        {"window: another value", {{L"CORVANE_TEST_FAIL_WINDOW", L"true"}}, {}},
        {"guard tick", {{L"CORVANE_TEST_GUARD_TICK_MS", L"200"}}, {false, std::nullopt, false, 200}},
        {"guard tick: bounds kept", {{L"CORVANE_TEST_GUARD_TICK_MS", L"50"}}, {false, std::nullopt, false, 50}},
        {"guard tick: too short", {{L"CORVANE_TEST_GUARD_TICK_MS", L"10"}}, {}},
        {"guard tick: too long", {{L"CORVANE_TEST_GUARD_TICK_MS", L"99999"}}, {}},
        {"guard tick: not a number", {{L"CORVANE_TEST_GUARD_TICK_MS", L"2e2"}}, {}},
    };
    for (const auto& c : cases) {
        const TestSwitches read = ReadTestSwitches([&](const wchar_t* name) -> std::optional<std::wstring> {
            const auto found = c.env.find(name);
            return found == c.env.end() ? std::nullopt : std::optional<std::wstring>(found->second);
        });
        EXPECT_EQ(read, c.expected) << c.name;
    }
}

TEST(TestSwitches, PacingOffReachesTheEngine)
{
    const Tweaker::Pacing before = Tweaker::GetPacing();
    Tweaker::SetPacing(Tweaker::Pacing::On);
    ApplyEngineSwitches({});
    EXPECT_EQ(Tweaker::GetPacing(), Tweaker::Pacing::On);
    ApplyEngineSwitches({true, std::nullopt});
    EXPECT_EQ(Tweaker::GetPacing(), Tweaker::Pacing::Off);
    Tweaker::SetPacing(before);
}

TEST(LoadNotice, ProblemsAreToldOnceInOneMessage)
{
    using Kind = ProgramCatalogue::Line::Kind;
    const struct {
        const char* name;
        std::vector<ProgramCatalogue::Line> lines;
        std::wstring expected;
    } cases[] = {
        {"nothing to tell", {}, L""},
        {"a set and Config.xml",
         {{Kind::Warning, L"Gold: it does not exist (error 2)"},
          {Kind::Warning, L"C:\\Corvane\\Config.xml: kept aside as Config.xml.bad."}},
         L"Corvane started without some of its tweak files or settings:\n\nGold: it does not exist (error 2).\n\n"
         L"C:\\Corvane\\Config.xml: kept aside as Config.xml.bad."},
        {"no catalogue",
         {{Kind::Error, L"cannot load the catalogue the built-in catalogue: line 3: unexpected end"}},
         L"Corvane could not load its tweaks, so there is nothing to analyse or tune up:\n\n"
         L"Cannot load the catalogue the built-in catalogue: line 3: unexpected end."},
    };
    struct Recorder final : IPrompt {
        std::vector<std::wstring> shown;
        void ShowMessage(const std::wstring& text, const std::wstring& caption) override
        {
            shown.push_back(caption + L"|" + text);
        }
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadProblemsText(c.lines), c.expected) << c.name;
        Recorder prompt;
        LoadNotice notice(LoadProblemsText(c.lines));
        notice.ShowOnce(prompt);
        notice.ShowOnce(prompt);
        const std::vector<std::wstring> once =
            c.expected.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"Corvane|" + c.expected};
        EXPECT_EQ(prompt.shown, once) << c.name;
        EXPECT_FALSE(notice.Pending()) << c.name;
    }
}

}  // namespace
}  // namespace AppShell
