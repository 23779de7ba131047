#pragma once
// The skinned frame of a top-level window: where the caption buttons are,
// what a point of the window hits, the client rectangle, and what the caption
// draws. Drawing and hit testing read the same rectangles.
#include <string>

#include "gui/aqua/DrawList.h"
#include "gui/aqua/Geometry.h"
#include "gui/aqua/Scale.h"

namespace GUI::Aqua {

enum class FrameHit { Border, Client, Caption, Close, Minimise, Maximise };

struct FrameStyle {
    bool minimiseBox = true;
    bool maximiseBox = false;
    bool operator==(const FrameStyle&) const = default;
};

// Everything the caption picture depends on: when any of it changes the
// picture is drawn again.
struct CaptionKey {
    int width = 0;
    int height = 0;
    FrameStyle style;
    bool active = true;
    int dpi = Scaler::kBaseDpi;
    std::wstring text;
    bool operator==(const CaptionKey&) const = default;
};

class FrameLayout {
public:
    static constexpr int kCaptionHeight = 23;  // at 100%
    static constexpr int kCornerRadius = 5;
    static constexpr size_t kMaxCaptionText = 260;
    static constexpr uint32_t kBorderColour = 0xFF8E9BA8;
    static constexpr uint32_t kBackground = 0xFFD5DEE7;

    // A window of `width` x `height` pixels (the whole window, frame included).
    FrameLayout(Scaler scaler, int width, int height, FrameStyle style);

    int captionHeight() const { return scaler_.Scale(kCaptionHeight); }
    Rect CloseBox() const;
    Rect MinimiseBox() const;  // the minimise image's place, whether the window has the box or not
    Rect MaximiseBox() const;  // empty without a maximise box
    Rect TextRect() const;
    // Window coordinates to what they hit.
    FrameHit HitTest(Point p) const;
    // The client area inside a window rectangle (in the same coordinates).
    Rect ClientFromWindow(Rect window) const;
    // The window region: the window's rectangle with its top corners rounded
    // by this radius.
    int RegionCornerRadius() const { return scaler_.Scale(kCornerRadius); }

    // The caption picture: border, caption images, buttons and text.
    void Paint(DrawList& list, const std::wstring& text, bool active) const;

private:
    Scaler scaler_;
    int width_;
    int height_;
    FrameStyle style_;
};

}  // namespace GUI::Aqua
