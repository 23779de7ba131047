// Navigation of the main window over a real catalogue: every command of the
// views table, the leave guards, the run buttons through real runs, and
// the rules that keep a run safe (nothing changes under it, starts are
// checked, no catalogue shows the load problem).
#include <gtest/gtest.h>

#include "tests/gui/GuiFixture.h"
#include "tests/gui/NavigationHost.h"

namespace {

using namespace GuiTesting;
using namespace GUI::Command;
using GUI::CommandHook;
using GUI::LeaveGuard;
using GUI::ViewId;
using Ids = std::vector<int>;

class NavigatorTest : public GuiTest {
protected:
    void Build()
    {
        Catalogue(
            {{L"A", {{L"a0", true, true}, {L"a1"}, {L"edit", true, false, L"editable=\"range\""}}}, {L"B", {{L"b0"}}}});
        host_ = std::make_unique<TestHost>(M(), sections_);
        host_->tracer = tracer_.get();
        nav_ = std::make_unique<GUI::Navigator>(*host_);
    }
    intptr_t CategoryA() { return reinterpret_cast<intptr_t>(M().Categories()[0].Get()); }
    intptr_t Tweak(int i) { return reinterpret_cast<intptr_t>(M().Categories()[0]->GetChildren()[i].Get()); }
    // Dispatches the commands the window received while the run went on.
    void FinishRun()
    {
        ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
        for (int command : poster_.Posted()) {
            EXPECT_EQ(nav_->Dispatch(command, 0), GUI::Effect::None);
        }
    }

    std::unique_ptr<TestHost> host_;
    std::unique_ptr<GUI::Navigator> nav_;
};

// What the window shows in one state of a view.
struct Shown {
    ViewId view;
    Ids buttons;
    Ids disabled;  // of the buttons
    const wchar_t* topic;
    int menu;
    const wchar_t* title;
    LeaveGuard guard = LeaveGuard::None;
    CommandHook hook = CommandHook::None;
};

const Shown kTuningView{ViewId::Tuning, {5002, 5004, 5015}, {}, L"ID_TUNING", 5031, L"Tuning", LeaveGuard::Tuning};
const Shown kTweaksView{ViewId::Tweaks, {5022}, {}, L"ID_TWEAKS_VIEW", 5031, L"A", LeaveGuard::Tweaks};
const Shown kDetailsView{ViewId::TweakInfo,     {5021}, {}, L"ID_TWEAK_INFO", 5031, L"A", LeaveGuard::TweakInfo,
                         CommandHook::TweakInfo};
// An editable tweak's details have OK and Cancel.
const Shown kEditableDetailsView{ViewId::TweakInfo,     {5008, 5010},          {}, L"ID_TWEAK_INFO", 5031, L"A",
                                 LeaveGuard::TweakInfo, CommandHook::TweakInfo};
const Shown kBackupsView{ViewId::Backups, {5007, 5017, 5018}, {5017, 5018}, L"ID_BACKUPS", 5016, L"Backups"};
const Shown kBackupsChecked{ViewId::Backups, {5007, 5017, 5018}, {}, L"ID_BACKUPS", 5016, L"Backups"};
const Shown kProfilesView{ViewId::Profiles, {5007, 5026, 5027, 5028}, {5026, 5027}, L"ID_PROFILES_VIEW", 5025,
                          L"Profiles"};
const Shown kProfilesChecked{ViewId::Profiles, {5007, 5026, 5027, 5028}, {}, L"ID_PROFILES_VIEW", 5025, L"Profiles"};
const Shown kProfileInfoView{ViewId::ProfileInfo, {5033}, {}, L"ID_PROFILE_INFO", 5025, L"Profiles"};
const Shown kTweakSetsView{ViewId::TweakSets, {5007, 5038}, {}, L"ID_COLLECTIONS_INFO", 5035, L"Tweaks sets"};
const Shown kSettingsView{ViewId::Settings, {5008, 5010},      {}, L"ID_SETTINGS", 5002, L"Settings",
                          LeaveGuard::None, CommandHook::Panel};
const Shown kStartupView{ViewId::Startup, {5007}, {}, L"ID_STARTUP_PROGRAMS", 5031, L"Startup programs"};
const Shown kStartupFromSettings{ViewId::Startup, {5007}, {}, L"ID_STARTUP_PROGRAMS", 5002, L"Startup programs"};
const Shown kSupportView{ViewId::Support,  {5008, 5010},      {}, L"ID_SUPPORT", 5031, L"Support",
                         LeaveGuard::None, CommandHook::Panel};

TEST_F(NavigatorTest, EveryCommandShowsItsViewButtonsTopicMenuAndTitle)
{
    Build();
    struct Row {
        std::vector<int> before;  // commands that lead to the starting view
        int command;
        int tweak;  // -1: the category; >= 0: that tweak of A
        const Shown& shown;
    };
    const Row rows[] = {
        {{Backups}, Tuning, 0, kTuningView},
        {{Backups}, Back, 0, kTuningView},
        {{Backups}, TuningMenu, 0, kTuningView},
        {{}, ShowTweaks, -1, kTweaksView},
        {{ShowTweaks}, LeaveTweaks, 0, kTuningView},
        {{ShowTweaks}, ShowDetails, 0, kDetailsView},
        {{ShowTweaks}, ShowDetails, 2, kEditableDetailsView},
        {{ShowTweaks, ShowDetails}, BackToTweaks, 0, kTweaksView},
        {{}, Backups, 0, kBackupsView},
        {{Backups}, PointChecked, 0, kBackupsChecked},
        {{Backups, PointChecked}, NoPointChecked, 0, kBackupsView},
        {{}, Profiles, 0, kProfilesView},
        {{Profiles}, ProfileChecked, 0, kProfilesChecked},
        {{Profiles, ProfileChecked}, NoProfileChecked, 0, kProfilesView},
        {{Profiles}, ShowProfile, 0, kProfileInfoView},
        {{Profiles, ShowProfile}, BackToProfiles, 0, kProfilesView},
        {{}, TweakSets, 0, kTweakSetsView},
        {{}, Settings, 0, kSettingsView},
        {{Settings}, Ok, 0, kTuningView},
        {{}, Support, 0, kSupportView},
        {{Support}, Cancel, 0, kTuningView},
        {{}, StartupPrograms, 0, kStartupView},
        {{Settings}, StartupPrograms, 0, kStartupFromSettings},
        {{StartupPrograms}, Back, 0, kTuningView},
    };
    for (const Row& row : rows) {
        nav_ = std::make_unique<GUI::Navigator>(*host_);
        for (int command : row.before) {
            (void)nav_->Dispatch(command, command == ShowTweaks ? CategoryA() : Tweak(0));
        }
        const intptr_t parameter = row.tweak < 0 ? CategoryA() : Tweak(row.tweak);
        SCOPED_TRACE(testing::Message() << row.command << " after " << row.before.size());
        EXPECT_EQ(nav_->Dispatch(row.command, parameter), GUI::Effect::None);
        const Shown& shown = row.shown;
        EXPECT_EQ(nav_->View(), shown.view);
        EXPECT_EQ(nav_->Buttons(), shown.buttons);
        for (int button : shown.buttons) {
            const bool disabled =
                std::find(shown.disabled.begin(), shown.disabled.end(), button) != shown.disabled.end();
            EXPECT_EQ(nav_->IsEnabled(button), !disabled) << button;
        }
        EXPECT_EQ(nav_->HelpTopic(), shown.topic);
        EXPECT_EQ(nav_->MenuSelection(), shown.menu);
        EXPECT_EQ(nav_->Title(), shown.title);
        EXPECT_EQ(nav_->Guard(), shown.guard);
        EXPECT_EQ(nav_->Hook(), shown.hook);
    }
}

// A panel covers the view that was showing; OK or Cancel returns to that
// view as it was (its ticks' buttons, details' OK/Cancel, menu and title),
// another view chosen from the menu replaces both.
TEST_F(NavigatorTest, ClosingAPanelReturnsToTheViewBeneathIt)
{
    Build();
    const struct {
        std::vector<int> before;
        std::vector<int> panels;  // opened one after the other
        int close;
        ViewId beneath;  // while the panels are open
        const Shown& shown;
    } rows[] = {
        {{}, {Settings}, Ok, ViewId::Tuning, kTuningView},
        {{Backups, PointChecked}, {Settings}, Cancel, ViewId::Backups, kBackupsChecked},
        {{Profiles}, {Support}, Ok, ViewId::Profiles, kProfilesView},
        {{Profiles, ShowProfile}, {Settings}, Ok, ViewId::ProfileInfo, kProfileInfoView},
        {{ShowTweaks, ShowDetails}, {Support, Settings}, Cancel, ViewId::TweakInfo, kEditableDetailsView},
        {{TweakSets}, {Settings, Support}, Ok, ViewId::TweakSets, kTweakSetsView},
        {{Backups}, {Settings}, Profiles, ViewId::Backups, kProfilesView},
        {{ShowTweaks}, {Support}, Tuning, ViewId::Tweaks, kTuningView},
    };
    for (const auto& row : rows) {
        nav_ = std::make_unique<GUI::Navigator>(*host_);
        for (int command : row.before) {
            (void)nav_->Dispatch(command, command == ShowTweaks ? CategoryA() : Tweak(2));
        }
        SCOPED_TRACE(testing::Message() << row.close << " after " << row.before.size() << " commands");
        for (int panel : row.panels) {
            (void)nav_->Dispatch(panel, 0);
        }
        EXPECT_EQ(nav_->View(), row.panels.back() == Settings ? ViewId::Settings : ViewId::Support);
        EXPECT_EQ(nav_->Beneath(), row.beneath);
        host_->topics.clear();
        EXPECT_EQ(nav_->Dispatch(row.close, 0), GUI::Effect::None);
        const Shown& shown = row.shown;
        EXPECT_EQ(nav_->View(), shown.view);
        EXPECT_EQ(nav_->Beneath(), shown.view);
        EXPECT_EQ(nav_->Buttons(), shown.buttons);
        for (int button : shown.buttons) {
            const bool disabled =
                std::find(shown.disabled.begin(), shown.disabled.end(), button) != shown.disabled.end();
            EXPECT_EQ(nav_->IsEnabled(button), !disabled) << button;
        }
        EXPECT_EQ(nav_->HelpTopic(), shown.topic);
        EXPECT_EQ(host_->topics.back(), shown.topic) << "the help text follows";
        EXPECT_EQ(nav_->MenuSelection(), shown.menu);
        EXPECT_EQ(nav_->Title(), shown.title);
        EXPECT_EQ(nav_->Guard(), shown.guard);
        EXPECT_EQ(nav_->Hook(), shown.hook);
    }
}

TEST_F(NavigatorTest, ExitHelpAndUnusedIdentifiers)
{
    Build();
    const struct {
        int command;
        GUI::Effect effect;
        int menu;
    } rows[] = {
        {5006, GUI::Effect::None, 5031}, {5009, GUI::Effect::None, 5031}, {5014, GUI::Effect::None, 5031},
        {5019, GUI::Effect::None, 5031}, {5034, GUI::Effect::None, 5031}, {OnlineHelp, GUI::Effect::OpenHelp, 5031},
        {Exit, GUI::Effect::Quit, 5031},  // the tuning view's guard is set by a first show
    };
    for (const auto& row : rows) {
        nav_ = std::make_unique<GUI::Navigator>(*host_);
        EXPECT_EQ(nav_->Dispatch(row.command, 0), row.effect) << row.command;
        EXPECT_EQ(nav_->View(), ViewId::Tuning);
        EXPECT_EQ(nav_->MenuSelection(), row.menu);
    }
    (void)nav_->Dispatch(Tuning, 0);
    EXPECT_EQ(nav_->Dispatch(Exit, 0), GUI::Effect::Quit);
    EXPECT_EQ(nav_->MenuSelection(), 0);
    EXPECT_EQ(GUI::WindowCaption(519), L"Corvane 2.3 (519 tweaks)");
}

TEST_F(NavigatorTest, LeaveGuardsActBeforeTheNextView)
{
    Build();
    const struct {
        std::vector<int> before;
        int menuAfterGuard;                // seen by a command that does not set the menu (5003)
        std::vector<std::wstring> topics;  // help topics shown on the way
    } rows[] = {
        {{Tuning}, 0, {L"ID_SUPPORT"}},
        {{Backups, ShowTweaks}, 5031, {L"ID_SUPPORT"}},
        {{ShowTweaks, ShowDetails}, 5031, {L"ID_TWEAKS_VIEW", L"ID_SUPPORT"}},
        {{Backups}, 5016, {L"ID_SUPPORT"}},
    };
    for (const auto& row : rows) {
        nav_ = std::make_unique<GUI::Navigator>(*host_);
        for (int command : row.before) {
            (void)nav_->Dispatch(command, command == ShowTweaks ? CategoryA() : Tweak(0));
        }
        host_->topics.clear();
        (void)nav_->Dispatch(Support, 0);
        EXPECT_EQ(nav_->MenuSelection(), row.menuAfterGuard);
        EXPECT_EQ(host_->topics, row.topics);
    }
}

// Holds the worker at the first category until released.
struct Hold final : RTI::ITracer {
    RTI::ITracer* inner = nullptr;
    TweakerTesting::Latch reached;
    TweakerTesting::Latch release;
    void Begin(const void* s, unsigned st) override
    {
        inner->Begin(s, st);
        if (st == 0 || st == 3) {
            reached.Open();
            release.Wait();
        }
    }
    void End(const void* s, unsigned st) override { inner->End(s, st); }
    void Trace(uint32_t c, int32_t a, int32_t b) override { inner->Trace(c, a, b); }
};

TEST_F(NavigatorTest, RunButtonsFollowRealRunsAndTheRunEndsOnTheTuningView)
{
    Build();
    Hold hold;
    hold.inner = tracer_.get();
    host_->tracer = &hold;
    const std::wstring analyseFirst = L"You need to analyse system before tuning!|Start analysing? ";

    // Tune Up before an analysis asks; Cancel starts nothing.
    host_->answers = {false};
    (void)nav_->Dispatch(TuneUp, 0);
    EXPECT_EQ(host_->prompts, std::vector<std::wstring>{analyseFirst});
    EXPECT_FALSE(M().IsRunning());

    // OK starts an analysis, not a tune-up.
    host_->answers = {true};
    (void)nav_->Dispatch(TuneUp, 0);
    hold.reached.Wait();
    EXPECT_FALSE(M().LastRun().tuneUp);
    const struct {
        int command;
        Ids buttons;
    } steps[] = {{Pause, {5012, 5013}}, {Resume, {5011, 5013}}};
    EXPECT_EQ(nav_->Buttons(), (Ids{5011, 5013}));
    EXPECT_EQ(nav_->Title(), L"Analyse...");
    for (const auto& step : steps) {
        (void)nav_->Dispatch(step.command, 0);
        EXPECT_EQ(nav_->Buttons(), step.buttons) << step.command;
    }
    hold.release.Open();
    FinishRun();
    EXPECT_EQ(poster_.Posted(), Ids{Tuning});
    EXPECT_EQ(nav_->View(), ViewId::Tuning);
    EXPECT_EQ(nav_->Buttons(), kTuningView.buttons);
    EXPECT_EQ(nav_->Title(), L"Tuning");
    EXPECT_EQ(host_->stops, 1);  // the analysing guard, after the run had ended

    // Now Tune Up runs; the registry changes.
    (void)nav_->Dispatch(TuneUp, 0);
    EXPECT_EQ(nav_->Buttons(), (Ids{5011, 5013}));
    EXPECT_EQ(nav_->Title(), L"Tune...");
    FinishRun();
    EXPECT_EQ(Dword(L"a1"), 1);
    EXPECT_EQ(poster_.Posted(), (Ids{Tuning, Tuning}));
    EXPECT_EQ(nav_->Buttons(), kTuningView.buttons);

    // Everything in effect: nothing to do, nothing starts.
    host_->prompts.clear();
    (void)nav_->Dispatch(TuneUp, 0);
    EXPECT_EQ(host_->prompts, std::vector<std::wstring>{L"No tweaks selected for applying!|To run tune up process "
                                                        L"you need to select for applying at least one tweak! "});
    EXPECT_EQ(nav_->Buttons(), kTuningView.buttons);
    EXPECT_EQ(M().WaitForRun(0), 0u);
}

// While a run goes on, nothing that changes the machine, the selections or
// the configuration is done; once it has ended, it is.
TEST_F(NavigatorTest, NothingChangesUnderARunningRun)
{
    Build();
    Hold hold;
    hold.inner = tracer_.get();
    host_->tracer = &hold;
    const Ids changes = {RestorePoints, DeletePoints, SetProfiles, DeleteProfiles, SaveProfile, UserTweaksPath};
    const std::wstring busy = std::wstring(GUI::Navigator::kBusyCaption) + L"|" + GUI::Navigator::kBusyText;

    (void)nav_->Dispatch(Analyse, 0);
    hold.reached.Wait();
    for (int command : changes) {
        (void)nav_->Dispatch(command, 0);
    }
    // A second start is refused and says why.
    (void)nav_->Dispatch(Analyse, 0);
    EXPECT_TRUE(host_->performed.empty());
    EXPECT_EQ(host_->prompts, std::vector<std::wstring>(changes.size() + 1, busy));
    hold.release.Open();
    FinishRun();

    Hold tuneUpHold;
    tuneUpHold.inner = tracer_.get();
    ASSERT_EQ(M().StartTuneUp(&tuneUpHold, false), 0u);  // a tune-up the user left for another view
    tuneUpHold.reached.Wait();
    (void)nav_->Dispatch(ShowTweaks, CategoryA());
    (void)nav_->Dispatch(ShowDetails, Tweak(2));
    (void)nav_->Dispatch(Ok, 0);
    EXPECT_EQ(nav_->View(), ViewId::TweakInfo);
    EXPECT_EQ(host_->detailsApplied, 0);
    tuneUpHold.release.Open();
    ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);

    for (int command : changes) {
        (void)nav_->Dispatch(command, 0);
    }
    EXPECT_EQ(host_->performed, changes);
}

// A tune-up whose backup cannot be made does not start: the bar keeps the
// tuning buttons and the engine says why.
TEST_F(NavigatorTest, ARefusedStartKeepsTheTuningButtons)
{
    Build();
    RunAnalysis();
    (void)nav_->Dispatch(poster_.Posted().at(0), 0);
    WriteFile(M().ConfigurationFolder() + L"\\backup", "not a folder");
    host_->journal = true;
    (void)nav_->Dispatch(TuneUp, 0);
    EXPECT_FALSE(M().IsRunning());
    EXPECT_EQ(nav_->Buttons(), kTuningView.buttons);
    EXPECT_EQ(nav_->Hook(), CommandHook::None);
    EXPECT_EQ(Dword(L"a1"), -1);
}

// Without a catalogue, Analyse and Tune Up say why instead of starting.
TEST_F(NavigatorTest, NoCatalogueShowsTheLoadProblem)
{
    Catalogue({});
    TestHost host(M(), sections_);
    host.problem = L"Tweaks.xml: error 13";
    GUI::Navigator nav(host);
    const int rows[] = {Analyse, TuneUp};
    for (int command : rows) {
        host.prompts.clear();
        (void)nav.Dispatch(command, 0);
        ASSERT_EQ(host.prompts.size(), 1u) << command;
        EXPECT_NE(host.prompts[0].find(L"Tweaks.xml: error 13"), std::wstring::npos);
        EXPECT_EQ(nav.Buttons(), kTuningView.buttons);
        EXPECT_FALSE(M().IsRunning());
    }
}

}  // namespace
