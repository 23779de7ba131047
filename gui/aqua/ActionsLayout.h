#pragma once
// Where the action bar puts its visible buttons.
#include <vector>

#include "gui/aqua/Geometry.h"
#include "gui/aqua/Scale.h"

namespace GUI::Aqua {

struct PreferredSize {
    int width = 0;
    int height = 0;
};

// The buttons, given in ascending command id, share the bar's width: each
// gets its preferred width plus an equal share of what is left, with 10 pixels
// (scaled) between them and at both ends, centred vertically on a 30-pixel row.
// When the captions are wider than the bar the buttons shrink in proportion
// instead, never below zero and never past the bar. No buttons, no places.
std::vector<Rect> LayoutActions(int barWidth, int barHeight, const std::vector<PreferredSize>& buttons,
                                const Scaler& scaler);

}  // namespace GUI::Aqua
