// Layouts and hit tests of the skinned toolkit: the frame, the action bar,
// the scroll bar, the menu and the group box, and the scale they go through.
#include <gtest/gtest.h>

#include "gui/aqua/ActionsLayout.h"
#include "gui/aqua/ControlLayouts.h"
#include "gui/aqua/FrameLayout.h"
#include "gui/aqua/Painters.h"
#include "gui/aqua/Scale.h"
#include "gui/aqua/ScrollModel.h"

namespace GUI::Aqua {
namespace {

TEST(ScalerTest, ScalesMetricsAndChoosesTheNearestArt)
{
    struct Case {
        int dpi, px, scaled, art;
        const wchar_t* name;
    };
    const Case cases[] = {
        {96, 23, 23, 100, L"AQUA.X"},      {120, 23, 29, 150, L"AQUA.X.150"},  // 125%: a tie, the larger art
        {144, 23, 35, 150, L"AQUA.X.150"}, {168, 5, 9, 200, L"AQUA.X.200"},   {192, 23, 46, 200, L"AQUA.X.200"},
        {288, -3, -9, 200, L"AQUA.X.200"}, {0, 7, 7, 100, L"AQUA.X"},  // no DPI reported: 100%
    };
    for (const Case& c : cases) {
        const Scaler s(c.dpi);
        EXPECT_EQ(s.Scale(c.px), c.scaled) << c.dpi;
        EXPECT_EQ(s.ArtPercent(), c.art) << c.dpi;
        EXPECT_EQ(s.ArtName(L"AQUA.X"), c.name) << c.dpi;
    }
}

TEST(FrameLayoutTest, HitTestAtCornersEdgesAndButtons)
{
    const FrameLayout plain(Scaler(), 390, 500, FrameStyle{true, false});
    const FrameLayout noMinimise(Scaler(), 390, 500, FrameStyle{false, false});
    const FrameLayout withMaximise(Scaler(), 390, 500, FrameStyle{true, true});
    struct Case {
        const FrameLayout* frame;
        Point p;
        FrameHit hit;
    };
    const Case cases[] = {
        {&plain, {0, 0}, FrameHit::Border},         {&plain, {389, 0}, FrameHit::Border},
        {&plain, {0, 499}, FrameHit::Border},       {&plain, {389, 499}, FrameHit::Border},
        {&plain, {200, 1}, FrameHit::Border},       {&plain, {200, 499}, FrameHit::Border},
        {&plain, {200, 10}, FrameHit::Caption},     {&plain, {200, 23}, FrameHit::Client},
        {&plain, {1, 498}, FrameHit::Client},       {&plain, {388, 100}, FrameHit::Client},
        {&plain, {357, 5}, FrameHit::Close},        {&plain, {384, 19}, FrameHit::Close},
        {&plain, {385, 12}, FrameHit::Caption},     {&plain, {8, 4}, FrameHit::Minimise},
        {&plain, {23, 20}, FrameHit::Minimise},     {&plain, {24, 12}, FrameHit::Caption},
        {&noMinimise, {15, 12}, FrameHit::Caption}, {&withMaximise, {30, 12}, FrameHit::Maximise},
        {&plain, {30, 12}, FrameHit::Caption},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.frame->HitTest(c.p), c.hit) << c.p.x << "," << c.p.y;
    }
}

// Drawing and hit testing read one layout: wherever a caption button is
// drawn, at any size and scale, a click on it hits that button.
TEST(FrameLayoutTest, CaptionButtonsAreHitWhereTheyAreDrawn)
{
    for (int dpi : {96, 144, 192}) {
        for (int width : {200, 390, 800}) {
            const FrameLayout frame(Scaler(dpi), width, 400, FrameStyle{true, true});
            DrawList list;
            frame.Paint(list, L"Corvane", true);
            const struct {
                const wchar_t* image;
                FrameHit hit;
            } buttons[] = {{L"AQUA.FRAME.RED", FrameHit::Close},
                           {L"AQUA.FRAME.YELLOW", FrameHit::Minimise},
                           {L"AQUA.FRAME.GREEN", FrameHit::Maximise}};
            for (const auto& b : buttons) {
                const auto images = list.ImagesNamed(b.image);
                ASSERT_EQ(images.size(), 1u);
                const Rect r = images[0].dest;
                for (Point p : {Point{r.x, r.y}, Point{r.right() - 1, r.bottom() - 1},
                                Point{r.x + r.width / 2, r.y + r.height / 2}}) {
                    EXPECT_EQ(frame.HitTest(p), b.hit) << dpi << " " << width;
                }
                EXPECT_EQ(frame.HitTest({r.x - 1, r.y + r.height / 2}), FrameHit::Caption) << dpi << " " << width;
            }
            // The close box stays inside the window: its right edge is 5 scaled pixels in.
            EXPECT_EQ(list.ImagesNamed(L"AQUA.FRAME.RED")[0].dest.right(), width - Scaler(dpi).Scale(5));
        }
    }
}

TEST(FrameLayoutTest, ClientRectangleAndCaptionAtTheBaseScale)
{
    const FrameLayout frame(Scaler(), 390, 500, FrameStyle{});
    EXPECT_EQ(frame.ClientFromWindow({10, 20, 390, 500}), (Rect{11, 43, 388, 476}));
    EXPECT_EQ(frame.ClientFromWindow({0, 0, 1, 10}), (Rect{1, 23, 0, 0}));
    EXPECT_EQ(frame.CloseBox(), (Rect{357, 5, 28, 15}));
    EXPECT_EQ(frame.MinimiseBox(), (Rect{8, 4, 16, 17}));
    EXPECT_EQ(frame.RegionCornerRadius(), 5);
    DrawList list;
    frame.Paint(list, std::wstring(300, L'x'), false);
    const auto texts = list.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text.size(), 260u);
    EXPECT_EQ(texts[0].rect, (Rect{28, 2, 325, 20}));
    EXPECT_TRUE(texts[0].ellipsis);
    EXPECT_EQ(list.ImagesNamed(L"AQUA.FRAME.RED")[0].look, ImageLook::Grey);  // inactive
    EXPECT_EQ(list.ImagesNamed(L"AQUA.FRAME.CAPTION")[0].dest, (Rect{5, 0, 380, 26}));
}

TEST(ActionsLayoutTest, PlacesButtonsAcrossTheBar)
{
    const Scaler s;
    struct Case {
        int barWidth;
        std::vector<PreferredSize> buttons;
        std::vector<Rect> places;
    };
    const Case cases[] = {
        {388, {}, {}},
        {388, {{60, 30}}, {{10, 9, 368, 30}}},  // one button: the bar width minus 20
        {388, {{60, 30}, {80, 30}}, {{10, 9, 169, 30}, {189, 9, 189, 30}}},
        // Captions wider than the bar shrink in proportion and stay inside it.
        {200, {{300, 30}, {100, 30}}, {{10, 9, 127, 30}, {147, 9, 42, 30}}},
        {15, {{50, 30}}, {{10, 9, 0, 30}}},
        {0, {{50, 30}, {50, 30}}, {{10, 9, 0, 30}, {20, 9, 0, 30}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LayoutActions(c.barWidth, 48, c.buttons, s), c.places) << c.barWidth;
    }
}

TEST(ScrollModelTest, RangeStepPageAndDisabledBar)
{
    struct Case {
        int content, visible;
        bool enabled;
        int step, page, maximum;
    };
    const Case cases[] = {
        {950, 400, true, 40, 360, 550}, {400, 400, false, 0, 0, 0},
        {100, 400, false, 0, 0, 0},     {12, 5, true, 1, 4, 7},  // a view shorter than 10 pixels still steps
        {10, 0, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ScrollModel m;
        m.SetRange(c.content, c.visible, 300, 20);
        EXPECT_EQ(m.enabled(), c.enabled) << c.content;
        EXPECT_EQ(m.step(), c.step) << c.content;
        EXPECT_EQ(m.page(), c.page) << c.content;
        EXPECT_EQ(m.maximum(), c.maximum) << c.content;
        EXPECT_EQ(m.StepDown(), c.enabled) << c.content;
    }
}

TEST(ScrollModelTest, ThumbFollowsThePositionAndNeverPassesTheEnd)
{
    ScrollModel m;
    m.SetRange(95 * 37, 400, 300, 20);
    EXPECT_EQ(m.thumbLength(), 34);  // 300 * 400 / 3515
    int steps = 0;
    while (m.StepDown()) {
        ++steps;
        EXPECT_LE(m.thumbOffset() + m.thumbLength(), m.trackLength());
    }
    EXPECT_EQ(steps, 78);  // 3115 / 40 rounded up
    EXPECT_EQ(m.position(), m.maximum());
    EXPECT_EQ(m.thumbOffset() + m.thumbLength(), m.trackLength());
    EXPECT_FALSE(m.StepDown());
    while (m.StepUp()) {
    }
    EXPECT_EQ(m.position(), 0);
    EXPECT_EQ(m.thumbOffset(), 0);

    // Long content: the thumb keeps its minimum length.
    m.SetRange(1000000, 400, 300, 20);
    EXPECT_EQ(m.thumbLength(), 20);
    EXPECT_TRUE(m.DragThumbTo(280));
    EXPECT_EQ(m.position(), m.maximum());
    EXPECT_TRUE(m.DragThumbTo(-50));
    EXPECT_EQ(m.position(), 0);
    // Shrinking the content keeps the position inside.
    m.SetPosition(900000);
    m.SetRange(1000, 400, 300, 20);
    EXPECT_EQ(m.position(), 600);
}

TEST(MenuLayoutTest, ItemsStackBetweenMarginsAndAreFoundByPoint)
{
    const MenuLayout menu(Scaler(), 8, 72);
    EXPECT_EQ(menu.width(), 80);
    EXPECT_EQ(menu.height(), 8 * 72 + 60);
    EXPECT_EQ(menu.ItemRect(0), (Rect{0, 30, 80, 72}));
    EXPECT_EQ(menu.ItemRect(7), (Rect{0, 534, 80, 72}));
    EXPECT_EQ(menu.ItemRect(8), Rect{});
    EXPECT_EQ(menu.ItemAt({40, 29}), -1);
    EXPECT_EQ(menu.ItemAt({40, 30}), 0);
    EXPECT_EQ(menu.ItemAt({79, 101}), 0);
    EXPECT_EQ(menu.ItemAt({79, 102}), 1);
    EXPECT_EQ(menu.ItemAt({80, 102}), -1);
    EXPECT_EQ(menu.ItemAt({0, 606}), -1);
    EXPECT_EQ(MenuLayout(Scaler(192), 2, 72).height(), 2 * 144 + 120);
}

TEST(GroupBoxLayoutTest, CaptionRowChildrenAndHeight)
{
    const Scaler s;
    GroupBoxLayout g = LayoutGroupBox(s, 10, 20, 300, 0, 0, 80, {16, 16, 30});
    EXPECT_EQ(g.captionRow, (Rect{10, 20, 300, 24}));
    EXPECT_EQ(g.border, (Rect{10, 32, 300, 98}));
    EXPECT_EQ(g.captionText, (Rect{18, 20, 80, 24}));
    ASSERT_EQ(g.children.size(), 3u);
    EXPECT_EQ(g.children[0], (Rect{18, 44, 284, 16}));
    EXPECT_EQ(g.children[1], (Rect{18, 68, 284, 16}));
    EXPECT_EQ(g.children[2], (Rect{18, 92, 284, 30}));
    EXPECT_EQ(g.height, 110);
    // A tall image makes the caption row its height + 8; the caption follows it.
    g = LayoutGroupBox(s, 0, 0, 200, 32, 32, 500, {});
    EXPECT_EQ(g.captionRow.height, 40);
    EXPECT_EQ(g.image, (Rect{8, 0, 32, 32}));
    EXPECT_EQ(g.captionText, (Rect{44, 0, 148, 40}));
    EXPECT_EQ(g.height, 48);
}

// At 150% (144 DPI) every layout is its 100% layout with each metric scaled
// and rounded half away from zero, so that nothing drifts by a pixel per
// control: the figures are the 100% ones times 1.5.
TEST(LayoutAt150PercentTest, EveryMetricIsTheBaseMetricScaled)
{
    const Scaler s(144);
    const FrameLayout frame(s, 585, 750, FrameStyle{true, false});
    const MenuLayout menu(s, 8, 72);
    const GroupBoxLayout group = LayoutGroupBox(s, 15, 30, 450, 0, 0, 120, {24, 24, 45});
    const auto actions = LayoutActions(582, 72, {{90, 45}, {120, 45}}, s);
    DrawList checkbox;
    PaintCheckbox(checkbox, s, {15, 30, 300, 24}, 5, L"Enable backup", false);
    ASSERT_EQ(actions.size(), 2u);
    struct Case {
        const char* what;
        Rect got;
        Rect expected;
    };
    const Case cases[] = {
        {"close box (357,5 28x15 in 390)", frame.CloseBox(), {535, 8, 42, 23}},
        {"minimise box (8,4 16x17)", frame.MinimiseBox(), {12, 6, 24, 26}},
        {"client area (border 1, caption 23)", frame.ClientFromWindow({0, 0, 585, 750}), {2, 35, 581, 713}},
        {"second menu item (30 + 72, 80 wide)", menu.ItemRect(1), {0, 153, 120, 108}},
        {"menu window (8 x 72 + 60)", {0, 0, menu.width(), menu.height()}, {0, 0, 120, 954}},
        {"group caption row (24 high)", group.captionRow, {15, 30, 450, 36}},
        {"group's third child (8 in, 8 apart)", group.children.at(2), {27, 138, 426, 45}},
        {"group border (from the caption's middle)", group.border, {15, 48, 450, 147}},
        {"first action button (10 in, 30 high)", actions[0], {15, 13, 253, 45}},
        {"second action button", actions[1], {283, 13, 283, 45}},
        {"check box (16 x 16)", checkbox.ImagesNamed(L"XP.CHECKBOX").at(0).dest, {15, 30, 24, 24}},
        {"check box caption (4 after the box)", checkbox.Texts().at(0).rect, {45, 30, 270, 24}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got, c.expected) << c.what;
    }
    // The strip's frames are addressed at 100%: the playback maps them onto
    // the 150% art.
    EXPECT_EQ(checkbox.ImagesNamed(L"XP.CHECKBOX").at(0).source, (Rect{0, 80, 16, 16}));
    EXPECT_EQ(s.ArtName(L"XP.CHECKBOX"), L"XP.CHECKBOX.150");
    EXPECT_EQ(frame.HitTest({535 + 41, 8 + 22}), FrameHit::Close);
    EXPECT_EQ(frame.HitTest({535 + 42, 8}), FrameHit::Caption);
}

}  // namespace
}  // namespace GUI::Aqua
