// The registry actions other than VALUE_SET: analysis with its status codes,
// and for each the journal blocks Apply writes and the restore of them.
#include <gtest/gtest.h>

#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;
namespace RegType = Platform::RegType;

using KeyActionTest = TweakerTest;

// ------------------------------------------------------------ KEY_DELETE

TEST_F(KeyActionTest, KeyDeleteRecordsTheWholeTreeAndRestoresIt)
{
    WriteString(L"Doomed\\Sub", L"a", L"1");
    WriteDword(L"Doomed", L"b", 2);
    auto key = KeyItem(L"keyname=\"Doomed\" action=\"KEY_DELETE\"");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"K_");
    ExpectRoundTrip(*key, {L"DelRegKey HKCU ~\\Doomed"});
}

TEST_F(KeyActionTest, KeyDeleteOfAMissingKeyIsInEffectAndRecordsNothing)
{
    auto key = KeyItem(L"keyname=\"Absent\" action=\"KEY_DELETE\"");
    EXPECT_TRUE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"Y_");
    ExpectRoundTrip(*key, {});
}

TEST_F(KeyActionTest, RecursiveKeyDeleteSeesMatchesAtAnyDepthButDeletesOnlyTheLiteralKey)
{
    WriteString(L"A\\B\\Toolbar7", L"x", L"1");
    auto key = KeyItem(L"keyname=\"Toolbar[0-9]\" action=\"KEY_DELETE\" recursive=\"1\"");
    EXPECT_FALSE(key->Analyse());
    bool applied = true;
    EXPECT_TRUE(ApplyJournalled(*key, &applied).empty());
    EXPECT_FALSE(applied);
    EXPECT_TRUE(KeyExists(L"A\\B\\Toolbar7"));
    auto flat = KeyItem(L"keyname=\"Toolbar[0-9]\" action=\"KEY_DELETE\"");
    EXPECT_TRUE(flat->Analyse());
}

TEST_F(KeyActionTest, KeyDeleteWhoseRecordFailsKeepsTheKey)
{
    WriteString(L"Doomed\\Sub", L"a", L"1");
    auto key = KeyItem(L"keyname=\"Doomed\" action=\"KEY_DELETE\"");
    Remover::Processor journal;
    ASSERT_EQ(journal.Open(BackupFolder(), JournalTesting::Header(), JournalTesting::kHeaderLength), 0u);
    // Recording a key tree stops when the run is cancelled.
    Platform::UniqueEvent cancel(Os().Threads().CreateEvent(true, true));
    EXPECT_FALSE(key->Apply(&journal, cancel.get()));
    EXPECT_TRUE(KeyExists(L"Doomed\\Sub"));
    EXPECT_EQ(journal.Close(), 0u);
    EXPECT_TRUE(Journals().empty());
}

TEST_F(KeyActionTest, KeyDeleteStopsWhenTheRunIsCancelled)
{
    WriteString(L"Doomed\\Sub", L"a", L"1");
    WriteString(L"Doomed", L"b", L"2");
    auto key = KeyItem(L"keyname=\"Doomed\" action=\"KEY_DELETE\"");
    Platform::UniqueEvent cancel(Os().Threads().CreateEvent(true, true));
    EXPECT_FALSE(key->Apply(nullptr, cancel.get()));
    EXPECT_TRUE(KeyExists(L"Doomed\\Sub"));
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_FALSE(KeyExists(L"Doomed"));
}

// --------------------------------------------------------------- KEY_SET

TEST_F(KeyActionTest, KeySetOfANestedNameRecordsItsOutermostNewLevel)
{
    auto key = KeyItem(L"keyname=\"Outer\\Inner\" action=\"KEY_SET\"");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"!K_");
    ExpectRoundTrip(*key, {L"SetRegKey HKCU ~\\Outer"});
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_TRUE(KeyExists(L"Outer\\Inner"));
    EXPECT_TRUE(key->Analyse());
}

TEST_F(KeyActionTest, KeySetOfAClassIdentifierMatchesItLiterally)
{
    const std::wstring clsid = L"{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    auto key = KeyItem(L"keyname=\"CLSID\\" + clsid + L"\" action=\"KEY_SET\"");
    WriteString(L"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309E}", L"", L"near miss");
    EXPECT_FALSE(key->Analyse());
    ExpectRoundTrip(*key, {L"SetRegKey HKCU ~\\CLSID\\" + clsid});
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_TRUE(KeyExists(L"CLSID\\" + clsid));
    auto lower = KeyItem(L"keyname=\"CLSID\\{20d04fe0-3aea-1069-a2d8-08002b30309d}\" action=\"KEY_SET\"");
    EXPECT_TRUE(lower->Analyse());
}

TEST_F(KeyActionTest, KeySetBelowAMissingPathFails)
{
    auto key = LoadItem<Tweaker::Key>(L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() +
                                      L"\\Missing\" keyname=\"K\" action=\"KEY_SET\"/>");
    bool applied = true;
    EXPECT_TRUE(ApplyJournalled(*key, &applied).empty());
    EXPECT_FALSE(applied);
}

// ----------------------------------------------------- KEY_VALUES_DELETE

TEST_F(KeyActionTest, KeyValuesDeleteRecordsEachValueAtEveryLevelWhenRecursive)
{
    WriteString(L"K", L"a", L"1");
    WriteString(L"K\\Sub", L"b", L"2");
    auto flat = KeyItem(L"keyname=\"K\" action=\"KEY_VALUES_DELETE\"");
    auto deep = KeyItem(L"keyname=\"K\" action=\"KEY_VALUES_DELETE\" recursive=\"1\"");
    EXPECT_FALSE(flat->Analyse());
    ExpectRoundTrip(*deep, {L"DelRegValue HKCU ~\\K\\Sub b", L"DelRegValue HKCU ~\\K a"});
    EXPECT_TRUE(deep->Apply(nullptr, nullptr));
    EXPECT_TRUE(KeyExists(L"K\\Sub"));
    EXPECT_TRUE(flat->Analyse());
}

TEST_F(KeyActionTest, KeyValuesDeleteWithoutRecursionSeesOnlyTheKeysOwnValues)
{
    WriteString(L"K\\Sub", L"b", L"2");
    EXPECT_TRUE(KeyItem(L"keyname=\"K\" action=\"KEY_VALUES_DELETE\"")->Analyse());
    EXPECT_FALSE(KeyItem(L"keyname=\"K\" action=\"KEY_VALUES_DELETE\" recursive=\"1\"")->Analyse());
}

TEST_F(KeyActionTest, KeyValuesDeleteOfAMissingKeyIsInEffect)
{
    auto key = KeyItem(L"keyname=\"Absent\" action=\"KEY_VALUES_DELETE\"");
    EXPECT_TRUE(key->Analyse());
    ExpectRoundTrip(*key, {});
}

// ------------------------------------------------------ KEY_VALUES_CLEAR

TEST_F(KeyActionTest, KeyValuesClearEmptiesEveryValueKeepingItsType)
{
    WriteDword(L"K", L"d", 9);
    WriteValue(L"K", L"empty", RegType::Binary, {});
    WriteString(L"K\\Sub", L"s", L"text");
    auto key = KeyItem(L"keyname=\"K\" action=\"KEY_VALUES_CLEAR\" recursive=\"1\"");
    EXPECT_FALSE(key->Analyse());
    ExpectRoundTrip(*key, {L"DelRegValue HKCU ~\\K\\Sub s", L"DelRegValue HKCU ~\\K d"});
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    uint32_t type = 0;
    std::vector<uint8_t> data{1};
    EXPECT_EQ(ReadValue(L"K", L"d", &type, &data), 0u);
    EXPECT_EQ(type, RegType::Dword);
    EXPECT_TRUE(data.empty());
    EXPECT_TRUE(key->Analyse());
}

TEST_F(KeyActionTest, KeyValuesClearOfAMissingKeyIsInEffect)
{
    EXPECT_TRUE(KeyItem(L"keyname=\"Absent\" action=\"KEY_VALUES_CLEAR\"")->Analyse());
}

// ---------------------------------------------------------- VALUE_DELETE

TEST_F(KeyActionTest, ValueDeleteRecordsTheValueAndRestoresIt)
{
    WriteDword(L"K", L"Gone", 3);
    WriteDword(L"K", L"Kept", 4);
    auto key = KeyItem(L"keyname=\"K\" action=\"VALUE_DELETE\" valuename=\"gone\"");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"V_");
    ExpectRoundTrip(*key, {L"DelRegValue HKCU ~\\K Gone"});
}

TEST_F(KeyActionTest, ValueDeleteOnAMissingKeyIsInEffect)
{
    auto key = KeyItem(L"keyname=\"Absent\" action=\"VALUE_DELETE\" valuename=\"V\"");
    EXPECT_TRUE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"Y(!K)_");
    ExpectRoundTrip(*key, {});
}

TEST_F(KeyActionTest, RecursiveValueDeleteSearchesSubkeys)
{
    WriteDword(L"K\\Deep", L"V", 1);
    EXPECT_FALSE(KeyItem(L"keyname=\"K\" action=\"VALUE_DELETE\" valuename=\"V\" recursive=\"1\"")->Analyse());
    EXPECT_TRUE(KeyItem(L"keyname=\"K\" action=\"VALUE_DELETE\" valuename=\"V\"")->Analyse());
}

// ----------------------------------------------------------- VALUE_CLEAR

TEST_F(KeyActionTest, ValueClearRecordsTheOldDataAndEmptiesTheValue)
{
    WriteString(L"K", L"V", L"data");
    auto key = KeyItem(L"keyname=\"K\" action=\"VALUE_CLEAR\" valuename=\"V\" valuetype=\"REG_SZ\"");
    EXPECT_FALSE(key->Analyse());
    EXPECT_EQ(key->GetStatusCode(), L"C_");
    ExpectRoundTrip(*key, {L"DelRegValue HKCU ~\\K V"});
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"K", L"V", &type, &data), 0u);
    EXPECT_EQ(type, RegType::Sz);
    EXPECT_TRUE(data.empty());
}

TEST_F(KeyActionTest, ValueClearOfAMissingValueOrKeyIsInEffect)
{
    EXPECT_TRUE(KeyItem(L"keyname=\"Absent\" action=\"VALUE_CLEAR\" valuename=\"V\"")->Analyse());
    WriteString(L"K", L"Other", L"x");
    auto key = KeyItem(L"keyname=\"K\" action=\"VALUE_CLEAR\" valuename=\"V\"");
    EXPECT_TRUE(key->Analyse());
    ExpectRoundTrip(*key, {});
}

// -------------------------------------------------------- SUBKEYS_DELETE

TEST_F(KeyActionTest, SubkeysDeleteRecordsEachSubkeyTree)
{
    WriteString(L"K\\One\\Deep", L"a", L"1");
    WriteString(L"K\\Two", L"b", L"2");
    WriteString(L"K", L"own", L"stays");
    auto key = KeyItem(L"keyname=\"K\" action=\"SUBKEYS_DELETE\"");
    EXPECT_FALSE(key->Analyse());
    ExpectRoundTrip(*key, {L"DelRegKey HKCU ~\\K\\One", L"DelRegKey HKCU ~\\K\\Two"});
    EXPECT_TRUE(key->Apply(nullptr, nullptr));
    EXPECT_FALSE(KeyExists(L"K\\One"));
    EXPECT_TRUE(KeyExists(L"K"));
}

TEST_F(KeyActionTest, SubkeysDeleteWithoutSubkeysIsInEffect)
{
    WriteString(L"K", L"own", L"x");
    auto key = KeyItem(L"keyname=\"K\" action=\"SUBKEYS_DELETE\"");
    EXPECT_TRUE(key->Analyse());
    ExpectRoundTrip(*key, {});
}

// ------------------------------------------ SUBKEYS_CLEAR and no action

TEST_F(KeyActionTest, SubkeysClearAndUnknownActionsAreNeverInEffectAndChangeNothing)
{
    WriteString(L"K\\Sub", L"a", L"1");
    for (const wchar_t* action : {L"SUBKEYS_CLEAR", L"KEY_RENAME"}) {
        auto key = KeyItem(L"keyname=\"K\" action=\"" + std::wstring(action) + L"\"");
        EXPECT_FALSE(key->Analyse());
        ExpectRoundTrip(*key, {}, false);
    }
}

TEST_F(KeyActionTest, UnknownRootOpensNothingAndEachActionDecidesWhatThatMeans)
{
    struct Case {
        const wchar_t* attributes;
        bool inEffect;
        const wchar_t* status;
    };
    const Case cases[] = {
        {L"action=\"KEY_SET\"", false, L"!K_"},
        {L"action=\"KEY_DELETE\"", true, L"Y_"},
        {L"action=\"VALUE_DELETE\" valuename=\"v\"", true, L"Y(!K)_"},
        {L"action=\"KEY_VALUES_CLEAR\"", false, L"Y_"},
    };
    for (const Case& c : cases) {
        auto key = LoadItem<Tweaker::Key>(L"<Key parent=\"hkcu\" path=\"" + ScratchKeyPath() + L"\" keyname=\"K\" " +
                                          c.attributes + L"/>");
        EXPECT_EQ(key->Root(), nullptr);  // root names are case-sensitive
        EXPECT_EQ(key->Analyse(), c.inEffect);
        EXPECT_EQ(key->GetStatusCode(), c.status);
        ExpectRoundTrip(*key, {}, c.inEffect);
    }
}

}  // namespace
