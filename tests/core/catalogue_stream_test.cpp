#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "core/crypto/Blowfish.h"
#include "core/crypto/CipherStream.h"
#include "core/platform/Errors.h"
#include "core/resources/CatalogueFormat.h"
#include "core/resources/CatalogueStream.h"
#include "core/resources/ResourceBytes.h"

namespace {

using Resources::DecipherCatalogue;
using Resources::EncipherCatalogue;

std::string Encipher(std::string_view payload)
{
    std::string stored;
    EXPECT_EQ(EncipherCatalogue(payload, stored), Err::Success);
    return stored;
}

// The plain bytes of a stored catalogue, header included.
std::string PlainOf(const std::string& stored)
{
    Crypto::blowfish key;
    EXPECT_EQ(key.SetKey(Resources::kCatalogueKey), Err::Success);
    std::istringstream source(stored);
    Crypto::icipherstream<Crypto::blowfish> plain(source, key);
    return std::string(std::istreambuf_iterator<char>(plain), std::istreambuf_iterator<char>());
}

// Stores `payload` under a header that claims `claimed` bytes.
std::string StoreWithClaimedLength(std::string_view payload, uint32_t claimed)
{
    std::string plain(Resources::kCatalogueHeaderSize, '\0');
    for (int i = 0; i < 4; ++i) {
        plain[Resources::kCatalogueLengthOffset + i] = static_cast<char>(claimed >> (8 * i));
    }
    plain.append(payload);
    Crypto::blowfish key;
    EXPECT_EQ(key.SetKey(Resources::kCatalogueKey), Err::Success);
    return Crypto::EncipherChained(key, plain);
}

std::string_view ResourceText(std::wstring_view name)
{
    std::span<const uint8_t> bytes;
    EXPECT_EQ(Resources::FindResourceBytes(name, Resources::kBinaryType, bytes), Err::Success);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(CatalogueFormat, EncipherThenDecipherGivesAnyPayloadBack)
{
    std::mt19937 rng(11);
    std::vector<size_t> lengths = {0, 1, 15, 16, 17, 240, 4096, 4097};
    for (int i = 0; i < 30; ++i) {
        lengths.push_back(rng() % 30000);
    }
    for (size_t n : lengths) {
        SCOPED_TRACE(n);
        std::string payload(n, '\0');
        for (char& c : payload) {
            c = static_cast<char>(rng());
        }
        const std::string stored = Encipher(payload);
        EXPECT_EQ(stored.size(), Resources::kCatalogueHeaderSize + (n + 15) / 16 * 16);
        std::string text = "untouched?";
        ASSERT_EQ(DecipherCatalogue(stored, text), Err::Success);
        EXPECT_EQ(text, payload);
    }
}

TEST(CatalogueFormat, HeaderHoldsOnlyTheLengthAndOutputIsReproducible)
{
    const std::string stored = Encipher("<Tweaks/>");
    EXPECT_EQ(Encipher("<Tweaks/>"), stored);
    const std::string plain = PlainOf(stored);
    ASSERT_EQ(plain.size(), 256u + 16u);
    EXPECT_EQ(plain.substr(0, 252), std::string(252, '\0'));
    EXPECT_EQ(plain.substr(252, 4), std::string("\x09\0\0\0", 4));
    EXPECT_EQ(plain.substr(256), std::string("<Tweaks/>") + std::string(7, '\0'));
}

TEST(CatalogueFormat, LengthBeyondTheDataDeliversTheWholeBlocksThereAre)
{
    const std::string payload(100, 'p');
    const std::string stored = Encipher(payload);
    for (size_t keep : {256u + 0u, 256u + 64u, 256u + 70u}) {
        SCOPED_TRACE(keep);
        std::string text;
        ASSERT_EQ(DecipherCatalogue(std::string_view(stored).substr(0, keep), text), Err::Success);
        EXPECT_EQ(text, payload.substr(0, (keep - 256) / 16 * 16));
    }
}

TEST(CatalogueFormat, HugeClaimedLengthDoesNotReserveIt)
{
    std::string text;
    ASSERT_EQ(DecipherCatalogue(StoreWithClaimedLength("<Tweaks/>", 0xFFFFFFFFu), text), Err::Success);
    EXPECT_EQ(text, std::string("<Tweaks/>") + std::string(7, '\0'));
}

TEST(CatalogueFormat, ShorterLengthCutsThePayload)
{
    std::string text;
    ASSERT_EQ(DecipherCatalogue(StoreWithClaimedLength("<Tweaks/>trailing", 9), text), Err::Success);
    EXPECT_EQ(text, "<Tweaks/>");
}

TEST(CatalogueFormat, DataShorterThanTheHeaderIsMalformed)
{
    const std::string stored = Encipher("<Tweaks/>");
    for (size_t keep : {0u, 15u, 16u, 255u}) {
        std::string text = "untouched";
        EXPECT_EQ(DecipherCatalogue(std::string_view(stored).substr(0, keep), text), Err::BadFormat);
        EXPECT_EQ(text, "untouched");
    }
}

TEST(CatalogueFormat, UnusableKeyIsRefused)
{
    std::string stored = "untouched";
    EXPECT_EQ(EncipherCatalogue("x", stored, ""), Err::InvalidParameter);
    EXPECT_EQ(stored, "untouched");
    std::string text = "untouched";
    EXPECT_EQ(DecipherCatalogue(Encipher("x"), text, ""), Err::InvalidParameter);
    EXPECT_EQ(text, "untouched");
}

// The build enciphers tests/data/sample_catalogue.xml with the encipher tool
// into the resource TESTCAT and embeds the raw file as TESTCATXML, on native
// builds as linked bytes and on Windows builds as module resources.
TEST(CatalogueStream, LinkedCatalogueDeciphersToTheSourceFile)
{
    std::string text;
    ASSERT_EQ(Resources::ReadCatalogueResource(text, L"TESTCAT"), Err::Success);
    const std::string_view raw = ResourceText(L"TESTCATXML");
    EXPECT_EQ(text, raw);
    EXPECT_EQ(text.rfind("<Tweaks>", 0), 0u);
    EXPECT_NE(text.find("Caf\xC3\xA9 &amp; cr\xC3\xA8me"), std::string::npos);
}

TEST(CatalogueStream, NamesIgnoreCase)
{
    std::string text;
    EXPECT_EQ(Resources::ReadCatalogueResource(text, L"TestCat"), Err::Success);
    EXPECT_FALSE(text.empty());
}

TEST(CatalogueStream, MissingResourceIs1814AndLeavesTextAlone)
{
    std::string text = "untouched";
    EXPECT_EQ(Resources::ReadCatalogueResource(text, L"NOSUCHCAT"), Err::ResourceNameNotFound);
    // This program has no built-in catalogue.
    EXPECT_EQ(Resources::ReadCatalogueResource(text), Err::ResourceNameNotFound);
    EXPECT_EQ(text, "untouched");

    std::span<const uint8_t> bytes;
    EXPECT_EQ(Resources::FindResourceBytes(L"TESTCAT", L"NOSUCHTYPE", bytes), Err::ResourceNameNotFound);
    EXPECT_TRUE(bytes.empty());
}

TEST(CatalogueStream, RawResourceIsTheFileUnchanged)
{
    const std::string_view raw = ResourceText(L"TESTCATXML");
    EXPECT_EQ(raw.rfind("<Tweaks>", 0), 0u);
    EXPECT_EQ(raw.substr(raw.size() - 10), "</Tweaks>\n");
}

}  // namespace
