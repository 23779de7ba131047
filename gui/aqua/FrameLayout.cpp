#include "gui/aqua/FrameLayout.h"

namespace GUI::Aqua {

FrameLayout::FrameLayout(Scaler scaler, int width, int height, FrameStyle style)
    : scaler_(scaler), width_(width), height_(height), style_(style)
{
}

Rect FrameLayout::CloseBox() const
{
    const int w = scaler_.Scale(28);
    return {width_ - scaler_.Scale(5) - w, scaler_.Scale(5), w, scaler_.Scale(15)};
}

Rect FrameLayout::MinimiseBox() const
{
    return {scaler_.Scale(8), scaler_.Scale(4), scaler_.Scale(16), scaler_.Scale(17)};
}

Rect FrameLayout::MaximiseBox() const
{
    if (!style_.maximiseBox) {
        return {};
    }
    const Rect m = MinimiseBox();
    return {m.right() + scaler_.Scale(4), m.y, m.width, m.height};
}

Rect FrameLayout::TextRect() const
{
    const int left = style_.maximiseBox ? MaximiseBox().right() + scaler_.Scale(4) : scaler_.Scale(28);
    const int right = CloseBox().x - scaler_.Scale(4);
    return {left, scaler_.Scale(2), right > left ? right - left : 0, scaler_.Scale(20)};
}

FrameHit FrameLayout::HitTest(Point p) const
{
    const int border = scaler_.Scale(1);
    if (p.x < border || p.x >= width_ - border || p.y < scaler_.Scale(2)) {
        return FrameHit::Border;
    }
    if (p.y >= captionHeight()) {
        return p.y < height_ - border ? FrameHit::Client : FrameHit::Border;
    }
    if (CloseBox().Contains(p)) {
        return FrameHit::Close;
    }
    if (style_.minimiseBox && MinimiseBox().Contains(p)) {
        return FrameHit::Minimise;
    }
    if (MaximiseBox().Contains(p)) {
        return FrameHit::Maximise;
    }
    return FrameHit::Caption;
}

Rect FrameLayout::ClientFromWindow(Rect window) const
{
    const int border = scaler_.Scale(1);
    Rect client{window.x + border, window.y + captionHeight(), window.width - 2 * border,
                window.height - captionHeight() - border};
    if (client.width < 0) {
        client.width = 0;
    }
    if (client.height < 0) {
        client.height = 0;
    }
    return client;
}

void FrameLayout::Paint(DrawList& list, const std::wstring& text, bool active) const
{
    const int border = scaler_.Scale(1);
    const int cap = scaler_.Scale(26);
    const int side = scaler_.Scale(5);
    list.Add(FillOp{{0, 0, width_, height_}, kBackground});
    // The border: down the left, across the bottom, up the right.
    list.Add(FillOp{{0, captionHeight() - border, border, height_ - captionHeight() + border}, kBorderColour});
    list.Add(FillOp{{0, height_ - border, width_, border}, kBorderColour});
    list.Add(
        FillOp{{width_ - border, captionHeight() - border, border, height_ - captionHeight() + border}, kBorderColour});
    const ImageLook look = active ? ImageLook::Normal : ImageLook::Grey;
    list.Add(ImageOp{L"AQUA.FRAME.LEFT", {}, {0, 0, side, cap}});
    list.Add(ImageOp{L"AQUA.FRAME.CAPTION", {}, {side, 0, width_ - 2 * side, cap}});
    list.Add(ImageOp{L"AQUA.FRAME.RIGHT", {}, {width_ - side, 0, side, cap}});
    list.Add(ImageOp{L"AQUA.FRAME.RED", {}, CloseBox(), look});
    list.Add(ImageOp{style_.minimiseBox ? L"AQUA.FRAME.YELLOW" : L"AQUA.FRAME.DISABLED", {}, MinimiseBox(), look});
    if (style_.maximiseBox) {
        list.Add(ImageOp{L"AQUA.FRAME.GREEN", {}, MaximiseBox(), look});
    }
    std::wstring shown = text.substr(0, kMaxCaptionText);
    list.Add(TextOp{TextRect(), shown, FontSpec{std::wstring(kTahoma), 14, FontUnit::Pixel, kBold},
                    active ? 0xFF000000u : 0xFF7A8591u, TextAlign::Left, true});
}

}  // namespace GUI::Aqua
