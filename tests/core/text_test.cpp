#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "core/platform/Errors.h"
#include "core/text/Utf.h"

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

// Wide text of one code point, as the platform spells it.
std::wstring Wide(uint32_t cp)
{
    std::wstring w;
    if (kWideIsUtf16 && cp >= 0x10000) {
        w += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
        w += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        w += static_cast<wchar_t>(cp);
    }
    return w;
}

std::string Bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list) {
        s += static_cast<char>(b);
    }
    return s;
}

TEST(TextUtf8, BoundaryCodePointsHaveTheirExactEncodings)
{
    struct Case {
        uint32_t cp;
        std::string utf8;
    };
    const Case cases[] = {
        {0x00, Bytes({0x00})},
        {0x7F, Bytes({0x7F})},
        {0x80, Bytes({0xC2, 0x80})},
        {0x7FF, Bytes({0xDF, 0xBF})},
        {0x800, Bytes({0xE0, 0xA0, 0x80})},
        {0xD7FF, Bytes({0xED, 0x9F, 0xBF})},
        {0xE000, Bytes({0xEE, 0x80, 0x80})},
        {0xFEFF, Bytes({0xEF, 0xBB, 0xBF})},  // a byte-order mark is just a character
        {0xFFFF, Bytes({0xEF, 0xBF, 0xBF})},
        {0x10000, Bytes({0xF0, 0x90, 0x80, 0x80})},
        {0x1F600, Bytes({0xF0, 0x9F, 0x98, 0x80})},
        {0x10FFFF, Bytes({0xF4, 0x8F, 0xBF, 0xBF})},
    };
    for (const Case& c : cases) {
        std::wstring wide;
        ASSERT_EQ(Text::Utf8ToWide(c.utf8, &wide), Err::Success) << std::hex << c.cp;
        EXPECT_EQ(wide, Wide(c.cp)) << std::hex << c.cp;
        std::string back;
        ASSERT_EQ(Text::WideToUtf8(wide, &back), Err::Success) << std::hex << c.cp;
        EXPECT_EQ(back, c.utf8) << std::hex << c.cp;
    }
}

TEST(TextUtf8, EveryScalarValueRoundTrips)
{
    std::wstring all;
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp == 0xD800) {
            cp = 0xE000;
        }
        all += Wide(cp);
    }
    std::string utf8;
    ASSERT_EQ(Text::WideToUtf8(all, &utf8), Err::Success);
    // 128 one-byte, 1920 two-byte, 61440 three-byte, 1048576 four-byte forms.
    EXPECT_EQ(utf8.size(), 128u + 1920u * 2 + 61440u * 3 + 1048576u * 4);
    std::wstring back;
    ASSERT_EQ(Text::Utf8ToWide(utf8, &back), Err::Success);
    EXPECT_TRUE(back == all);
}

TEST(TextUtf8, NonAsciiAtEveryOffsetOfTheFastPath)
{
    // The decoder widens ASCII in blocks; a multi-byte form may start at any
    // offset within or after a block, and a bad byte must be seen there too.
    for (size_t length = 0; length < 40; ++length) {
        for (size_t at = 0; at <= length; ++at) {
            std::string bytes(length, 'x');
            bytes.insert(at, "\xC3\xA9");  // U+00E9
            std::wstring wide;
            ASSERT_EQ(Text::Utf8ToWide(bytes, &wide), Err::Success);
            std::wstring expected(length, L'x');
            expected.insert(at, 1, L'\u00E9');
            EXPECT_EQ(wide, expected);

            std::string bad(length, 'x');
            bad.insert(at, 1, '\x80');
            EXPECT_EQ(Text::Utf8ToWide(bad, &wide), Err::NoUnicodeTranslation) << length << " " << at;
        }
    }
}

TEST(TextUtf8, MultiByteFormsAtEveryOffsetOfLongText)
{
    // Long text is decoded a piece at a time; a form of any length may fall
    // across the end of a piece.
    for (const uint32_t cp : {0xE9u, 0x20ACu, 0x1F600u}) {
        std::string form;
        ASSERT_EQ(Text::WideToUtf8(Wide(cp), &form), Err::Success);
        for (size_t at = 1990; at < 2100; ++at) {
            std::string bytes(5000, 'x');
            std::wstring expected(5000, L'x');
            for (const size_t offset : {at + 2040, at}) {  // near the ends of the first two pieces
                bytes.insert(offset, form);
                expected.insert(offset, Wide(cp));
            }
            std::wstring wide;
            ASSERT_EQ(Text::Utf8ToWide(bytes, &wide), Err::Success);
            ASSERT_EQ(wide, expected) << std::hex << cp << std::dec << " " << at;
        }
    }
}

TEST(TextUtf8, EveryClassOfIllFormedInputFailsAndLeavesTheOutputAlone)
{
    const std::string cases[] = {
        Bytes({0x80}),                                // a continuation byte without a lead
        Bytes({0xBF, 0x41}),                          //
        Bytes({0xC0, 0x80}),                          // overlong two-byte forms
        Bytes({0xC1, 0xBF}),                          //
        Bytes({0xE0, 0x80, 0x80}),                    // overlong three-byte forms
        Bytes({0xE0, 0x9F, 0xBF}),                    //
        Bytes({0xF0, 0x80, 0x80, 0x80}),              // overlong four-byte forms
        Bytes({0xF0, 0x8F, 0xBF, 0xBF}),              //
        Bytes({0xED, 0xA0, 0x80}),                    // surrogates encoded as UTF-8
        Bytes({0xED, 0xBF, 0xBF}),                    //
        Bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}),  // a pair encoded one half at a time
        Bytes({0xF4, 0x90, 0x80, 0x80}),              // above 0x10FFFF
        Bytes({0xF5, 0x80, 0x80, 0x80}),              // lead bytes that can never occur
        Bytes({0xF8, 0x88, 0x80, 0x80, 0x80}),
        Bytes({0xFE}),
        Bytes({0xFF}),
        Bytes({0xC3}),                    // truncated at the end
        Bytes({0xE2, 0x82}),              //
        Bytes({0xF0, 0x9F, 0x98}),        //
        Bytes({0xC3, 0x41}),              // a lead byte followed by ASCII
        Bytes({0xE2, 0x28, 0xA1}),        //
        Bytes({0xF0, 0x9F, 0x41, 0x80}),  //
        Bytes({0xE2, 0x82, 0xAC, 0xAC}),  // one continuation byte too many
    };
    for (const std::string& bytes : cases) {
        for (const std::string& text : {bytes, "abcdefghijkl" + bytes + "mnop"}) {
            std::wstring out = L"untouched";
            EXPECT_EQ(Text::Utf8ToWide(text, &out), Err::NoUnicodeTranslation) << ::testing::PrintToString(text);
            EXPECT_EQ(out, L"untouched");
        }
    }
}

TEST(TextUtf8, UnpairedSurrogatesDoNotEncode)
{
    std::vector<std::wstring> cases = {
        std::wstring(1, static_cast<wchar_t>(0xD800)),
        std::wstring(1, static_cast<wchar_t>(0xDFFF)),
        L"ab" + std::wstring(1, static_cast<wchar_t>(0xDBFF)),                     // a high half at the end
        L"a" + std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"b",               // a low half alone
        std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x",                      // a high half before a non-surrogate
        std::wstring{static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800)},  // halves in the wrong order
    };
    if constexpr (!kWideIsUtf16) {
        cases.push_back(std::wstring(1, static_cast<wchar_t>(0x110000)));
        cases.push_back(std::wstring(1, static_cast<wchar_t>(-1)));
        // In UTF-32 text a pair of halves is two unpaired surrogates.
        cases.push_back(std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)});
    }
    for (const std::wstring& wide : cases) {
        std::string out = "untouched";
        EXPECT_EQ(Text::WideToUtf8(wide, &out), Err::NoUnicodeTranslation);
        EXPECT_EQ(out, "untouched");
    }
}

TEST(TextUtf8, EmptyAndEmbeddedZeros)
{
    std::wstring wide = L"x";
    ASSERT_EQ(Text::Utf8ToWide("", &wide), Err::Success);
    EXPECT_TRUE(wide.empty());
    ASSERT_EQ(Text::Utf8ToWide(std::string("a\0b", 3), &wide), Err::Success);
    EXPECT_EQ(wide, std::wstring(L"a\0b", 3));
    std::string bytes = "x";
    ASSERT_EQ(Text::WideToUtf8(L"", &bytes), Err::Success);
    EXPECT_TRUE(bytes.empty());
}

std::vector<uint8_t> Le(std::initializer_list<uint16_t> units)
{
    std::vector<uint8_t> bytes;
    for (uint16_t u : units) {
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    return bytes;
}

TEST(TextUtf16Le, PairsBecomeOneCodePointWhereWideTextIsUtf32)
{
    const std::vector<uint8_t> bytes = Le({0x0041, 0x00E9, 0xD83D, 0xDE00, 0xFFFF, 0xDBFF, 0xDFFF});
    const std::wstring wide = Text::Utf16LeToWide(bytes);
    EXPECT_EQ(wide, L"A\u00E9" + Wide(0x1F600) + L"\uFFFF" + Wide(0x10FFFF));
    std::vector<uint8_t> back;
    ASSERT_EQ(Text::WideToUtf16Le(wide, &back), Err::Success);
    EXPECT_EQ(back, bytes);
}

TEST(TextUtf16Le, UnpairedSurrogatesSurviveARoundTrip)
{
    // Registry text may hold them; reading and writing back must not change it.
    const std::vector<uint8_t> bytes = Le({0xD800, 0x0041, 0xDC00, 0xDBFF});
    const std::wstring wide = Text::Utf16LeToWide(bytes);
    EXPECT_EQ(wide.size(), 4u);
    std::vector<uint8_t> back;
    ASSERT_EQ(Text::WideToUtf16Le(wide, &back), Err::Success);
    EXPECT_EQ(back, bytes);
}

TEST(TextUtf16Le, AnOddTrailingByteIsIgnored)
{
    std::vector<uint8_t> bytes = Le({0x0041, 0x0042});
    bytes.push_back(0x43);
    EXPECT_EQ(Text::Utf16LeToWide(bytes), L"AB");
    EXPECT_EQ(Text::Utf16LeToWide(std::vector<uint8_t>{0x43}), L"");
}

#if WCHAR_MAX > 0xFFFF
TEST(TextUtf16Le, ValuesBeyondUnicodeDoNotEncode)
{
    std::vector<uint8_t> out{1, 2};
    EXPECT_EQ(Text::WideToUtf16Le(std::wstring(1, static_cast<wchar_t>(0x110000)), &out), Err::NoUnicodeTranslation);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2}));
}
#endif

}  // namespace
