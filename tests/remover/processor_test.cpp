#include <gtest/gtest.h>

#include "remover/DeleteFileW.h"
#include "remover/DeleteRegKey.h"
#include "remover/DeleteRegValue.h"
#include "remover/Processor.h"
#include "remover/RCreateFile.h"
#include "remover/SetRegKey.h"
#include "remover/SetRegValue.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Remover::Processor;

class JournalProcessor : public JournalTest {};

TEST_F(JournalProcessor, CommandNamesAreMatchedIgnoringCase)
{
    WriteDword(L"k", L"v", 1);
    const std::wstring journal = RunJournal([&](Processor& p) {
        EXPECT_TRUE(p.IsOpen());
        EXPECT_EQ(p.Execute(L"delregvalue", Value(L"k", L"v"), nullptr, nullptr), 0u);
    });
    EXPECT_FALSE(journal.empty());
}

TEST_F(JournalProcessor, UnknownOrMissingNamesAndForeignArgumentsWriteNothing)
{
    WriteDword(L"k", L"v", 1);
    const std::wstring journal = RunJournal([&](Processor& p) {
        EXPECT_EQ(p.Execute(L"DelEverything", Value(L"k", L"v"), nullptr, nullptr), Err::InvalidFunction);
        EXPECT_EQ(p.Execute(nullptr, Value(L"k", L"v"), nullptr, nullptr), Err::InvalidParameter);
        EXPECT_EQ(p.Execute(L"DelRegKey", Value(L"k", L"v"), nullptr, nullptr), Err::InvalidParameter);
        EXPECT_EQ(p.Execute(L"DelFile", Key(L"k"), nullptr, nullptr), Err::InvalidParameter);
    });
    EXPECT_TRUE(journal.empty());
}

TEST_F(JournalProcessor, TheArgumentsAreReleasedInEveryCase)
{
    RTI::Reference<Remover::IArguments> args = Value(L"k", L"v");
    RunJournal([&](Processor& p) {
        (void)p.Execute(L"DelRegValue", args, nullptr, nullptr);
        (void)p.Execute(L"Unknown", args, nullptr, nullptr);
        (void)p.Execute(nullptr, args, nullptr, nullptr);
        (void)p.Execute(L"DelRegKey", args, nullptr, nullptr);
    });
    EXPECT_EQ(args->GetRefCount(), 1u);
}

TEST_F(JournalProcessor, EachCommandIsRegisteredUnderItsTag)
{
    Processor p;
    EXPECT_FALSE(p.GetCommand(1));
    EXPECT_EQ(p.RegisterCommands(), 0u);
    EXPECT_TRUE(p.GetCommand(Remover::DeleteFileW::kTag).As<Remover::DeleteFileW>());
    EXPECT_TRUE(p.GetCommand(Remover::DeleteRegKey::kTag).As<Remover::DeleteRegKey>());
    EXPECT_TRUE(p.GetCommand(Remover::DeleteRegValue::kTag).As<Remover::DeleteRegValue>());
    EXPECT_TRUE(p.GetCommand(Remover::SetRegKey::kTag).As<Remover::SetRegKey>());
    EXPECT_TRUE(p.GetCommand(Remover::SetRegValue::kTag).As<Remover::SetRegValue>());
    EXPECT_TRUE(p.GetCommand(Remover::RCreateFile::kTag).As<Remover::RCreateFile>());
    EXPECT_FALSE(p.GetCommand(7));
    EXPECT_FALSE(p.GetCommand(0));
}

TEST_F(JournalProcessor, ExecuteWithoutAnOpenJournalFailsSoTheChangeIsNotMade)
{
    Processor p;
    (void)p.RegisterCommands();
    EXPECT_EQ(p.Execute(L"CreateFile", File(L"x.txt"), nullptr, nullptr), Err::BadFormat);
}

TEST_F(JournalProcessor, CloseEmptiesTheNameTableButKeepsTheTags)
{
    Processor p;
    ASSERT_EQ(p.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    ASSERT_EQ(p.Close(), 0u);
    EXPECT_FALSE(p.IsOpen());
    EXPECT_EQ(p.Execute(L"CreateFile", File(L"x.txt"), nullptr, nullptr), Err::InvalidFunction);
    EXPECT_TRUE(p.GetCommand(Remover::RCreateFile::kTag));
}

TEST_F(JournalProcessor, OpenFailsWithoutAFolder)
{
    Processor p;
    EXPECT_EQ(p.Open(L"", Header(), kHeaderLength), Err::FileNotFound);
    EXPECT_FALSE(p.IsOpen());
}

TEST_F(JournalProcessor, EveryChangeIsOnTheDiskWhenExecuteReturns)
{
    WriteDword(L"k", L"v", 1);
    Processor p;
    ASSERT_EQ(p.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
    // A second reader sees the complete block while the run is still going.
    Remover::ReplayReport report;
    DeleteKey(L"k");
    EXPECT_EQ(Replay(p.GetWriter().JournalPath(), &report), 0u);
    EXPECT_EQ(report.blocks, 1u);
    EXPECT_FALSE(report.endRecord);
    EXPECT_TRUE(KeyExists(L"k"));
    ASSERT_EQ(p.Close(), 0u);
}

#ifndef _WIN32
TEST_F(JournalProcessor, AJournalThatFailsPartWayIsCutBackAndTheErrorReturned)
{
    WriteDword(L"k\\sub", L"v", 1);
    Processor p;
    ASSERT_EQ(p.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    const std::wstring path = p.GetWriter().JournalPath();
    const Bytes before = BytesOf(path);
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::QueryValue,
        [](const Platform::Portable::FaultSubject& s) { return s.name == L"v"; }, Err::ReadFault);
    EXPECT_EQ(p.Execute(L"DelRegKey", Key(L"k"), nullptr, nullptr), Err::ReadFault);
    Portable().Faults().Clear();
    EXPECT_EQ(BytesOf(path), before);
    EXPECT_TRUE(p.GetWriter().IsEmpty());
    ASSERT_EQ(p.Close(), 0u);
    EXPECT_TRUE(Journals().empty()) << "an otherwise empty journal is no backup point";
}

TEST_F(JournalProcessor, WhenTheCutFailsNoFurtherChangeIsJournalled)
{
    WriteDword(L"k\\sub", L"v", 1);
    WriteDword(L"other", L"v", 1);
    Processor p;
    ASSERT_EQ(p.Open(BackupFolder(), Header(), kHeaderLength), 0u);
    ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"other", L"v"), nullptr, nullptr), 0u);
    const std::wstring path = p.GetWriter().JournalPath();
    // Large enough to reach the file before the failure.
    WriteValue(L"k\\sub", L"big", Platform::RegType::Binary, std::vector<uint8_t>(200000, 1));
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::QueryValue,
        [](const Platform::Portable::FaultSubject& s) { return s.name == L"v"; }, Err::ReadFault);
    Portable().Faults().FailWhen(Platform::Portable::Operation::SetEndOfFile, path, Err::AccessDenied);
    EXPECT_EQ(p.Execute(L"DelRegKey", Key(L"k"), nullptr, nullptr), Err::ReadFault);
    Portable().Faults().Clear();
    EXPECT_EQ(p.Execute(L"DelRegValue", Value(L"other", L"v"), nullptr, nullptr), Err::AccessDenied);
    ASSERT_EQ(p.Close(), 0u);

    // The journal keeps its sound block; the torn one after it is ignored.
    DeleteKey(L"other");
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(path, &report), 0u);
    EXPECT_EQ(report.restored, 1u);
    EXPECT_TRUE(report.tornTail);
    EXPECT_TRUE(KeyExists(L"other"));
    EXPECT_TRUE(KeyExists(L"k\\sub"));
}
#endif

}  // namespace
