#pragma once
// The face the main window's views write in, at a size in points.
#include "gui/aqua/Fonts.h"

namespace GUI {

inline Aqua::FontSpec Verdana(double points, uint8_t style = Aqua::kRegular)
{
    return {std::wstring(Aqua::kVerdana), points, Aqua::FontUnit::Point, style};
}

}  // namespace GUI
