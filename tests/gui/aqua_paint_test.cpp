// What the controls draw in each of their states, read from the draw
// operations instead of pixels.
#include <gtest/gtest.h>

#include "gui/aqua/Painters.h"

namespace GUI::Aqua {
namespace {

TEST(PaintCheckboxTest, EachStateDrawsItsFrameOfTheStrip)
{
    for (int state : {0, 1, 2, 4, 5, 6}) {
        DrawList list;
        PaintCheckbox(list, Scaler(), {10, 20, 200, 16}, state, L"Enable backup", false);
        const auto strip = list.ImagesNamed(L"XP.CHECKBOX");
        ASSERT_EQ(strip.size(), 1u);
        EXPECT_EQ(strip[0].source, (Rect{0, 16 * state, 16, 16})) << state;
        EXPECT_EQ(strip[0].dest, (Rect{10, 20, 16, 16}));
        const auto texts = list.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, L"Enable backup");
        EXPECT_EQ(texts[0].font, (FontSpec{L"Tahoma", 10, FontUnit::Point, kRegular}));
    }
    DrawList focused;
    PaintCheckbox(focused, Scaler(192), {0, 0, 200, 40}, 0, L"x", true);
    EXPECT_EQ(focused.ImagesNamed(L"XP.CHECKBOX")[0].dest, (Rect{0, 4, 32, 32}));
    EXPECT_NE(focused.Dump().find(L"focus "), std::wstring::npos);
}

TEST(PaintButtonTest, LooksForEnabledHotAndDisabledButtons)
{
    struct Case {
        ButtonLook look;
        ImageLook images;
        double gamma;
        uint32_t caption;
    };
    const Case cases[] = {
        {{true, false, 1.6}, ImageLook::Grey, 1.0, 0xFF000000},
        {{true, true, 1.6}, ImageLook::Faded, 1.6, 0xFF000000},
        {{false, true, 1.6}, ImageLook::Grey, 1.0, kDisabledTextColour},  // disabled: grey, dark caption
        {{false, false, 1.0}, ImageLook::Grey, 1.0, kDisabledTextColour},
    };
    for (const Case& c : cases) {
        DrawList list;
        PaintButton(list, Scaler(), {0, 0, 100, 30}, L"Tune Up!", c.look);
        for (const wchar_t* part : {L"AQUA.BUTTON.LEFT", L"AQUA.BUTTON.FILL", L"AQUA.BUTTON.RIGHT"}) {
            const auto images = list.ImagesNamed(part);
            ASSERT_EQ(images.size(), 1u);
            EXPECT_EQ(images[0].look, c.images);
            EXPECT_DOUBLE_EQ(images[0].gamma, c.gamma);
        }
        const auto texts = list.Texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].argb, 0xFFFFFFFFu);  // the white shadow, one pixel lower
        EXPECT_EQ(texts[0].rect.y, 1);
        EXPECT_EQ(texts[1].argb, c.caption);
        EXPECT_EQ(texts[1].align, TextAlign::Centre);
    }
    DrawList list;
    PaintButton(list, Scaler(), {0, 0, 100, 30}, L"Back", {});
    EXPECT_EQ(list.Dump(),
              L"image AQUA.BUTTON.LEFT 0,0 12x30 grey\n"
              L"image AQUA.BUTTON.FILL 12,0 76x30 tile grey\n"
              L"image AQUA.BUTTON.RIGHT 88,0 12x30 grey\n"
              L"text 0,1 100x30 #FFFFFFFF Microsoft Sans Serif 10pt centre ellipsis \"Back\"\n"
              L"text 0,0 100x30 #FF000000 Microsoft Sans Serif 10pt centre ellipsis \"Back\"\n");
}

TEST(PaintScrollbarTest, PartsFollowTheModelAndTheLooks)
{
    ScrollModel model;
    model.SetRange(950, 400, 400 - 34, 20);
    model.SetPosition(275);
    DrawList list;
    PaintScrollbar(list, Scaler(), {0, 0, 17, 400}, model, {PartLook::Hover, PartLook::Pressed, PartLook::Pressed});
    const auto buttons = list.ImagesNamed(L"XP.SCROLLBAR.BUTTON");
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].source.y, 17);  // hover
    EXPECT_EQ(buttons[1].source.y, 34);  // pressed
    EXPECT_EQ(buttons[1].dest, (Rect{0, 383, 17, 17}));
    const auto body = list.ImagesNamed(L"XP.SCROLLBAR.BODY");
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[0].source, (Rect{0, 48, 17, 6}));  // pressed thumb
    const ScrollbarParts parts = LayoutScrollbar(Scaler(), {0, 0, 17, 400}, model);
    EXPECT_EQ(body[0].dest.y, parts.thumb.y);
    EXPECT_EQ(body[2].dest.bottom(), parts.thumb.bottom());
    EXPECT_EQ(parts.thumb.height, model.thumbLength());

    // Short content: arrows disabled, no thumb.
    model.SetRange(100, 400, 366, 20);
    DrawList disabled;
    PaintScrollbar(disabled, Scaler(), {0, 0, 17, 400}, model, {PartLook::Hover, PartLook::Hover, PartLook::Hover});
    EXPECT_EQ(disabled.ImagesNamed(L"XP.SCROLLBAR.BUTTON")[0].source.y, 51);
    EXPECT_TRUE(disabled.ImagesNamed(L"XP.SCROLLBAR.BODY").empty());
}

TEST(PaintOtherControlsTest, MenuHelpStatusAndGroupBox)
{
    DrawList menu;
    PaintMenuItem(menu, Scaler(), {0, 30, 80, 72}, L"AQUA.MENU.NTUNING", L"Tuning", true, true);
    EXPECT_EQ(menu.ImagesNamed(L"AQUA.MENU.NTUNING")[0].dest, (Rect{16, 34, 48, 48}));
    EXPECT_EQ(menu.Texts()[0].font, (FontSpec{L"Verdana", 10, FontUnit::Pixel, kBold}));

    const struct {
        bool shown, hot;
        const wchar_t* image;
    } help[] = {{false, false, L"AQUA.HELPTIP.OPENHELP"},
                {false, true, L"AQUA.HELPTIP.NOPENHELP"},
                {true, false, L"AQUA.HELPTIP.CLOSEHELP"},
                {true, true, L"AQUA.HELPTIP.NCLOSEHELP"}};
    for (const auto& h : help) {
        DrawList list;
        PaintHelpButton(list, {0, 0, 24, 24}, h.shown, h.hot);
        EXPECT_EQ(list.ImagesNamed(h.image).size(), 1u) << h.image;
    }

    DrawList tip;
    PaintInfoTip(tip, Scaler(), {0, 0, 210, 235}, L"");
    ASSERT_EQ(tip.Texts().size(), 2u);
    EXPECT_EQ(tip.Texts()[0].text, L"Help Info");
    EXPECT_EQ(tip.Texts()[1].text, kNoHelpText);

    DrawList status;
    PaintStatus(status, Scaler(), {0, 0, 388, 29}, L"Tuning");
    EXPECT_EQ(status.ImagesNamed(L"AQUA.TITLE.RIGHT")[0].dest, (Rect{382, 0, 6, 29}));
    EXPECT_EQ(status.Texts()[0].argb, 0xFFFFFFFFu);
    EXPECT_EQ(status.Texts()[0].font, (FontSpec{L"Verdana", 10, FontUnit::Point, kBold}));
    // The strip is closed from cap to cap at every scale and width.
    for (const int dpi : {96, 144, 192}) {
        for (const int width : {388, 900}) {
            DrawList strip;
            PaintStatus(strip, Scaler(dpi), {0, 0, width, Scaler(dpi).Scale(29)}, L"Tuning");
            const Rect left = strip.ImagesNamed(L"AQUA.TITLE.LEFT").at(0).dest;
            const Rect fill = strip.ImagesNamed(L"AQUA.TITLE.FILL").at(0).dest;
            const Rect right = strip.ImagesNamed(L"AQUA.TITLE.RIGHT").at(0).dest;
            EXPECT_EQ(left.x + left.width, fill.x) << dpi << " dpi, " << width;
            EXPECT_EQ(fill.x + fill.width, right.x) << dpi << " dpi, " << width;
            EXPECT_EQ(right.x + right.width, width) << dpi << " dpi, " << width;
        }
    }

    DrawList group;
    PaintGroupBox(group, Scaler(), {0, 12, 200, 100}, {8, 0, 60, 24}, {}, L"", L"Backup", 0xFFFFFFFF);
    EXPECT_EQ(group.Dump(),
              L"outline 0,12 200x100 #FF979797 radius 3\n"
              L"fill 5,9 66x7 #FFFFFFFF\n"
              L"text 8,0 60x24 #FF0074FF Tahoma 10pt left ellipsis \"Backup\"\n");
}

}  // namespace
}  // namespace GUI::Aqua
