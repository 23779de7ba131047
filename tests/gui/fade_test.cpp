// The panels' fade: 64 steps a tick up to 224 and down to 0, a fade that
// turns round from where it is, and the timer and visibility the window follows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Fade.h"

namespace {

using GUI::Fade;

TEST(FadeTest, EachCallGivesTheOpacityTimerAndVisibility)
{
    // i = fade in, o = fade out, h = hide, t = tick.
    struct Row {
        const char* calls;
        std::vector<int> opacities;  // after each call
        bool runTimer;               // after the last call
        bool visible;
        Fade::Phase phase;
    };
    const Row rows[] = {
        {"itttt", {0, 64, 128, 192, 224}, false, true, Fade::Phase::Shown},
        {"ittttt", {0, 64, 128, 192, 224, 224}, false, true, Fade::Phase::Shown},
        {"ittttottt", {0, 64, 128, 192, 224, 224, 160, 96, 32}, true, true, Fade::Phase::FadingOut},
        {"ittttotttt", {0, 64, 128, 192, 224, 224, 160, 96, 32, 0}, false, false, Fade::Phase::Hidden},
        // A fade-out started during a fade-in continues from where it is.
        {"ittott", {0, 64, 128, 128, 64, 0}, false, false, Fade::Phase::Hidden},
        // And the other way round.
        {"ittttotit", {0, 64, 128, 192, 224, 224, 160, 160, 224}, false, true, Fade::Phase::Shown},
        {"o", {0}, false, false, Fade::Phase::Hidden},
        {"ttt", {0, 0, 0}, false, false, Fade::Phase::Hidden},
        {"itth", {0, 64, 128, 0}, false, false, Fade::Phase::Hidden},
        {"ittttii", {0, 64, 128, 192, 224, 224, 224}, false, true, Fade::Phase::Shown},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.calls);
        Fade fade;
        Fade::Step step;
        std::vector<int> seen;
        for (const char* c = row.calls; *c; ++c) {
            switch (*c) {
                case 'i':
                    step = fade.FadeIn();
                    break;
                case 'o':
                    step = fade.FadeOut();
                    break;
                case 'h':
                    step = fade.Hide();
                    break;
                default:
                    step = fade.Tick();
                    break;
            }
            EXPECT_EQ(step.opacity, fade.opacity());
            seen.push_back(step.opacity);
        }
        EXPECT_EQ(seen, row.opacities);
        EXPECT_EQ(step.runTimer, row.runTimer);
        EXPECT_EQ(step.visible, row.visible);
        EXPECT_EQ(fade.phase(), row.phase);
    }
}

}  // namespace
