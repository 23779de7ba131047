#pragma once
// Image file writers for the skin's artwork: PNG (stored deflate), BMP and ICO.
// Every writer is a pure function of its input, so the same art gives the same
// bytes on every build.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace SkinArt {

// Pixels as straight 8-bit RGBA, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size);

// The bytes of `data` wrapped in a zlib stream of stored (uncompressed) blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& data);

// A PNG of colour type 6 (RGBA, 8 bits), no filter, stored deflate.
std::vector<uint8_t> EncodePng(const Image& image);

enum class BmpDepth { Rgb24, Argb32 };
// A bitmap file (BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up, BI_RGB).
// 24-bit drops alpha (composite first); 32-bit keeps straight alpha in the
// fourth byte, which the program reads back itself.
std::vector<uint8_t> EncodeBmp(const Image& image, BmpDepth depth);

// An icon file with one entry per image: 32-bit DIBs with an AND mask for
// sizes below 256, a PNG for 256.
std::vector<uint8_t> EncodeIco(const std::vector<Image>& images);

}  // namespace SkinArt
