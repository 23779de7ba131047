#include "gui/aqua/DrawList.h"

#include <cstdio>

namespace GUI::Aqua {

namespace {

std::wstring RectText(const Rect& r)
{
    return std::to_wstring(r.x) + L',' + std::to_wstring(r.y) + L' ' + std::to_wstring(r.width) + L'x' +
           std::to_wstring(r.height);
}

std::wstring Colour(uint32_t argb)
{
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"#%08X", static_cast<unsigned>(argb));
    return buffer;
}

std::wstring Line(const ImageOp& op)
{
    std::wstring s = L"image " + op.image + L' ' + RectText(op.dest);
    if (!op.source.empty()) {
        s += L" src " + RectText(op.source);
    }
    if (op.fit == ImageFit::TileX) {
        s += L" tile";
    }
    if (op.look == ImageLook::Grey) {
        s += L" grey";
    } else if (op.look == ImageLook::Faded) {
        wchar_t gamma[32];
        std::swprintf(gamma, 32, L" faded gamma %.1f", op.gamma);
        s += gamma;
    }
    return s;
}

std::wstring Line(const FillOp& op)
{
    return L"fill " + RectText(op.rect) + L' ' + Colour(op.argb) +
           (op.radius ? L" radius " + std::to_wstring(op.radius) : L"");
}

std::wstring Line(const OutlineOp& op)
{
    return L"outline " + RectText(op.rect) + L' ' + Colour(op.argb) +
           (op.radius ? L" radius " + std::to_wstring(op.radius) : L"");
}

std::wstring Line(const TextOp& op)
{
    wchar_t size[32];
    std::swprintf(size, 32, L"%g%ls", op.font.size, op.font.unit == FontUnit::Point ? L"pt" : L"px");
    std::wstring s = L"text " + RectText(op.rect) + L' ' + Colour(op.argb) + L' ' + op.font.family + L' ' + size;
    if (op.font.style & kBold) {
        s += L" bold";
    }
    if (op.font.style & kUnderline) {
        s += L" underline";
    }
    s += op.align == TextAlign::Centre ? L" centre" : op.align == TextAlign::Right ? L" right" : L" left";
    if (op.ellipsis) {
        s += L" ellipsis";
    }
    return s + L" \"" + op.text + L'"';
}

std::wstring Line(const FocusOp& op)
{
    return L"focus " + RectText(op.rect);
}

}  // namespace

std::wstring DrawList::Dump() const
{
    std::wstring out;
    for (const DrawOp& op : ops_) {
        out += std::visit([](const auto& o) { return Line(o); }, op);
        out += L'\n';
    }
    return out;
}

std::vector<ImageOp> DrawList::ImagesNamed(std::wstring_view image) const
{
    std::vector<ImageOp> out;
    for (const DrawOp& op : ops_) {
        if (const auto* i = std::get_if<ImageOp>(&op); i && i->image == image) {
            out.push_back(*i);
        }
    }
    return out;
}

std::vector<TextOp> DrawList::Texts() const
{
    std::vector<TextOp> out;
    for (const DrawOp& op : ops_) {
        if (const auto* t = std::get_if<TextOp>(&op)) {
            out.push_back(*t);
        }
    }
    return out;
}

}  // namespace GUI::Aqua
