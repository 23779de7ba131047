#pragma once
// Plays draw operations back with GDI+, and the off-screen 32-bit bitmap that
// every skinned window draws into before copying to the screen.
#include "gui/aqua/DrawList.h"
#include "gui/aqua/Scale.h"
#include "gui/aqua/win32/Toolkit.h"

namespace GUI::Aqua {

void Play(const DrawList& list, Gdiplus::Graphics& graphics, Toolkit& toolkit, const Scaler& scaler);

// A 32-bit top-down DIB section selected into a memory DC, counted by the
// toolkit. Its pixels can be read for tests.
class OffscreenBitmap {
public:
    OffscreenBitmap(Toolkit& toolkit, int width, int height);
    ~OffscreenBitmap();
    OffscreenBitmap(const OffscreenBitmap&) = delete;
    OffscreenBitmap& operator=(const OffscreenBitmap&) = delete;

    bool valid() const { return dc_ != nullptr; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // 0xAARRGGBB of a pixel (after GdiFlush).
    uint32_t Pixel(int x, int y) const;
    // Plays the list into the bitmap, clearing it first unless `clear` is false.
    void Render(const DrawList& list, const Scaler& scaler, bool clear = true);

private:
    Toolkit& toolkit_;
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace GUI::Aqua
