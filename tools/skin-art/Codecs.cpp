#include "tools/skin-art/Codecs.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace SkinArt {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put32Be(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

void PutChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& body)
{
    Put32Be(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32Be(out, Crc32(out.data() + start, out.size() - start));
}

const std::array<uint32_t, 256>& CrcTable()
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    return table;
}

// BITMAPINFOHEADER for a bottom-up BI_RGB DIB.
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize)
{
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 3780);  // 96 dpi in pixels per metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
}

// Pixel rows bottom-up in BGR(A), each padded to four bytes.
std::vector<uint8_t> DibPixels(const Image& image, int bits)
{
    const int bytes = bits / 8;
    const size_t stride = (static_cast<size_t>(image.width) * bytes + 3) & ~size_t{3};
    std::vector<uint8_t> out(stride * image.height);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = out.data() + stride * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.rgba.data() + (static_cast<size_t>(y) * image.width + x) * 4;
            row[x * bytes] = p[2];
            row[x * bytes + 1] = p[1];
            row[x * bytes + 2] = p[0];
            if (bytes == 4) {
                row[x * bytes + 3] = p[3];
            }
        }
    }
    return out;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    const auto& table = CrcTable();
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const uint8_t* data, size_t size)
{
    uint32_t a = 1;
    uint32_t b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32K window, no dictionary
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, data.size() - at);
        const bool last = at + n == data.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        Put16(out, static_cast<uint32_t>(n));
        Put16(out, static_cast<uint32_t>(~n & 0xFFFF));
        out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(at), data.begin() + static_cast<ptrdiff_t>(at + n));
        at += n;
    } while (at < data.size());
    Put32Be(out, Adler32(data.data(), data.size()));
    return out;
}

std::vector<uint8_t> EncodePng(const Image& image)
{
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32Be(header, static_cast<uint32_t>(image.width));
    Put32Be(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter method, no interlace
    PutChunk(out, "IHDR", header);
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(image.height) * (image.width * 4 + 1));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter type None
        const auto row = image.rgba.begin() + static_cast<ptrdiff_t>(y) * image.width * 4;
        raw.insert(raw.end(), row, row + image.width * 4);
    }
    PutChunk(out, "IDAT", ZlibStored(raw));
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> EncodeBmp(const Image& image, BmpDepth depth)
{
    const int bits = depth == BmpDepth::Argb32 ? 32 : 24;
    const std::vector<uint8_t> pixels = DibPixels(image, bits);
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, static_cast<uint32_t>(14 + 40 + pixels.size()));
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, image.width, image.height, bits, static_cast<uint32_t>(pixels.size()));
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<Image>& images)
{
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& image : images) {
        if (image.width >= 256) {
            bodies.push_back(EncodePng(image));
            continue;
        }
        std::vector<uint8_t> body;
        const std::vector<uint8_t> pixels = DibPixels(image, 32);
        const size_t maskStride = ((static_cast<size_t>(image.width) + 31) / 32) * 4;
        // The AND mask marks fully transparent pixels, for systems that ignore alpha.
        std::vector<uint8_t> mask(maskStride * image.height, 0);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (image.rgba[(static_cast<size_t>(y) * image.width + x) * 4 + 3] == 0) {
                    mask[maskStride * (image.height - 1 - y) + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
        }
        PutInfoHeader(body, image.width, image.height * 2, 32, static_cast<uint32_t>(pixels.size() + mask.size()));
        body.insert(body.end(), pixels.begin(), pixels.end());
        body.insert(body.end(), mask.begin(), mask.end());
        bodies.push_back(std::move(body));
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].width >= 256 ? 0 : images[i].width));
        out.push_back(static_cast<uint8_t>(images[i].height >= 256 ? 0 : images[i].height));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits per pixel
        Put32(out, static_cast<uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies) {
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

}  // namespace SkinArt
