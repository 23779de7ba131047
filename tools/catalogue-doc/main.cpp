// catalogue-doc OUT.md FREE.xml SILVER.xml GOLD.xml
// Writes the catalogue document from the three shipped tweak sets.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/Utf.h"
#include "tools/catalogue-doc/CatalogueDoc.h"

namespace {

bool ReadBytes(const char* path, std::string* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: catalogue-doc OUT.md free.xml silver.xml gold.xml\n";
        return 2;
    }
    static const wchar_t* const kSetNames[] = {L"Free", L"Silver", L"Gold"};
    std::vector<CatalogueDoc::SetText> sets;
    for (int i = 0; i < 3; ++i) {
        CatalogueDoc::SetText set{kSetNames[i], {}};
        if (!ReadBytes(argv[i + 2], &set.utf8)) {
            std::cerr << "catalogue-doc: cannot read " << argv[i + 2] << "\n";
            return 1;
        }
        sets.push_back(std::move(set));
    }
    std::wstring error;
    const std::string document = CatalogueDoc::RenderCatalogueDoc(sets, &error);
    if (document.empty()) {
        std::string text;
        (void)Text::WideToUtf8(error, &text);
        std::cerr << "catalogue-doc: " << text << "\n";
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << document;
    out.close();
    if (!out) {
        std::cerr << "catalogue-doc: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
