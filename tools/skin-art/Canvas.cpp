#include "tools/skin-art/Canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace SkinArt {

namespace {

// Samples per pixel along each axis; 4 x 4 gives 17 levels of coverage, which
// is smooth enough for icons and keeps the output the same on every machine
// (the arithmetic is plain float with no library functions in the hot path).
constexpr int kSamples = 4;

float Clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

uint8_t ToByte(float v)
{
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

}  // namespace

Rgba Argb(uint32_t argb)
{
    return {((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
            ((argb >> 24) & 0xFF) / 255.0f};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba WithAlpha(Rgba c, float alpha)
{
    c.a = alpha;
    return c;
}

Rgba Lighter(const Rgba& c, float t)
{
    return Mix(c, Rgba{1, 1, 1, c.a}, t);
}

Rgba Darker(const Rgba& c, float t)
{
    return Mix(c, Rgba{0, 0, 0, c.a}, t);
}

Paint Solid(Rgba c)
{
    return [c](float, float) { return c; };
}

Paint VerticalGradient(float y0, Rgba from, float y1, Rgba to)
{
    return VerticalStops({{y0, from}, {y1, to}});
}

Paint VerticalStops(std::vector<std::pair<float, Rgba>> stops)
{
    return [stops = std::move(stops)](float, float y) {
        if (y <= stops.front().first) {
            return stops.front().second;
        }
        for (size_t i = 1; i < stops.size(); ++i) {
            if (y <= stops[i].first) {
                const float span = stops[i].first - stops[i - 1].first;
                const float t = span > 0 ? (y - stops[i - 1].first) / span : 1.0f;
                return Mix(stops[i - 1].second, stops[i].second, t);
            }
        }
        return stops.back().second;
    };
}

Paint HorizontalGradient(float x0, Rgba from, float x1, Rgba to)
{
    return [=](float x, float) {
        const float t = x1 != x0 ? Clamp01((x - x0) / (x1 - x0)) : 1.0f;
        return Mix(from, to, t);
    };
}

Paint RadialGradient(Point centre, float radius, Rgba inner, Rgba outer)
{
    return [=](float x, float y) {
        const float dx = x - centre.x;
        const float dy = y - centre.y;
        const float t = Clamp01(std::sqrt(dx * dx + dy * dy) / radius);
        return Mix(inner, outer, t);
    };
}

Shape RoundRect(float x, float y, float w, float h, float radius)
{
    const float r = std::min({radius, w / 2, h / 2});
    return [=](float px, float py) {
        if (px < x || py < y || px >= x + w || py >= y + h) {
            return false;
        }
        const float cx = std::clamp(px, x + r, x + w - r);
        const float cy = std::clamp(py, y + r, y + h - r);
        const float dx = px - cx;
        const float dy = py - cy;
        return dx * dx + dy * dy <= r * r;
    };
}

Shape Ellipse(float cx, float cy, float rx, float ry)
{
    return [=](float px, float py) {
        const float dx = (px - cx) / rx;
        const float dy = (py - cy) / ry;
        return dx * dx + dy * dy <= 1.0f;
    };
}

Shape Polygon(std::vector<Point> points)
{
    return [points = std::move(points)](float px, float py) {
        int winding = 0;
        const size_t n = points.size();
        for (size_t i = 0; i < n; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % n];
            const float side = (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y);
            if (a.y <= py) {
                if (b.y > py && side > 0) {
                    ++winding;
                }
            } else if (b.y <= py && side < 0) {
                --winding;
            }
        }
        return winding != 0;
    };
}

Shape Segment(Point a, Point b, float width)
{
    return [=](float px, float py) {
        const float vx = b.x - a.x;
        const float vy = b.y - a.y;
        const float len2 = vx * vx + vy * vy;
        float t = len2 > 0 ? ((px - a.x) * vx + (py - a.y) * vy) / len2 : 0;
        t = Clamp01(t);
        const float dx = px - (a.x + vx * t);
        const float dy = py - (a.y + vy * t);
        return dx * dx + dy * dy <= width * width / 4;
    };
}

Shape Difference(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) && !b(x, y); };
}

Shape Intersection(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) && b(x, y); };
}

Shape Union(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) || b(x, y); };
}

Canvas::Canvas(int width, int height, double scale)
    : logicalWidth_(width),
      logicalHeight_(height),
      scale_(scale),
      width_(static_cast<int>(std::lround(width * scale))),
      height_(static_cast<int>(std::lround(height * scale))),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_))
{
}

void Canvas::Fill(const Shape& shape, const Paint& paint)
{
    Fill(shape, paint, 0, 0, static_cast<float>(logicalWidth_), static_cast<float>(logicalHeight_));
}

void Canvas::Fill(const Shape& shape, const Paint& paint, float x, float y, float w, float h)
{
    const float s = static_cast<float>(scale_);
    const int x0 = std::max(0, static_cast<int>(std::floor(x * s)));
    const int y0 = std::max(0, static_cast<int>(std::floor(y * s)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil((x + w) * s)));
    const int y1 = std::min(height_, static_cast<int>(std::ceil((y + h) * s)));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            Premul sum;
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float lx = (px + (sx + 0.5f) / kSamples) / s;
                    const float ly = (py + (sy + 0.5f) / kSamples) / s;
                    if (!shape(lx, ly)) {
                        continue;
                    }
                    const Rgba c = paint(lx, ly);
                    const float a = Clamp01(c.a);
                    sum.r += c.r * a;
                    sum.g += c.g * a;
                    sum.b += c.b * a;
                    sum.a += a;
                    ++hits;
                }
            }
            if (hits == 0) {
                continue;
            }
            const float n = kSamples * kSamples;
            Premul& d = pixels_[static_cast<size_t>(py) * width_ + px];
            const float sa = sum.a / n;
            d.r = sum.r / n + d.r * (1 - sa);
            d.g = sum.g / n + d.g * (1 - sa);
            d.b = sum.b / n + d.b * (1 - sa);
            d.a = sa + d.a * (1 - sa);
        }
    }
}

void Canvas::Draw(const Canvas& source, int x, int y)
{
    for (int sy = 0; sy < source.height_; ++sy) {
        for (int sx = 0; sx < source.width_; ++sx) {
            const int dx = x + sx;
            const int dy = y + sy;
            if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) {
                continue;
            }
            const Premul& s = source.pixels_[static_cast<size_t>(sy) * source.width_ + sx];
            Premul& d = pixels_[static_cast<size_t>(dy) * width_ + dx];
            d.r = s.r + d.r * (1 - s.a);
            d.g = s.g + d.g * (1 - s.a);
            d.b = s.b + d.b * (1 - s.a);
            d.a = s.a + d.a * (1 - s.a);
        }
    }
}

void Canvas::Flatten(Rgba background)
{
    for (Premul& d : pixels_) {
        d.r = d.r + background.r * (1 - d.a);
        d.g = d.g + background.g * (1 - d.a);
        d.b = d.b + background.b * (1 - d.a);
        d.a = 1;
    }
}

Rgba Canvas::PixelAt(int x, int y) const
{
    const Premul& p = pixels_[static_cast<size_t>(y) * width_ + x];
    if (p.a <= 0) {
        return {};
    }
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

std::vector<uint8_t> Canvas::ToRgba8() const
{
    std::vector<uint8_t> out;
    out.reserve(pixels_.size() * 4);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Rgba c = PixelAt(x, y);
            out.push_back(ToByte(c.r));
            out.push_back(ToByte(c.g));
            out.push_back(ToByte(c.b));
            out.push_back(ToByte(c.a));
        }
    }
    return out;
}

void Canvas::FromRgba8(const std::vector<uint8_t>& rgba)
{
    for (size_t i = 0; i < pixels_.size() && i * 4 + 3 < rgba.size(); ++i) {
        const float a = rgba[i * 4 + 3] / 255.0f;
        pixels_[i] = {rgba[i * 4] / 255.0f * a, rgba[i * 4 + 1] / 255.0f * a, rgba[i * 4 + 2] / 255.0f * a, a};
    }
}

}  // namespace SkinArt
