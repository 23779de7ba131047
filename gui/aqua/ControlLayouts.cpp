#include "gui/aqua/ControlLayouts.h"

#include <algorithm>

namespace GUI::Aqua {

MenuLayout::MenuLayout(Scaler s, int count, int height) : scaler(s), itemCount(std::max(0, count)), itemHeight(height)
{
}

int MenuLayout::height() const
{
    return scaler.Scale(itemHeight) * itemCount + 2 * scaler.Scale(kMargin);
}

Rect MenuLayout::ItemRect(int index) const
{
    if (index < 0 || index >= itemCount) {
        return {};
    }
    const int h = scaler.Scale(itemHeight);
    return {0, scaler.Scale(kMargin) + h * index, width(), h};
}

int MenuLayout::ItemAt(Point p) const
{
    for (int i = 0; i < itemCount; ++i) {
        if (ItemRect(i).Contains(p)) {
            return i;
        }
    }
    return -1;
}

GroupBoxLayout LayoutGroupBox(const Scaler& scaler, int x, int y, int width, int imageWidth, int imageHeight,
                              int captionWidth, const std::vector<int>& childHeights)
{
    GroupBoxLayout g;
    const int eight = scaler.Scale(8);
    const int rowHeight = std::max(scaler.Scale(24), imageHeight > 0 ? imageHeight + eight : 0);
    g.captionRow = {x, y, width, rowHeight};
    int textX = x + eight;
    if (imageWidth > 0 && imageHeight > 0) {
        g.image = {x + eight, y, imageWidth, imageHeight};
        textX = g.image.right() + scaler.Scale(4);
    }
    g.captionText = {textX, y, std::min(captionWidth, std::max(0, x + width - eight - textX)), rowHeight};
    int cy = y + rowHeight;
    for (int h : childHeights) {
        g.children.push_back({x + eight, cy, std::max(0, width - 2 * eight), h});
        cy += h + eight;
    }
    if (childHeights.empty()) {
        cy += eight;
    }
    g.height = cy - y;
    g.border = {x, y + rowHeight / 2, width, g.height - rowHeight / 2};
    return g;
}

}  // namespace GUI::Aqua
