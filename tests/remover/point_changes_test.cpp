// What a backup point will undo, read without changing anything, and the
// search of points by key, value or file.
#include <gtest/gtest.h>

#include "remover/DeleteFileW.h"
#include "remover/DeleteRegKey.h"
#include "remover/DeleteRegValue.h"
#include "remover/PointChanges.h"
#include "remover/RCreateFile.h"
#include "remover/SetRegKey.h"
#include "remover/SetRegValue.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Kind = Remover::PointChange::Kind;

class PointChanges : public JournalTest {
protected:
    static Bytes Le32(uint32_t v)
    {
        Bytes b(4);
        Remover::Format::PutUint32(b.data(), v);
        return b;
    }
    // One journal holding one change of every kind, in this order.
    static JournalBuilder EveryKind()
    {
        JournalBuilder b;
        b.Header().Start();
        b.Begin(Remover::DeleteRegValue::kTag).Wide(L"HKCU").Wide(L"Software\\Pets").Wide(L"Cat");
        b.Int(Platform::RegType::Dword).Data(Le32(7)).Finish();
        b.Begin(Remover::SetRegValue::kTag).Wide(L"HKLM").Wide(L"Software\\Pets").Wide(L"").Finish();
        b.Begin(Remover::DeleteRegKey::kTag).Wide(L"HKCU").Begin('K').Wide(L"Software\\Old");
        b.Begin('K').Wide(L"Inner").Begin('V').Wide(L"a").Int(1).Data(Utf16(L"x")).Finish().Finish();
        b.Begin('V').Wide(L"b").Int(4).Data(Le32(1)).Finish();
        b.Begin('V').Wide(L"c").Int(4).Data(Le32(2)).Finish();
        b.Finish().Finish();
        b.Begin(Remover::SetRegKey::kTag).Wide(L"HKCU").Wide(L"Software\\New").Finish();
        b.Begin(Remover::DeleteFileW::kTag).Saved(L"C:\\Data\\Notes.TXT", L"0123456789abcdef0123456789abcdef").Finish();
        b.Begin(Remover::RCreateFile::kTag).Wide(L"C:\\Data\\made.ini").Finish();
        return b;
    }
};

TEST_F(PointChanges, EveryKindOfChangeIsDescribedLastFirst)
{
    const std::wstring path = PutJournal(L"1700000000.arch", EveryKind().End().Get());
    const Remover::PointContents contents = Remover::ReadPointChanges(path);
    EXPECT_EQ(contents.status, 0u);
    EXPECT_TRUE(contents.report.Complete());

    struct Expected {
        uint32_t index;
        Kind kind;
        const wchar_t* location;
        const wchar_t* undo;
    };
    const Expected expected[] = {
        {5, Kind::FileRemoved, L"C:\\Data\\made.ini", L"is deleted (the tune-up created it)"},
        {4, Kind::FileBack, L"C:\\Data\\Notes.TXT", L"comes back from its saved copy"},
        {3, Kind::KeyRemoved, L"HKCU\\Software\\New", L"is deleted with everything below it (the tune-up created it)"},
        {2, Kind::KeyBack, L"HKCU\\Software\\Old", L"comes back with 1 key and 3 values below it"},
        {1, Kind::ValueRemoved, L"HKLM\\Software\\Pets, value (default)", L"is deleted (the tune-up created it)"},
        {0, Kind::ValueBack, L"HKCU\\Software\\Pets, value \"Cat\"", L"comes back: REG_DWORD 7 (0x00000007)"},
    };
    ASSERT_EQ(contents.changes.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const Remover::PointChange& change = contents.changes[i];
        EXPECT_EQ(change.index, expected[i].index);
        EXPECT_EQ(change.kind, expected[i].kind);
        EXPECT_EQ(change.Location(), expected[i].location);
        EXPECT_EQ(change.Undo(), expected[i].undo);
    }
}

TEST_F(PointChanges, ReadingChangesNothingAndReportsWhatCannotBeRead)
{
    // A sound journal, one whose middle is damaged, one cut inside its last
    // change, one with a tag no command has, and one that is not a journal.
    Bytes damaged = EveryKind().End().Get();
    const size_t middle = kHeaderLength + 1 + 40;  // inside the first block
    damaged[middle] ^= 0x5A;
    Bytes torn = EveryKind().Get();
    torn.resize(torn.size() - 3);
    JournalBuilder unknown;
    unknown.Header().Start().Begin(0x33).Wide(L"x").Finish().End();

    struct Case {
        const wchar_t* name;
        Bytes bytes;
        uint32_t status;
        size_t changes;
        bool complete;
        bool tornTail;
    };
    const Case cases[] = {
        {L"1.arch", EveryKind().End().Get(), 0, 6, true, false},
        {L"2.arch", damaged, Remover::Format::kReplayIncomplete, 5, false, false},
        {L"3.arch", torn, 0, 5, true, true},
        {L"4.arch", unknown.Get(), Remover::Format::kReplayIncomplete, 0, false, false},
        {L"5.arch", ToBytes("not a journal"), Err::BadFormat, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.name));
        const std::wstring path = PutJournal(c.name, c.bytes);
        const Remover::PointContents contents = Remover::ReadPointChanges(path);
        EXPECT_EQ(contents.status, c.status);
        EXPECT_EQ(contents.changes.size(), c.changes);
        EXPECT_EQ(contents.report.Complete(), c.complete);
        EXPECT_EQ(contents.report.tornTail, c.tornTail);
        EXPECT_EQ(BytesOf(path), c.bytes);
    }
    // Nothing the journals name was touched.
    EXPECT_TRUE(SnapshotTree(Platform::CurrentUser(), L"Software\\Old").empty());
}

TEST_F(PointChanges, DataIsShownAsAPersonReadsIt)
{
    Bytes multi = Utf16(L"one");
    multi.insert(multi.end(), {0, 0});
    const Bytes two = Utf16(L"two");
    multi.insert(multi.end(), two.begin(), two.end());
    multi.insert(multi.end(), {0, 0, 0, 0});
    Bytes sz = Utf16(L"C:\\x");
    sz.insert(sz.end(), {0, 0});
    const struct {
        uint32_t type;
        Bytes data;
        const wchar_t* text;
    } cases[] = {
        {1, sz, L"\"C:\\x\""},
        {2, Utf16(L"%TEMP%"), L"\"%TEMP%\""},
        {4, {1, 1, 0, 0}, L"257 (0x00000101)"},
        {4, {1, 1}, L"01 01"},
        {5, {0, 0, 1, 1}, L"257 (0x00000101)"},
        {7, multi, L"\"one\", \"two\""},
        {11, {1, 0, 0, 0, 0, 0, 0, 1}, L"72057594037927937 (0x0100000000000001)"},
        {3, {}, L"(no data)"},
        {3, Bytes(33, 0xAB),
         L"AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB \u2026 (33 "
         L"bytes)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Remover::DataText(c.type, c.data), c.text) << c.type;
    }
    EXPECT_EQ(Remover::RegistryTypeName(7), L"REG_MULTI_SZ");
    EXPECT_EQ(Remover::RegistryTypeName(42), L"type 42");
}

TEST_F(PointChanges, FindListsMatchingChangesOfThePointsNewestFirst)
{
    JournalBuilder older;
    older.Header().Start().Begin(Remover::SetRegValue::kTag).Wide(L"HKCU").Wide(L"Software\\Pets").Wide(L"Dog");
    older.Finish().Begin(Remover::RCreateFile::kTag).Wide(L"C:\\pets\\dog.txt").Finish().End();
    JournalBuilder newer;
    newer.Header().Start().Begin(Remover::SetRegKey::kTag).Wide(L"HKCU").Wide(L"Software\\Cars").Finish().End();
    PutJournal(L"1700000100.arch", older.Get());
    PutJournal(L"1700000200.arch", newer.Get());
    PutJournal(L"1700000300.arch", EveryKind().End().Get());
    const auto points = Remover::ListBackupPoints(BackupFolder());

    const struct {
        const wchar_t* text;
        std::vector<std::pair<std::wstring, size_t>> found;  // point name, changes
    } cases[] = {
        {L"PETS", {{L"1700000300.arch", 2}, {L"1700000100.arch", 2}}},  // key path, file path
        {L"dog", {{L"1700000100.arch", 2}}},                            // value name and file
        {L"notes.txt", {{L"1700000300.arch", 1}}},
        {L"cars", {{L"1700000200.arch", 1}}},
        {L"zebra", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.text));
        const auto matches = Remover::FindInPoints(points, c.text);
        ASSERT_EQ(matches.size(), c.found.size());
        for (size_t i = 0; i < matches.size(); ++i) {
            EXPECT_EQ(matches[i].point.path, BackupFolder() + L"\\" + c.found[i].first);
            EXPECT_EQ(matches[i].changes.size(), c.found[i].second);
        }
    }
}

TEST_F(PointChanges, ContainsIgnoresCase)
{
    EXPECT_TRUE(Remover::ContainsIgnoreCase(L"Software\\Corvane", L"CORVANE"));
    EXPECT_TRUE(Remover::ContainsIgnoreCase(L"abc", L""));
    EXPECT_FALSE(Remover::ContainsIgnoreCase(L"ab", L"abc"));
    EXPECT_FALSE(Remover::ContainsIgnoreCase(L"Software", L"soft ware"));
}

}  // namespace
