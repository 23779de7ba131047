#pragma once
// Plain rectangles and points in device pixels, shared by the layouts, the
// hit tests and the draw operations.
namespace GUI::Aqua {

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    // Half-open: the right and bottom edges lie outside.
    bool Contains(Point p) const { return p.x >= x && p.y >= y && p.x < right() && p.y < bottom(); }
    bool operator==(const Rect&) const = default;
};

}  // namespace GUI::Aqua
