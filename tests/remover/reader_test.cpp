#include <gtest/gtest.h>

#include <random>

#include "remover/Crc32.h"
#include "remover/JournalRules.h"
#include "remover/Reader.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Remover::Reader;
namespace Record = Remover::Format::Record;

class JournalReader : public JournalTest {
protected:
    void TearDown() override
    {
        (void)reader_.Close();  // an open journal could not be removed with the scratch folder
        JournalTest::TearDown();
    }
    // Opens a hand-made journal.
    uint32_t OpenBytes(const Bytes& bytes)
    {
        path_ = PutJournal(L"1.arch", bytes);
        return reader_.Open(path_, Header(), kHeaderLength);
    }
    Reader& R() { return reader_; }

private:
    Reader reader_;
    std::wstring path_;
};

TEST(JournalCrc32, MatchesTheStandardCheckValue)
{
    EXPECT_EQ(Remover::Crc32::Of("123456789", 9), 0xCBF43926u);
}

TEST_F(JournalReader, ReadsEachKindOfRecordAndMovesOn)
{
    JournalBuilder b;
    b.Header().Start().Begin(9).Int(42).Wide(L"wide \u00e9").Narrow("narrow \xc3\xa9").Wide(L"").Data({1, 2, 3, 4, 5});
    b.Finish().End();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    EXPECT_EQ(R().GetType(), Record::BlockStart);
    EXPECT_EQ(R().GetBlockTag(), 9);
    ASSERT_EQ(R().EnterBlock(), 0u);
    uint32_t v = 0;
    ASSERT_EQ(R().ReadInt(&v), 0u);
    EXPECT_EQ(v, 42u);
    std::wstring w;
    ASSERT_EQ(R().ReadString(&w), 0u);
    EXPECT_EQ(w, L"wide \u00e9");
    ASSERT_EQ(R().ReadString(&w), 0u) << "an 8-bit string read as wide text";
    EXPECT_EQ(w, L"narrow \u00e9");
    w = L"not cleared";
    ASSERT_EQ(R().ReadString(&w), 0u);
    EXPECT_EQ(w, L"") << "a string of 0 bytes is the empty string";
    uint32_t size = 0;
    ASSERT_EQ(R().BeginData(&size), 0u);
    EXPECT_EQ(size, 5u);
    uint8_t buf[2];
    uint32_t got = 0;
    ASSERT_EQ(R().ReadData(buf, 2, &got), 0u);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(buf[1], 2);
    ASSERT_EQ(R().EndData(), 0u) << "skips the three bytes left";
    EXPECT_EQ(R().GetType(), Record::Integer) << "the checksum record";
    ASSERT_EQ(R().LeaveBlock(), 0u);
    EXPECT_EQ(R().GetType(), Record::JournalEnd);
}

TEST_F(JournalReader, ReadStringAConvertsWideTextToUtf8)
{
    JournalBuilder b;
    b.Header().Start().Begin(1).Wide(L"\u00e9t\u00e9").Finish().End();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    ASSERT_EQ(R().EnterBlock(), 0u);
    std::string text;
    ASSERT_EQ(R().ReadStringA(&text), 0u);
    EXPECT_EQ(text, "\xc3\xa9t\xc3\xa9");
}

TEST_F(JournalReader, AReadOfTheWrongKindFailsAndStaysOnTheRecord)
{
    JournalBuilder b;
    b.Header().Start().Begin(1).Int(7).Finish().End();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    std::wstring w;
    EXPECT_EQ(R().ReadString(&w), Err::BadFormat) << "on a block start";
    ASSERT_EQ(R().EnterBlock(), 0u);
    EXPECT_EQ(R().ReadString(&w), Err::BadFormat);
    uint32_t size = 0;
    EXPECT_EQ(R().BeginData(&size), Err::BadFormat);
    EXPECT_EQ(R().EnterBlock(), Err::BadFormat);
    uint32_t v = 0;
    ASSERT_EQ(R().ReadInt(&v), 0u);
    EXPECT_EQ(v, 7u);
}

TEST_F(JournalReader, SkipPassesContentRecordsButNotStructure)
{
    JournalBuilder b;
    b.Header().Start().Begin(1).Int(1).Narrow("a").Wide(L"b").Data({1}).Saved(L"C:\\f", L"0123").Finish().End();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    EXPECT_EQ(R().Skip(), Err::BadFormat) << "a block start is not skipped";
    ASSERT_EQ(R().EnterBlock(), 0u);
    for (uint8_t type : {Record::Integer, Record::StringA, Record::StringW, Record::Data, Record::SavedFile}) {
        EXPECT_EQ(R().GetType(), type);
        ASSERT_EQ(R().Skip(), 0u);
    }
    EXPECT_EQ(R().GetType(), Record::Integer);
    ASSERT_EQ(R().Skip(), 0u);
    EXPECT_EQ(R().GetType(), Record::BlockEnd);
    EXPECT_EQ(R().Skip(), Err::BadFormat);
}

TEST_F(JournalReader, LeaveBlockSkipsNestedBlocksAndDoesNothingBeforeTheFirstBlock)
{
    JournalBuilder b;
    b.Header().Start().Begin(2).Wide(L"HKCU").Begin('K').Wide(L"k").Begin('V').Int(1).Finish().Finish().Finish();
    b.Begin(6).Wide(L"C:\\x").Finish().End();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    EXPECT_EQ(R().GetBlockTag(), 2);
    ASSERT_EQ(R().EnterBlock(), 0u);
    ASSERT_EQ(R().LeaveBlock(), 0u);
    EXPECT_EQ(R().GetType(), Record::BlockStart);
    EXPECT_EQ(R().GetBlockTag(), 6);

    Reader fresh;
    EXPECT_EQ(fresh.GetBlockTag(), 0);
    EXPECT_EQ(fresh.LeaveBlock(), 0u);
}

TEST_F(JournalReader, OpenChecksTheHeaderAndTheStartRecord)
{
    EXPECT_EQ(OpenBytes(JournalBuilder().Raw(ToBytes("Corvane")).Byte(1).Byte(1).Get()), Err::BadFormat);
    EXPECT_EQ(OpenBytes(JournalBuilder().Header().Byte(2).Get()), Err::BadFormat);
    EXPECT_EQ(OpenBytes(JournalBuilder().Raw(ToBytes("Corv")).Get()), Err::BadFormat);
    EXPECT_EQ(OpenBytes(JournalBuilder().Header().Start().End().Get()), 0u);
    EXPECT_EQ(R().GetType(), Record::JournalEnd);
}

TEST_F(JournalReader, OpenOfAMissingJournalOrFolder)
{
    Reader r;
    MakeFolder(BackupFolder());
    EXPECT_EQ(r.Open(BackupFolder() + L"\\none.arch", Header(), kHeaderLength), Err::FileNotFound);
    EXPECT_EQ(r.Open(PathOf(L"nowhere\\1.arch"), Header(), kHeaderLength), Err::FileNotFound);
    EXPECT_EQ(r.Open(L"1.arch", Header(), kHeaderLength), Err::BadFormat) << "no folder in the path";
}

TEST_F(JournalReader, LengthsBeyondTheFileAreShortReadsAndAllocateNothing)
{
    JournalBuilder b;
    b.Header().Start().Begin(1).Byte(Record::StringW).U32(0xFFFFFFF0u).Raw({'a', 0});
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    ASSERT_EQ(R().EnterBlock(), 0u);
    std::wstring w;
    EXPECT_EQ(R().ReadString(&w), Err::BadFormat);

    JournalBuilder d;
    d.Header().Start().Begin(1).Byte(Record::Data).U32(0x7FFFFFFFu).Raw({1, 2});
    ASSERT_EQ(OpenBytes(d.Get()), 0u);
    ASSERT_EQ(R().EnterBlock(), 0u);
    uint32_t size = 0;
    EXPECT_EQ(R().BeginData(&size), Err::BadFormat);
    EXPECT_EQ(R().Skip(), Err::BadFormat);
}

TEST_F(JournalReader, AWideStringOfAnOddByteCountIsRefused)
{
    JournalBuilder b;
    b.Header().Start().Begin(1).Byte(Record::StringW).U32(3).Raw({'a', 0, 'b'}).Finish().End();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    ASSERT_EQ(R().EnterBlock(), 0u);
    std::wstring w;
    EXPECT_EQ(R().ReadString(&w), Err::BadFormat);
}

TEST_F(JournalReader, ReadingPastTheEndOfAJournalWithoutEndRecordFails)
{
    JournalBuilder b;
    b.Header().Start().Begin(1).Int(5).Finish();
    ASSERT_EQ(OpenBytes(b.Get()), 0u);
    ASSERT_EQ(R().EnterBlock(), 0u);
    EXPECT_EQ(R().LeaveBlock(), Err::BadFormat);
    EXPECT_EQ(R().GetType(), Record::None);
}

TEST_F(JournalReader, RandomJunkNeverCrashesTheRecordReads)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 300; ++round) {
        JournalBuilder b;
        b.Header().Start();
        const int n = static_cast<int>(rng() % 64);
        for (int i = 0; i < n; ++i) {
            b.Byte(static_cast<uint8_t>(rng() % 12));
        }
        if (OpenBytes(b.Get()) != 0) {
            continue;
        }
        // Drive every operation until nothing moves any more.
        for (int step = 0; step < 100 && R().GetType() != Record::None; ++step) {
            std::wstring w;
            std::string a;
            uint32_t v = 0;
            uint8_t buf[8];
            switch (rng() % 8) {
                case 0:
                    (void)R().ReadInt(&v);
                    break;
                case 1:
                    (void)R().ReadString(&w);
                    break;
                case 2:
                    (void)R().ReadStringA(&a);
                    break;
                case 3:
                    (void)R().BeginData(&v);
                    (void)R().ReadData(buf, sizeof buf, &v);
                    break;
                case 4:
                    (void)R().EnterBlock();
                    break;
                case 5:
                    (void)R().LeaveBlock();
                    break;
                case 6:
                    (void)R().EndData();
                    break;
                default:
                    if (R().Skip() != 0) {
                        (void)R().Next();
                    }
            }
        }
    }
}

TEST(JournalRules, FilePathsAJournalMayHold)
{
    using Remover::IsAllowedFilePath;
    EXPECT_TRUE(IsAllowedFilePath(L"C:\\Windows\\win.ini"));
    EXPECT_TRUE(IsAllowedFilePath(L"d:/data/file.txt"));
    EXPECT_TRUE(IsAllowedFilePath(L"C:\\a\\.hidden\\b"));
    EXPECT_TRUE(IsAllowedFilePath(L"\\\\server\\share\\Documents\\x.doc"));
    EXPECT_TRUE(IsAllowedFilePath(L"C:\\console.log"));
    EXPECT_TRUE(IsAllowedFilePath(L"C:\\folder\\"));

    EXPECT_FALSE(IsAllowedFilePath(L""));
    EXPECT_FALSE(IsAllowedFilePath(L"file.txt"));
    EXPECT_FALSE(IsAllowedFilePath(L"\\Windows\\win.ini"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:file.txt"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\..\\..\\b"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\...\\b"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\. .\\b"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\.\\b"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\file.txt:stream"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\file.txt::$DATA"));
    EXPECT_FALSE(IsAllowedFilePath(L"\\\\.\\PhysicalDrive0"));
    EXPECT_FALSE(IsAllowedFilePath(L"\\\\?\\C:\\file.txt"));
    EXPECT_FALSE(IsAllowedFilePath(L"//?/C:/file.txt"));
    EXPECT_FALSE(IsAllowedFilePath(L"\\\\server"));
    EXPECT_FALSE(IsAllowedFilePath(L"\\\\server\\share"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\CON"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\nul.txt"));
    EXPECT_FALSE(IsAllowedFilePath(L"C:\\a\\COM1"));
    EXPECT_FALSE(IsAllowedFilePath(std::wstring(L"C:\\a\0b", 6)));
}

TEST(JournalRules, CopyNamesSubkeyNamesAndRoots)
{
    EXPECT_TRUE(Remover::IsCopyName(L"0123456789abcdef0123456789abcdef"));
    EXPECT_FALSE(Remover::IsCopyName(L"0123456789ABCDEF0123456789abcdef"));
    EXPECT_FALSE(Remover::IsCopyName(L"0123456789abcdef0123456789abcde"));
    EXPECT_FALSE(Remover::IsCopyName(L"..\\..\\..\\..\\windows\\win.ini"));
    EXPECT_TRUE(Remover::IsSubkeyName(L"Some Key"));
    EXPECT_FALSE(Remover::IsSubkeyName(L""));
    EXPECT_FALSE(Remover::IsSubkeyName(L"a\\b"));
    EXPECT_TRUE(Remover::IsRootName(L"HKUR"));
    EXPECT_TRUE(Remover::IsRootName(L".DEFAULT"));
    EXPECT_FALSE(Remover::IsRootName(L"hklm"));
    EXPECT_FALSE(Remover::IsRootName(L"HKU"));
}

}  // namespace
