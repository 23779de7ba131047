// VALUE_SET: what each text form writes, whether it then matches, the status
// codes of its analysis, and what its application records.
#include <gtest/gtest.h>

#include <cwchar>

#include "core/crypto/Base64.h"
#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;
using JournalTesting::Bytes;
namespace RegType = Platform::RegType;

class ValueSetTest : public TweakerTest {
protected:
    RTI::Reference<Tweaker::Key> Item(const std::wstring& type, const std::wstring& value,
                                      const std::wstring& extra = L"")
    {
        return KeyItem(L"keyname=\"K\" valuename=\"V\" valuetype=\"" + type + L"\" valueval=\"" + value + L"\" " +
                       extra);
    }
    Bytes Stored(uint32_t* type = nullptr)
    {
        uint32_t t = 0;
        Bytes data;
        EXPECT_EQ(ReadValue(L"K", L"V", &t, &data), 0u);
        if (type) {
            *type = t;
        }
        return data;
    }
};

struct DwordCase {
    const wchar_t* text;
    bool matchesAfter;
};

TEST_F(ValueSetTest, DwordTextFormsAllWriteSixteenButOnlySomeMatch)
{
    const DwordCase cases[] = {
        {L"16", true}, {L"0x10", false}, {L"0x00000010", true}, {L"0X10", false}, {L"0X00000010", false},
    };
    for (const DwordCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text " << std::string(c.text, c.text + wcslen(c.text)));
        auto key = Item(L"REG_DWORD", c.text);
        EXPECT_EQ(key->Apply(nullptr, nullptr), c.matchesAfter);
        uint32_t type = 0;
        EXPECT_EQ(Stored(&type), (Bytes{16, 0, 0, 0}));
        EXPECT_EQ(type, RegType::Dword);
        EXPECT_EQ(key->Analyse(), c.matchesAfter);
        EXPECT_EQ(key->GetStatusCode(), c.matchesAfter ? L"Y_" : L"C_");
        DeleteKey(L"K");
    }
}

TEST_F(ValueSetTest, DwordHexadecimalFormMatchesWhateverTheLetterCaseOfItsDigits)
{
    WriteDword(L"K", L"V", 0xABCDEF01u);
    EXPECT_TRUE(Item(L"REG_DWORD", L"0xabcdef01")->Analyse());
    EXPECT_TRUE(Item(L"REG_DWORD", L"2882400001")->Analyse());
    EXPECT_FALSE(Item(L"REG_DWORD", L"0xABCDEF02")->Analyse());
}

TEST_F(ValueSetTest, DwordLittleEndianKeywordIsADword)
{
    auto key = Item(L"REG_DWORD_LITTLE_ENDIAN", L"7");
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_EQ(Stored(), (Bytes{7, 0, 0, 0}));
}

TEST_F(ValueSetTest, BinaryIsPaddedWithZerosToItsByteLength)
{
    auto key = Item(L"REG_BINARY", L"AQI=", L"valuevalbytelen=\"4\"");  // decodes to 01 02
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_EQ(Stored(), (Bytes{1, 2, 0, 0}));
    EXPECT_TRUE(key->Analyse());
}

TEST_F(ValueSetTest, BinaryIsCutToItsByteLengthAndThenMatches)
{
    auto key = Item(L"REG_BINARY", L"AQIDBA==", L"valuevalbytelen=\"2\"");  // 01 02 03 04
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_EQ(Stored(), (Bytes{1, 2}));
    EXPECT_TRUE(key->Analyse());
}

TEST_F(ValueSetTest, BinaryWithoutByteLengthWritesNothing)
{
    auto key = Item(L"REG_BINARY", L"AQI=");
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_EQ(Stored(), Bytes{});
}

TEST_F(ValueSetTest, BinaryLongerThanOneBase64LineMatchesWithOrWithoutLineBreaks)
{
    Bytes data(60);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    WriteValue(L"K", L"V", RegType::Binary, data);
    const std::wstring text = Crypto::EncodeBase64(data.data(), data.size());
    ASSERT_GT(text.size(), 76u);
    std::wstring broken = text;
    broken.insert(76, L"\n");
    std::wstring flat;
    for (wchar_t ch : text) {
        if (ch != L'\r' && ch != L'\n') {
            flat.push_back(ch);
        }
    }
    EXPECT_TRUE(Item(L"REG_BINARY", flat, L"valuevalbytelen=\"60\"")->Analyse());
    EXPECT_TRUE(Item(L"REG_BINARY", broken, L"valuevalbytelen=\"60\"")->Analyse());
    auto shorter = Item(L"REG_BINARY", flat, L"valuevalbytelen=\"59\"");
    EXPECT_FALSE(shorter->Analyse());
    EXPECT_TRUE(shorter->Apply(nullptr, nullptr));
    EXPECT_EQ(Stored(), Bytes(data.begin(), data.begin() + 59));
}

TEST_F(ValueSetTest, MultiStringIgnoresCarriageReturns)
{
    auto key = Item(L"REG_MULTI_SZ", L"one\r\ntwo");
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    uint32_t type = 0;
    EXPECT_EQ(Stored(&type), Testing::StringBytes(std::wstring(L"one\0two\0", 8)));
    EXPECT_EQ(type, RegType::MultiSz);
    EXPECT_TRUE(Item(L"REG_MULTI_SZ", L"one\ntwo")->Analyse());
    EXPECT_FALSE(Item(L"REG_MULTI_SZ", L"one\ntwo\nthree")->Analyse());
}

TEST_F(ValueSetTest, ExpandStringKeepsItsTypeAndThenMatches)
{
    auto key = Item(L"REG_EXPAND_SZ", L"%SystemRoot%\\x");
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    uint32_t type = 0;
    EXPECT_EQ(Stored(&type), Testing::StringBytes(L"%SystemRoot%\\x"));
    EXPECT_EQ(type, RegType::ExpandSz);
    EXPECT_FALSE(Item(L"REG_SZ", L"%SystemRoot%\\x")->Analyse());
}

TEST_F(ValueSetTest, NoneIsWrittenEmptyAndThenMatches)
{
    auto key = Item(L"REG_NONE", L"ignored");
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    uint32_t type = 99;
    EXPECT_EQ(Stored(&type), Bytes{});
    EXPECT_EQ(type, RegType::None);
    EXPECT_TRUE(key->Analyse());
}

TEST_F(ValueSetTest, QwordIsWrittenAsEightBytesAndComparedByNumber)
{
    auto hex = Item(L"REG_QWORD", L"0x0000000100000002");
    EXPECT_TRUE(hex->Apply(nullptr, nullptr));
    uint32_t type = 0;
    EXPECT_EQ(Stored(&type), (Bytes{2, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(type, RegType::Qword);
    EXPECT_TRUE(Item(L"REG_QWORD", L"4294967298")->Analyse());
    EXPECT_TRUE(Item(L"REG_QWORD_LITTLE_ENDIAN", L"0x100000002")->Analyse());
    EXPECT_FALSE(Item(L"REG_QWORD", L"4294967299")->Analyse());
}

TEST_F(ValueSetTest, QwordOfZeroBytesIsCorruptAndNeverMatches)
{
    WriteValue(L"K", L"V", RegType::Qword, {});
    auto key = Item(L"REG_QWORD", L"0");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"!C_");
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_EQ(Stored(), Bytes(8, 0));
}

TEST_F(ValueSetTest, StatusCodesSayWhyTheValueDoesNotMatch)
{
    auto key = Item(L"REG_SZ", L"wanted");
    EXPECT_EQ(key->GetStatusCode(), L"-");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"!K_");
    WriteString(L"K", L"Other", L"x");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"!V_");
    WriteDword(L"K", L"V", 1);
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"T_");
    WriteString(L"K", L"V", L"other");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"C_");
    WriteValue(L"K", L"V", RegType::Sz, {});
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"!C_");
    WriteString(L"K", L"V", L"wanted");
    EXPECT_TRUE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"Y_");
}

TEST_F(ValueSetTest, ValueNameIsAnAnchoredPatternWithoutRegardToCase)
{
    WriteString(L"K", L"Value7", L"x");
    EXPECT_TRUE(KeyItem(L"keyname=\"K\" valuename=\"value[0-9]\" valuetype=\"REG_SZ\" valueval=\"x\"")->Analyse());
    EXPECT_FALSE(KeyItem(L"keyname=\"K\" valuename=\"Value\" valuetype=\"REG_SZ\" valueval=\"x\"")->Analyse());
    EXPECT_TRUE(KeyItem(L"keyname=\"K\" valuename=\"VALUE7\" valuetype=\"REG_SZ\" valueval=\"x\"")->Analyse());
}

TEST_F(ValueSetTest, MissingNestedKeyIsRecordedByItsOutermostNewLevel)
{
    auto key = KeyItem(L"keyname=\"A\\B\\C\" valuename=\"V\" valuetype=\"REG_SZ\" valueval=\"x\"");
    ExpectRoundTrip(*key, {L"SetRegKey HKCU ~\\A"});
}

TEST_F(ValueSetTest, MissingKeyBelowAnExistingOneIsRecordedAtTheFirstMissingLevel)
{
    WriteString(L"A", L"keep", L"k");
    auto key = KeyItem(L"keyname=\"A\\B\\C\" valuename=\"V\" valuetype=\"REG_DWORD\" valueval=\"1\"");
    ExpectRoundTrip(*key, {L"SetRegKey HKCU ~\\A\\B"});
}

TEST_F(ValueSetTest, NewValueInAnExistingKeyIsRecordedAsCreated)
{
    WriteString(L"K", L"Other", L"o");
    ExpectRoundTrip(*Item(L"REG_SZ", L"x"), {L"SetRegValue HKCU ~\\K V"});
}

TEST_F(ValueSetTest, ChangedValueIsRecordedWithItsOldContent)
{
    WriteDword(L"K", L"V", 5);
    ExpectRoundTrip(*Item(L"REG_SZ", L"x"), {L"DelRegValue HKCU ~\\K V"});
}

TEST_F(ValueSetTest, ValueSpelledInAnotherCaseIsTheSameValueAndKeepsItsSpelling)
{
    WriteString(L"K", L"mixedCase", L"old");
    auto key = KeyItem(L"keyname=\"K\" valuename=\"MIXEDCASE\" valuetype=\"REG_SZ\" valueval=\"new\"");
    bool applied = false;
    const JournalTesting::TreeState before = Tree();
    const std::wstring journal = ApplyJournalled(*key, &applied);
    EXPECT_TRUE(applied);
    EXPECT_EQ(BlocksOf(journal), std::vector<std::wstring>{L"DelRegValue HKCU ~\\K mixedCase"});
    EXPECT_EQ(Tree().at(L"K").count(L"mixedCase"), 1u);
    EXPECT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(ValueSetTest, ValueInEffectIsNeitherWrittenNorRecorded)
{
    WriteString(L"K", L"V", L"x");
    auto key = Item(L"REG_SZ", L"x");
    bool applied = false;
    EXPECT_TRUE(ApplyJournalled(*key, &applied).empty());
    EXPECT_TRUE(applied);
}

TEST_F(ValueSetTest, WithoutAJournalTheChangeIsStillMade)
{
    Remover::Processor closed;
    auto key = Item(L"REG_SZ", L"x");
    EXPECT_TRUE(key->Apply(&closed, nullptr));
    EXPECT_EQ(Stored(), Testing::StringBytes(L"x"));
}

TEST_F(ValueSetTest, DefaultUserRootIsTheDotDefaultKey)
{
    auto viaAlias = LoadItem<Tweaker::Key>(
        L"<Key parent=\"DEFAULT_USER\" path=\"Software\\CorvaneTweakerTest\" valuename=\"V\" valuetype=\"REG_SZ\" "
        L"valueval=\"x\"/>");
    EXPECT_EQ(viaAlias->GetRootName(), L".DEFAULT");
    auto direct = LoadItem<Tweaker::Key>(
        L"<Key parent=\".DEFAULT\" path=\"Software\\CorvaneTweakerTest\" valuename=\"V\" valuetype=\"REG_SZ\" "
        L"valueval=\"x\"/>");
    ASSERT_NE(viaAlias->Root(), nullptr);
    EXPECT_EQ(viaAlias->Root(), direct->Root());
    EXPECT_FALSE(direct->Analyse());
    EXPECT_TRUE(viaAlias->Apply(nullptr, nullptr));
    EXPECT_TRUE(direct->Analyse());
    EXPECT_EQ(Testing::DeleteTree(direct->Root(), L"Software\\CorvaneTweakerTest"), 0u);
}

TEST_F(ValueSetTest, UnknownRootIsNeverInEffectAndNeverApplied)
{
    auto key = LoadItem<Tweaker::Key>(L"<Key parent=\"HKXX\" path=\"" + ScratchKeyPath() +
                                      L"\" keyname=\"K\" valuename=\"V\" valuetype=\"REG_SZ\" valueval=\"x\"/>");
    EXPECT_EQ(key->Root(), nullptr);
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"!K_");
    bool applied = true;
    EXPECT_TRUE(ApplyJournalled(*key, &applied).empty());
    EXPECT_FALSE(applied);
    EXPECT_FALSE(KeyExists(L"K"));
}

}  // namespace
