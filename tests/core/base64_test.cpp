#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/crypto/Base64.h"

namespace {

std::wstring Encode(std::string_view text)
{
    return Crypto::EncodeBase64(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string Decode(std::wstring_view text)
{
    const auto bytes = Crypto::DecodeBase64(text);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> AllBytes(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = uint8_t(i * 7 + 3);
    }
    return bytes;
}

TEST(Base64, Rfc4648Vectors)
{
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"", L""},
        {"f", L"Zg=="},
        {"fo", L"Zm8="},
        {"foo", L"Zm9v"},
        {"foob", L"Zm9vYg=="},
        {"fooba", L"Zm9vYmE="},
        {"foobar", L"Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : cases) {
        EXPECT_EQ(Encode(plain), encoded) << plain;
        EXPECT_EQ(Decode(encoded), plain) << plain;
    }
}

TEST(Base64, UsesTheStandardAlphabetWithPlusAndSlash)
{
    const uint8_t bytes[] = {0xFB, 0xFF, 0xBF};
    EXPECT_EQ(Crypto::EncodeBase64(bytes, 3), L"+/+/");
    EXPECT_EQ(Crypto::DecodeBase64(std::wstring_view(L"+/+/")), std::vector<uint8_t>(bytes, bytes + 3));
}

// 57 bytes fill one 76-character line exactly.
TEST(Base64, BreaksLinesAfterEvery76CharactersButNeverAtTheEnd)
{
    const auto line = Crypto::EncodeBase64(AllBytes(57).data(), 57);
    EXPECT_EQ(line.size(), 76u);
    EXPECT_EQ(line.find(L'\r'), std::wstring::npos);

    const auto twoLines = Crypto::EncodeBase64(AllBytes(58).data(), 58);
    ASSERT_EQ(twoLines.size(), 76u + 2 + 4);
    EXPECT_EQ(twoLines.substr(76, 2), L"\r\n");

    const auto exact = Crypto::EncodeBase64(AllBytes(114).data(), 114);
    EXPECT_EQ(exact.size(), 76u + 2 + 76);
    EXPECT_EQ(exact.substr(76, 2), L"\r\n");

    const auto many = Crypto::EncodeBase64(AllBytes(1000).data(), 1000);
    size_t column = 0;
    for (size_t i = 0; i < many.size(); ++i) {
        if (many[i] == L'\r') {
            ASSERT_EQ(column, 76u);
            ASSERT_EQ(many[i + 1], L'\n');
            ++i;
            column = 0;
        } else {
            ++column;
        }
    }
}

TEST(Base64, RoundTripsEveryLengthAndByteValue)
{
    for (size_t size = 0; size <= 300; ++size) {
        const auto bytes = AllBytes(size);
        const auto text = Crypto::EncodeBase64(bytes.data(), bytes.size());
        ASSERT_EQ(Crypto::DecodeBase64(text), bytes) << size;
        const auto narrow = Crypto::EncodeBase64Narrow(bytes.data(), bytes.size());
        ASSERT_EQ(std::wstring(narrow.begin(), narrow.end()), text);
        ASSERT_EQ(Crypto::DecodeBase64(std::string_view(narrow)), bytes);
    }
}

TEST(Base64, DecodingSkipsEverythingOutsideTheAlphabet)
{
    EXPECT_EQ(Decode(L"Zm9v\r\nYmFy"), "foobar");
    EXPECT_EQ(Decode(L"Zm9v\nYmFy"), "foobar");
    EXPECT_EQ(Decode(L" Z m9\tv-Y*m F y "), "foobar");
    // A wide character whose low byte is a letter of the alphabet is still junk.
    EXPECT_EQ(Decode(std::wstring(L"Zm9v") + wchar_t(0x0159) + L"YmFy"), "foobar");
    EXPECT_EQ(Decode(L"!!!"), "");
}

TEST(Base64, DecodingStopsAtPaddingAndDropsALoneTrailingCharacter)
{
    EXPECT_EQ(Decode(L"Zg==Zm9v"), "f");
    EXPECT_EQ(Decode(L"Zm9vY"), "foo");
    EXPECT_EQ(Decode(L"Zm9vYg"), "foob");  // padding may be missing
}

TEST(Base64, DecodingIntoABufferStopsWhenItIsFull)
{
    uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(Crypto::DecodeBase64(L"Zm9vYmFy", buffer, 2), 2u);
    EXPECT_EQ(buffer[0], 'f');
    EXPECT_EQ(buffer[1], 'o');
    EXPECT_EQ(buffer[2], 0xEE);
    EXPECT_EQ(Crypto::DecodeBase64(L"Zm8=", buffer, 4), 2u);
    EXPECT_EQ(Crypto::DecodeBase64(L"Zm9vYmFy", buffer, 0), 0u);
}

}  // namespace
