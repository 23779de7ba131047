#include <gtest/gtest.h>

#include <string>

#include "core/crypto/Base64.h"
#include "core/system/RegistryPatterns.h"
#include "core/system/ValueText.h"
#include "tests/core/system_test_support.h"

namespace {

using Platform::RegType::Binary;
using Platform::RegType::Dword;
using Platform::RegType::MultiSz;
using Sys::MatchCase;
using Sys::NamePattern;
using Sys::Recursive;

NamePattern Exact(std::wstring_view name)
{
    return NamePattern(L"^" + std::wstring(name) + L"$", MatchCase::Ignore);
}

// ------------------------------------------------------------ name patterns

TEST(SystemNamePattern, APlainNameMatchesItselfButNotALongerName)
{
    const NamePattern run(L"Run", MatchCase::Ignore);
    EXPECT_TRUE(run.Matches(L"Run"));
    EXPECT_TRUE(run.Matches(L"run"));
    EXPECT_FALSE(run.Matches(L"RunOnce"));
    EXPECT_FALSE(run.Matches(L"MyRun"));
    EXPECT_FALSE(Exact(L"Run").Matches(L"RunOnce"));
}

TEST(SystemNamePattern, NamesWithRegexCharactersMatchThemselves)
{
    const wchar_t* names[] = {
        L"{645FF040-5081-101B-9F08-00AA002F954E}",
        L"file.ext.bak",
        L"(Default)",
        L"C++ [x86] $HOME ^caret",
        L"a|b",
        L"back\\slash",
        L"*",
        L"?",
    };
    for (const wchar_t* name : names) {
        EXPECT_TRUE(Exact(name).Matches(name)) << name;
        EXPECT_TRUE(NamePattern(name, MatchCase::Sensitive).Matches(name)) << name;
    }
    // A CLSID's braces are no quantifier: other text of the same shape does not match.
    EXPECT_FALSE(Exact(L"{645FF040-5081-101B-9F08-00AA002F954E}").Matches(L"{645FF040-5081-101B-9F08-00AA002F954F}"));
}

TEST(SystemNamePattern, ExpressionsStillWork)
{
    const NamePattern toolbar(L".*Toolbar", MatchCase::Ignore);
    EXPECT_TRUE(toolbar.IsExpression());
    EXPECT_TRUE(toolbar.Matches(L"Some toolbar"));
    EXPECT_FALSE(toolbar.Matches(L"Toolbars"));  // the whole name must match
    EXPECT_TRUE(NamePattern(L"^Ex[0-9]+$", MatchCase::Sensitive).Matches(L"Ex42"));
}

TEST(SystemNamePattern, CaseMattersOnlyWhenAsked)
{
    const NamePattern sensitive(L"^Value$", MatchCase::Sensitive);
    EXPECT_TRUE(sensitive.Matches(L"Value"));
    EXPECT_FALSE(sensitive.Matches(L"VALUE"));
    EXPECT_TRUE(NamePattern(L"^Value$", MatchCase::Ignore).Matches(L"VALUE"));
    EXPECT_FALSE(NamePattern(L"v.*E", MatchCase::Sensitive).Matches(L"value"));
    EXPECT_TRUE(NamePattern(L"v.*E", MatchCase::Ignore).Matches(L"value"));
}

TEST(SystemNamePattern, BadExpressionsNeverThrowAndCompareLiterally)
{
    const wchar_t* texts[] = {L"[", L"(unclosed", L"a{2,1}", L"\\", L"(a)\\1", L"*star", L"+plus"};
    for (const wchar_t* text : texts) {
        EXPECT_NO_THROW({
            const NamePattern pattern(text, MatchCase::Ignore);
            EXPECT_TRUE(pattern.Matches(text)) << text;
            EXPECT_FALSE(pattern.Matches(L"other")) << text;
        });
    }
}

TEST(SystemNamePattern, AnchorsAreStrippedOnlyOnceAndOnlyAtTheEnds)
{
    EXPECT_TRUE(Exact(L"").Matches(L""));
    EXPECT_FALSE(Exact(L"").Matches(L"x"));
    EXPECT_TRUE(NamePattern(L"^^x$$", MatchCase::Sensitive).Matches(L"^x$"));
    EXPECT_TRUE(NamePattern(L"a^b", MatchCase::Sensitive).Matches(L"a^b"));
}

// The standard engine would recurse once per character of a 16383-character
// value name and overflow a worker thread's stack.
TEST(SystemNamePattern, LongestNamesAndOverlongPatternsAreSafe)
{
    const std::wstring longName(16383, L'x');
    EXPECT_TRUE(NamePattern(L".*x", MatchCase::Ignore).Matches(longName));
    EXPECT_FALSE(NamePattern(L".*y", MatchCase::Ignore).Matches(longName));
    const NamePattern literal(L"^" + longName + L"$", MatchCase::Ignore);
    EXPECT_FALSE(literal.IsExpression());
    EXPECT_TRUE(literal.Matches(longName));
    EXPECT_FALSE(literal.Matches(longName + L"x"));
}

TEST(SystemNamePattern, MatchAllMatchesTheDefaultValueName)
{
    EXPECT_TRUE(NamePattern::MatchAll().Matches(L""));
    EXPECT_TRUE(NamePattern::MatchAll().Matches(L"anything"));
}

// ------------------------------------------------------------- text forms

std::vector<uint8_t> Utf16(std::wstring_view text, size_t extraNuls)
{
    std::vector<uint8_t> bytes;
    for (wchar_t ch : text) {
        bytes.push_back(uint8_t(ch));
        bytes.push_back(uint8_t(ch >> 8));
    }
    bytes.insert(bytes.end(), 2 * extraNuls, 0);
    return bytes;
}

TEST(SystemValueText, StringsCompareAsStoredWithOrWithoutTheirTerminator)
{
    EXPECT_TRUE(Sys::ValueDataEquals(Platform::RegType::Sz, Utf16(L"hello", 1), L"hello"));
    EXPECT_TRUE(Sys::ValueDataEquals(Platform::RegType::ExpandSz, Utf16(L"%WINDIR%", 0), L"%WINDIR%"));
    EXPECT_FALSE(Sys::ValueDataEquals(Platform::RegType::Sz, Utf16(L"hello", 1), L"Hello"));
    EXPECT_TRUE(Sys::ValueDataEquals(Platform::RegType::Sz, {}, L""));
}

TEST(SystemValueText, DwordsInDecimalOrInTheEightDigitHexForm)
{
    const std::vector<uint8_t> v31 = {31, 0, 0, 0};
    EXPECT_TRUE(Sys::ValueDataEquals(Dword, v31, L"31"));
    EXPECT_FALSE(Sys::ValueDataEquals(Dword, v31, L"0x1F"));
    EXPECT_TRUE(Sys::ValueDataEquals(Dword, v31, L"0x0000001F"));
    EXPECT_TRUE(Sys::ValueDataEquals(Dword, v31, L"0x0000001f"));
    EXPECT_TRUE(Sys::ValueDataEquals(Dword, v31, L"0X0000001F"));
    EXPECT_TRUE(Sys::ValueDataEquals(Dword, {0xFF, 0xFF, 0xFF, 0xFF}, L"4294967295"));
    EXPECT_TRUE(Sys::ValueDataEquals(Platform::RegType::DwordBigEndian, {0, 0, 0, 31}, L"31"));
    EXPECT_FALSE(Sys::ValueDataEquals(Dword, {}, L"0"));
    EXPECT_FALSE(Sys::ValueDataEquals(Dword, {31, 0, 0, 0, 0}, L"31"));
}

TEST(SystemValueText, BinaryThroughBase64WhateverTheLineBreaks)
{
    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = uint8_t(i * 13);
    }
    std::wstring text = Crypto::EncodeBase64(bytes.data(), bytes.size());
    ASSERT_NE(text.find(L"\r\n"), std::wstring::npos);
    EXPECT_TRUE(Sys::ValueDataEquals(Binary, bytes, text));
    // An XML reader hands the text over with bare line feeds.
    std::wstring lf = text;
    lf.erase(lf.find(L'\r'), 1);
    EXPECT_TRUE(Sys::ValueDataEquals(Binary, bytes, lf));
    bytes[99] ^= 1;
    EXPECT_FALSE(Sys::ValueDataEquals(Binary, bytes, text));
    EXPECT_TRUE(Sys::ValueDataEquals(Binary, {}, L""));
}

TEST(SystemValueText, MultiStringsJoinedWithLineFeeds)
{
    const auto data = Utf16(std::wstring(L"one\0two\0\0", 9), 0);
    EXPECT_TRUE(Sys::ValueDataEquals(MultiSz, data, L"one\ntwo"));
    EXPECT_TRUE(Sys::ValueDataEquals(MultiSz, data, L"one\r\ntwo"));
    EXPECT_FALSE(Sys::ValueDataEquals(MultiSz, data, L"one two"));
    EXPECT_TRUE(Sys::ValueDataEquals(MultiSz, Utf16(std::wstring(L"a\0\0b\0", 5), 1), L"a\n\nb"));
}

TEST(SystemValueText, OtherTypesNeverMatch)
{
    EXPECT_FALSE(Sys::ValueDataEquals(Platform::RegType::None, {}, L""));
    EXPECT_FALSE(Sys::ValueDataEquals(Platform::RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0}, L"1"));
}

// --------------------------------------------------------- registry walks

class SystemRegistryPatterns : public Testing::SystemTest {
protected:
    std::wstring Path(std::wstring_view sub = {}) const
    {
        return sub.empty() ? ScratchKeyPath() : ScratchKeyPath() + L"\\" + std::wstring(sub);
    }
    Platform::KeyHandle Root() const { return ScratchRoot(); }
    void MakeKey(std::wstring_view sub)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(ScratchKey(), sub, key.put(), &created), 0u);
    }
};

TEST_F(SystemRegistryPatterns, SubkeyExistsSearchesDepthOnlyWhenRecursive)
{
    MakeKey(L"A\\B\\{645FF040-5081-101B-9F08-00AA002F954E}");
    MakeKey(L"RunOnce");
    const auto clsid = Exact(L"{645FF040-5081-101B-9F08-00AA002F954E}");
    EXPECT_TRUE(Sys::SubkeyExists(Root(), Path(), clsid, Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::SubkeyExists(Root(), Path(), clsid, Recursive::No, nullptr));
    EXPECT_TRUE(Sys::SubkeyExists(Root(), Path(L"A\\B"), clsid, Recursive::No, nullptr));
    EXPECT_FALSE(Sys::SubkeyExists(Root(), Path(), NamePattern(L"Run", MatchCase::Ignore), Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::SubkeyExists(Root(), Path(L"Missing"), clsid, Recursive::Yes, nullptr));
}

TEST_F(SystemRegistryPatterns, ValueExistsLooksBelowWhenRecursive)
{
    WriteString(L"A\\B", L"Deep.Value", L"x");
    WriteString(L"", L"RunOnce", L"x");
    EXPECT_TRUE(Sys::ValueExists(Root(), Path(), Exact(L"deep.value"), Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::ValueExists(Root(), Path(), Exact(L"deep.value"), Recursive::No, nullptr));
    EXPECT_FALSE(Sys::ValueExists(Root(), Path(), Exact(L"Run"), Recursive::Yes, nullptr));
    EXPECT_TRUE(Sys::ValueExists(Root(), Path(), Exact(L"RunOnce"), Recursive::No, nullptr));
}

TEST_F(SystemRegistryPatterns, WalksEndWithFalseWhenCancelled)
{
    WriteString(L"A", L"v", L"x");
    WriteString(L"", L"w", L"x");
    auto cancel = SetEvent();
    EXPECT_FALSE(Sys::SubkeyExists(Root(), Path(), Exact(L"A"), Recursive::No, cancel.get()));
    EXPECT_FALSE(Sys::ValueExists(Root(), Path(), Exact(L"v"), Recursive::Yes, cancel.get()));
    EXPECT_FALSE(Sys::ValueHasType(Root(), Path(), Exact(L"w"), Platform::RegType::Sz, cancel.get()));
    EXPECT_FALSE(Sys::ValueEquals(Root(), Path(), Exact(L"w"), L"x", cancel.get()));
    EXPECT_FALSE(Sys::AllValuesEmpty(Root(), Path(), Recursive::No, cancel.get()));
}

TEST_F(SystemRegistryPatterns, ValueHasTypeNeedsTheNameAndTheType)
{
    WriteDword(L"", L"Number", 1);
    WriteString(L"", L"Text", L"1");
    EXPECT_TRUE(Sys::ValueHasType(Root(), Path(), Exact(L"Number"), Dword, nullptr));
    EXPECT_FALSE(Sys::ValueHasType(Root(), Path(), Exact(L"Text"), Dword, nullptr));
    EXPECT_FALSE(Sys::ValueHasType(Root(), Path(L"Missing"), Exact(L"Number"), Dword, nullptr));
}

TEST_F(SystemRegistryPatterns, ValueIsEmptyIsDecidedByTheFirstMatchFromTheHighestIndex)
{
    WriteValue(L"", L"Empty", Binary, {});
    WriteValue(L"", L"Full", Binary, {1});
    EXPECT_TRUE(Sys::ValueIsEmpty(Root(), Path(), Exact(L"Empty"), nullptr));
    EXPECT_FALSE(Sys::ValueIsEmpty(Root(), Path(), Exact(L"Full"), nullptr));
    EXPECT_FALSE(Sys::ValueIsEmpty(Root(), Path(), Exact(L"Missing"), nullptr));
    EXPECT_FALSE(Sys::ValueIsEmpty(Root(), Path(L"Missing"), Exact(L"Empty"), nullptr));
}

TEST_F(SystemRegistryPatterns, AllValuesEmptyLooksAtEveryValueAndEveryKeyBelow)
{
    WriteValue(L"K", L"a", Binary, {});
    WriteValue(L"K", L"b", Platform::RegType::Sz, {});
    WriteValue(L"K\\S1", L"c", Binary, {});
    WriteValue(L"K\\S2", L"d", Binary, {});
    EXPECT_TRUE(Sys::AllValuesEmpty(Root(), Path(L"K"), Recursive::Yes, nullptr));

    // Data in the second subkey, and in a value other than the first one.
    WriteValue(L"K\\S2", L"e", Binary, {0});
    EXPECT_FALSE(Sys::AllValuesEmpty(Root(), Path(L"K"), Recursive::Yes, nullptr));
    EXPECT_TRUE(Sys::AllValuesEmpty(Root(), Path(L"K"), Recursive::No, nullptr));
    WriteValue(L"K", L"f", Binary, {0});
    EXPECT_FALSE(Sys::AllValuesEmpty(Root(), Path(L"K"), Recursive::No, nullptr));
}

TEST_F(SystemRegistryPatterns, AllValuesEmptyHoldsForAMissingKeyAndAKeyWithoutValues)
{
    EXPECT_TRUE(Sys::AllValuesEmpty(Root(), Path(L"Missing"), Recursive::Yes, nullptr));
    MakeKey(L"Bare");
    EXPECT_TRUE(Sys::AllValuesEmpty(Root(), Path(L"Bare"), Recursive::No, nullptr));
    EXPECT_TRUE(Sys::AllValuesEmpty(Root(), Path(L"Bare"), Recursive::Yes, nullptr));
}

TEST_F(SystemRegistryPatterns, ValueEqualsUsesTheTextForms)
{
    WriteDword(L"", L"Number", 31);
    WriteString(L"", L"Text", L"hello");
    WriteValue(L"", L"Multi", MultiSz, Utf16(std::wstring(L"one\0two\0", 8), 1));
    EXPECT_TRUE(Sys::ValueEquals(Root(), Path(), Exact(L"Number"), L"31", nullptr));
    EXPECT_TRUE(Sys::ValueEquals(Root(), Path(), Exact(L"Number"), L"0x0000001f", nullptr));
    EXPECT_FALSE(Sys::ValueEquals(Root(), Path(), Exact(L"Number"), L"32", nullptr));
    EXPECT_TRUE(Sys::ValueEquals(Root(), Path(), Exact(L"Text"), L"hello", nullptr));
    EXPECT_TRUE(Sys::ValueEquals(Root(), Path(), Exact(L"Multi"), L"one\r\ntwo", nullptr));
    EXPECT_FALSE(Sys::ValueEquals(Root(), Path(), Exact(L"Missing"), L"", nullptr));
}

// Several names may match; any one of them with equal data is enough.
TEST_F(SystemRegistryPatterns, ValueEqualsTriesEveryMatchingValue)
{
    WriteString(L"", L"Item1", L"a");
    WriteString(L"", L"Item2", L"b");
    EXPECT_TRUE(Sys::ValueEquals(Root(), Path(), NamePattern(L"Item[0-9]", MatchCase::Ignore), L"a", nullptr));
    EXPECT_TRUE(Sys::ValueEquals(Root(), Path(), NamePattern(L"Item[0-9]", MatchCase::Ignore), L"b", nullptr));
}

}  // namespace
