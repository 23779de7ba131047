#pragma once
// The frame of the program's top-level windows: caption, caption buttons,
// border, hit test and window region, drawn from the skin.
#include <memory>
#include <string>

#include "core/rti/Dynamic.h"
#include "gui/aqua/FrameLayout.h"
#include "gui/aqua/win32/Playback.h"
#include "gui/aqua/win32/Toolkit.h"

namespace GUI {

class IFrame : public RTI::Dynamic {
public:
    virtual bool IsFrame() const = 0;
    virtual int CaptionHeight(HWND window) const = 0;
    // Draws the frame of `window` (its caption picture is rebuilt only when
    // what it shows changed) and copies it to `dc` (the window DC).
    virtual void PaintNonClient(HWND window, HDC dc) = 0;
    virtual void EraseBackground(HWND window, HDC dc, const RECT& rect) = 0;
    virtual void SetWindowRegion(HWND window, int width, int height) = 0;
    // `x`, `y` in window coordinates; returns an HT* code.
    virtual LRESULT HitTest(HWND window, int x, int y) const = 0;
    // Turns a window rectangle (screen coordinates) into the client rectangle.
    virtual void ClientFromWindow(HWND window, RECT& rect) const = 0;
    virtual int ExtraState() const = 0;
    [[nodiscard]] virtual DWORD LoadSkin(HMODULE module) = 0;
    virtual void UnloadSkin() = 0;
};

namespace Aqua {

// The window property holding the DPI a window was last told.
inline constexpr wchar_t kDpiProperty[] = L"Corvane.Dpi";

class Frame final : public IFrame {
public:
    explicit Frame(Toolkit& toolkit) : toolkit_(toolkit) {}

    bool IsFrame() const override { return true; }
    int CaptionHeight(HWND window) const override;
    void PaintNonClient(HWND window, HDC dc) override;
    void EraseBackground(HWND window, HDC dc, const RECT& rect) override;
    void SetWindowRegion(HWND window, int width, int height) override;
    LRESULT HitTest(HWND window, int x, int y) const override;
    void ClientFromWindow(HWND window, RECT& rect) const override;
    int ExtraState() const override { return 0; }
    // Loads the seven frame images; the first that is missing or does not
    // decode is reported to the user and its error returned.
    [[nodiscard]] DWORD LoadSkin(HMODULE module) override;
    void UnloadSkin() override;

    // For tests: how often the caption picture was drawn, and its pixels.
    int captionBuilds() const { return captionBuilds_; }
    const OffscreenBitmap* caption() const { return picture_.get(); }
    const DrawList& lastPaint() const { return lastPaint_; }

private:
    static FrameStyle StyleOf(HWND window);
    static FrameLayout LayoutOf(HWND window);

    Toolkit& toolkit_;
    std::unique_ptr<OffscreenBitmap> picture_;
    CaptionKey key_;
    DrawList lastPaint_;
    int captionBuilds_ = 0;
};

}  // namespace Aqua
}  // namespace GUI
