#pragma once
// What the program ships, read the way the tests of tests/catalogue need it:
// the tweak sets and the program data from the resources embedded in this
// test program exactly as the program embeds them, other files (the starter
// user tweak file, docs/catalogue.md) from the source tree.
#include <gtest/gtest.h>

#include <fstream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/resources/CatalogueStream.h"
#include "core/resources/ResourceBytes.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "tools/catalogue-doc/CatalogueModel.h"
#include "utils/Knobset/document/DocumentReader.h"

namespace Shipped {

struct TweakSet {
    const wchar_t* name;
    const wchar_t* resource;
    const char* file;  // below the source folder
};

inline constexpr TweakSet kSets[] = {
    {L"Free", L"TWEAKSDB", "resources/tweaks/free.xml"},
    {L"Silver", L"SILVER", "resources/tweaks/silver.xml"},
    {L"Gold", L"GOLD", "resources/tweaks/gold.xml"},
};

struct CategoryName {
    const wchar_t* name;
    const wchar_t* icon;
};

// The eight categories of the catalogue, in order, with their icon images.
inline constexpr CategoryName kCategories[] = {
    {L"Windows/System", L"AQUA.MENU.WINDOWSSYS"},     {L"Filesystem", L"AQUA.MENU.FILESYS"},
    {L"Network/Internet", L"AQUA.MENU.NETWORK"},      {L"Configuration/Appearance", L"AQUA.MENU.CONFIGAPPEARENCE"},
    {L"Security Leaks", L"AQUA.MENU.SECURITYLEAKS"},  {L"Privacy Leaks", L"AQUA.MENU.PRIVACYLEAKS"},
    {L"Applications Tuning", L"AQUA.MENU.APPTUNING"}, {L"CPU/Memory/Hardware", L"AQUA.MENU.CPUMEMHARD"},
};

inline std::string Narrow(std::wstring_view text)
{
    std::string utf8;
    (void)Text::WideToUtf8(text, &utf8);
    return utf8;
}

// A tweak set as the program deciphers it from its resource.
inline std::string SetText(const TweakSet& set)
{
    std::string text;
    EXPECT_EQ(0u, Resources::ReadCatalogueResource(text, set.resource)) << Narrow(set.resource);
    return text;
}

// A BINARY resource's raw bytes.
inline std::string ResourceText(std::wstring_view name)
{
    std::span<const uint8_t> bytes;
    EXPECT_EQ(0u, Resources::FindResourceBytes(name, Resources::kBinaryType, bytes)) << Narrow(name);
    return std::string(bytes.begin(), bytes.end());
}

// A file of the source tree, by its path below the source folder.
inline std::string SourceFile(std::string_view relative)
{
    const std::string path = std::string(CORVANE_SOURCE_DIR) + "/" + std::string(relative);
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Parses UTF-8 XML text; a failure fails the test with the reader's message.
inline bool Parse(const std::string& utf8, XmlDocument* document)
{
    const uint32_t status = document->LoadFromUtf8(utf8);
    EXPECT_EQ(0u, status) << Narrow(document->GetError());
    return status == 0;
}

// The three sets read into one catalogue model, raw attribute texts kept.
inline CatalogueDoc::Catalogue ReadSets()
{
    CatalogueDoc::Catalogue catalogue;
    for (const TweakSet& set : kSets) {
        Knobset::Document document;
        std::wstring error;
        if (Knobset::ReadDocumentFromUtf8(SetText(set), &document, &error) == 0) {
            CatalogueDoc::AddTweakSet(std::move(document), set.name, &catalogue);
        } else {
            ADD_FAILURE() << Narrow(set.name) << ": " << Narrow(error);
        }
    }
    return catalogue;
}

// "set\category\tweak" for messages.
inline std::string Where(const CatalogueDoc::Category& category, const CatalogueDoc::PlacedTweak& placed)
{
    return Narrow(placed.set + L"\\" + category.name + L"\\" + placed.tweak.name);
}

}  // namespace Shipped
