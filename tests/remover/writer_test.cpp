#include <gtest/gtest.h>

#include "remover/JournalNames.h"
#include "remover/Writer.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Remover::Writer;
namespace Record = Remover::Format::Record;

class JournalWriter : public JournalTest {
protected:
    Bytes JournalBytes(const Writer& w) { return BytesOf(w.JournalPath()); }
};

TEST_F(JournalWriter, OpenCreatesTheFoldersAndStartsTheJournalWithHeaderAndStartRecord)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder() + L"  ", Header(), kHeaderLength), 0u);
    EXPECT_TRUE(Exists(CopiesFolder()));
    EXPECT_EQ(w.Folder(), BackupFolder() + L"\\");
    ASSERT_EQ(Journals().size(), 1u);
    EXPECT_TRUE(Remover::JournalNumber(Journals()[0]).has_value());
    EXPECT_EQ(JournalBytes(w), JournalBuilder().Header().Start().Get());
}

TEST_F(JournalWriter, OpenWithAnEmptyFolderFails)
{
    Writer w;
    EXPECT_EQ(w.Open(L"   ", Header(), kHeaderLength), Err::FileNotFound);
    EXPECT_FALSE(w.IsOpen());
}

TEST_F(JournalWriter, AJournalThatRecordedNothingIsDeletedAtClose)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    // Blocks without content and empty data records do not make a backup point.
    ASSERT_EQ(w.BeginBlock(7), 0u);
    ASSERT_EQ(w.WriteDataRecord(nullptr, 0), 0u);
    ASSERT_EQ(w.EndBlock(7), 0u);
    EXPECT_TRUE(w.IsEmpty());
    EXPECT_EQ(w.Close(), 0u);
    EXPECT_TRUE(Journals().empty());
}

TEST_F(JournalWriter, RecordsAreWrittenAsTheFormatSaysAndEachTopLevelBlockEndsWithItsChecksum)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const std::wstring path = w.JournalPath();
    ASSERT_EQ(w.BeginBlock(5), 0u);
    ASSERT_EQ(w.WriteInt(0x01020304), 0u);
    ASSERT_EQ(w.WriteString(L"K\u00e9y", -1), 0u);
    ASSERT_EQ(w.WriteString(L"abc", 0), 0u);
    ASSERT_EQ(w.WriteStringA("ab", -1), 0u);
    ASSERT_EQ(w.BeginBlock('K'), 0u);
    const uint8_t data[3] = {9, 8, 7};
    ASSERT_EQ(w.WriteDataRecord(data, 3), 0u);
    ASSERT_EQ(w.EndBlock('K'), 0u);
    ASSERT_EQ(w.EndBlock(5), 0u);
    EXPECT_FALSE(w.IsEmpty());
    ASSERT_EQ(w.Close(), 0u);

    JournalBuilder expected;
    expected.Header().Start().Begin(5).Int(0x01020304).Wide(L"K\u00e9y").Wide(L"").Narrow("ab");
    expected.Begin('K').Data({9, 8, 7}).Finish().Finish().End();
    EXPECT_EQ(BytesOf(path), expected.Get());
}

TEST_F(JournalWriter, StreamedDataIsWrittenAsOneRecordWithItsFinalSizeFirst)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const std::wstring path = w.JournalPath();
    ASSERT_EQ(w.BeginBlock(1), 0u);
    EXPECT_EQ(w.WriteData("x", 1), Err::BadFormat) << "no data record open";
    ASSERT_EQ(w.BeginData(), 0u);
    EXPECT_EQ(w.WriteInt(1), Err::BadFormat) << "only data while a data record is open";
    EXPECT_EQ(w.BeginBlock(2), Err::BadFormat);
    ASSERT_EQ(w.WriteData("hel", 3), 0u);
    ASSERT_EQ(w.WriteData("lo", 2), 0u);
    ASSERT_EQ(w.EndData(), 0u);
    EXPECT_EQ(w.EndData(), Err::BadFormat);
    ASSERT_EQ(w.EndBlock(1), 0u);
    ASSERT_EQ(w.Close(), 0u);
    EXPECT_EQ(BytesOf(path), JournalBuilder().Header().Start().Begin(1).Data(ToBytes("hello")).Finish().End().Get());
}

TEST_F(JournalWriter, EndBlockWithAnotherTagFailsAndWritesNothing)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const std::wstring path = w.JournalPath();
    EXPECT_EQ(w.EndBlock(1), Err::BadFormat) << "no block open";
    ASSERT_EQ(w.BeginBlock(1), 0u);
    ASSERT_EQ(w.BeginBlock('K'), 0u);
    ASSERT_EQ(w.WriteInt(3), 0u);
    EXPECT_EQ(w.EndBlock(1), Err::BadFormat);
    EXPECT_EQ(w.OpenBlocks(), 2u);
    ASSERT_EQ(w.EndBlock('K'), 0u);
    ASSERT_EQ(w.EndBlock(1), 0u);
    ASSERT_EQ(w.Close(), 0u);
    EXPECT_EQ(BytesOf(path),
              JournalBuilder().Header().Start().Begin(1).Begin('K').Int(3).Finish().Finish().End().Get());
}

TEST_F(JournalWriter, CloseEndsOpenBlocksInnermostFirstThenWritesTheEndRecord)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const std::wstring path = w.JournalPath();
    ASSERT_EQ(w.BeginBlock(2), 0u);
    ASSERT_EQ(w.BeginBlock('K'), 0u);
    ASSERT_EQ(w.WriteInt(1), 0u);
    ASSERT_EQ(w.Close(), 0u);
    EXPECT_EQ(BytesOf(path),
              JournalBuilder().Header().Start().Begin(2).Begin('K').Int(1).Finish().Finish().End().Get());
}

TEST_F(JournalWriter, ContentOutsideABlockAndTagZeroAreRefused)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    EXPECT_EQ(w.WriteInt(1), Err::BadFormat);
    EXPECT_EQ(w.WriteString(L"x", -1), Err::BadFormat);
    EXPECT_EQ(w.WriteDataRecord("x", 1), Err::BadFormat);
    EXPECT_EQ(w.BeginBlock(0), Err::InvalidParameter);
    EXPECT_TRUE(w.IsEmpty());
}

TEST_F(JournalWriter, BlocksNestNoDeeperThanTheDeepestKeyTree)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    ASSERT_EQ(w.BeginBlock(2), 0u);
    for (uint32_t i = 0; i < Remover::Format::kMaxKeyDepth; ++i) {
        ASSERT_EQ(w.BeginBlock('K'), 0u) << i;
    }
    EXPECT_EQ(w.BeginBlock('K'), Err::BadFormat);
}

TEST_F(JournalWriter, OperationsOnAClosedWriterFail)
{
    Writer w;
    EXPECT_EQ(w.BeginBlock(1), Err::BadFormat);
    EXPECT_EQ(w.WriteInt(1), Err::BadFormat);
    EXPECT_EQ(w.Close(), 0u);
}

TEST_F(JournalWriter, RollBackCutsAPartialBlockAndKeepsTheJournalEmpty)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const Writer::Mark mark = w.GetMark();
    ASSERT_EQ(w.BeginBlock(3), 0u);
    ASSERT_EQ(w.WriteString(L"half a change", -1), 0u);
    ASSERT_EQ(w.BeginData(), 0u);
    ASSERT_EQ(w.RollBack(mark), 0u);
    EXPECT_TRUE(w.IsEmpty());
    EXPECT_EQ(w.OpenBlocks(), 0u);
    EXPECT_EQ(w.Close(), 0u);
    EXPECT_TRUE(Journals().empty()) << "no empty backup point is left";
}

TEST_F(JournalWriter, RollBackAfterAFlushedBlockKeepsThatBlockExactly)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const std::wstring path = w.JournalPath();
    ASSERT_EQ(w.BeginBlock(6), 0u);
    ASSERT_EQ(w.WriteString(L"C:\\kept", -1), 0u);
    ASSERT_EQ(w.EndBlock(6), 0u);
    const Bytes before = BytesOf(path);
    const Writer::Mark mark = w.GetMark();
    ASSERT_EQ(w.BeginBlock(3), 0u);
    // Large enough to reach the file before the cut.
    const Bytes big(200000, 0xAB);
    ASSERT_EQ(w.WriteDataRecord(big.data(), static_cast<uint32_t>(big.size())), 0u);
    ASSERT_EQ(w.RollBack(mark), 0u);
    EXPECT_FALSE(w.IsEmpty());
    EXPECT_EQ(BytesOf(path), before);
    ASSERT_EQ(w.Close(), 0u);
    Bytes expected = before;
    expected.push_back(Record::JournalEnd);
    EXPECT_EQ(BytesOf(path), expected);
}

// A run whose thread had to be terminated may have stopped inside a block:
// Abandon cuts the journal back to its last complete block, writes nothing
// else (no checksum over half a change, no end record) and closes it.
TEST_F(JournalWriter, AbandonCutsBackToTheLastCompleteBlockAndWritesNothingElse)
{
    struct Case {
        const char* what;
        int completeBlocks;
        uint32_t openDataSize;  // a large record reaches the file before its block ends
    };
    for (const Case& c : {Case{"no complete block, a small one open", 0, 10},
                          Case{"one complete block, a small one open", 1, 10},
                          Case{"two complete blocks, a large one open", 2, 200000}}) {
        SCOPED_TRACE(c.what);
        Writer w;
        ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
        for (int i = 0; i < c.completeBlocks; ++i) {
            ASSERT_EQ(w.BeginBlock(6), 0u);
            ASSERT_EQ(w.WriteString(L"C:\\x", -1), 0u);
            ASSERT_EQ(w.EndBlock(6), 0u);
        }
        const Bytes complete = JournalBytes(w);
        ASSERT_EQ(w.BeginBlock(3), 0u);
        ASSERT_EQ(w.BeginBlock('K'), 0u);
        const Bytes data(c.openDataSize, 7);
        ASSERT_EQ(w.WriteDataRecord(data.data(), static_cast<uint32_t>(data.size())), 0u);
        const std::wstring path = w.JournalPath();
        EXPECT_EQ(w.Abandon(), 0u);
        EXPECT_FALSE(w.IsOpen());
        EXPECT_EQ(BytesOf(path), complete);
        EXPECT_EQ(w.Close(), 0u) << "closing afterwards writes nothing";
        EXPECT_EQ(BytesOf(path), complete);
        ASSERT_EQ(Fs().DeleteFile(path), 0u);
    }
}

TEST_F(JournalWriter, SaveFileRefusesPathsAJournalMayNotHold)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    ASSERT_EQ(w.BeginBlock(1), 0u);
    std::wstring copy;
    EXPECT_EQ(w.SaveFile(L"relative\\file.txt", nullptr, &copy), Err::InvalidName);
    EXPECT_EQ(w.SaveFile(PathOf(L"a\\..\\b.txt"), nullptr, &copy), Err::InvalidName);
    EXPECT_EQ(w.SaveFile(PathOf(L"b.txt:stream"), nullptr, &copy), Err::InvalidName);
    EXPECT_EQ(w.SaveFile(L"\\\\.\\C:\\b.txt", nullptr, &copy), Err::InvalidName);
    EXPECT_EQ(w.SaveFile(PathOf(L"missing.txt"), nullptr, &copy), Err::FileNotFound);
    EXPECT_TRUE(w.IsEmpty());
}

#ifndef _WIN32
// Over the portable platform the clock, the disk and its failures are the
// test's to set.

TEST_F(JournalWriter, TheJournalIsNamedByTheCurrentTime)
{
    Portable().Time().Set(1700000000);
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    EXPECT_EQ(w.JournalPath(), BackupFolder() + L"\\1700000000.arch");
}

TEST_F(JournalWriter, TwoJournalsOpenedInOneSecondAreBothKept)
{
    Portable().Time().Set(1700000000);
    Writer first;
    Writer second;
    ASSERT_EQ(first.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    ASSERT_EQ(second.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    EXPECT_EQ(second.JournalPath(), BackupFolder() + L"\\1700000001.arch");
    for (Writer* w : {&first, &second}) {
        ASSERT_EQ(w->BeginBlock(6), 0u);
        ASSERT_EQ(w->WriteString(L"C:\\x", -1), 0u);
        ASSERT_EQ(w->EndBlock(6), 0u);
        ASSERT_EQ(w->Close(), 0u);
    }
    EXPECT_EQ(Journals(), (std::vector<std::wstring>{L"1700000000.arch", L"1700000001.arch"}));
}

TEST_F(JournalWriter, AClockSetBackNeverGivesANewerJournalASmallerNumber)
{
    PutJournal(L"1700000500.arch", ToBytes("older run"));
    PutJournal(L"notes.arch", ToBytes("not a number"));
    Portable().Time().Set(1700000000);
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    EXPECT_EQ(w.JournalPath(), BackupFolder() + L"\\1700000501.arch");
}

TEST_F(JournalWriter, ANameTakenByAFolderIsSkipped)
{
    Portable().Time().Set(1700000000);
    MakeFolder(BackupFolder() + L"\\1700000000.arch");
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    EXPECT_EQ(w.JournalPath(), BackupFolder() + L"\\1700000001.arch");
}

TEST_F(JournalWriter, EveryTopLevelBlockIsFlushedWhenItEnds)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    int flushes = 0;
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::FlushFile,
        [&](const Platform::Portable::FaultSubject&) {
            ++flushes;
            return false;
        },
        Err::WriteFault);
    ASSERT_EQ(w.BeginBlock(2), 0u);
    ASSERT_EQ(w.BeginBlock('K'), 0u);
    ASSERT_EQ(w.WriteString(L"k", -1), 0u);
    ASSERT_EQ(w.EndBlock('K'), 0u);
    EXPECT_EQ(flushes, 0) << "nested blocks are not flushed on their own";
    ASSERT_EQ(w.EndBlock(2), 0u);
    EXPECT_EQ(flushes, 1);

    w.SetFlushPolicy(Remover::FlushPolicy::Never);
    ASSERT_EQ(w.BeginBlock(2), 0u);
    ASSERT_EQ(w.WriteString(L"k", -1), 0u);
    ASSERT_EQ(w.EndBlock(2), 0u);
    EXPECT_EQ(flushes, 1);
}

TEST_F(JournalWriter, AFailedFlushIsReported)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    Portable().Faults().FailWhen(Platform::Portable::Operation::FlushFile, w.JournalPath(), Err::WriteFault, 1);
    ASSERT_EQ(w.BeginBlock(6), 0u);
    ASSERT_EQ(w.WriteString(L"C:\\x", -1), 0u);
    EXPECT_EQ(w.EndBlock(6), Err::WriteFault);
}

TEST_F(JournalWriter, WhenTheCutFailsEveryFurtherBlockIsRefused)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const Writer::Mark mark = w.GetMark();
    ASSERT_EQ(w.BeginBlock(3), 0u);
    const Bytes big(100000, 1);
    ASSERT_EQ(w.WriteDataRecord(big.data(), static_cast<uint32_t>(big.size())), 0u);
    Portable().Faults().FailWhen(Platform::Portable::Operation::SetEndOfFile, w.JournalPath(), Err::AccessDenied);
    EXPECT_EQ(w.RollBack(mark), Err::AccessDenied);
    EXPECT_EQ(w.Refusal(), Err::AccessDenied);
    EXPECT_EQ(w.BeginBlock(3), Err::AccessDenied);
    Portable().Faults().Clear();
    EXPECT_EQ(w.Close(), 0u);
}

// When a write fails and even the file's size cannot be learnt afterwards,
// the writer's idea of the size may be wrong: it takes no further block, so
// no later cut can land inside a flushed block.
TEST_F(JournalWriter, WhenTheSizeIsUnknownAfterAFailedWriteEveryFurtherBlockIsRefused)
{
    using Platform::Portable::Operation;
    struct Case {
        const char* what;
        uint32_t dataSize;  // large records go to the file at once, small ones when the block ends
    };
    for (const Case& c : {Case{"a large record written at once", 100000}, Case{"a block written when it ends", 10}}) {
        SCOPED_TRACE(c.what);
        Portable().Faults().Clear();
        Writer w;
        ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
        ASSERT_EQ(w.BeginBlock(6), 0u);
        ASSERT_EQ(w.WriteString(L"C:\\x", -1), 0u);
        ASSERT_EQ(w.EndBlock(6), 0u);
        const Bytes flushed = JournalBytes(w);

        Portable().Faults().FailWhen(Operation::WriteFile, w.JournalPath(), Err::DiskFull);
        Portable().Faults().FailWhen(Operation::GetFileSize, w.JournalPath(), Err::ReadFault);
        ASSERT_EQ(w.BeginBlock(3), 0u);
        const Bytes data(c.dataSize, 1);
        Platform::Status failed = w.WriteDataRecord(data.data(), static_cast<uint32_t>(data.size()));
        if (failed == 0) {
            failed = w.EndBlock(3);
        }
        EXPECT_EQ(failed, Err::DiskFull);
        EXPECT_EQ(w.Refusal(), Err::ReadFault);
        Portable().Faults().Clear();
        EXPECT_EQ(w.BeginBlock(6), Err::ReadFault);
        (void)w.Close();
        const Bytes after = JournalBytes(w);
        ASSERT_GE(after.size(), flushed.size());
        EXPECT_TRUE(std::equal(flushed.begin(), flushed.end(), after.begin())) << "the flushed block stays";
    }
}

TEST_F(JournalWriter, AFullDiskFailsTheRecordThatDoesNotFit)
{
    Writer w;
    ASSERT_EQ(w.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    Portable().Files().SetCapacity(50000);
    ASSERT_EQ(w.BeginBlock(3), 0u);
    const Bytes big(100000, 1);
    EXPECT_EQ(w.WriteDataRecord(big.data(), static_cast<uint32_t>(big.size())), Err::DiskFull);
}
#endif

}  // namespace
