#include "gui/aqua/Painters.h"

#include <algorithm>

namespace GUI::Aqua {

namespace {

FontSpec Font(std::wstring_view family, double size, FontUnit unit = FontUnit::Point, uint8_t style = kRegular)
{
    return FontSpec{std::wstring(family), size, unit, style};
}

// Frame `index` of a vertical strip of frames `w` x `h` (in 100% pixels).
Rect StripFrame(int w, int h, int index)
{
    return {0, h * index, w, h};
}

}  // namespace

Rect CheckboxBox(const Scaler& s, Rect rect)
{
    const int box = s.Scale(16);
    return {rect.x, rect.y + (rect.height - box) / 2, box, box};
}

void PaintCheckbox(DrawList& list, const Scaler& s, Rect rect, int state, const std::wstring& caption, bool focused)
{
    const Rect box = CheckboxBox(s, rect);
    list.Add(ImageOp{L"XP.CHECKBOX", StripFrame(16, 16, std::clamp(state, 0, 6)), box});
    const Rect text{box.right() + s.Scale(4), rect.y, std::max(0, rect.right() - box.right() - s.Scale(4)),
                    rect.height};
    list.Add(TextOp{text, caption, Font(kTahoma, 10), 0xFF000000, TextAlign::Left, false});
    if (focused) {
        list.Add(FocusOp{text});
    }
}

void PaintButton(DrawList& list, const Scaler& s, Rect size, const std::wstring& caption, const ButtonLook& look)
{
    const ImageLook imageLook = look.hot && look.enabled ? ImageLook::Faded : ImageLook::Grey;
    const double gamma = imageLook == ImageLook::Faded ? look.gamma : 1.0;
    const int cap = std::min(s.Scale(12), size.width / 2);
    if (look.background != 0) {
        list.Add(FillOp{size, look.background});
    }
    list.Add(ImageOp{L"AQUA.BUTTON.LEFT", {}, {0, 0, cap, size.height}, imageLook, gamma});
    list.Add(ImageOp{L"AQUA.BUTTON.FILL",
                     {},
                     {cap, 0, std::max(0, size.width - 2 * cap), size.height},
                     imageLook,
                     gamma,
                     ImageFit::TileX});
    list.Add(ImageOp{L"AQUA.BUTTON.RIGHT", {}, {size.width - cap, 0, cap, size.height}, imageLook, gamma});
    const FontSpec font = Font(kSansSerif, 10);
    list.Add(TextOp{{0, s.Scale(1), size.width, size.height}, caption, font, 0xFFFFFFFF, TextAlign::Centre, true});
    list.Add(TextOp{{0, 0, size.width, size.height},
                    caption,
                    font,
                    look.enabled ? 0xFF000000 : kDisabledTextColour,
                    TextAlign::Centre,
                    true});
    if (look.focused) {
        list.Add(FocusOp{{s.Scale(4), s.Scale(4), size.width - s.Scale(8), size.height - s.Scale(8)}});
    }
}

void PaintActions(DrawList& list, Rect size)
{
    list.Add(ImageOp{L"AQUA.ACTIONS.LINE", {}, {0, 0, size.width, size.height}});
}

ScrollbarParts LayoutScrollbar(const Scaler& s, Rect size, const ScrollModel& model)
{
    ScrollbarParts p;
    const int arrow = std::min(s.Scale(17), size.height / 2);
    p.up = {0, 0, size.width, arrow};
    p.down = {0, size.height - arrow, size.width, arrow};
    p.track = {0, arrow, size.width, std::max(0, size.height - 2 * arrow)};
    if (model.enabled()) {
        p.thumb = {0, p.track.y + model.thumbOffset(), size.width, model.thumbLength()};
    }
    return p;
}

void PaintScrollbar(DrawList& list, const Scaler& s, Rect size, const ScrollModel& model, ScrollbarLooks looks)
{
    const ScrollbarParts p = LayoutScrollbar(s, size, model);
    const bool enabled = model.enabled();
    list.Add(ImageOp{L"XP.SCROLLBAR.SHAFT", {}, p.track});
    const PartLook up = enabled ? looks.up : PartLook::Disabled;
    const PartLook down = enabled ? looks.down : PartLook::Disabled;
    list.Add(ImageOp{L"XP.SCROLLBAR.BUTTON", StripFrame(17, 17, static_cast<int>(up)), p.up});
    list.Add(
        ImageOp{L"XP.SCROLLBAR.ARROW", StripFrame(17, 17, 0), p.up, enabled ? ImageLook::Normal : ImageLook::Faded});
    list.Add(ImageOp{L"XP.SCROLLBAR.BUTTON", StripFrame(17, 17, static_cast<int>(down)), p.down});
    list.Add(
        ImageOp{L"XP.SCROLLBAR.ARROW", StripFrame(17, 17, 1), p.down, enabled ? ImageLook::Normal : ImageLook::Faded});
    if (!enabled || p.thumb.empty()) {
        return;
    }
    const int look = std::min(2, static_cast<int>(looks.thumb));
    const int capSrc = 6;
    const int cap = std::min(s.Scale(capSrc), p.thumb.height / 2);
    const Rect body = StripFrame(17, 24, look);
    list.Add(ImageOp{L"XP.SCROLLBAR.BODY", {0, body.y, 17, capSrc}, {p.thumb.x, p.thumb.y, p.thumb.width, cap}});
    list.Add(ImageOp{L"XP.SCROLLBAR.BODY",
                     {0, body.y + capSrc, 17, 24 - 2 * capSrc},
                     {p.thumb.x, p.thumb.y + cap, p.thumb.width, p.thumb.height - 2 * cap}});
    list.Add(ImageOp{L"XP.SCROLLBAR.BODY",
                     {0, body.y + 24 - capSrc, 17, capSrc},
                     {p.thumb.x, p.thumb.bottom() - cap, p.thumb.width, cap}});
    const int grip = s.Scale(9);
    if (p.thumb.height >= grip + 2 * cap) {
        list.Add(ImageOp{L"XP.SCROLLBAR.TUMB",
                         StripFrame(17, 9, look),
                         {p.thumb.x, p.thumb.y + (p.thumb.height - grip) / 2, p.thumb.width, grip}});
    }
}

void PaintMenuBackground(DrawList& list, const Scaler& s, Rect size)
{
    list.Add(FillOp{size, kTitleStripColour, s.Scale(5)});
}

void PaintMenuItem(DrawList& list, const Scaler& s, Rect item, const std::wstring& image, const std::wstring& caption,
                   bool highlighted, bool enabled)
{
    const int icon = s.Scale(48);
    list.Add(ImageOp{image,
                     {},
                     {item.x + (item.width - icon) / 2, item.y + s.Scale(4), icon, icon},
                     enabled ? ImageLook::Normal : ImageLook::Grey});
    const uint32_t colour = !enabled ? kDisabledTextColour : highlighted ? 0xFF0074FF : 0xFF1B2F45;
    list.Add(TextOp{{item.x, item.y + s.Scale(54), item.width, s.Scale(16)},
                    caption,
                    Font(kVerdana, 10, FontUnit::Pixel, kBold),
                    colour,
                    TextAlign::Centre,
                    true});
}

void PaintHelpButton(DrawList& list, Rect size, bool popupShown, bool hot)
{
    const wchar_t* image = popupShown ? (hot ? L"AQUA.HELPTIP.NCLOSEHELP" : L"AQUA.HELPTIP.CLOSEHELP")
                                      : (hot ? L"AQUA.HELPTIP.NOPENHELP" : L"AQUA.HELPTIP.OPENHELP");
    list.Add(ImageOp{image, {}, {0, 0, size.width, size.height}});
}

void PaintInfoTip(DrawList& list, const Scaler& s, Rect size, const std::wstring& text)
{
    list.Add(FillOp{size, kInfoTipBorder, s.Scale(5)});
    list.Add(FillOp{{1, 1, size.width - 2, size.height - 2}, kInfoTipBackground, s.Scale(5)});
    const int pad = s.Scale(8);
    list.Add(TextOp{{pad, pad, size.width - 2 * pad, s.Scale(18)},
                    L"Help Info",
                    Font(kVerdana, 10, FontUnit::Point, kBold),
                    0xFF000000,
                    TextAlign::Left,
                    true});
    // Long help wraps inside the pop-up: a text op without ellipsis wraps.
    list.Add(TextOp{{pad, pad + s.Scale(24), size.width - 2 * pad, size.height - 2 * pad - s.Scale(24)},
                    text.empty() ? std::wstring(kNoHelpText) : text,
                    Font(kVerdana, 8),
                    0xFF000000,
                    TextAlign::Left,
                    false});
}

void PaintStatus(DrawList& list, const Scaler& s, Rect size, const std::wstring& title)
{
    list.Add(FillOp{size, kTitleStripColour});
    const int h = size.height;
    list.Add(ImageOp{L"AQUA.TITLE.LEFT", {}, {0, 0, s.Scale(4), h}});
    list.Add(ImageOp{L"AQUA.TITLE.FILL",
                     {},
                     // up to the right cap: a gap would show the background as a pale line
                     {s.Scale(4), 0, std::max(0, size.width - s.Scale(6) - s.Scale(4)), h},
                     ImageLook::Normal,
                     1.0,
                     ImageFit::TileX});
    list.Add(ImageOp{L"AQUA.TITLE.RIGHT", {}, {size.width - s.Scale(6), 0, s.Scale(6), h}});
    // The ornament stops short of the right cap.
    list.Add(ImageOp{L"AQUA.TITLE.RIGHTWAVE", {}, {size.width - s.Scale(206), s.Scale(1), s.Scale(200), s.Scale(27)}});
    list.Add(TextOp{{s.Scale(12), 0, size.width - s.Scale(24), h},
                    title,
                    Font(kVerdana, 10, FontUnit::Point, kBold),
                    0xFFFFFFFF,
                    TextAlign::Left,
                    true});
}

void PaintGroupBox(DrawList& list, const Scaler& s, Rect border, Rect captionText, Rect image,
                   const std::wstring& imageName, const std::wstring& caption, uint32_t background)
{
    list.Add(OutlineOp{border, kGroupBorderColour, s.Scale(3)});
    if (!image.empty()) {
        list.Add(ImageOp{imageName, {}, image});
    }
    if (!caption.empty()) {
        const int pad = s.Scale(3);
        list.Add(FillOp{{captionText.x - pad, border.y - pad, captionText.width + 2 * pad, 2 * pad + 1}, background});
        list.Add(TextOp{captionText, caption, Font(kTahoma, 10), kGroupCaptionColour, TextAlign::Left, true});
    }
}

}  // namespace GUI::Aqua
