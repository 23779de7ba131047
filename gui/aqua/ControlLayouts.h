#pragma once
// Layouts of the menu and the group box.
#include <vector>

#include "gui/aqua/Geometry.h"
#include "gui/aqua/Scale.h"

namespace GUI::Aqua {

// The menu: items of `itemHeight` stacked in an 80-pixel-wide window, 30
// pixels of margin above and below (the window is as high as its items + 60).
struct MenuLayout {
    static constexpr int kWidth = 80;
    static constexpr int kMargin = 30;
    static constexpr int kCornerRadius = 5;

    MenuLayout(Scaler scaler, int itemCount, int itemHeight);
    int width() const { return scaler.Scale(kWidth); }
    int height() const;
    Rect ItemRect(int index) const;
    // The item under a point of the window, or -1.
    int ItemAt(Point p) const;

    Scaler scaler;
    int itemCount;
    int itemHeight;  // at 100%
};

// The group box: a caption row as high as the larger of 24 and the image's
// height + 8, then the children one below the other, indented by 8, each 16
// narrower than the box, 8 apart; the box's height follows.
struct GroupBoxLayout {
    Rect captionRow;
    Rect border;  // starts at the middle of the caption row
    Rect image;   // empty without an image
    Rect captionText;
    std::vector<Rect> children;
    int height = 0;
};

GroupBoxLayout LayoutGroupBox(const Scaler& scaler, int x, int y, int width, int imageWidth, int imageHeight,
                              int captionWidth, const std::vector<int>& childHeights);

}  // namespace GUI::Aqua
