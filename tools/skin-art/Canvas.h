#pragma once
// An RGBA canvas for drawing the skin's artwork. Shapes are given in logical
// pixels (the size at 100%) and drawn at the canvas's scale; every pixel is
// sampled several times inside so that edges come out smooth. Colours are
// straight (not premultiplied) 8-bit RGBA at the edges of this interface and
// premultiplied floating point inside.
#include <cstdint>
#include <functional>
#include <vector>

namespace SkinArt {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;  // straight alpha, 0..1
};

// 0xAARRGGBB, as the program writes its colours.
Rgba Argb(uint32_t argb);
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba WithAlpha(Rgba c, float alpha);
Rgba Lighter(const Rgba& c, float t);  // mixes towards white
Rgba Darker(const Rgba& c, float t);   // mixes towards black

struct Point {
    float x, y;
};

// A paint gives the colour at a logical point.
using Paint = std::function<Rgba(float x, float y)>;
Paint Solid(Rgba c);
// Colour from `from` at y0 to `to` at y1, constant outside.
Paint VerticalGradient(float y0, Rgba from, float y1, Rgba to);
// Several stops along y: pairs of (y, colour), ascending y.
Paint VerticalStops(std::vector<std::pair<float, Rgba>> stops);
Paint HorizontalGradient(float x0, Rgba from, float x1, Rgba to);
// Radial: `inner` at the centre, `outer` at `radius` and beyond.
Paint RadialGradient(Point centre, float radius, Rgba inner, Rgba outer);

// A shape answers whether a logical point lies inside it.
using Shape = std::function<bool(float x, float y)>;
Shape RoundRect(float x, float y, float w, float h, float radius);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape Polygon(std::vector<Point> points);  // non-zero winding
// A band of `width` centred on the segment a-b, with round ends.
Shape Segment(Point a, Point b, float width);
Shape Difference(Shape a, Shape b);
Shape Intersection(Shape a, Shape b);
Shape Union(Shape a, Shape b);

class Canvas {
public:
    // A transparent canvas of the logical size `width` x `height` drawn at
    // `scale` (1, 1.5 or 2); the pixel size is the logical size times the
    // scale, rounded.
    Canvas(int width, int height, double scale);

    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    int logicalWidth() const { return logicalWidth_; }
    int logicalHeight() const { return logicalHeight_; }
    double scale() const { return scale_; }

    // Paints `shape` with `paint`, composited over what is there. Only the
    // logical box (x, y, w, h) is sampled: shapes must lie inside it.
    void Fill(const Shape& shape, const Paint& paint, float x, float y, float w, float h);
    // The same over the whole canvas.
    void Fill(const Shape& shape, const Paint& paint);
    // Puts another canvas's pixels at pixel offset (x, y), composited.
    void Draw(const Canvas& source, int x, int y);
    // Composites the canvas over an opaque background colour (for 24-bit art).
    void Flatten(Rgba background);

    // Straight 8-bit RGBA, rows top to bottom.
    std::vector<uint8_t> ToRgba8() const;
    void FromRgba8(const std::vector<uint8_t>& rgba);
    Rgba PixelAt(int x, int y) const;  // straight

private:
    struct Premul {
        float r = 0, g = 0, b = 0, a = 0;
    };
    int logicalWidth_;
    int logicalHeight_;
    double scale_;
    int width_;
    int height_;
    std::vector<Premul> pixels_;
};

}  // namespace SkinArt
