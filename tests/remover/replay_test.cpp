#include <gtest/gtest.h>

#include <functional>

#include "remover/DeleteRegValue.h"
#include "remover/Format.h"
#include "remover/Reader.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Remover::ReplayReport;
using Remover::Format::kReplayIncomplete;

class JournalReplay : public JournalTest {
protected:
    JournalBuilder& SetValueBlock(JournalBuilder& b, std::wstring_view subKey, std::wstring_view name, uint32_t v)
    {
        uint8_t bytes[4];
        Remover::Format::PutUint32(bytes, v);
        return b.Begin(Remover::DeleteRegValue::kTag)
            .Wide(L"HKCU")
            .Wide(KeyPath(subKey))
            .Wide(name)
            .Int(Platform::RegType::Dword)
            .Data(Bytes(bytes, bytes + 4))
            .Finish();
    }
    uint32_t DwordOf(std::wstring_view subKey, std::wstring_view name)
    {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (ReadValue(subKey, name, &type, &data) != 0 || data.size() != 4) {
            return 0xDEADBEEF;
        }
        return Remover::Format::GetUint32(data.data());
    }
};

struct RecordingTracer : RTI::ITracer {
    void Begin(const void*, unsigned) override {}
    void End(const void*, unsigned) override {}
    void Trace(uint32_t code, int32_t first, int32_t) override { calls.emplace_back(code, first); }
    std::vector<std::pair<uint32_t, int32_t>> calls;
};

TEST_F(JournalReplay, AValueSetTwiceEndsAtItsFirstStateBecauseUndoRunsBackwards)
{
    WriteDword(L"k", L"v", 1);
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
        WriteDword(L"k", L"v", 2);
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
        WriteDword(L"k", L"v", 3);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(JournalReplay, AKeyDeletedAndCreatedAgainEndsAsItWas)
{
    WriteDword(L"k\\sub", L"v", 1);
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegKey", Key(L"k"), nullptr, nullptr), 0u);
        DeleteKey(L"k");
        ASSERT_EQ(p.Execute(L"SetRegKey", Key(L"k"), nullptr, nullptr), 0u);
        WriteDword(L"k", L"new", 9);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(JournalReplay, AnUnregisteredTagIsReportedAndTheOtherBlocksAreRestored)
{
    JournalBuilder b;
    b.Header().Start().Begin(0x77).Wide(L"unknown").Finish();
    SetValueBlock(b, L"k", L"v", 5).End();
    ReplayReport report;
    EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get()), &report), kReplayIncomplete);
    EXPECT_EQ(report.blocks, 2u);
    EXPECT_EQ(report.restored, 1u);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].index, 0u);
    EXPECT_EQ(report.failed[0].tag, 0x77);
    EXPECT_EQ(report.failed[0].error, kReplayIncomplete);
    EXPECT_EQ(DwordOf(L"k", L"v"), 5u);
}

TEST_F(JournalReplay, ABlockThatCannotBeUndoneIsReportedAndTheReplayGoesOn)
{
    JournalBuilder b;
    b.Header().Start();
    SetValueBlock(b, L"first", L"v", 1);
    b.Begin(Remover::DeleteRegValue::kTag).Wide(L"HKCU").Wide(KeyPath(L"x")).Finish();  // too short
    SetValueBlock(b, L"third", L"v", 3).End();
    ReplayReport report;
    EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get()), &report), kReplayIncomplete);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].index, 1u);
    EXPECT_EQ(DwordOf(L"first", L"v"), 1u);
    EXPECT_EQ(DwordOf(L"third", L"v"), 3u);
}

TEST_F(JournalReplay, ATornLastBlockIsIgnoredAndTheCompleteOnesRestored)
{
    JournalBuilder b;
    b.Header().Start();
    SetValueBlock(b, L"a", L"v", 1);
    const size_t complete = b.Size();
    SetValueBlock(b, L"b", L"v", 2);
    Bytes torn(b.Get().begin(), b.Get().begin() + static_cast<long>(complete + 20));
    ReplayReport report;
    EXPECT_EQ(Replay(PutJournal(L"1.arch", torn), &report), 0u);
    EXPECT_EQ(report.blocks, 1u);
    EXPECT_TRUE(report.tornTail);
    EXPECT_EQ(report.tornOffset, complete);
    EXPECT_EQ(DwordOf(L"a", L"v"), 1u);
    EXPECT_FALSE(KeyExists(L"b"));
}

TEST_F(JournalReplay, ALastBlockWithAWrongChecksumCountsAsTorn)
{
    JournalBuilder b;
    b.Header().Start();
    SetValueBlock(b, L"a", L"v", 1);
    b.Begin(Remover::DeleteRegValue::kTag).Wide(L"HKCU").Wide(KeyPath(L"b")).Wide(L"v").Int(4);
    b.Data({0, 0, 0, 0}).Int(12345).Finish(false);  // zeros where the data never reached the disk
    ReplayReport report;
    EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get()), &report), 0u);
    EXPECT_TRUE(report.tornTail);
    EXPECT_EQ(report.blocks, 1u);
    EXPECT_FALSE(KeyExists(L"b")) << "zeros are never written over a value";
}

// Damage in the middle is not a torn tail: the reader finds where sound
// blocks start again, reports the bytes before as damaged and restores the
// rest; only damage with nothing sound after it is a torn tail.
TEST_F(JournalReplay, DamageInTheMiddleIsReportedAndTheSoundBlocksAfterItRestored)
{
    JournalBuilder b;
    b.Header().Start();
    SetValueBlock(b, L"a", L"v", 1);
    const size_t second = b.Size();
    SetValueBlock(b, L"b", L"v", 2);
    const size_t third = b.Size();
    SetValueBlock(b, L"c", L"v", 3);
    const size_t end = b.Size();
    b.End();
    const Bytes whole = b.Get();
    const size_t secondLength = third - second;

    struct Case {
        const char* what;
        std::function<Bytes()> make;
        uint32_t status;
        std::vector<ReplayReport::DamagedRange> damaged;
        bool torn;
        uint64_t tornOffset;
        std::vector<bool> restored;  // a, b, c
    };
    auto edit = [&](const std::function<void(Bytes&)>& change) {
        return [=] {
            Bytes j = whole;
            change(j);
            return j;
        };
    };
    // The offset of the key path's byte count in the second block: its tag,
    // then the root name record (type, count, "HKCU").
    const size_t keyPathCount = second + 2 + 1 + 4 + 8 + 1;
    const std::vector<Case> cases{
        {"junk where the second block starts",
         edit([&](Bytes& j) { j.insert(j.begin() + static_cast<long>(second), {5, 1, 0, 0, 0}); }), kReplayIncomplete,
         {{second, second + 5}}, false, 0, {true, true, true}},
        {"a stray byte where the second block starts", edit([&](Bytes& j) { j[second] = 0x7F; }), kReplayIncomplete,
         {{second, third}}, false, 0, {true, false, true}},
        {"a length running past its block but not past the file",
         edit([&](Bytes& j) { Remover::Format::PutUint32(j.data() + keyPathCount, 70); }), kReplayIncomplete,
         {{second, third}}, false, 0, {true, false, true}},
        {"a length running past the end of the file",
         edit([&](Bytes& j) { Remover::Format::PutUint32(j.data() + keyPathCount, 0x7FFFFFFF); }), kReplayIncomplete,
         {{second, third}}, false, 0, {true, false, true}},
        {"a flipped bit inside the second block", edit([&](Bytes& j) { j[second + 60] ^= 0x01; }), kReplayIncomplete,
         {{second, third}}, false, 0, {true, false, true}},
        {"damage, then only a torn last block: all of it is the torn tail",
         [&] {
             Bytes j(whole.begin(), whole.begin() + static_cast<long>(third + 20));
             j[second + 1] = 0;
             return j;
         },
         0u, {}, true, second, {true, false, false}},
        {"damage, then only the end record",
         [&] {
             Bytes j(whole.begin(), whole.begin() + static_cast<long>(third));
             j[second + secondLength / 2] ^= 0x40;
             j.push_back(Remover::Format::Record::JournalEnd);
             return j;
         },
         kReplayIncomplete, {{second, third}}, false, 0, {true, false, false}},
        {"junk after the last block, nothing sound after it",
         [&] {
             Bytes j(whole.begin(), whole.begin() + static_cast<long>(end));
             j.insert(j.end(), {0, 0, 0, 0, 0, 0});
             return j;
         },
         0u, {}, true, end, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const wchar_t* key : {L"a", L"b", L"c"}) {
            if (KeyExists(key)) {
                DeleteKey(key);
            }
        }
        const Bytes journal = c.make();
        ReplayReport report;
        EXPECT_EQ(Replay(PutJournal(L"1.arch", journal), &report), c.status);
        ASSERT_EQ(report.damaged.size(), c.damaged.size());
        for (size_t i = 0; i < c.damaged.size(); ++i) {
            EXPECT_EQ(report.damaged[i].begin, c.damaged[i].begin);
            EXPECT_EQ(report.damaged[i].end, c.damaged[i].end);
        }
        EXPECT_EQ(report.tornTail, c.torn);
        if (c.torn) {
            EXPECT_EQ(report.tornOffset, c.tornOffset);
        }
        EXPECT_TRUE(report.failed.empty());
        EXPECT_EQ(KeyExists(L"a"), c.restored[0]);
        EXPECT_EQ(KeyExists(L"b"), c.restored[1]);
        EXPECT_EQ(KeyExists(L"c"), c.restored[2]);
    }
}

TEST_F(JournalReplay, AnEmptyJournalRestoresNothingAndSucceeds)
{
    ReplayReport report;
    EXPECT_EQ(Replay(PutJournal(L"1.arch", JournalBuilder().Header().Start().Get()), &report), 0u);
    EXPECT_EQ(report.blocks, 0u);
    EXPECT_FALSE(report.tornTail);
    EXPECT_EQ(Replay(PutJournal(L"2.arch", JournalBuilder().Header().Start().End().Get()), &report), 0u);
    EXPECT_TRUE(report.endRecord);
}

TEST_F(JournalReplay, AMissingJournalOrAForeignFileFails)
{
    MakeFolder(BackupFolder());
    EXPECT_EQ(Replay(BackupFolder() + L"\\none.arch"), Err::FileNotFound);
    EXPECT_EQ(Replay(PutJournal(L"1.arch", ToBytes("MZ not a journal"))), Err::BadFormat);
}

TEST_F(JournalReplay, ProgressGoesToTheTracerInBytes)
{
    JournalBuilder b;
    b.Header().Start();
    SetValueBlock(b, L"a", L"v", 1);
    SetValueBlock(b, L"b", L"v", 2).End();
    RecordingTracer tracer;
    ASSERT_EQ(Replay(PutJournal(L"1.arch", b.Get()), nullptr, &tracer), 0u);
    ASSERT_GE(tracer.calls.size(), 3u);
    const auto size = static_cast<int32_t>(b.Size());
    EXPECT_EQ(tracer.calls.front(), std::make_pair(RTI::TraceCode::Max, size));
    EXPECT_EQ(tracer.calls.back(), std::make_pair(RTI::TraceCode::Current, size));
    for (size_t i = 2; i < tracer.calls.size(); ++i) {
        EXPECT_EQ(tracer.calls[i].first, RTI::TraceCode::Current);
        EXPECT_GE(tracer.calls[i].second, tracer.calls[i - 1].second);
    }
}

TEST_F(JournalReplay, ASignalledCancelEventStopsBeforeTheNextBlock)
{
    JournalBuilder b;
    b.Header().Start();
    SetValueBlock(b, L"a", L"v", 1).End();
    Platform::UniqueEvent cancel(Os().Threads().CreateEvent(true, true));
    EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get()), nullptr, nullptr, cancel.get()), Err::Cancelled);
    EXPECT_FALSE(KeyExists(L"a"));
}

TEST_F(JournalReplay, AJournalCanBeReplayedAgain)
{
    WriteDword(L"k", L"v", 1);
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
        WriteDword(L"k", L"v", 2);
    });
    ASSERT_EQ(Replay(journal), 0u);
    WriteDword(L"k", L"v", 3);
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(DwordOf(L"k", L"v"), 1u);
}

TEST_F(JournalReplay, OneReaderReplaysSeveralJournalsInTurn)
{
    JournalBuilder first;
    SetValueBlock(first.Header().Start(), L"a", L"v", 1).End();
    JournalBuilder second;
    SetValueBlock(second.Header().Start(), L"b", L"v", 2).End();
    Remover::Processor restore;
    (void)restore.RegisterCommands();
    Remover::Reader reader;
    EXPECT_EQ(reader.Replay(PutJournal(L"1.arch", first.Get()), Header(), kHeaderLength, restore, nullptr, nullptr),
              0u);
    EXPECT_EQ(reader.Replay(PutJournal(L"2.arch", second.Get()), Header(), kHeaderLength, restore, nullptr, nullptr),
              0u);
    EXPECT_EQ(DwordOf(L"a", L"v"), 1u);
    EXPECT_EQ(DwordOf(L"b", L"v"), 2u);
}

}  // namespace
