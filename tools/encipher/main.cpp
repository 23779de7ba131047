// encipher IN OUT: writes IN (a tweak file) in the enciphered form that the
// program reads from its built-in catalogue resource. The output depends only
// on the input, so builds are reproducible.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/resources/CatalogueFormat.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: encipher IN.xml OUT.bin\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "encipher: cannot open %s\n", argv[1]);
        return 1;
    }
    const std::string payload{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        std::fprintf(stderr, "encipher: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string stored;
    if (Resources::EncipherCatalogue(payload, stored) != 0) {
        std::fprintf(stderr, "encipher: %s is too large\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(stored.data(), static_cast<std::streamsize>(stored.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "encipher: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
