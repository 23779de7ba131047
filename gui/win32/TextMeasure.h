#pragma once
// The height a text takes when GDI+ wraps it at words into `width` pixels,
// as the toolkit draws it; 0 for an empty text.
#include <string>

#include "gui/aqua/win32/Toolkit.h"

namespace GUI {

int WrappedTextHeight(Aqua::Toolkit& toolkit, const Aqua::Scaler& scaler, HWND window, const std::wstring& text,
                      const Aqua::FontSpec& font, int width);

}  // namespace GUI
