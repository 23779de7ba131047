#pragma once
// Simple pictograms for the menu, category and row icons, each a shape in the
// square box (x, y, size) so that one drawing serves every icon size.
#include <string_view>

#include "tools/skin-art/Canvas.h"

namespace SkinArt {

// The pictogram named `name` (a menu command such as "analyze" or a category
// stem such as "network"); an empty shape for an unknown name.
Shape Pictogram(std::string_view name, float x, float y, float size);

}  // namespace SkinArt
