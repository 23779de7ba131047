#pragma once
// The skin's image table (images.txt) and the drawing behind each entry.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin-art/Canvas.h"
#include "tools/skin-art/Codecs.h"

namespace SkinArt {

enum class Kind { Png, Bmp24, Bmp32, Ico };

struct ArtEntry {
    std::string name;  // resource name (or icon id)
    Kind kind = Kind::Png;
    int width = 0;  // at 100%
    int height = 0;
    std::vector<int> sizes;   // icons only
    uint32_t background = 0;  // 24-bit bitmaps are composited over it
    std::string drawing;
    std::string argument;
};

// Reads the table; on a malformed line returns false with the line number and
// reason in `error`.
bool ParseArtTable(const std::string& text, std::vector<ArtEntry>& entries, std::string& error);

// Draws one entry at `scale` (icons: one image of `size` pixels, scale 1).
// False when the entry names a drawing this program does not know.
bool DrawEntry(const ArtEntry& entry, double scale, int iconSize, Canvas& canvas);

// The file an entry is written to, relative to the output folder, and its bytes.
std::string FileNameOf(const ArtEntry& entry, int percent);
bool RenderFile(const ArtEntry& entry, int percent, std::vector<uint8_t>& bytes, Image* preview);

// Every image at 100% and 200% on one sheet, with their names, for people to look at.
Image ContactSheet(const std::vector<ArtEntry>& entries);

}  // namespace SkinArt
