#include "tools/skin-art/Artwork.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "tools/skin-art/Pictograms.h"

namespace SkinArt {

namespace {

// The palette: the title strip and row colours of the program, a clear blue
// accent and a few soft signal colours.
const Rgba kWhite = Argb(0xFFFFFFFF);
const Rgba kBlue = Argb(0xFF2E8BF0);
const Rgba kSlate = Argb(0xFF4D6F91);
const Rgba kBorder = Argb(0xFF8E9BA8);
const Rgba kGreen = Argb(0xFF4CB848);
const Rgba kYellow = Argb(0xFFF5B82E);
const Rgba kRed = Argb(0xFFE25B45);
const Rgba kOrange = Argb(0xFFF07830);
const Rgba kGray = Argb(0xFFB9C2CB);

Shape Everywhere()
{
    return [](float, float) { return true; };
}

// A glassy rounded rectangle: a bright top fading into the base colour, a
// soft white gloss over the upper half and a darker rim.
void GlossyRoundRect(Canvas& c, float x, float y, float w, float h, float r, Rgba base, bool rim = true)
{
    if (rim) {
        c.Fill(RoundRect(x, y, w, h, r), Solid(Darker(base, 0.28f)), x, y, w, h);
        x += 1, y += 1, w -= 2, h -= 2, r = std::max(0.0f, r - 1);
    }
    c.Fill(RoundRect(x, y, w, h, r),
           VerticalStops({{y, Lighter(base, 0.45f)}, {y + h * 0.5f, base}, {y + h, Lighter(base, 0.3f)}}), x, y, w, h);
    const float gh = h * 0.48f;
    c.Fill(Intersection(RoundRect(x, y, w, h, r), RoundRect(x + 1, y, w - 2, gh, std::min(r, gh / 2))),
           VerticalGradient(y, WithAlpha(kWhite, 0.75f), y + gh, WithAlpha(kWhite, 0.12f)), x, y, w, h);
}

void GlossyOrb(Canvas& c, float cx, float cy, float r, Rgba base)
{
    c.Fill(Ellipse(cx, cy, r, r), Solid(Darker(base, 0.3f)), cx - r, cy - r, 2 * r, 2 * r);
    const float ir = r - 1;
    c.Fill(Ellipse(cx, cy, ir, ir), RadialGradient({cx, cy + ir * 0.45f}, ir * 1.3f, Lighter(base, 0.35f), base),
           cx - ir, cy - ir, 2 * ir, 2 * ir);
    c.Fill(Ellipse(cx, cy - ir * 0.42f, ir * 0.72f, ir * 0.5f),
           VerticalGradient(cy - ir, WithAlpha(kWhite, 0.85f), cy, WithAlpha(kWhite, 0.1f)), cx - ir, cy - ir, 2 * ir,
           ir);
}

void SoftShadow(Canvas& c, float cx, float cy, float rx, float ry, Rgba colour)
{
    c.Fill(Ellipse(cx, cy, rx, ry), RadialGradient({cx, cy}, rx, colour, WithAlpha(colour, 0)), cx - rx, cy - ry,
           2 * rx, 2 * ry);
}

Shape Cross(float cx, float cy, float half, float width)
{
    return Union(Segment({cx - half, cy - half}, {cx + half, cy + half}, width),
                 Segment({cx - half, cy + half}, {cx + half, cy - half}, width));
}

Shape Star(float cx, float cy, float outer, float inner)
{
    std::vector<Point> points;
    for (int i = 0; i < 10; ++i) {
        const float a = i * 3.14159265f / 5;
        const float r = i % 2 ? inner : outer;
        points.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return Polygon(std::move(points));
}

Rgba CategoryColour(const std::string& stem)
{
    static const std::map<std::string, uint32_t> colours = {
        {"windowssys", 0xFF2E8BF0},       {"filesys", 0xFFEFA12E},       {"network", 0xFF1FA6C6},
        {"configappearence", 0xFFA65BD6}, {"securityleaks", 0xFF3DAA5A}, {"privacyleaks", 0xFFE25B45},
        {"apptuning", 0xFFF07830},        {"cpumemhard", 0xFF5F6F86},
    };
    const auto it = colours.find(stem);
    return it == colours.end() ? kBlue : Argb(it->second);
}

// --- drawings, one per kind of image --------------------------------------

void DrawButton(Canvas& c, const std::string& part)
{
    // One pill 40 wide, of which each slice shows its part: the left cap, the
    // middle, or the right cap.
    const float x = part == "left" ? 0.0f : part == "right" ? c.logicalWidth() - 40.0f : -18.0f;
    GlossyRoundRect(c, x, 1, 40, 28, 12, kBlue);
}

void DrawHelptip(Canvas& c, const std::string& state)
{
    const bool hot = state.find("hot") != std::string::npos;
    const bool close = state.rfind("close", 0) == 0;
    const Rgba base = close ? (hot ? kRed : Argb(0xFF8F9DAC)) : (hot ? kBlue : Argb(0xFF6F9CC9));
    GlossyOrb(c, 12, 12, 11, base);
    if (close) {
        c.Fill(Cross(12, 12.5f, 4, 2.4f), Solid(kWhite));
    } else {
        c.Fill(Pictogram("onlinehelp", 4, 4.5f, 16), Solid(kWhite));
    }
}

void DrawMenu(Canvas& c, const std::string& name, bool hot)
{
    if (hot) {
        SoftShadow(c, 24, 44, 17, 3.5f, WithAlpha(Argb(0xFF1F4F8F), 0.35f));
        GlossyOrb(c, 24, 23, 21, kBlue);
        c.Fill(Pictogram(name, 11, 10, 26), Solid(kWhite));
    } else {
        c.Fill(Ellipse(24, 23, 21, 21), Solid(WithAlpha(Argb(0xFFB5C3D1), 0.9f)));
        c.Fill(Ellipse(24, 23, 20, 20), VerticalGradient(3, kWhite, 43, Argb(0xFFE6ECF2)));
        c.Fill(Pictogram(name, 11, 10, 26), VerticalGradient(10, Lighter(kSlate, 0.2f), 36, Darker(kSlate, 0.1f)));
    }
}

// A coloured glossy tile with a white pictogram: category, tweak and row icons.
void DrawTile(Canvas& c, const std::string& pictogram, Rgba colour, Rgba shadow)
{
    SoftShadow(c, 16, 29.5f, 13, 2.5f, shadow);
    GlossyRoundRect(c, 2, 1, 28, 28, 7, colour);
    c.Fill(Pictogram(pictogram, 6.5f, 5.5f, 19), Solid(WithAlpha(kWhite, 0.97f)));
}

void DrawCategory(Canvas& c, const std::string& stem, bool onBlue)
{
    DrawTile(c, stem, CategoryColour(stem), WithAlpha(onBlue ? Argb(0xFF1F4F8F) : Argb(0xFF000000), 0.3f));
}

void DrawRow(Canvas& c, const std::string& which)
{
    const bool odd = which.find("odd") != std::string::npos;
    const bool backup = which.rfind("backup", 0) == 0;
    DrawTile(c, backup ? "backup" : "profile", backup ? Argb(0xFF2A9D8F) : Argb(0xFF5C7CFA),
             WithAlpha(odd ? Argb(0xFF1F4F8F) : Argb(0xFF000000), 0.3f));
}

void DrawMedal(Canvas& c, const std::string& kind)
{
    const Rgba colour = kind == "gold"     ? Argb(0xFFE8B634)
                        : kind == "silver" ? Argb(0xFFAEB8C2)
                        : kind == "custom" ? Argb(0xFF3DAA5A)
                                           : kBlue;
    const Rgba ribbon = kind == "custom" ? Argb(0xFF2E8BF0) : Argb(0xFFE25B45);
    c.Fill(Polygon({{13, 18}, {19, 20}, {15, 33}, {12.5f, 30}, {9.5f, 31}}), Solid(ribbon));
    c.Fill(Polygon({{26, 18}, {20, 20}, {24, 33}, {26.5f, 30}, {29.5f, 31}}), Solid(Darker(ribbon, 0.15f)));
    GlossyOrb(c, 19.5f, 13, 12.5f, colour);
    if (kind == "custom") {
        c.Fill(Union(Segment({14, 19}, {24, 9}, 3.4f), Polygon({{12.2f, 20.8f}, {13, 17}, {16, 20}})), Solid(kWhite));
    } else {
        c.Fill(Star(19.5f, 13.5f, 7, 3), Solid(WithAlpha(kWhite, 0.95f)));
    }
}

void DrawWave(Canvas& c)
{
    const float w = static_cast<float>(c.logicalWidth());
    auto band = [w](float phase, float base, float thickness) -> Shape {
        return [=](float x, float y) {
            const float t = x / w;
            const float centre = base - 10 * t + 3.5f * std::sin(t * 6.2832f * 1.3f + phase);
            return std::fabs(y - centre) < thickness * (0.3f + t);
        };
    };
    c.Fill(band(0.0f, 22, 3.0f), HorizontalGradient(0, WithAlpha(kWhite, 0), w, WithAlpha(kWhite, 0.45f)));
    c.Fill(band(1.7f, 17, 2.0f), HorizontalGradient(0, WithAlpha(kWhite, 0), w, WithAlpha(kWhite, 0.3f)));
    c.Fill(band(3.1f, 12, 1.2f), HorizontalGradient(0, WithAlpha(kWhite, 0), w, WithAlpha(kWhite, 0.25f)));
}

// The caption: light, with a crisp line of gloss in the middle; the caps round
// the top corners and carry the frame's border.
void DrawCaption(Canvas& c, const std::string& part)
{
    const float x = part == "left" ? 0.0f : part == "right" ? c.logicalWidth() - 30.0f : -10.0f;
    const Paint body = VerticalStops({{0, Argb(0xFFFDFEFE)},
                                      {11.5f, Argb(0xFFEAEFF4)},
                                      {12.5f, Argb(0xFFDCE3EA)},
                                      {23, Argb(0xFFD0D9E2)},
                                      {24, Argb(0xFFC3CDD7)}});
    c.Fill(RoundRect(x, 0, 30, 40, 5), Solid(kBorder));
    c.Fill(RoundRect(x + 1, 1, 28, 40, 4), body);
    c.Fill([](float, float y) { return y >= 24; }, Solid(kBorder));
    c.Fill([](float, float y) { return y >= 25; }, Solid(Argb(0xFFF3F5F8)));
}

void DrawCloseBox(Canvas& c)
{
    GlossyRoundRect(c, 0.5f, 0.5f, 27, 14, 7, kRed);
    c.Fill(Cross(14, 7.5f, 2.6f, 1.8f), Solid(WithAlpha(kWhite, 0.95f)));
}

void DrawOrb(Canvas& c, const std::string& colour)
{
    const Rgba base = colour == "yellow" ? kYellow : colour == "green" ? kGreen : kGray;
    GlossyOrb(c, 8, 8.5f, 7.5f, base);
    const Rgba mark = WithAlpha(Darker(base, 0.55f), 0.8f);
    if (colour == "yellow") {
        c.Fill(Segment({5, 9}, {11, 9}, 1.8f), Solid(mark));
    } else if (colour == "green") {
        c.Fill(Union(Segment({5, 9}, {11, 9}, 1.8f), Segment({8, 6}, {8, 12}, 1.8f)), Solid(mark));
    }
}

void DrawTitle(Canvas& c, const std::string& part)
{
    const float x = part == "left" ? 0.0f : part == "right" ? c.logicalWidth() - 20.0f : -10.0f;
    const Paint body = VerticalStops(
        {{0, Argb(0xFF6DB3F7)}, {13.5f, Argb(0xFF338AE8)}, {14.5f, Argb(0xFF1F73D6)}, {29, Argb(0xFF2F86E4)}});
    c.Fill(RoundRect(x, 0, 20, 29, 4), body);
    c.Fill(Intersection(RoundRect(x, 0, 20, 29, 4), [](float, float y) { return y < 1; }),
           Solid(WithAlpha(kWhite, 0.5f)));
}

void DrawActions(Canvas& c)
{
    c.Fill(Everywhere(), VerticalGradient(0, Argb(0xFFF8FAFC), 48, Argb(0xFFE1E8EF)));
    c.Fill([](float, float y) { return y < 1; }, Solid(Argb(0xFFB7C3CF)));
    c.Fill([](float, float y) { return y >= 1 && y < 2; }, Solid(kWhite));
}

void DrawSelected(Canvas& c)
{
    const float w = static_cast<float>(c.logicalWidth());
    const float h = static_cast<float>(c.logicalHeight());
    c.Fill(RoundRect(0, 0, w, h, 4), Solid(Argb(0xFFA9CBEF)));
    c.Fill(RoundRect(1, 1, w - 2, h - 2, 3), VerticalGradient(0, Argb(0xFFF4F9FF), h, Argb(0xFFD9E9FA)));
    c.Fill(RoundRect(2, 1, w - 4, h * 0.45f, 3), Solid(WithAlpha(kWhite, 0.45f)));
}

void DrawCell(Canvas& c, const std::string& colour)
{
    const Rgba base = colour == "green"    ? kGreen
                      : colour == "yellow" ? kYellow
                      : colour == "red"    ? kRed
                                           : Argb(0xFFD3D9DF);
    GlossyRoundRect(c, 0, 0, 30, 9, 2, base);
}

void DrawNotApplied(Canvas& c)
{
    c.Fill(
        RoundRect(1, 4, 3, 87, 1.5f),
        VerticalStops({{4, WithAlpha(kOrange, 0.2f)}, {30, kOrange}, {65, kOrange}, {91, WithAlpha(kOrange, 0.2f)}}));
}

// Seven 16 x 16 frames: unticked, hover, pressed, disabled, then ticked with
// the same three looks.
void DrawCheckbox(Canvas& c)
{
    struct Look {
        uint32_t border, top, bottom;
    };
    const Look looks[] = {{0xFF8E9BA8, 0xFFFFFFFF, 0xFFE6ECF2},
                          {0xFF3E95F0, 0xFFFFFFFF, 0xFFD6E8FB},
                          {0xFF2F7BD0, 0xFFC4DAF2, 0xFFE3EEFA},
                          {0xFFC3CAD1, 0xFFF4F6F8, 0xFFF4F6F8}};
    for (int k = 0; k < 7; ++k) {
        const Look& look = looks[k % 4 == 3 ? 3 : k % 4];
        const float y = 16.0f * k;
        c.Fill(RoundRect(1.5f, y + 1.5f, 13, 13, 3), Solid(Argb(look.border)), 0, y, 16, 16);
        c.Fill(RoundRect(2.5f, y + 2.5f, 11, 11, 2),
               VerticalGradient(y + 2.5f, Argb(look.top), y + 13.5f, Argb(look.bottom)), 0, y, 16, 16);
        if (k >= 4) {
            const Rgba tick = k == 6 ? Argb(0xFF1557A8) : Argb(0xFF1F73D6);
            c.Fill(Union(Segment({4.6f, y + 8.2f}, {7, y + 10.8f}, 2.1f),
                         Segment({7, y + 10.8f}, {11.6f, y + 4.8f}, 2.1f)),
                   Solid(tick), 0, y, 16, 16);
        }
    }
}

void DrawScroll(Canvas& c, const std::string& part)
{
    if (part == "arrow") {
        // Up then down, 17 x 17 each.
        const Rgba glyph = Argb(0xFF4D5F73);
        c.Fill(Polygon({{8.5f, 5.5f}, {12.5f, 10.5f}, {4.5f, 10.5f}}), Solid(glyph), 0, 0, 17, 17);
        c.Fill(Polygon({{4.5f, 23.5f}, {12.5f, 23.5f}, {8.5f, 28.5f}}), Solid(glyph), 0, 17, 17, 17);
    } else if (part == "button") {
        // Normal, hover, pressed, disabled; 17 x 17 each.
        const uint32_t looks[4][3] = {{0xFFA9B5C1, 0xFFFFFFFF, 0xFFE4EAF0},
                                      {0xFF3E95F0, 0xFFFFFFFF, 0xFFD6E8FB},
                                      {0xFF2F7BD0, 0xFFC7DCF3, 0xFFE3EEFA},
                                      {0xFFD3D9DF, 0xFFF4F6F8, 0xFFF4F6F8}};
        for (int k = 0; k < 4; ++k) {
            const float y = 17.0f * k;
            c.Fill(RoundRect(1, y + 1, 15, 15, 3), Solid(Argb(looks[k][0])), 0, y, 17, 17);
            c.Fill(RoundRect(2, y + 2, 13, 13, 2),
                   VerticalGradient(y + 2, Argb(looks[k][1]), y + 15, Argb(looks[k][2])), 0, y, 17, 17);
        }
    } else if (part == "body") {
        // The thumb: normal, hover, pressed; 17 x 24 each, drawn in three
        // slices (6-pixel caps, stretched middle).
        const uint32_t bases[3] = {0xFFA9BCD0, 0xFF6FA8EA, 0xFF3F88DC};
        for (int k = 0; k < 3; ++k) {
            Canvas slice(17, 24, c.scale());
            GlossyRoundRect(slice, 2, 1, 13, 22, 5, Argb(bases[k]));
            c.Draw(slice, 0, static_cast<int>(std::lround(24 * k * c.scale())));
        }
    } else if (part == "shaft") {
        c.Fill(Everywhere(), HorizontalGradient(0, Argb(0xFFE3E8ED), 8.5f, Argb(0xFFF5F7F9)));
        c.Fill([](float x, float) { return x >= 8.5f; },
               HorizontalGradient(8.5f, Argb(0xFFF5F7F9), 17, Argb(0xFFE3E8ED)));
        c.Fill([](float x, float) { return x < 1; }, Solid(Argb(0xFFD3D9DF)));
    } else if (part == "grip") {
        // Three ridges for each thumb look; 17 x 9 each.
        for (int k = 0; k < 3; ++k) {
            for (int i = 0; i < 3; ++i) {
                const float y = 9.0f * k + 2 + 2.0f * i;
                c.Fill(Segment({5.5f, y}, {11.5f, y}, 0.9f), Solid(WithAlpha(kWhite, 0.9f)));
                c.Fill(Segment({5.5f, y + 0.9f}, {11.5f, y + 0.9f}, 0.7f), Solid(WithAlpha(Argb(0xFF2B4866), 0.45f)));
            }
        }
    }
}

// Icons are drawn into a square of `n` pixels at scale 1.
void DrawProgramIcon(Canvas& c)
{
    const float n = static_cast<float>(c.logicalWidth());
    GlossyRoundRect(c, n * 0.04f, n * 0.04f, n * 0.92f, n * 0.92f, n * 0.22f, kBlue, n >= 24);
    const float cx = n * 0.5f;
    const float cy = n * 0.6f;
    const float r = n * 0.3f;
    const float w = std::max(1.4f, n * 0.09f);
    // A gauge: an arc over the upper half and a needle pointing up and right.
    Shape arc = Intersection(Difference(Ellipse(cx, cy, r, r), Ellipse(cx, cy, r - w, r - w)),
                             [cy](float, float y) { return y <= cy; });
    Shape needle = Segment({cx, cy}, {cx + r * 0.62f, cy - r * 0.62f}, w);
    c.Fill(Union(Union(arc, needle), Ellipse(cx, cy, w * 1.1f, w * 1.1f)), Solid(kWhite));
}

void DrawKnobsetIcon(Canvas& c)
{
    const float n = static_cast<float>(c.logicalWidth());
    const float cx = n * 0.5f;
    const float cy = n * 0.5f;
    const float r = n * 0.44f;
    c.Fill(Ellipse(cx, cy, r, r), Solid(Argb(0xFF5F6F86)));
    c.Fill(Ellipse(cx, cy, r - std::max(1.0f, n * 0.03f), r - std::max(1.0f, n * 0.03f)),
           RadialGradient({cx - r * 0.3f, cy - r * 0.4f}, r * 1.6f, Argb(0xFFFDFEFF), Argb(0xFF9FAAB6)));
    const float inner = r * 0.62f;
    c.Fill(Ellipse(cx, cy, inner, inner), VerticalGradient(cy - inner, Argb(0xFFE9EEF3), cy + inner, Argb(0xFFB7C2CD)));
    const float w = std::max(1.5f, n * 0.1f);
    c.Fill(Segment({cx, cy}, {cx + inner * 0.6f, cy - inner * 0.6f}, w), Solid(kBlue));
}

}  // namespace

bool ParseArtTable(const std::string& text, std::vector<ArtEntry>& entries, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string name, kind, width, height, background, drawing, argument;
        if (!(fields >> name >> kind >> width >> height >> background >> drawing >> argument)) {
            error = "line " + std::to_string(number) + ": expected seven fields";
            return false;
        }
        ArtEntry e;
        e.name = name;
        e.drawing = drawing;
        e.argument = argument == "-" ? "" : argument;
        if (kind == "png") {
            e.kind = Kind::Png;
        } else if (kind == "bmp24") {
            e.kind = Kind::Bmp24;
        } else if (kind == "bmp32") {
            e.kind = Kind::Bmp32;
        } else if (kind == "ico") {
            e.kind = Kind::Ico;
        } else {
            error = "line " + std::to_string(number) + ": unknown kind " + kind;
            return false;
        }
        try {
            if (e.kind == Kind::Ico) {
                std::istringstream sizes(width);
                std::string size;
                while (std::getline(sizes, size, ',')) {
                    e.sizes.push_back(std::stoi(size));
                }
                e.width = e.height = e.sizes.empty() ? 0 : e.sizes.back();
            } else {
                e.width = std::stoi(width);
                e.height = std::stoi(height);
            }
            e.background = background == "-" ? 0 : static_cast<uint32_t>(std::stoul(background, nullptr, 16));
        } catch (const std::logic_error&) {
            error = "line " + std::to_string(number) + ": bad number";
            return false;
        }
        if (e.width <= 0 || e.height <= 0 || (e.kind == Kind::Bmp24 && background == "-")) {
            error = "line " + std::to_string(number) + ": bad size or missing background";
            return false;
        }
        entries.push_back(std::move(e));
    }
    return true;
}

bool DrawEntry(const ArtEntry& e, double scale, int iconSize, Canvas& c)
{
    (void)scale;
    (void)iconSize;
    const std::string& a = e.argument;
    const std::string& d = e.drawing;
    if (d == "button")
        DrawButton(c, a);
    else if (d == "helptip")
        DrawHelptip(c, a);
    else if (d == "menu")
        DrawMenu(c, a, false);
    else if (d == "menu-hot")
        DrawMenu(c, a, true);
    else if (d == "row")
        DrawRow(c, a);
    else if (d == "medal")
        DrawMedal(c, a);
    else if (d == "category-b")
        DrawCategory(c, a, true);
    else if (d == "category-w")
        DrawCategory(c, a, false);
    else if (d == "wave")
        DrawWave(c);
    else if (d == "caption")
        DrawCaption(c, a);
    else if (d == "close-box")
        DrawCloseBox(c);
    else if (d == "orb")
        DrawOrb(c, a);
    else if (d == "title")
        DrawTitle(c, a);
    else if (d == "actions")
        DrawActions(c);
    else if (d == "selected")
        DrawSelected(c);
    else if (d == "cell")
        DrawCell(c, a);
    else if (d == "not-applied")
        DrawNotApplied(c);
    else if (d == "checkbox")
        DrawCheckbox(c);
    else if (d == "scroll")
        DrawScroll(c, a);
    else if (d == "program-icon")
        DrawProgramIcon(c);
    else if (d == "knobset-icon")
        DrawKnobsetIcon(c);
    else
        return false;
    if (e.kind == Kind::Bmp24) {
        c.Flatten(Argb(e.background));
    }
    return true;
}

std::string FileNameOf(const ArtEntry& e, int percent)
{
    switch (e.kind) {
        case Kind::Png:
            return std::to_string(percent) + "/" + e.name + ".png";
        case Kind::Bmp24:
        case Kind::Bmp32:
            return std::to_string(percent) + "/" + e.name + ".bmp";
        case Kind::Ico:
            return e.name + ".ico";
    }
    return e.name;
}

bool RenderFile(const ArtEntry& e, int percent, std::vector<uint8_t>& bytes, Image* preview)
{
    if (e.kind == Kind::Ico) {
        std::vector<Image> images;
        for (int size : e.sizes) {
            Canvas c(size, size, 1.0);
            if (!DrawEntry(e, 1.0, size, c)) {
                return false;
            }
            images.push_back({c.pixelWidth(), c.pixelHeight(), c.ToRgba8()});
        }
        bytes = EncodeIco(images);
        if (preview) {
            *preview = images.size() > 3 ? images[3] : images.back();  // the 32-pixel one
        }
        return true;
    }
    Canvas c(e.width, e.height, percent / 100.0);
    if (!DrawEntry(e, percent / 100.0, 0, c)) {
        return false;
    }
    const Image image{c.pixelWidth(), c.pixelHeight(), c.ToRgba8()};
    bytes = e.kind == Kind::Png     ? EncodePng(image)
            : e.kind == Kind::Bmp24 ? EncodeBmp(image, BmpDepth::Rgb24)
                                    : EncodeBmp(image, BmpDepth::Argb32);
    if (preview) {
        *preview = image;
    }
    return true;
}

}  // namespace SkinArt
