#include "gui/aqua/win32/Frame.h"

namespace GUI::Aqua {

namespace {

// The scale a window was last told (WM_DPICHANGED), else the system's.
int FrameDpi(HWND window)
{
    const auto told = reinterpret_cast<INT_PTR>(GetPropW(window, kDpiProperty));
    return told > 0 ? static_cast<int>(told) : WindowDpi(window);
}

}  // namespace

FrameStyle Frame::StyleOf(HWND window)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return FrameStyle{(style & WS_MINIMIZEBOX) != 0, (style & WS_MAXIMIZEBOX) != 0};
}

FrameLayout Frame::LayoutOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return FrameLayout(Scaler(FrameDpi(window)), r.right - r.left, r.bottom - r.top, StyleOf(window));
}

int Frame::CaptionHeight(HWND window) const
{
    return Scaler(FrameDpi(window)).Scale(FrameLayout::kCaptionHeight);
}

void Frame::PaintNonClient(HWND window, HDC dc)
{
    RECT r{};
    GetWindowRect(window, &r);
    CaptionKey key;
    key.width = r.right - r.left;
    key.height = r.bottom - r.top;
    key.style = StyleOf(window);
    key.active = GetActiveWindow() == window;
    key.dpi = FrameDpi(window);
    wchar_t text[FrameLayout::kMaxCaptionText + 1] = {};
    GetWindowTextW(window, text, static_cast<int>(FrameLayout::kMaxCaptionText + 1));
    key.text = text;
    if (!picture_ || !(key == key_)) {
        // Size, style, activation, scale and text all show in the picture.
        picture_.reset();
        picture_ = std::make_unique<OffscreenBitmap>(toolkit_, key.width, key.height);
        lastPaint_.Clear();
        FrameLayout(Scaler(key.dpi), key.width, key.height, key.style).Paint(lastPaint_, key.text, key.active);
        picture_->Render(lastPaint_, Scaler(key.dpi));
        key_ = key;
        ++captionBuilds_;
    }
    if (picture_->valid() && dc) {
        // Only the frame: the client area is the window's own.
        const FrameLayout layout(Scaler(key.dpi), key.width, key.height, key.style);
        const Rect client = layout.ClientFromWindow({0, 0, key.width, key.height});
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, client.x, client.y, client.right(), client.bottom());
        BitBlt(dc, 0, 0, key.width, key.height, picture_->dc(), 0, 0, SRCCOPY);
        RestoreDC(dc, saved);
    }
}

void Frame::EraseBackground(HWND, HDC dc, const RECT& rect)
{
    HBRUSH brush = CreateSolidBrush(RGB(0xD5, 0xDE, 0xE7));
    if (brush) {
        toolkit_.GdiCreated();
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        toolkit_.GdiDeleted();
    }
}

void Frame::SetWindowRegion(HWND window, int width, int height)
{
    const int radius = Scaler(FrameDpi(window)).Scale(FrameLayout::kCornerRadius);
    // The window's own rectangle with its two top corners rounded.
    HRGN region = CreateRoundRectRgn(0, 0, width + 1, 4 * radius, 2 * radius, 2 * radius);
    HRGN lower = CreateRectRgn(0, 2 * radius, width, height);
    if (region && lower) {
        CombineRgn(region, region, lower, RGN_OR);
        DeleteObject(lower);
        // The system owns the region from here.
        if (!SetWindowRgn(window, region, TRUE)) {
            DeleteObject(region);
        }
        return;
    }
    if (region) {
        DeleteObject(region);
    }
    if (lower) {
        DeleteObject(lower);
    }
}

LRESULT Frame::HitTest(HWND window, int x, int y) const
{
    switch (LayoutOf(window).HitTest({x, y})) {
        case FrameHit::Border:
            return HTBORDER;
        case FrameHit::Client:
            return HTCLIENT;
        case FrameHit::Caption:
            return HTCAPTION;
        case FrameHit::Close:
            return HTCLOSE;
        case FrameHit::Minimise:
            return HTMINBUTTON;
        case FrameHit::Maximise:
            return HTMAXBUTTON;
    }
    return HTNOWHERE;
}

void Frame::ClientFromWindow(HWND window, RECT& rect) const
{
    const Rect client =
        LayoutOf(window).ClientFromWindow({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
    rect = {client.x, client.y, client.right(), client.bottom()};
}

DWORD Frame::LoadSkin(HMODULE)
{
    for (const wchar_t* name : {L"AQUA.FRAME.LEFT", L"AQUA.FRAME.CAPTION", L"AQUA.FRAME.RIGHT", L"AQUA.FRAME.RED",
                                L"AQUA.FRAME.YELLOW", L"AQUA.FRAME.GREEN", L"AQUA.FRAME.DISABLED"}) {
        const DWORD error = toolkit_.CheckImage(name);
        if (error != 0) {
            toolkit_.Report(std::wstring(L"The window frame image ") + name + L" is missing or damaged (error " +
                                std::to_wstring(error) + L"). Please reinstall the program.",
                            L"Corvane");
            return error;
        }
    }
    return 0;
}

void Frame::UnloadSkin()
{
    picture_.reset();
    key_ = {};
}

}  // namespace GUI::Aqua
