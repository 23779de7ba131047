#include "tools/skin-art/Pictograms.h"

#include <cmath>
#include <vector>

namespace SkinArt {

namespace {

constexpr float kPi = 3.14159265f;

// Maps unit coordinates (0..1) of the pictogram box to logical pixels.
struct Box {
    float x, y, s;
    Point P(float u, float v) const { return {x + u * s, y + v * s}; }
    float L(float u) const { return u * s; }
};

Shape Ring(const Box& b, float cu, float cv, float r, float width)
{
    const Point c = b.P(cu, cv);
    return Difference(Ellipse(c.x, c.y, b.L(r), b.L(r)), Ellipse(c.x, c.y, b.L(r - width), b.L(r - width)));
}

Shape Disc(const Box& b, float cu, float cv, float r)
{
    const Point c = b.P(cu, cv);
    return Ellipse(c.x, c.y, b.L(r), b.L(r));
}

Shape Rect(const Box& b, float u, float v, float w, float h, float radius = 0)
{
    const Point p = b.P(u, v);
    return RoundRect(p.x, p.y, b.L(w), b.L(h), b.L(radius));
}

Shape Line(const Box& b, float u0, float v0, float u1, float v1, float width)
{
    return Segment(b.P(u0, v0), b.P(u1, v1), b.L(width));
}

Shape Poly(const Box& b, std::initializer_list<Point> unitPoints)
{
    std::vector<Point> points;
    for (const Point& p : unitPoints) {
        points.push_back(b.P(p.x, p.y));
    }
    return Polygon(std::move(points));
}

// The part of the plane outside a wedge of the circle around (cu, cv) that
// opens upwards by `halfAngle` on each side.
Shape OutsideTopWedge(const Box& b, float cu, float cv, float halfAngle)
{
    const Point c = b.P(cu, cv);
    return [c, halfAngle](float x, float y) {
        const float angle = std::atan2(x - c.x, c.y - y);  // 0 straight up
        return std::fabs(angle) > halfAngle;
    };
}

Shape Magnifier(const Box& b)
{
    return Union(Ring(b, 0.42f, 0.42f, 0.28f, 0.09f), Line(b, 0.62f, 0.62f, 0.86f, 0.86f, 0.13f));
}

Shape Sliders(const Box& b)
{
    Shape s = Line(b, 0.25f, 0.15f, 0.25f, 0.85f, 0.07f);
    s = Union(s, Line(b, 0.5f, 0.15f, 0.5f, 0.85f, 0.07f));
    s = Union(s, Line(b, 0.75f, 0.15f, 0.75f, 0.85f, 0.07f));
    s = Union(s, Rect(b, 0.15f, 0.55f, 0.2f, 0.12f, 0.04f));
    s = Union(s, Rect(b, 0.4f, 0.28f, 0.2f, 0.12f, 0.04f));
    return Union(s, Rect(b, 0.65f, 0.62f, 0.2f, 0.12f, 0.04f));
}

Shape ClockArrow(const Box& b)
{
    // A circular arrow around clock hands: a backup goes back in time.
    Shape ring = Intersection(Ring(b, 0.5f, 0.52f, 0.36f, 0.09f), OutsideTopWedge(b, 0.5f, 0.52f, 0.45f));
    Shape head = Poly(b, {{0.22f, 0.08f}, {0.42f, 0.22f}, {0.2f, 0.34f}});
    Shape hands = Union(Line(b, 0.5f, 0.52f, 0.5f, 0.32f, 0.08f), Line(b, 0.5f, 0.52f, 0.64f, 0.6f, 0.08f));
    return Union(Union(ring, head), hands);
}

Shape Person(const Box& b)
{
    Shape head = Disc(b, 0.5f, 0.32f, 0.17f);
    Shape body = Intersection(Disc(b, 0.5f, 0.92f, 0.36f), Rect(b, 0, 0, 1, 0.86f));
    return Union(head, body);
}

Shape Cards(const Box& b)
{
    Shape back = Difference(Rect(b, 0.3f, 0.12f, 0.56f, 0.5f, 0.07f), Rect(b, 0.2f, 0.22f, 0.56f, 0.5f, 0.07f));
    Shape middle = Difference(Rect(b, 0.22f, 0.22f, 0.56f, 0.5f, 0.07f), Rect(b, 0.12f, 0.32f, 0.56f, 0.5f, 0.07f));
    Shape front = Rect(b, 0.14f, 0.34f, 0.56f, 0.5f, 0.07f);
    return Union(Union(back, middle), front);
}

Shape Gear(const Box& b)
{
    const Point c = b.P(0.5f, 0.5f);
    Shape teeth;
    for (int i = 0; i < 8; ++i) {
        const float a = i * kPi / 4;
        const float dx = std::sin(a);
        const float dy = -std::cos(a);
        Shape tooth = Segment({c.x + dx * b.L(0.2f), c.y + dy * b.L(0.2f)},
                              {c.x + dx * b.L(0.4f), c.y + dy * b.L(0.4f)}, b.L(0.13f));
        teeth = teeth ? Union(teeth, tooth) : tooth;
    }
    Shape body = Union(Disc(b, 0.5f, 0.5f, 0.31f), teeth);
    return Difference(body, Disc(b, 0.5f, 0.5f, 0.12f));
}

Shape Question(const Box& b)
{
    Shape arc = Intersection(Ring(b, 0.5f, 0.34f, 0.22f, 0.1f),
                             [c = b.P(0.5f, 0.34f)](float x, float y) { return y < c.y || x > c.x; });
    Shape stem = Line(b, 0.56f, 0.5f, 0.5f, 0.62f, 0.1f);
    return Union(Union(arc, stem), Disc(b, 0.5f, 0.8f, 0.07f));
}

Shape Power(const Box& b)
{
    Shape ring = Intersection(Ring(b, 0.5f, 0.54f, 0.34f, 0.09f), OutsideTopWedge(b, 0.5f, 0.54f, 0.55f));
    return Union(ring, Line(b, 0.5f, 0.12f, 0.5f, 0.5f, 0.1f));
}

Shape WindowPanes(const Box& b)
{
    Shape frame = Difference(Rect(b, 0.1f, 0.14f, 0.8f, 0.72f, 0.06f), Rect(b, 0.17f, 0.3f, 0.66f, 0.49f));
    Shape panes = Union(Union(Rect(b, 0.22f, 0.35f, 0.26f, 0.18f), Rect(b, 0.52f, 0.35f, 0.26f, 0.18f)),
                        Union(Rect(b, 0.22f, 0.56f, 0.26f, 0.18f), Rect(b, 0.52f, 0.56f, 0.26f, 0.18f)));
    return Union(frame, panes);
}

Shape Folder(const Box& b)
{
    Shape tab = Poly(b, {{0.1f, 0.2f}, {0.38f, 0.2f}, {0.46f, 0.3f}, {0.1f, 0.3f}});
    Shape back = Rect(b, 0.1f, 0.26f, 0.8f, 0.58f, 0.05f);
    Shape front = Poly(b, {{0.18f, 0.42f}, {0.96f, 0.42f}, {0.86f, 0.84f}, {0.08f, 0.84f}});
    return Union(
        Difference(Union(tab, back), Poly(b, {{0.17f, 0.38f}, {0.99f, 0.38f}, {0.89f, 0.88f}, {0.05f, 0.88f}})), front);
}

Shape Globe(const Box& b)
{
    Shape outline = Ring(b, 0.5f, 0.5f, 0.38f, 0.07f);
    const Point c = b.P(0.5f, 0.5f);
    Shape meridian = Difference(Ellipse(c.x, c.y, b.L(0.17f), b.L(0.38f)), Ellipse(c.x, c.y, b.L(0.1f), b.L(0.31f)));
    Shape lines = Union(Line(b, 0.14f, 0.5f, 0.86f, 0.5f, 0.06f), Line(b, 0.5f, 0.12f, 0.5f, 0.88f, 0.06f));
    Shape parallels = Union(Line(b, 0.2f, 0.32f, 0.8f, 0.32f, 0.05f), Line(b, 0.2f, 0.68f, 0.8f, 0.68f, 0.05f));
    return Union(Union(outline, meridian), Intersection(Union(lines, parallels), Disc(b, 0.5f, 0.5f, 0.36f)));
}

Shape Palette(const Box& b)
{
    const Point c = b.P(0.5f, 0.5f);
    Shape body = Ellipse(c.x, c.y, b.L(0.42f), b.L(0.36f));
    Shape holes = Union(Union(Disc(b, 0.3f, 0.4f, 0.07f), Disc(b, 0.48f, 0.3f, 0.07f)),
                        Union(Disc(b, 0.67f, 0.38f, 0.07f), Disc(b, 0.36f, 0.62f, 0.1f)));
    return Difference(body, holes);
}

Shape ShieldTick(const Box& b)
{
    Shape shield = Poly(b, {{0.5f, 0.08f},
                            {0.84f, 0.2f},
                            {0.8f, 0.55f},
                            {0.66f, 0.76f},
                            {0.5f, 0.92f},
                            {0.34f, 0.76f},
                            {0.2f, 0.55f},
                            {0.16f, 0.2f}});
    Shape tick = Union(Line(b, 0.33f, 0.5f, 0.46f, 0.63f, 0.09f), Line(b, 0.46f, 0.63f, 0.68f, 0.36f, 0.09f));
    return Difference(shield, tick);
}

Shape Eye(const Box& b)
{
    Shape lens = Intersection(Disc(b, 0.5f, 0.95f, 0.62f), Disc(b, 0.5f, 0.05f, 0.62f));
    Shape inner = Intersection(Disc(b, 0.5f, 0.89f, 0.54f), Disc(b, 0.5f, 0.11f, 0.54f));
    return Union(Difference(lens, inner), Disc(b, 0.5f, 0.5f, 0.15f));
}

Shape Wrench(const Box& b)
{
    Shape handle = Line(b, 0.22f, 0.8f, 0.6f, 0.42f, 0.15f);
    Shape head = Disc(b, 0.66f, 0.34f, 0.2f);
    Shape notch = Poly(b, {{0.72f, 0.1f}, {0.92f, 0.3f}, {0.7f, 0.42f}, {0.6f, 0.3f}});
    return Difference(Union(handle, head), notch);
}

Shape Chip(const Box& b)
{
    Shape body = Difference(Rect(b, 0.22f, 0.22f, 0.56f, 0.56f, 0.05f), Rect(b, 0.34f, 0.34f, 0.32f, 0.32f, 0.03f));
    Shape core = Rect(b, 0.4f, 0.4f, 0.2f, 0.2f, 0.02f);
    Shape pins;
    for (int i = 0; i < 3; ++i) {
        const float t = 0.32f + 0.15f * i;
        Shape p = Union(Union(Rect(b, t, 0.08f, 0.06f, 0.14f), Rect(b, t, 0.78f, 0.06f, 0.14f)),
                        Union(Rect(b, 0.08f, t, 0.14f, 0.06f), Rect(b, 0.78f, t, 0.14f, 0.06f)));
        pins = pins ? Union(pins, p) : p;
    }
    return Union(Union(body, core), pins);
}

Shape ArchiveBox(const Box& b)
{
    Shape lid = Rect(b, 0.1f, 0.18f, 0.8f, 0.18f, 0.04f);
    Shape body = Difference(Rect(b, 0.16f, 0.4f, 0.68f, 0.46f, 0.04f), Rect(b, 0.38f, 0.5f, 0.24f, 0.08f, 0.03f));
    return Union(lid, body);
}

}  // namespace

Shape Pictogram(std::string_view name, float x, float y, float size)
{
    const Box b{x, y, size};
    if (name == "analyze")
        return Magnifier(b);
    if (name == "tuning")
        return Sliders(b);
    if (name == "backups")
        return ClockArrow(b);
    if (name == "profiles")
        return Person(b);
    if (name == "collections")
        return Cards(b);
    if (name == "settings")
        return Gear(b);
    if (name == "onlinehelp")
        return Question(b);
    if (name == "exit")
        return Power(b);
    if (name == "windowssys")
        return WindowPanes(b);
    if (name == "filesys")
        return Folder(b);
    if (name == "network")
        return Globe(b);
    if (name == "configappearence")
        return Palette(b);
    if (name == "securityleaks")
        return ShieldTick(b);
    if (name == "privacyleaks")
        return Eye(b);
    if (name == "apptuning")
        return Wrench(b);
    if (name == "cpumemhard")
        return Chip(b);
    if (name == "backup")
        return ArchiveBox(b);
    if (name == "profile")
        return Person(b);
    return [](float, float) { return false; };
}

}  // namespace SkinArt
