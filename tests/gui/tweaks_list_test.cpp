// The tweaks view without its window: rows, layout and hit test, the filter,
// the "Apply" selection box and the switch box saving Config.xml, and the
// keyboard.
#include <gtest/gtest.h>

#include "gui/Keyboard.h"
#include "gui/TweaksList.h"
#include "tests/gui/GuiFixture.h"

namespace {

using namespace GuiTesting;
using GUI::Hit;
using GUI::RowPart;

const std::wstring kSwitchValues =
    L"<values><value val=\"1\" descr=\"On\" main=\"1\"/><value val=\"0\" descr=\"Off\"/></values>";

class TweaksListTest : public GuiTest {
protected:
    void Build()
    {
        Catalogue({{L"A",
                    {{L"sw", true, false, L"editable=\"set\"", kSwitchValues, L"Turns the thing on"},
                     {L"dup", true, false, L"", L"", L"Plain tweak"},
                     {L"edit", false, false, L"editable=\"range\"", L"", L"Sets a NUMBER"}}},
                   {L"B", {{L"dup"}}}});
        list_.Show(M().Categories()[0], 388);
    }
    // Config.xml as the engine reads it back: name -> enabled.
    std::map<std::wstring, bool> Saved()
    {
        std::string bytes = ReadFile(M().ConfigurationPath());
        std::map<std::wstring, bool> saved;
        for (const std::wstring name : {L"sw", L"dup", L"edit"}) {
            const std::string n(name.begin(), name.end());
            for (const char* e : {"1", "0"}) {
                if (bytes.find("n=\"" + n + "\" enabled=\"" + e + "\"") != std::string::npos) {
                    saved[name] = e[0] == '1';
                }
            }
        }
        return saved;
    }
    void MakeConfiguration() { WriteFile(M().ConfigurationPath(), std::string(Tweaker::Manager::kEmptyConfiguration)); }
    GUI::TweaksList list_;
};

TEST_F(TweaksListTest, RowsAreLaidOutAndHitTested)
{
    Build();
    const auto& rows = list_.Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].link, L"Details...");
    EXPECT_EQ(rows[1].link, L"Configure...");
    EXPECT_TRUE(rows[0].twoState);
    EXPECT_EQ(rows[0].switchLabel, L"On");  // the configured value is the main choice
    EXPECT_EQ(rows[1].row, (GUI::Rect{0, 95, 371, 95}));
    EXPECT_EQ(rows[1].background, 0xFFEDF3FEu);
    EXPECT_EQ(rows[1].linkArea, (GUI::Rect{314, 107, 44, 14}));
    EXPECT_EQ(list_.ScrollRange(), 285);

    const struct {
        int scroll, x, y;
        Hit hit;
    } points[] = {
        {0, 24, 44, {0, RowPart::Switch}},
        {0, 39, 59, {0, RowPart::Switch}},
        {0, 40, 60, {0, RowPart::Row}},
        {0, 24, 139, {1, RowPart::Row}},  // no switch box on a plain tweak
        {0, 8, 74, {0, RowPart::Select}},
        {0, 8, 169, {1, RowPart::Select}},
        {0, 314, 107, {1, RowPart::Link}},
        {0, 371, 100, {}},  // the scroll bar
        {0, 10, 300, {}},   // below the last row
        {95, 8, 74, {1, RowPart::Select}},
        {95, 314, 107, {2, RowPart::Link}},
    };
    for (const auto& p : points) {
        list_.SetScroll(p.scroll);
        EXPECT_EQ(list_.HitTest(p.x, p.y), p.hit) << p.scroll << " " << p.x << "," << p.y;
    }
}

TEST_F(TweaksListTest, FilterNarrowsByNameAndDescription)
{
    Build();
    const struct {
        const wchar_t* text;
        std::vector<std::wstring> names;
    } rows[] = {
        {L"", {L"sw", L"dup", L"edit"}},  {L"DUP", {L"dup"}},       {L"number", {L"edit"}},
        {L"t", {L"sw", L"dup", L"edit"}}, {L"nothing like it", {}},
    };
    for (const auto& row : rows) {
        list_.SetFilter(row.text);
        std::vector<std::wstring> names;
        for (size_t i = 0; i < list_.Rows().size(); ++i) {
            names.push_back(list_.Rows()[i].name);
            EXPECT_EQ(list_.Rows()[i].row.top, int(95 * i));  // shown rows close up
        }
        EXPECT_EQ(names, row.names) << row.text;
    }
}

TEST_F(TweaksListTest, ApplyBoxSelectsEveryTweakOfTheNameAndSavesOrChangesNothing)
{
    Build();
    const struct {
        bool configExists;
        uint32_t status;
        bool selectedAfter;
    } rows[] = {{false, 2, true}, {true, 0, false}};
    for (const auto& row : rows) {
        if (row.configExists) {
            MakeConfiguration();
        }
        EXPECT_EQ(list_.ToggleSelection(1, M()), row.status);
        EXPECT_EQ(list_.Rows()[1].selected, row.selectedAfter);
        EXPECT_EQ(M().Categories()[1]->GetChildren()[0]->IsSelected(), row.selectedAfter);
    }
    EXPECT_EQ(Saved(), (std::map<std::wstring, bool>{{L"dup", false}}));
}

TEST_F(TweaksListTest, SwitchBoxTurnsTheTweakAndSavesIt)
{
    Build();
    MakeConfiguration();
    const struct {
        const wchar_t* label;
    } rows[] = {{L"Off"}, {L"On"}};
    for (const auto& row : rows) {
        ASSERT_EQ(list_.ToggleSwitch(0, M()), 0u);
        EXPECT_EQ(list_.Rows()[0].switchLabel, row.label);
        const std::string bytes = ReadFile(M().ConfigurationPath());
        EXPECT_NE(bytes.find(std::wstring(row.label) == L"Off" ? "curval=\"0\"" : "curval=\"1\""), std::string::npos)
            << bytes;
    }
    EXPECT_EQ(list_.ToggleSwitch(1, M()), 87u);  // not a switch
}

TEST_F(TweaksListTest, ChangesAreRefusedWhileARunIsActive)
{
    Build();
    MakeConfiguration();
    struct Hold final : RTI::ITracer {
        TweakerTesting::Latch reached, release;
        void Begin(const void*, unsigned st) override
        {
            if (st == 0) {
                reached.Open();
                release.Wait();
            }
        }
        void End(const void*, unsigned) override {}
        void Trace(uint32_t, int32_t, int32_t) override {}
    } hold;
    M().StartAnalysis(&hold);
    hold.reached.Wait();
    EXPECT_EQ(list_.ToggleSelection(1, M()), GUI::kRunActive);
    EXPECT_EQ(list_.ToggleSwitch(0, M()), GUI::kRunActive);
    hold.release.Open();
    ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    EXPECT_TRUE(list_.Rows()[1].selected);
    EXPECT_EQ(list_.Rows()[0].switchLabel, L"On");
    EXPECT_TRUE(Saved().empty());
}

TEST_F(TweaksListTest, KeysReachEveryCommand)
{
    Build();
    using GUI::Key;
    using K = GUI::KeyResult::Kind;
    const std::vector<int> buttons = {5022};
    const intptr_t dup = reinterpret_cast<intptr_t>(list_.Rows()[1].tweak.Get());
    const struct {
        Key key;
        int focus;
        GUI::KeyResult result;
    } steps[] = {
        {Key::Space, -1, {}},
        {Key::F5, -1, {K::Command, 5001}},
        {Key::Escape, -1, {K::Command, 5022}},
        {Key::Tab, 0, {}},
        {Key::Enter, 0, {K::Command, 5022}},
        {Key::Tab, 1, {}},  // sw: Apply
        {Key::Space, 1, {K::ToggleSelect, 0, 0, 0}},
        {Key::Tab, 2, {}},  // sw: switch
        {Key::Space, 2, {K::ToggleSwitch, 0, 0, 0}},
        {Key::Tab, 3, {}},  // dup: Apply (no switch)
        {Key::Enter, 3, {K::Command, 5020, dup}},
        {Key::Tab, 4, {}},
        {Key::Tab, 0, {}},  // round again
        {Key::ShiftTab, 4, {}},
    };
    GUI::Keyboard keyboard;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const GUI::KeyResult r = keyboard.Press(steps[i].key, buttons, list_.Rows());
        EXPECT_EQ(r, steps[i].result) << i;
        EXPECT_EQ(keyboard.FocusIndex(), steps[i].focus) << i;
    }
    // Esc takes each view's way back.
    const struct {
        std::vector<int> buttons;
        int command;
    } backs[] = {{{5021}, 5021}, {{5008, 5010}, 5010}, {{5033}, 5033}, {{5007, 5017}, 5007}, {{5002, 5004, 5015}, 0}};
    for (const auto& back : backs) {
        EXPECT_EQ(keyboard.Press(Key::Escape, back.buttons, {}).command, back.command);
    }
}

}  // namespace
