#pragma once
// What a control paints, as a list of operations that the Windows layer plays
// back with GDI+ and that tests read directly (or as text under Wine).
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "gui/aqua/Fonts.h"
#include "gui/aqua/Geometry.h"

namespace GUI::Aqua {

// How an image is drawn: as it is, desaturated (each channel one third of
// red + green + blue), or half transparent with a gamma (the hover pulse).
enum class ImageLook { Normal, Grey, Faded };

// How an image fills its destination.
enum class ImageFit {
    Stretch,  // the source scaled to the destination
    TileX,    // the source repeated across, scaled to the destination's height
};

struct ImageOp {
    std::wstring image;  // the image's resource name at 100%
    Rect source;         // empty = the whole image (in 100% pixels)
    Rect dest;
    ImageLook look = ImageLook::Normal;
    double gamma = 1.0;  // only for Faded
    ImageFit fit = ImageFit::Stretch;
};

struct FillOp {
    Rect rect;
    uint32_t argb = 0;
    int radius = 0;  // rounded corners when non-zero
};

// A one-pixel outline inside the rectangle.
struct OutlineOp {
    Rect rect;
    uint32_t argb = 0;
    int radius = 0;
};

enum class TextAlign { Left, Centre, Right };

struct TextOp {
    Rect rect;
    std::wstring text;
    FontSpec font;
    uint32_t argb = 0xFF000000;
    TextAlign align = TextAlign::Left;
    bool ellipsis = false;  // end with a word ellipsis when too long
};

// A dotted focus mark around a rectangle.
struct FocusOp {
    Rect rect;
};

using DrawOp = std::variant<ImageOp, FillOp, OutlineOp, TextOp, FocusOp>;

class DrawList {
public:
    // Builds the operation in its place in the list. (Moving a whole DrawOp
    // in instead made GCC 12 for i686 warn that a string of an alternative
    // the variant does not hold might be uninitialised.)
    template <typename Op>
    void Add(Op op)
    {
        ops_.emplace_back(std::in_place_type<Op>, std::move(op));
    }
    const std::vector<DrawOp>& ops() const { return ops_; }
    void Clear() { ops_.clear(); }

    // One line per operation, for tests and for dumping what a window drew:
    //   image AQUA.X 0,0 12x30 src 0,16 16x16 grey
    //   fill 0,0 10x10 #FFD5DEE7
    //   outline 0,0 10x10 #FF979797
    //   text 10,2 100x20 #FF000000 Verdana 10pt bold left "Caption"
    //   focus 1,1 8x8
    std::wstring Dump() const;

    // The operations that draw `image`, in order.
    std::vector<ImageOp> ImagesNamed(std::wstring_view image) const;
    std::vector<TextOp> Texts() const;

private:
    std::vector<DrawOp> ops_;
};

}  // namespace GUI::Aqua
