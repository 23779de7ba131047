// skin-art TABLE OUTDIR: draws every image of the skin's table at 100%, 150%
// and 200% into OUTDIR (folders 100/, 150/, 200/, icons at the top), plus
// contact-sheet.png. Files whose bytes are unchanged are not rewritten, so a
// rebuild does not relink the programs for nothing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "tools/skin-art/Artwork.h"

namespace {

bool WriteIfChanged(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (in) {
        const std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (old == bytes) {
            return true;
        }
    }
    in.close();
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: skin-art TABLE OUTDIR\n";
        return 2;
    }
    std::ifstream table(argv[1]);
    if (!table) {
        std::cerr << "skin-art: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream text;
    text << table.rdbuf();
    std::vector<SkinArt::ArtEntry> entries;
    std::string error;
    if (!SkinArt::ParseArtTable(text.str(), entries, error)) {
        std::cerr << "skin-art: " << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::filesystem::path out = argv[2];
    for (const SkinArt::ArtEntry& e : entries) {
        for (int percent : {100, 150, 200}) {
            if (e.kind == SkinArt::Kind::Ico && percent != 100) {
                continue;
            }
            std::vector<uint8_t> bytes;
            if (!SkinArt::RenderFile(e, percent, bytes, nullptr)) {
                std::cerr << "skin-art: " << e.name << ": no drawing named " << e.drawing << "\n";
                return 1;
            }
            if (!WriteIfChanged(out / SkinArt::FileNameOf(e, percent), bytes)) {
                std::cerr << "skin-art: cannot write " << (out / SkinArt::FileNameOf(e, percent)) << "\n";
                return 1;
            }
        }
    }
    if (!WriteIfChanged(out / "contact-sheet.png", SkinArt::EncodePng(SkinArt::ContactSheet(entries)))) {
        std::cerr << "skin-art: cannot write the contact sheet\n";
        return 1;
    }
    return 0;
}
