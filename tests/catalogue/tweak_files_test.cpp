// The shipped tweak sets follow the tweak file format to the letter: known
// roots, actions, types and versions, value texts the program reads as
// intended, switches with one recommended choice, and honest file cleanups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <string>

#include "core/crypto/Base64.h"
#include "tests/catalogue/ShippedData.h"
#include "utils/Knobset/document/Keywords.h"

namespace {

using CatalogueDoc::Category;
using CatalogueDoc::PlacedTweak;
using Knobset::Choice;
using Knobset::Key;
using Shipped::Where;

const std::set<std::wstring> kRoots = {L"HKLM", L"HKCU", L"HKCR", L"HKUR", L"HKCC", L".DEFAULT"};
const std::set<std::wstring> kActions = {L"KEY_DELETE",       L"KEY_SET",       L"KEY_VALUES_DELETE",
                                         L"KEY_VALUES_CLEAR", L"VALUE_DELETE",  L"VALUE_SET",
                                         L"VALUE_CLEAR",      L"SUBKEYS_CLEAR", L"SUBKEYS_DELETE"};
const std::set<std::wstring> kTypes = {L"REG_NONE",     L"REG_SZ",    L"REG_EXPAND_SZ",
                                       L"REG_BINARY",   L"REG_DWORD", L"REG_DWORD_LITTLE_ENDIAN",
                                       L"REG_MULTI_SZ", L"REG_QWORD", L"REG_QWORD_LITTLE_ENDIAN"};
const std::set<std::wstring> kVersions = {L"WIN_2000", L"WIN_XP", L"WIN_2003", L"WIN_VISTA6", L"WIN_VISTA7",
                                          L"WIN_8",    L"WIN_81", L"WIN_10",   L"WIN_11"};

bool IsDword(const std::wstring& type)
{
    return type == L"REG_DWORD" || type == L"REG_DWORD_LITTLE_ENDIAN";
}

// The forms a DWORD text is compared in: plain decimal, or "0x" and exactly
// eight hexadecimal digits (any shorter hexadecimal text never matches the
// registry's eight-digit form, so the tweak would never count as applied).
bool IsDwordText(const std::wstring& text)
{
    if (text.empty()) {
        return false;
    }
    if (text.size() == 10 && text.starts_with(L"0x")) {
        return std::all_of(text.begin() + 2, text.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; });
    }
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }) &&
           std::stoull(text) <= 0xFFFFFFFFull;
}

bool IsDecimal(const std::wstring& text)
{
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Base64 that decodes to exactly the byte length written beside it.
bool IsBinaryText(const std::wstring& text, const std::wstring& byteLength)
{
    static constexpr std::wstring_view kAlphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
    if (!IsDecimal(byteLength) || std::stoul(byteLength) == 0 || text.size() % 4 != 0 ||
        text.find_first_not_of(kAlphabet) != std::wstring::npos) {
        return false;
    }
    return Crypto::DecodeBase64(std::wstring_view(text)).size() == std::stoul(byteLength);
}

std::wstring ActionOf(const std::wstring& action)
{
    return action.empty() ? L"VALUE_SET" : action;
}

class ShippedTweakFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { catalogue_ = new CatalogueDoc::Catalogue(Shipped::ReadSets()); }
    static void TearDownTestSuite()
    {
        delete catalogue_;
        catalogue_ = nullptr;
    }

    // Calls f(category, placed, key) for every Key item of every set.
    template <typename F>
    static void ForEachKey(F f)
    {
        for (const Category& category : catalogue_->categories) {
            for (const PlacedTweak& placed : category.tweaks) {
                for (const Knobset::Item& item : placed.tweak.items) {
                    if (item.kind == Knobset::ItemKind::Key) {
                        f(category, placed, item.key);
                    }
                }
            }
        }
    }

    static CatalogueDoc::Catalogue* catalogue_;
};

CatalogueDoc::Catalogue* ShippedTweakFiles::catalogue_ = nullptr;

TEST_F(ShippedTweakFiles, NoTextUsesANumericCharacterReference)
{
    // The reader keeps "&#10;" and the like as they stand: a multi-string
    // written that way would reach the registry as one string with "&#10;" in it.
    // Line breaks between strings are written as themselves.
    for (const Shipped::TweakSet& set : Shipped::kSets) {
        const std::string text = Shipped::SetText(set);
        const size_t at = text.find("&#");
        EXPECT_EQ(std::string::npos, at) << Shipped::Narrow(set.name) << ": "
                                         << text.substr(at == std::string::npos ? 0 : at, 60);
    }
}

TEST_F(ShippedTweakFiles, TweakNamesAreUniqueAcrossTheThreeSets)
{
    // Profiles and Config.xml know a tweak only by its name.
    std::map<std::wstring, std::string> seen;
    for (const Category& category : catalogue_->categories) {
        for (const PlacedTweak& placed : category.tweaks) {
            const auto [it, inserted] = seen.emplace(placed.tweak.name, Where(category, placed));
            EXPECT_TRUE(inserted) << Where(category, placed) << " repeats " << it->second;
            EXPECT_FALSE(placed.tweak.name.empty()) << Where(category, placed);
        }
    }
}

TEST_F(ShippedTweakFiles, EverySetHasTheEightCategoriesInOrderWithTheirIcons)
{
    for (const Shipped::TweakSet& set : Shipped::kSets) {
        XmlDocument document;
        ASSERT_TRUE(Shipped::Parse(Shipped::SetText(set), &document));
        ASSERT_TRUE(document.FindElem(L"Tweaks"));
        ASSERT_TRUE(document.IntoElem());
        size_t index = 0;
        while (document.FindElem()) {
            ASSERT_EQ(L"Category", document.GetTagName()) << Shipped::Narrow(set.name);
            ASSERT_LT(index, std::size(Shipped::kCategories)) << Shipped::Narrow(set.name);
            EXPECT_EQ(Shipped::kCategories[index].name, document.GetAttrib(L"n")) << Shipped::Narrow(set.name);
            EXPECT_EQ(Shipped::kCategories[index].icon, document.GetAttrib(L"i")) << Shipped::Narrow(set.name);
            ++index;
        }
        EXPECT_EQ(std::size(Shipped::kCategories), index) << Shipped::Narrow(set.name);
    }
}

TEST_F(ShippedTweakFiles, TheSetsAreLargeEnoughAndEveryCategoryOfTheBuiltInSetIsFilled)
{
    std::map<std::wstring, int> perSet;
    int total = 0;
    int forWindows11 = 0;
    for (const Category& category : catalogue_->categories) {
        int free = 0;
        for (const PlacedTweak& placed : category.tweaks) {
            ++perSet[placed.set];
            free += placed.set == L"Free" ? 1 : 0;
            // Offered on Windows 11: no newer maxver than WIN_11 cuts it off.
            const int newest = Knobset::VersionRank(placed.tweak.maxver);
            forWindows11 += newest == 0 || newest == Knobset::VersionRank(L"WIN_11") ? 1 : 0;
        }
        total += static_cast<int>(category.tweaks.size());
        EXPECT_GE(free, 10) << Shipped::Narrow(category.name);
        // Every category across the three sets.
        EXPECT_GE(category.tweaks.size(), 40u) << Shipped::Narrow(category.name);
    }
    EXPECT_GE(perSet[L"Free"], 200);
    EXPECT_GE(perSet[L"Silver"], 40);
    EXPECT_GE(perSet[L"Gold"], 40);
    EXPECT_GE(total, 450);
    EXPECT_GE(forWindows11, 80);
}

TEST_F(ShippedTweakFiles, EveryMaxverIsAKeywordNoOlderThanItsVer)
{
    int ranged = 0;
    for (const Category& category : catalogue_->categories) {
        for (const PlacedTweak& placed : category.tweaks) {
            const std::wstring& maxver = placed.tweak.maxver;
            if (maxver.empty()) {
                continue;
            }
            ++ranged;
            // An unknown keyword would set no limit at all.
            EXPECT_TRUE(kVersions.contains(maxver)) << Where(category, placed) << " maxver " << Shipped::Narrow(maxver);
            EXPECT_GE(Knobset::VersionRank(maxver), Knobset::VersionRank(placed.tweak.ver))
                << Where(category, placed) << ": offered on no Windows version";
        }
    }
    EXPECT_GT(ranged, 0);  // the check has something to look at
}

TEST_F(ShippedTweakFiles, EveryTweakHasADescriptionAnItemAndAKnownVersion)
{
    for (const Category& category : catalogue_->categories) {
        for (const PlacedTweak& placed : category.tweaks) {
            EXPECT_FALSE(placed.tweak.description.empty()) << Where(category, placed);
            EXPECT_FALSE(placed.tweak.items.empty()) << Where(category, placed);
            // An unknown keyword would offer the tweak on every version.
            EXPECT_TRUE(kVersions.contains(placed.tweak.ver))
                << Where(category, placed) << " ver " << Shipped::Narrow(placed.tweak.ver);
        }
    }
}

TEST_F(ShippedTweakFiles, KeysUseKnownRootsActionsAndTypes)
{
    ForEachKey([](const Category& category, const PlacedTweak& placed, const Key& key) {
        EXPECT_TRUE(kRoots.contains(key.parent)) << Where(category, placed) << " root " << Shipped::Narrow(key.parent);
        EXPECT_TRUE(kActions.contains(key.action))
            << Where(category, placed) << " action " << Shipped::Narrow(key.action);
        EXPECT_FALSE(key.path.empty() || key.path.starts_with(L"HK") || key.path.starts_with(L"\\") ||
                     key.path.ends_with(L"\\"))
            << Where(category, placed) << " path " << Shipped::Narrow(key.path);
        if (key.action == L"VALUE_SET" || key.action == L"VALUE_CLEAR" || !key.valuetype.empty()) {
            EXPECT_TRUE(kTypes.contains(key.valuetype))
                << Where(category, placed) << " type " << Shipped::Narrow(key.valuetype);
        }
        if (key.action == L"KEY_SET" || key.action == L"KEY_DELETE") {
            EXPECT_FALSE(key.keyname.empty()) << Where(category, placed) << ": a key action needs its key name";
        }
        for (const Choice& choice : key.choices) {
            EXPECT_TRUE(kActions.contains(ActionOf(choice.action))) << Where(category, placed);
        }
    });
}

TEST_F(ShippedTweakFiles, DwordValuesAreDecimalOrEightDigitHexadecimal)
{
    ForEachKey([](const Category& category, const PlacedTweak& placed, const Key& key) {
        if (!IsDword(key.valuetype)) {
            return;
        }
        if (key.action == L"VALUE_SET") {
            EXPECT_TRUE(IsDwordText(key.valueval))
                << Where(category, placed) << " valueval " << Shipped::Narrow(key.valueval);
        }
        for (const Choice& choice : key.choices) {
            if (ActionOf(choice.action) == L"VALUE_SET") {
                EXPECT_TRUE(IsDwordText(choice.val))
                    << Where(category, placed) << " choice " << Shipped::Narrow(choice.val);
            }
        }
    });
}

TEST_F(ShippedTweakFiles, BinaryValuesHaveTheirLengthAndDecodeToIt)
{
    int binaries = 0;
    ForEachKey([&](const Category& category, const PlacedTweak& placed, const Key& key) {
        if (key.valuetype != L"REG_BINARY") {
            return;
        }
        ++binaries;
        if (key.action == L"VALUE_SET") {
            EXPECT_TRUE(IsBinaryText(key.valueval, key.valuevalbytelen)) << Where(category, placed);
        }
        for (const Choice& choice : key.choices) {
            if (ActionOf(choice.action) == L"VALUE_SET") {
                EXPECT_TRUE(IsBinaryText(choice.val, choice.valuevalbytelen)) << Where(category, placed);
            }
        }
    });
    EXPECT_GT(binaries, 0);  // the check has something to look at
}

TEST_F(ShippedTweakFiles, EverySwitchOffersTwoOrMoreChoicesAndRecommendsItsOwnValue)
{
    ForEachKey([](const Category& category, const PlacedTweak& placed, const Key& key) {
        if (key.editable != L"set") {
            EXPECT_TRUE(key.choices.empty()) << Where(category, placed) << ": choices of a key that is no switch";
            return;
        }
        ASSERT_GE(key.choices.size(), 2u) << Where(category, placed);
        int mains = 0;
        for (const Choice& choice : key.choices) {
            if (choice.main != L"1") {
                continue;
            }
            ++mains;
            // The value the tweak applies by default is its recommended choice.
            EXPECT_EQ(ActionOf(key.action), ActionOf(choice.action)) << Where(category, placed);
            if (ActionOf(choice.action) == L"VALUE_SET") {
                EXPECT_EQ(key.valueval, choice.val) << Where(category, placed);
            }
        }
        EXPECT_EQ(1, mains) << Where(category, placed);
    });
}

TEST_F(ShippedTweakFiles, EveryFreeValueSaysWhatMayBeTyped)
{
    ForEachKey([](const Category& category, const PlacedTweak& placed, const Key& key) {
        if (key.editable != L"range") {
            return;
        }
        EXPECT_FALSE(key.valuedescr.empty()) << Where(category, placed);
        EXPECT_EQ(L"VALUE_SET", key.action) << Where(category, placed);
    });
}

TEST_F(ShippedTweakFiles, FileDeletionsAreNeverSelectedByDefaultAndSayARestoreCannotUndoThem)
{
    int deletions = 0;
    for (const Category& category : catalogue_->categories) {
        for (const PlacedTweak& placed : category.tweaks) {
            const Knobset::Tweak& tweak = placed.tweak;
            const bool deletes = std::any_of(tweak.items.begin(), tweak.items.end(), [](const Knobset::Item& item) {
                return item.kind == Knobset::ItemKind::File &&
                       std::find(item.otherAttributes.begin(), item.otherAttributes.end(),
                                 Knobset::Attribute{L"action", L"FILE_DELETE"}) != item.otherAttributes.end();
            });
            if (!deletes) {
                continue;
            }
            ++deletions;
            EXPECT_FALSE(CatalogueDoc::IsSelected(tweak)) << Where(category, placed);
            EXPECT_NE(std::wstring::npos, tweak.description.find(L"cannot be brought back by a restore"))
                << Where(category, placed) << ": " << Shipped::Narrow(tweak.description);
        }
    }
    EXPECT_GT(deletions, 0);
}

}  // namespace
