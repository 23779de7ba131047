// The startup programs view and the guard as the window runs them, over the
// portable machine: rows with their check states, unticking disables with a
// backup and ticking puts it back, read-only entries refuse and say why, a
// damaged snapshot only shows, the details of an entry; the guard switched by
// the settings, its tick telling new entries in a balloon whose click opens
// the view.
#include <gtest/gtest.h>

#ifndef _WIN32
#include "core/platform/portable/Faults.h"
#include "gui/PanelPaint.h"
#include "gui/StartupGuardSwitch.h"
#include "gui/StartupPrograms.h"
#include "tests/gui/GuiFixture.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using GUI::StartupPrograms;
using StartUp::CheckState;

const std::wstring kUserRun = L"HKCU\\" + kRun;
const std::wstring kWinlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

class StartupProgramsTest : public StartupTest {
protected:
    void SetUp() override
    {
        StartupTest::SetUp();
        SetText(Platform::CurrentUser(), kRun, L"App", L"\"C:\\Program Files\\App\\app.exe\" /tray");
        SetText(Platform::CurrentUser(), kRun, L"Tool", L"tool.exe");
        SetText(Platform::LocalMachine(), kWinlogon, L"Shell", L"explorer.exe");
        Portable().System().SetFileVersion(L"C:\\Program Files\\App\\app.exe", {L"The app", L"App Makers", L"", L""});
        WriteFile(L"C:\\Program Files\\App\\app.exe", "MZ app");
    }
    std::unique_ptr<StartupPrograms> Open()
    {
        auto view = std::make_unique<StartupPrograms>(Catalogue(), Place());
        EXPECT_EQ(view->Load(), Err::Success);
        EXPECT_EQ(view->LoadError(), L"");
        return view;
    }
    const GUI::StartupRow& Row(StartupPrograms& view, const std::wstring& location)
    {
        static const GUI::StartupRow none;
        const std::optional<size_t> row = view.Reveal(location);
        EXPECT_TRUE(row.has_value()) << "not shown";
        return row ? view.Rows()[*row] : none;
    }
    const GUI::StartupRow& Category(StartupPrograms& view, const std::wstring& name)
    {
        for (const GUI::StartupRow& row : view.Rows()) {
            if (row.text == name) {
                return row;
            }
        }
        ADD_FAILURE() << "no category";
        return view.Rows().front();
    }
    bool RunValueExists(const wchar_t* name) { return Get(Platform::CurrentUser(), kRun, name, nullptr, nullptr) == 0; }
};

TEST_F(StartupProgramsTest, RowsShowEachEntryWithTheBoxItsPlaceAllows)
{
    auto view = Open();
    struct Expect {
        std::wstring location;
        bool userCheckable, greyed;
        int depth;
    };
    const Expect rows[] = {
        {kUserRun + L", App", true, false, 2},
        {kUserRun + L", Tool", true, false, 2},
        {L"HKLM\\" + kWinlogon + L", Shell", false, true, 2},
    };
    for (const Expect& e : rows) {
        SCOPED_TRACE(std::string(e.location.begin(), e.location.end()));
        const GUI::StartupRow& row = Row(*view, e.location);
        EXPECT_TRUE(row.hasCheckBox);
        EXPECT_EQ(row.check, CheckState::Checked);
        EXPECT_EQ(row.userCheckable, e.userCheckable);
        EXPECT_EQ(row.greyed, e.greyed);
        EXPECT_EQ(row.depth, e.depth);
        EXPECT_FALSE(row.disabled);
    }
    const GUI::StartupRow& group = view->Rows()[*view->Find(L"Registry 'Run' keys")];
    EXPECT_TRUE(group.bold);
    EXPECT_TRUE(group.expanded) << "opened by Reveal";
    view->ToggleExpanded(*view->Find(L"Registry 'Run' keys"));
    EXPECT_FALSE(view->FindLocation(kUserRun + L", App").has_value()) << "closed again";
}

TEST_F(StartupProgramsTest, UntickingDisablesWithABackupAndTickingPutsItBack)
{
    auto view = Open();
    const std::wstring app = kUserRun + L", App";
    const size_t row = *view->Reveal(app);
    EXPECT_EQ(view->SetChecked(row, false), L"");
    EXPECT_FALSE(RunValueExists(L"App"));
    EXPECT_EQ(SavedCount(), 1u);
    const GUI::StartupRow& off = Row(*view, app);
    EXPECT_EQ(off.check, CheckState::Unchecked);
    EXPECT_TRUE(off.disabled);
    EXPECT_TRUE(off.userCheckable) << "it can be ticked again";
    EXPECT_EQ(Category(*view, L"User 'Run' key").check, CheckState::Mixed);
    EXPECT_NE(view->Details(*view->Reveal(app)).state.find(L"Disabled by Corvane"), std::wstring::npos);

    // A view opened later shows the disabled entry from the snapshot.
    auto later = Open();
    EXPECT_TRUE(Row(*later, app).disabled);

    EXPECT_EQ(later->SetChecked(*later->Reveal(app), true), L"");
    EXPECT_TRUE(RunValueExists(L"App"));
    EXPECT_EQ(SavedCount(), 0u);
    const GUI::StartupRow& on = Row(*later, app);
    EXPECT_EQ(on.check, CheckState::Checked);
    EXPECT_FALSE(on.disabled);
    EXPECT_EQ(Category(*later, L"User 'Run' key").check, CheckState::Checked);
}

TEST_F(StartupProgramsTest, WhatCannotBeChangedIsRefusedWithItsReasonAndChangesNothing)
{
    using Platform::Portable::FaultSubject;
    using Platform::Portable::Operation;
    struct Case {
        const char* what;
        std::wstring location;
        bool damageSnapshot;
        bool failDelete;
        std::wstring messageStart;
    };
    const Case cases[] = {
        {"read-only", L"HKLM\\" + kWinlogon + L", Shell", false, false,
         L"\"Shell\" is not changed. It belongs to Windows, which breaks when it is removed."},
        {"damaged snapshot", kUserRun + L", App", true, false, L"The startup snapshot "},
        {"delete fails", kUserRun + L", App", false, true,
         L"\"App\" could not be disabled: access is denied (error 5)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.damageSnapshot) {
            WriteFile(Place().folder + L"\\snapshot.xml", "<Snapshot><broken");
        }
        StartupPrograms view(Catalogue(), Place());
        EXPECT_EQ(view.Load() != Err::Success, c.damageSnapshot);
        const size_t row = *view.Reveal(c.location);
        EXPECT_EQ(view.Rows()[row].userCheckable,
                  !c.damageSnapshot && c.location.find(L"Winlogon") == std::wstring::npos);
        if (c.failDelete) {
            Portable().Faults().FailWhen(
                Operation::DeleteValue, [](const FaultSubject& s) { return s.name == L"App"; }, Err::AccessDenied);
        }
        const std::wstring message = view.SetChecked(row, false);
        Portable().Faults().Clear();
        EXPECT_EQ(message.substr(0, c.messageStart.size()), c.messageStart)
            << std::string(message.begin(), message.end());
        EXPECT_TRUE(RunValueExists(L"App"));
        EXPECT_EQ(Get(Platform::LocalMachine(), kWinlogon, L"Shell", nullptr, nullptr), Err::Success);
        EXPECT_EQ(view.Rows()[row].check, CheckState::Checked);
        if (c.damageSnapshot) {
            EXPECT_EQ(ReadFile(Place().folder + L"\\snapshot.xml"), "<Snapshot><broken") << "left as it was";
            (void)Fs().DeleteFile(Place().folder + L"\\snapshot.xml");
        } else {
            EXPECT_EQ(SavedCount(), 0u);
        }
    }
}

TEST_F(StartupProgramsTest, DetailsNameLocationCommandDescriptionCompanyAndWindowsState)
{
    // Windows' own list says Tool may not start.
    Set(Platform::CurrentUser(), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run",
        L"Tool", Platform::RegType::Binary, std::vector<uint8_t>(12, 0) = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    auto view = Open();
    struct Expect {
        std::wstring location;
        GUI::StartupDetails details;
    };
    const Expect rows[] = {
        {kUserRun + L", App",
         {L"App", L"Registry 'Run' keys / User 'Run' key", kUserRun + L", App",
          L"\"C:\\Program Files\\App\\app.exe\" /tray", L"The app", L"App Makers", L"Enabled in Windows' own list",
          L"Starts with Windows", L""}},
        {kUserRun + L", Tool",
         {L"Tool", L"Registry 'Run' keys / User 'Run' key", kUserRun + L", Tool", L"tool.exe", L"", L"",
          L"Disabled in Windows' own list: Windows does not start it", L"Starts with Windows", L""}},
        {L"HKLM\\" + kWinlogon + L", Shell",
         {L"Shell", L"Windows / Winlogon", L"HKLM\\" + kWinlogon + L", Shell", L"explorer.exe", L"", L"",
          L"Not recorded: Windows keeps no list for this place", L"Starts with Windows",
          L"It belongs to Windows, which breaks when it is removed."}},
    };
    for (const Expect& e : rows) {
        SCOPED_TRACE(std::string(e.location.begin(), e.location.end()));
        const GUI::StartupDetails d = view->Details(*view->Reveal(e.location));
        EXPECT_EQ(d.name, e.details.name);
        EXPECT_EQ(d.category, e.details.category);
        EXPECT_EQ(d.location, e.details.location);
        EXPECT_EQ(d.command, e.details.command);
        EXPECT_EQ(d.description, e.details.description);
        EXPECT_EQ(d.company, e.details.company);
        EXPECT_EQ(d.windowsState, e.details.windowsState);
        EXPECT_EQ(d.state, e.details.state);
        EXPECT_EQ(d.readOnlyReason, e.details.readOnlyReason);
    }
}

class RecordingBalloon final : public GUI::IBalloon {
public:
    void Show(const std::wstring& title, const std::wstring& text) override { shown.push_back(title + L"|" + text); }
    std::vector<std::wstring> shown;
};

TEST_F(StartupProgramsTest, TheGuardTellsNewEntriesInABalloonWhoseClickOpensTheView)
{
    RecordingBalloon balloon;
    GuiTesting::RecordingPoster poster;
    GUI::StartupGuardSwitch guard(Place(), balloon, poster);
    std::vector<bool> timer;
    guard.SetTimerSwitch([&](bool on) { timer.push_back(on); });
    EXPECT_TRUE(guard.OnTick().empty()) << "off: nothing to look at";
    guard.SetStartupGuard(true);
    EXPECT_EQ(guard.LastError(), Err::Success);
    EXPECT_TRUE(Exists(Place().FilesFolder()));
    ASSERT_EQ(guard.Guard().WaitUntilReady(Platform::kInfinite), Err::Success);
    EXPECT_TRUE(guard.OnTick().empty());
    EXPECT_TRUE(balloon.shown.empty());

    Portable().Time().Set(1700000100);
    SetText(Platform::CurrentUser(), kRun, L"Intruder", L"intruder.exe");
    ASSERT_EQ(guard.OnTick().size(), 1u);
    EXPECT_EQ(balloon.shown,
              std::vector<std::wstring>{L"A new program starts with Windows|\"Intruder\" (Registry 'Run' "
                                        L"keys / User 'Run' key)\nClick here to review the startup "
                                        L"programs."});
    guard.OnBalloonClicked();
    EXPECT_EQ(poster.Posted(), std::vector<int>{GUI::Command::StartupPrograms});

    // The view on the guard's catalogue shows it; unticking removes it with a backup.
    StartupPrograms view(guard.Guard().Catalogue(), guard.Guard().Place());
    ASSERT_EQ(view.Load(), Err::Success);
    const std::optional<size_t> row = view.Reveal(kUserRun + L", Intruder");
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(view.SetChecked(*row, false), L"");
    EXPECT_FALSE(RunValueExists(L"Intruder"));
    EXPECT_EQ(SavedCount(), 1u);
    EXPECT_EQ(view.SetChecked(*view.FindLocation(kUserRun + L", Intruder"), true), L"");
    EXPECT_TRUE(RunValueExists(L"Intruder"));

    guard.SetStartupGuard(false);
    EXPECT_EQ(timer, (std::vector<bool>{true, false}));
}

TEST(BalloonTextTest, NamesUpToThreeEntries)
{
    struct Row {
        std::vector<GUI::NewEntry> appeared;
        std::wstring title, text;
    };
    const std::wstring click = L"\nClick here to review the startup programs.";
    const Row rows[] = {
        {{}, L"", L""},
        {{{L"A", L"G / C"}}, L"A new program starts with Windows", L"\"A\" (G / C)" + click},
        {{{L"A", L"G / C"}, {L"B", L"G / D"}}, L"2 new programs start with Windows", L"\"A\", \"B\"" + click},
        {{{L"A", L""}, {L"B", L""}, {L"C", L""}, {L"D", L""}, {L"E", L""}},
         L"5 new programs start with Windows",
         L"\"A\", \"B\", \"C\" and 2 more" + click},
    };
    for (const Row& row : rows) {
        const GUI::BalloonText balloon = GUI::NewEntriesBalloon(row.appeared);
        EXPECT_EQ(balloon.title, row.title);
        EXPECT_EQ(balloon.text, row.text);
    }
}

TEST(StartupViewLayoutTest, ClicksFindTheRowAndItsExpanderBoxOrText)
{
    using Part = GUI::StartupViewLayout::Part;
    GUI::StartupRow category;
    category.depth = 1;
    category.expandable = true;
    category.hasCheckBox = true;
    GUI::StartupRow child;  // a shortcut's target: no box
    child.depth = 3;
    struct Row {
        int dpi;
        GUI::Aqua::Point p;
        int scroll;
        std::optional<size_t> row;
        const GUI::StartupRow* shown;
        Part part;
    };
    const Row rows[] = {
        {96, {25, 5}, 0, 0, &category, Part::Expander},  // 4 + 16 x depth 1 = 20, 12 wide
        {96, {40, 23}, 0, 1, &category, Part::Box},      // the box from 36, 16 wide
        {96, {60, 23}, 18, 2, &category, Part::Text},    // scrolled by one row
        {96, {10, 5}, 0, 0, &category, Part::None},      // left of everything
        {96, {60, 5}, 0, 0, &child, Part::None},         // left of where a box would be (20 + 16 x depth 3)
        {96, {100, 5}, 0, 0, &child, Part::Text},
        {192, {80, 40}, 0, 1, &category, Part::Box},                       // 72 + 32 at 200%
        {96, {40, 18 * 5 + 1}, 0, std::nullopt, &category, Part::Box},     // below the last of 5 rows
        {96, {40, 400 - 118 + 1}, 0, std::nullopt, &category, Part::Box},  // in the details
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.dpi << " dpi at " << row.p.x << "," << row.p.y);
        const GUI::Aqua::Scaler s(row.dpi);
        const GUI::StartupViewLayout layout(s, {0, 0, s.Scale(388), s.Scale(400)});
        EXPECT_EQ(layout.RowAt(row.p, row.scroll, 5), row.row);
        if (row.row) {
            EXPECT_EQ(layout.PartAt({row.p.x, row.p.y + row.scroll}, *row.shown), row.part);
        }
    }
}

TEST(StartupViewLayoutTest, LongLocationsAndCommandsWrapOntoASecondLine)
{
    const GUI::Aqua::Scaler s(96);
    const GUI::StartupViewLayout layout(s, {0, 0, 388, 400});
    struct Row {
        std::wstring location, command;
        std::vector<int> heights;  // of the values drawn: entry, location, command
        std::wstring firstLine;    // of a wrapped value: up to a folder's backslash
    };
    const std::wstring longPath = L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run, Example Updater";
    const Row rows[] = {
        {L"C:\\a.lnk", L"a.exe", {13, 13, 13}, L""},
        {longPath, L"a.exe", {13, 26, 13}, L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"},
        {L"C:\\a.lnk", longPath, {13, 13, 26}, L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"},
        // No backslash where the line must end: the text wraps where it must.
        {std::wstring(80, L'x'), L"a.exe", {13, 26, 13}, L""},
    };
    for (const Row& row : rows) {
        GUI::StartupDetails details;
        details.name = L"A";
        details.location = row.location;
        details.command = row.command;
        GUI::Aqua::DrawList list;
        GUI::PaintStartupDetails(list, layout, s, details, L"");
        std::vector<int> heights;
        for (const GUI::Aqua::TextOp& text : list.Texts()) {
            if (text.rect.x > 80) {  // the values' column
                heights.push_back(text.rect.height);
                EXPECT_EQ(text.ellipsis, text.rect.height == 13);
                if (text.rect.height > 13) {
                    const size_t lineEnd = text.text.find(L'\n');
                    EXPECT_EQ(lineEnd == std::wstring::npos ? L"" : text.text.substr(0, lineEnd), row.firstLine);
                }
            }
        }
        EXPECT_EQ(heights, row.heights);
    }
}

}  // namespace
#endif
