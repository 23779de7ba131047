#include "gui/aqua/win32/Playback.h"

#include <cmath>
#include <string>
#include <variant>

#include "gui/aqua/TextFit.h"

namespace GUI::Aqua {

namespace {

Gdiplus::Color Colour(uint32_t argb)
{
    return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb));
}

void RoundedPath(Gdiplus::GraphicsPath& path, const Rect& r, int radius)
{
    const int d = std::min({radius * 2, r.width, r.height});
    if (d <= 1) {
        path.AddRectangle(Gdiplus::Rect(r.x, r.y, r.width, r.height));
        return;
    }
    path.AddArc(r.x, r.y, d, d, 180, 90);
    path.AddArc(r.right() - d, r.y, d, d, 270, 90);
    path.AddArc(r.right() - d, r.bottom() - d, d, d, 0, 90);
    path.AddArc(r.x, r.bottom() - d, d, d, 90, 90);
    path.CloseFigure();
}

void PlayImage(const ImageOp& op, Gdiplus::Graphics& g, Toolkit& toolkit, const Scaler& scaler)
{
    const SkinImage image = toolkit.Image(op.image, scaler);
    if (!image || op.dest.empty()) {
        return;  // missing images are skipped
    }
    Gdiplus::ImageAttributes attributes;
    // Without this, stretching a narrow slice blends its edges with nothing
    // (transparent black) and draws dark seams.
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    if (op.look == ImageLook::Grey) {
        const Gdiplus::REAL t = 1.0f / 3;
        Gdiplus::ColorMatrix grey = {
            {{t, t, t, 0, 0}, {t, t, t, 0, 0}, {t, t, t, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
        attributes.SetColorMatrix(&grey);
    } else if (op.look == ImageLook::Faded) {
        Gdiplus::ColorMatrix half = {
            {{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0.5f, 0}, {0, 0, 0, 0, 1}}};
        attributes.SetColorMatrix(&half);
        attributes.SetGamma(static_cast<Gdiplus::REAL>(op.gamma));
    }
    const double s = image.artScale;
    Gdiplus::Rect src = op.source.empty() ? Gdiplus::Rect(0, 0, static_cast<INT>(image.bitmap->GetWidth()),
                                                          static_cast<INT>(image.bitmap->GetHeight()))
                                          : Gdiplus::Rect(static_cast<INT>(std::lround(op.source.x * s)),
                                                          static_cast<INT>(std::lround(op.source.y * s)),
                                                          static_cast<INT>(std::lround(op.source.width * s)),
                                                          static_cast<INT>(std::lround(op.source.height * s)));
    if (src.Width <= 0 || src.Height <= 0) {
        return;
    }
    auto draw = [&](const Gdiplus::Rect& dest, INT srcWidth) {
        // Art drawn for this scale lands pixel for pixel: no resampling needed.
        const bool exact = dest.Width == srcWidth && dest.Height == src.Height;
        g.SetInterpolationMode(exact ? Gdiplus::InterpolationModeNearestNeighbor
                                     : Gdiplus::InterpolationModeHighQualityBicubic);
        g.DrawImage(image.bitmap, dest, src.X, src.Y, srcWidth, src.Height, Gdiplus::UnitPixel, &attributes);
    };
    if (op.fit == ImageFit::TileX) {
        // One brush fill instead of a draw per tile: a one-pixel slice across a
        // wide strip would otherwise cost hundreds of draws.
        attributes.SetWrapMode(Gdiplus::WrapModeTile);
        Gdiplus::TextureBrush brush(image.bitmap, src, &attributes);
        const Gdiplus::REAL scale = static_cast<Gdiplus::REAL>(op.dest.height) / static_cast<Gdiplus::REAL>(src.Height);
        brush.TranslateTransform(static_cast<Gdiplus::REAL>(op.dest.x), static_cast<Gdiplus::REAL>(op.dest.y));
        brush.ScaleTransform(scale, scale);
        g.FillRectangle(&brush, op.dest.x, op.dest.y, op.dest.width, op.dest.height);
    } else {
        draw(Gdiplus::Rect(op.dest.x, op.dest.y, op.dest.width, op.dest.height), src.Width);
    }
}

void PlayText(const TextOp& op, Gdiplus::Graphics& g, Toolkit& toolkit, const Scaler& scaler)
{
    Gdiplus::Font* font = toolkit.Font(op.font, scaler);
    if (!font || op.text.empty()) {
        return;
    }
    Gdiplus::StringFormat format;
    format.SetAlignment(op.align == TextAlign::Centre  ? Gdiplus::StringAlignmentCenter
                        : op.align == TextAlign::Right ? Gdiplus::StringAlignmentFar
                                                       : Gdiplus::StringAlignmentNear);
    if (op.ellipsis) {
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    } else {
        format.SetLineAlignment(Gdiplus::StringAlignmentNear);
        format.SetTrimming(Gdiplus::StringTrimmingWord);
    }
    Gdiplus::SolidBrush brush(Colour(op.argb));
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(op.rect.x), static_cast<Gdiplus::REAL>(op.rect.y),
                             static_cast<Gdiplus::REAL>(op.rect.width), static_cast<Gdiplus::REAL>(op.rect.height));
    std::wstring text = op.text;
    if (op.ellipsis) {
        // Measured as drawn (with GDI+'s padding), on one line.
        Gdiplus::StringFormat oneLine;
        oneLine.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
        text = FitWithEllipsis(text, op.rect.width, [&](const std::wstring& t) {
            Gdiplus::RectF measured;
            g.MeasureString(t.c_str(), static_cast<INT>(t.size()), font, Gdiplus::PointF(0, 0), &oneLine, &measured);
            return static_cast<double>(measured.Width);
        });
    }
    g.DrawString(text.c_str(), static_cast<INT>(text.size()), font, box, &format, &brush);
}

}  // namespace

void Play(const DrawList& list, Gdiplus::Graphics& g, Toolkit& toolkit, const Scaler& scaler)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    for (const DrawOp& op : list.ops()) {
        if (const auto* image = std::get_if<ImageOp>(&op)) {
            PlayImage(*image, g, toolkit, scaler);
        } else if (const auto* fill = std::get_if<FillOp>(&op)) {
            Gdiplus::SolidBrush brush(Colour(fill->argb));
            if (fill->radius > 0) {
                Gdiplus::GraphicsPath path;
                RoundedPath(path, fill->rect, fill->radius);
                g.FillPath(&brush, &path);
            } else {
                g.FillRectangle(&brush, fill->rect.x, fill->rect.y, fill->rect.width, fill->rect.height);
            }
        } else if (const auto* outline = std::get_if<OutlineOp>(&op)) {
            Gdiplus::Pen pen(Colour(outline->argb), 1);
            const Rect r{outline->rect.x, outline->rect.y, outline->rect.width - 1, outline->rect.height - 1};
            Gdiplus::GraphicsPath path;
            RoundedPath(path, r, outline->radius);
            g.DrawPath(&pen, &path);
        } else if (const auto* text = std::get_if<TextOp>(&op)) {
            PlayText(*text, g, toolkit, scaler);
        } else if (const auto* focus = std::get_if<FocusOp>(&op)) {
            Gdiplus::Pen pen(Gdiplus::Color(255, 64, 64, 64), 1);
            pen.SetDashStyle(Gdiplus::DashStyleDot);
            g.DrawRectangle(&pen, focus->rect.x, focus->rect.y, focus->rect.width - 1, focus->rect.height - 1);
        }
    }
}

OffscreenBitmap::OffscreenBitmap(Toolkit& toolkit, int width, int height)
    : toolkit_(toolkit), width_(std::max(1, width)), height_(std::max(1, height))
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) {
        return;
    }
    toolkit_.GdiCreated();
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) {
        DeleteObject(bitmap_);
        toolkit_.GdiDeleted();
        bitmap_ = nullptr;
        return;
    }
    toolkit_.GdiCreated();
    old_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<uint32_t*>(bits);
}

OffscreenBitmap::~OffscreenBitmap()
{
    if (dc_) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        toolkit_.GdiDeleted();
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        toolkit_.GdiDeleted();
    }
}

uint32_t OffscreenBitmap::Pixel(int x, int y) const
{
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    GdiFlush();
    return bits_[static_cast<size_t>(y) * width_ + x];
}

void OffscreenBitmap::Render(const DrawList& list, const Scaler& scaler, bool clear)
{
    if (!dc_) {
        return;
    }
    if (clear) {
        std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, 0u);
    }
    Gdiplus::Graphics graphics(dc_);
    Play(list, graphics, toolkit_, scaler);
}

}  // namespace GUI::Aqua
