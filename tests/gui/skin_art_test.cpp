// The artwork generator: its files are well-formed and the same on every run,
// its table is complete, and every image the toolkit draws is in it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "gui/aqua/FrameLayout.h"
#include "gui/aqua/Painters.h"
#include "tools/skin-art/Artwork.h"
#include "tools/skin-art/Codecs.h"

namespace SkinArt {
namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (uint32_t{b[at + 1]} << 8) | (uint32_t{b[at + 2]} << 16) | (uint32_t{b[at + 3]} << 24);
}

// Reads back a PNG as the generator writes it (stored deflate, filter None),
// checking every CRC, the block lengths and the Adler-32.
Image ReadPng(const std::vector<uint8_t>& png)
{
    Image image;
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(png.size() > 8 && std::equal(signature, signature + 8, png.begin()));
    std::vector<uint8_t> zlib;
    size_t at = 8;
    std::string last;
    while (at + 12 <= png.size()) {
        const uint32_t length = Be32(png, at);
        const std::string type(png.begin() + static_cast<ptrdiff_t>(at + 4),
                               png.begin() + static_cast<ptrdiff_t>(at + 8));
        EXPECT_EQ(Crc32(png.data() + at + 4, length + 4), Be32(png, at + 8 + length)) << type;
        if (type == "IHDR") {
            image.width = static_cast<int>(Be32(png, at + 8));
            image.height = static_cast<int>(Be32(png, at + 12));
            EXPECT_EQ(png[at + 16], 8);
            EXPECT_EQ(png[at + 17], 6);
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), png.begin() + static_cast<ptrdiff_t>(at + 8),
                        png.begin() + static_cast<ptrdiff_t>(at + 8 + length));
        }
        last = type;
        at += 12 + length;
    }
    EXPECT_EQ(last, "IEND");
    EXPECT_EQ(at, png.size());
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);  // the zlib header check
    std::vector<uint8_t> raw;
    size_t z = 2;
    for (bool final = false; !final;) {
        final = zlib[z] & 1;
        EXPECT_EQ(zlib[z] & 6, 0);  // stored
        const uint32_t n = zlib[z + 1] | (zlib[z + 2] << 8);
        EXPECT_EQ(n ^ 0xFFFF, static_cast<uint32_t>(zlib[z + 3] | (zlib[z + 4] << 8)));
        raw.insert(raw.end(), zlib.begin() + static_cast<ptrdiff_t>(z + 5),
                   zlib.begin() + static_cast<ptrdiff_t>(z + 5 + n));
        z += 5 + n;
    }
    EXPECT_EQ(Be32(zlib, z), Adler32(raw.data(), raw.size()));
    EXPECT_EQ(raw.size(), static_cast<size_t>(image.height) * (image.width * 4 + 1));
    for (int y = 0; y < image.height; ++y) {
        const size_t row = static_cast<size_t>(y) * (image.width * 4 + 1);
        EXPECT_EQ(raw[row], 0);
        image.rgba.insert(image.rgba.end(), raw.begin() + static_cast<ptrdiff_t>(row + 1),
                          raw.begin() + static_cast<ptrdiff_t>(row + 1 + image.width * 4));
    }
    return image;
}

std::vector<ArtEntry> Table()
{
    std::ifstream in(CORVANE_SOURCE_DIR "/tools/skin-art/images.txt");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ArtEntry> entries;
    std::string error;
    EXPECT_TRUE(ParseArtTable(text.str(), entries, error)) << error;
    return entries;
}

TEST(SkinArtCodecsTest, KnownChecksumsAndRoundTrips)
{
    const std::string text = "123456789";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    EXPECT_EQ(Crc32(bytes, text.size()), 0xCBF43926u);
    EXPECT_EQ(Adler32(bytes, text.size()), 0x091E01DEu);
    // A large image spans several stored blocks.
    Image image{200, 100, {}};
    for (int i = 0; i < 200 * 100 * 4; ++i) {
        image.rgba.push_back(static_cast<uint8_t>(i * 7));
    }
    const Image back = ReadPng(EncodePng(image));
    EXPECT_EQ(back.width, 200);
    EXPECT_EQ(back.height, 100);
    EXPECT_EQ(back.rgba, image.rgba);
}

TEST(SkinArtCodecsTest, BitmapAndIconLayouts)
{
    Image image{3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 0}};
    const auto bmp24 = EncodeBmp(image, BmpDepth::Rgb24);
    ASSERT_EQ(bmp24.size(), 14u + 40 + 2 * 12);  // rows of 9 bytes padded to 12
    EXPECT_EQ(Le32(bmp24, 2), bmp24.size());
    EXPECT_EQ(Le32(bmp24, 10), 54u);
    EXPECT_EQ(bmp24[28], 24);
    // Bottom-up BGR: the first stored pixel is the bottom-left one.
    EXPECT_EQ(bmp24[54], 15);
    EXPECT_EQ(bmp24[56], 13);
    const auto bmp32 = EncodeBmp(image, BmpDepth::Argb32);
    EXPECT_EQ(bmp32.size(), 14u + 40 + 24);
    EXPECT_EQ(bmp32[54 + 3], 16);  // alpha kept

    Image icon16{16, 16, std::vector<uint8_t>(16 * 16 * 4, 0)};
    Image icon256{256, 256, std::vector<uint8_t>(256 * 256 * 4, 255)};
    const auto ico = EncodeIco({icon16, icon256});
    EXPECT_EQ(ico[2], 1);
    EXPECT_EQ(ico[4], 2);
    EXPECT_EQ(ico[6], 16);
    EXPECT_EQ(ico[22], 0);  // 256 is written as 0
    const uint32_t firstSize = Le32(ico, 6 + 8);
    EXPECT_EQ(firstSize, 40u + 16 * 16 * 4 + 16 * 4);  // DIB + AND mask
    EXPECT_EQ(Le32(ico, 6 + 12), 6u + 32);
    const uint32_t second = Le32(ico, 6 + 16 + 12);
    EXPECT_EQ(second, 6u + 32 + firstSize);
    EXPECT_EQ(ico[second + 1], 'P');                  // the 256-pixel image is a PNG
    EXPECT_EQ(Le32(ico, 6 + 32 + 8), 32u);            // doubled height in the DIB
    EXPECT_EQ(ico[6 + 32 + 40 + 16 * 16 * 4], 0xFF);  // all transparent: the mask is set
}

TEST(SkinArtTableTest, MalformedLinesAreReported)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"A png 1 1 -\n", "line 1: expected seven fields"},
        {"# c\nA gif 1 1 - x -\n", "line 2: unknown kind gif"},
        {"A png x 1 - x -\n", "line 1: bad number"},
        {"A bmp24 4 4 - x -\n", "line 1: bad size or missing background"},
        {"A png 0 4 - x -\n", "line 1: bad size or missing background"},
    };
    for (const auto& c : cases) {
        std::vector<ArtEntry> entries;
        std::string error;
        EXPECT_FALSE(ParseArtTable(c.text, entries, error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

// Every entry draws at every scale, at the scaled size, the same bytes twice.
TEST(SkinArtTableTest, EveryImageDrawsReproduciblyAtEveryScale)
{
    const auto entries = Table();
    ASSERT_GE(entries.size(), 70u);
    std::set<std::string> names;
    for (const ArtEntry& e : entries) {
        EXPECT_TRUE(names.insert(e.name).second) << "twice: " << e.name;
        for (int percent : {100, 150, 200}) {
            if (e.kind == Kind::Ico && percent != 100) {
                continue;
            }
            std::vector<uint8_t> first, second;
            Image preview;
            ASSERT_TRUE(RenderFile(e, percent, first, &preview)) << e.name;
            ASSERT_TRUE(RenderFile(e, percent, second, nullptr));
            EXPECT_EQ(first, second) << e.name;
            if (e.kind != Kind::Ico) {
                EXPECT_EQ(preview.width, (e.width * percent + 50) / 100) << e.name;
                EXPECT_EQ(preview.height, (e.height * percent + 50) / 100) << e.name;
            }
            // Something is drawn: not every pixel is transparent.
            bool visible = false;
            for (size_t i = 3; i < preview.rgba.size(); i += 4) {
                visible = visible || preview.rgba[i] != 0;
            }
            EXPECT_TRUE(visible) << e.name;
            if (e.kind == Kind::Png) {
                const Image back = ReadPng(first);
                EXPECT_EQ(back.rgba, preview.rgba) << e.name;
            }
        }
    }
    for (const char* icon : {"107", "128"}) {
        EXPECT_EQ(names.count(icon), 1u) << icon;
    }
}

// The names the toolkit and the views draw are all in the table.
TEST(SkinArtTableTest, TheTableHasEveryImageTheProgramNames)
{
    std::set<std::wstring> table;
    for (const ArtEntry& e : Table()) {
        table.insert(std::wstring(e.name.begin(), e.name.end()));
    }
    using namespace GUI::Aqua;
    DrawList list;
    FrameLayout(Scaler(), 390, 400, FrameStyle{true, true}).Paint(list, L"x", true);
    FrameLayout(Scaler(), 390, 400, FrameStyle{false, false}).Paint(list, L"x", true);
    PaintCheckbox(list, Scaler(), {0, 0, 100, 16}, 0, L"x", false);
    PaintButton(list, Scaler(), {0, 0, 100, 30}, L"x", {});
    PaintActions(list, {0, 0, 388, 48});
    ScrollModel model;
    model.SetRange(1000, 100, 80, 10);
    PaintScrollbar(list, Scaler(), {0, 0, 17, 114}, model, {});
    PaintStatus(list, Scaler(), {0, 0, 388, 29}, L"x");
    for (bool shown : {false, true}) {
        for (bool hot : {false, true}) {
            PaintHelpButton(list, {0, 0, 24, 24}, shown, hot);
        }
    }
    std::set<std::wstring> drawn;
    for (const DrawOp& op : list.ops()) {
        if (const auto* image = std::get_if<ImageOp>(&op)) {
            drawn.insert(image->image);
        }
    }
    for (const wchar_t* name :
         {L"AQUA.SECTION.SELECTED", L"AQUA.INDICATOR.GRAY", L"AQUA.INDICATOR.GREEN", L"AQUA.INDICATOR.YELLOW",
          L"AQUA.INDICATOR.RED", L"AQUA.STATUS.NOTAPPLIED", L"AQUA.STATUS.NOTAPPLIEDODD", L"AQUA.MENU.BACKUP",
          L"AQUA.MENU.BACKUPODD", L"AQUA.MENU.PROFILE", L"AQUA.MENU.PROFILEODD", L"AQUA.MENU.COLLECTIONFREE",
          L"AQUA.MENU.COLLECTIONSILVER", L"AQUA.MENU.COLLECTIONGOLD", L"AQUA.MENU.COLLECTIONCUSTOM"}) {
        drawn.insert(name);
    }
    for (const wchar_t* stem :
         {L"ANALYZE", L"TUNING", L"BACKUPS", L"PROFILES", L"COLLECTIONS", L"SETTINGS", L"ONLINEHELP", L"EXIT"}) {
        drawn.insert(std::wstring(L"AQUA.MENU.") + stem);
        drawn.insert(std::wstring(L"AQUA.MENU.N") + stem);
    }
    for (const wchar_t* stem : {L"WINDOWSSYS", L"FILESYS", L"NETWORK", L"CONFIGAPPEARENCE", L"SECURITYLEAKS",
                                L"PRIVACYLEAKS", L"APPTUNING", L"CPUMEMHARD"}) {
        drawn.insert(std::wstring(L"AQUA.MENU.") + stem + L"B");
        drawn.insert(std::wstring(L"AQUA.MENU.") + stem + L"W");
    }
    for (const std::wstring& name : drawn) {
        EXPECT_EQ(table.count(name), 1u) << std::string(name.begin(), name.end());
    }
}

}  // namespace
}  // namespace SkinArt
