#pragma once
// Where the main window starts: at its usual place, moved just enough to lie
// inside the work area of the monitor it lands on (a monitor taken away or a
// smaller screen must never leave it out of reach).
namespace AppShell {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct ScreenPoint {
    int x = 0, y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The usual top-left corner of the main window, in pixels at 100%.
inline constexpr ScreenPoint kUsualStart{500, 100};

// The top-left corner that keeps a window of `width` x `height` at `wanted`
// inside `workArea`; a window larger than the work area keeps its top-left
// corner (and so its caption) inside it.
ScreenPoint ClampToWorkArea(ScreenPoint wanted, int width, int height, const ScreenRect& workArea);

}  // namespace AppShell
