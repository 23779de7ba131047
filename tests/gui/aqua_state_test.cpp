// State machines of the skinned toolkit: the check box, presses and the wheel,
// the hover pulse and the choice of a font family.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/aqua/CheckboxState.h"
#include "gui/aqua/Fonts.h"
#include "gui/aqua/HoverPulse.h"
#include "gui/aqua/MouseRules.h"

namespace GUI::Aqua {
namespace {

// Events: 'p'/'P' press outside/inside the box, 'm'/'M' move outside/inside,
// 'l' leave, 'r'/'R' release outside/inside, 'k' Space or Enter.
struct CheckboxCase {
    bool ticked;
    const char* events;
    std::vector<int> states;  // after each event
    int toggles;
};

TEST(CheckboxStateTest, MouseAndKeyboardMoveTheStates)
{
    const CheckboxCase cases[] = {
        {false, "M", {1}, 0},         {false, "Mm", {1, 0}, 0},        {true, "Mm", {5, 4}, 0},
        {false, "MPR", {1, 2, 5}, 1},  // a click ticks, the pointer still over it
        {true, "MPR", {5, 6, 1}, 1},   // and unticks
        {false, "PmR", {2, 0, 5}, 1},  // released over the box after a detour: a click
        {false, "PMR", {2, 2, 5}, 1},  // dragged around but back over it: a click
        {false, "Pmr", {2, 0, 0}, 0},  // pressed and dragged outside: normal again, tick unchanged
        {true, "Pmr", {6, 4, 4}, 0},  {true, "PmMr", {6, 4, 6, 4}, 0},  // pressed look back while over it; released
                                                                        // outside: unchanged
        {false, "pR", {0, 0}, 0},                                       // the press began elsewhere
        {false, "Ml", {1, 0}, 0},     {true, "Pl", {6, 4}, 0},         {false, "kk", {4, 0}, 2},
        {false, "Mk", {1, 5}, 1},
    };
    for (const CheckboxCase& c : cases) {
        CheckboxState box(c.ticked);
        int toggles = 0;
        std::vector<int> states;
        for (const char* e = c.events; *e; ++e) {
            CheckboxState::Change change;
            switch (*e) {
                case 'p':
                    change = box.OnPress(false);
                    break;
                case 'P':
                    change = box.OnPress(true);
                    break;
                case 'm':
                    change = box.OnMove(false);
                    break;
                case 'M':
                    change = box.OnMove(true);
                    break;
                case 'l':
                    change = box.OnLeave();
                    break;
                case 'r':
                    change = box.OnRelease(false);
                    break;
                case 'R':
                    change = box.OnRelease(true);
                    break;
                case 'k':
                    change = box.OnKey();
                    break;
            }
            toggles += change.toggled ? 1 : 0;
            states.push_back(box.state());
        }
        EXPECT_EQ(states, c.states) << c.events << (c.ticked ? " ticked" : "");
        EXPECT_EQ(toggles, c.toggles) << c.events;
        EXPECT_EQ(box.StripFrame(), box.state());
    }
}

TEST(PressTrackerTest, ActsOnlyWhenThePressBeganThereAndItIsStillEnabled)
{
    struct Case {
        int pressOn;
        bool enabledAtPress;
        int releaseOn;
        bool enabledAtRelease;
        bool captured;
        int acts;
    };
    const Case cases[] = {
        {5001, true, 5001, true, true, 5001}, {5001, true, 5002, true, true, 0},  // released over another item
        {5001, true, 0, true, true, 0},                                           // released outside
        {0, true, 5001, true, false, 0},                                          // pressed outside, released on it
        {5001, false, 5001, true, false, 0},                                      // disabled at the press
        {5001, true, 5001, false, true, 0},                                       // disabled while held
    };
    for (const Case& c : cases) {
        PressTracker t;
        EXPECT_EQ(t.OnPress(c.pressOn, c.enabledAtPress), c.captured);
        EXPECT_EQ(t.OnRelease(c.releaseOn, c.enabledAtRelease), c.acts);
        EXPECT_EQ(t.pressed(), 0);
    }
    PressTracker t;
    ASSERT_TRUE(t.OnPress(7, true));
    t.Cancel();
    EXPECT_EQ(t.OnRelease(7, true), 0);
}

TEST(WheelAccumulatorTest, StepsOncePerNotchAndKeepsTheRest)
{
    struct Case {
        std::vector<int> deltas;
        std::vector<int> steps;
    };
    const Case cases[] = {
        {{120, 120, -120}, {1, 1, -1}},   {{240}, {2}},
        {{40, 40, 40, 40}, {0, 0, 1, 0}}, {{60, -60, -60}, {0, 0, -1}},  // a change of direction drops the rest
        {{-30, -100, 10}, {0, -1, 0}},
    };
    for (const Case& c : cases) {
        WheelAccumulator w;
        std::vector<int> steps;
        for (int d : c.deltas) {
            steps.push_back(w.Add(d));
        }
        EXPECT_EQ(steps, c.steps);
    }
}

TEST(HoverPulseTest, SwingsBetweenItsBoundsAndRestsAtOne)
{
    HoverPulse pulse;
    EXPECT_DOUBLE_EQ(pulse.gamma(), 1.0);
    pulse.Tick();
    EXPECT_DOUBLE_EQ(pulse.gamma(), 1.0);  // stopped: no change
    pulse.Start();
    std::vector<double> seen{pulse.gamma()};
    for (int i = 0; i < 13; ++i) {
        pulse.Tick();
        seen.push_back(pulse.gamma());
    }
    const std::vector<double> expected{1.8, 1.6, 1.4, 1.2, 1.0, 0.8, 1.0, 1.2, 1.4, 1.6, 1.8, 1.6, 1.4, 1.2};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_DOUBLE_EQ(seen[i], expected[i]) << i;
    }
    pulse.Stop();
    EXPECT_FALSE(pulse.running());
    EXPECT_DOUBLE_EQ(pulse.gamma(), 1.0);
}

TEST(FontsTest, TextAlwaysFindsAnInstalledFamily)
{
    struct Case {
        const wchar_t* requested;
        std::vector<std::wstring> installed;
        const wchar_t* chosen;
    };
    const Case cases[] = {
        {L"Verdana", {L"Arial", L"verdana"}, L"verdana"},
        {L"Tahoma", {L"Arial", L"Microsoft Sans Serif"}, L"Microsoft Sans Serif"},
        {L"Tahoma", {L"Arial", L"Segoe UI"}, L"Segoe UI"},
        {L"Verdana", {L"DejaVu Sans", L"Liberation Sans", L"Arial"}, L"Arial"},
        {L"Verdana", {L"DejaVu Sans", L"Liberation Sans"}, L"Liberation Sans"},
        {L"Verdana", {L"Wingbats", L"DejaVu Sans"}, L"DejaVu Sans"},
        {L"Verdana", {L"@Vertical", L"Some Family"}, L"Some Family"},
        {L"Verdana", {}, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseFontFamily(c.requested, c.installed), c.chosen) << c.requested;
    }
}

}  // namespace
}  // namespace GUI::Aqua
