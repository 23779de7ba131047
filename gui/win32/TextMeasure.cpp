#include "gui/win32/TextMeasure.h"

namespace GUI {

int WrappedTextHeight(Aqua::Toolkit& toolkit, const Aqua::Scaler& scaler, HWND window, const std::wstring& text,
                      const Aqua::FontSpec& spec, int width)
{
    Gdiplus::Font* font = toolkit.Font(spec, scaler);
    if (!font || text.empty()) {
        return 0;
    }
    HDC dc = GetDC(window);
    Gdiplus::RectF box;
    {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::StringFormat format;
        format.SetTrimming(Gdiplus::StringTrimmingWord);
        graphics.MeasureString(text.c_str(), static_cast<INT>(text.size()), font,
                               Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(width), 100000.0f), &format, &box);
    }
    ReleaseDC(window, dc);
    return static_cast<int>(box.Height + 1.5f);
}

}  // namespace GUI
