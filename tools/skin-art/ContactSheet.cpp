// The contact sheet: every image at 100% and 200% over a light checkerboard
// (so that transparency shows), each labelled with its resource name.
#include <algorithm>
#include <map>

#include "tools/skin-art/Artwork.h"

namespace SkinArt {

namespace {

// A 3 x 5 pixel font, enough for resource names: five rows of three bits.
const std::map<char, const char*>& Glyphs()
{
    static const std::map<char, const char*> glyphs = {
        {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"}, {'D', "110101101101110"},
        {'E', "111100110100111"}, {'F', "111100110100100"}, {'G', "011100101101011"}, {'H', "101101111101101"},
        {'I', "111010010010111"}, {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
        {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"}, {'P', "110101110100100"},
        {'Q', "010101101110011"}, {'R', "110101110101101"}, {'S', "011100010001110"}, {'T', "111010010010010"},
        {'U', "101101101101111"}, {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
        {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"}, {'1', "010110010010111"},
        {'2', "110001010100111"}, {'3', "110001010001110"}, {'4', "101101111001001"}, {'5', "111100110001110"},
        {'6', "011100111101111"}, {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
        {'.', "000000000000010"}, {'-', "000000111000000"},
    };
    return glyphs;
}

constexpr int kPixel = 2;  // each font pixel is 2 x 2
constexpr int kLabelHeight = 5 * kPixel + 4;

void Put(Image& sheet, int x, int y, const uint8_t* rgba)
{
    if (x < 0 || y < 0 || x >= sheet.width || y >= sheet.height) {
        return;
    }
    uint8_t* d = sheet.rgba.data() + (static_cast<size_t>(y) * sheet.width + x) * 4;
    const unsigned a = rgba[3];
    for (int i = 0; i < 3; ++i) {
        d[i] = static_cast<uint8_t>((rgba[i] * a + d[i] * (255 - a) + 127) / 255);
    }
    d[3] = 255;
}

void Label(Image& sheet, int x, int y, const std::string& text)
{
    const uint8_t ink[4] = {0x33, 0x44, 0x55, 0xFF};
    for (char ch : text) {
        const auto it = Glyphs().find(ch);
        if (it != Glyphs().end()) {
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (it->second[row * 3 + col] == '1') {
                        for (int p = 0; p < kPixel * kPixel; ++p) {
                            Put(sheet, x + col * kPixel + p % kPixel, y + row * kPixel + p / kPixel, ink);
                        }
                    }
                }
            }
        }
        x += 4 * kPixel;
    }
}

void Blit(Image& sheet, int x, int y, const Image& image)
{
    for (int iy = 0; iy < image.height; ++iy) {
        for (int ix = 0; ix < image.width; ++ix) {
            Put(sheet, x + ix, y + iy, image.rgba.data() + (static_cast<size_t>(iy) * image.width + ix) * 4);
        }
    }
}

}  // namespace

Image ContactSheet(const std::vector<ArtEntry>& entries)
{
    constexpr int kWidth = 1400;
    constexpr int kGap = 12;
    struct Cell {
        int x, y;
        const ArtEntry* entry;
        Image small, large;
    };
    std::vector<Cell> cells;
    int x = kGap;
    int y = kGap;
    int rowHeight = 0;
    for (const ArtEntry& e : entries) {
        Cell cell{0, 0, &e, {}, {}};
        std::vector<uint8_t> unused;
        RenderFile(e, 100, unused, &cell.small);
        if (e.kind == Kind::Ico) {
            // Icons show their 256-pixel image beside the 32-pixel one.
            Canvas big(256, 256, 1.0);
            DrawEntry(e, 1.0, 256, big);
            cell.large = {big.pixelWidth(), big.pixelHeight(), big.ToRgba8()};
        } else {
            RenderFile(e, 200, unused, &cell.large);
        }
        const int imagesWidth = cell.small.width + kGap + cell.large.width;
        const int width = std::max(imagesWidth, static_cast<int>(e.name.size()) * 4 * kPixel);
        const int height = kLabelHeight + std::max(cell.small.height, cell.large.height);
        if (x + width > kWidth - kGap && x > kGap) {
            x = kGap;
            y += rowHeight + 2 * kGap;
            rowHeight = 0;
        }
        cell.x = x;
        cell.y = y;
        x += width + 2 * kGap;
        rowHeight = std::max(rowHeight, height);
        cells.push_back(std::move(cell));
    }
    Image sheet{kWidth, y + rowHeight + kGap, {}};
    sheet.rgba.resize(static_cast<size_t>(sheet.width) * sheet.height * 4);
    for (int py = 0; py < sheet.height; ++py) {
        for (int px = 0; px < sheet.width; ++px) {
            const uint8_t v = ((px / 8 + py / 8) % 2) ? 0xF2 : 0xFF;
            uint8_t* d = sheet.rgba.data() + (static_cast<size_t>(py) * sheet.width + px) * 4;
            d[0] = d[1] = d[2] = v;
            d[3] = 255;
        }
    }
    for (const Cell& cell : cells) {
        Label(sheet, cell.x, cell.y, cell.entry->name);
        Blit(sheet, cell.x, cell.y + kLabelHeight, cell.small);
        Blit(sheet, cell.x + cell.small.width + kGap, cell.y + kLabelHeight, cell.large);
    }
    return sheet;
}

}  // namespace SkinArt
