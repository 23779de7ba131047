// Draws Knobset's placeholder icon, a round knob with a pointer, and writes
// it as an .ico file with 16, 32 and 48 pixel images (32-bit colour).
// Usage: MakeIcon OUTPUT.ico
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

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

// One image: BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask.
std::vector<uint8_t> DrawKnob(int size)
{
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(size * 2));  // colour and mask
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) {
        Put32(out, 0);
    }
    const double c = (size - 1) / 2.0;
    const double r = size * 0.44;
    const double angle = -0.8;  // the pointer, turned a little to the left of upright
    const double px = std::sin(angle);
    const double py = std::cos(angle);
    for (int y = 0; y < size; ++y) {  // bottom row first
        for (int x = 0; x < size; ++x) {
            const double dx = x - c;
            const double dy = y - c;  // up is positive, since rows run bottom-up
            const double d = std::sqrt(dx * dx + dy * dy);
            uint8_t b = 0, g = 0, red = 0, a = 0;
            if (d <= r) {
                // A teal disc, lighter towards the top left, with a dark rim.
                const double light = 0.75 + 0.25 * ((dy - dx) / (2 * r));
                red = static_cast<uint8_t>(30 * light);
                g = static_cast<uint8_t>(150 * light);
                b = static_cast<uint8_t>(160 * light);
                a = 255;
                if (d > r - std::max(1.0, size / 16.0)) {
                    red = 10, g = 60, b = 70;
                }
                // The pointer: a white bar from the centre towards the rim.
                const double along = dx * px + dy * py;
                const double across = std::fabs(dx * py - dy * px);
                if (along > 0 && along < r * 0.8 && across < std::max(1.0, size / 14.0)) {
                    red = g = b = 250;
                }
            }
            out.push_back(b);
            out.push_back(g);
            out.push_back(red);
            out.push_back(a);
        }
    }
    const int maskRow = ((size + 31) / 32) * 4;
    out.insert(out.end(), static_cast<size_t>(maskRow * size), 0);  // alpha decides
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeIcon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int s : sizes) {
        images.push_back(DrawKnob(s));
    }
    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // icon
    Put16(file, 3);
    uint32_t offset = 6 + 16 * 3;
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return out.good() ? 0 : 1;
}
