// The backups view's logic: points newest first with their ticks and the
// commands a click sends, an opened point's changes, the restore's truthful
// message, the question before deleting and the points that stayed, and the
// restore on a worker that holds the change lock.
#include <gtest/gtest.h>

#include <mutex>

#include "gui/BackupMessages.h"
#include "gui/BackupsList.h"
#include "gui/Commands.h"
#include "gui/RestoreJob.h"
#include "remover/DeleteRegValue.h"
#include "remover/SetRegKey.h"
#include "tests/gui/ValueJournalFixture.h"

namespace {

using namespace JournalTesting;
using GUI::BackupsList;
using Remover::BackupPoint;

class BackupsView : public ValueJournalTest {
protected:
    // Three points; the middle one is damaged after its first change.
    void ThreePoints()
    {
        PutJournal(L"1700000100.arch", ValueJournal(L"a", 1));
        Bytes damaged = ValueJournal(L"b", 2);
        const Bytes second = ValueJournal(L"c", 3);
        damaged.pop_back();  // the end record
        damaged.insert(damaged.end(), {0x05, 0xEE});
        damaged.insert(damaged.end(), second.begin() + kHeaderLength + 1, second.end());
        PutJournal(L"1700000200.arch", damaged);
        PutJournal(L"1700000300.arch", ValueJournal(L"d", 4));
    }
    std::wstring NameOf(const GUI::BackupRow& row) { return row.name; }
};

TEST_F(BackupsView, PointsAreListedNewestFirstAndClicksTickAndSendTheCommand)
{
    ThreePoints();
    BackupsList list;
    list.Show(BackupFolder(), 417);
    ASSERT_EQ(list.Rows().size(), 3u);
    EXPECT_EQ(list.Rows()[0].name, L"1700000300.arch");
    EXPECT_EQ(list.Rows()[2].name, L"1700000100.arch");
    EXPECT_EQ(list.Rows()[1].icon, L"AQUA.MENU.BACKUPODD");
    EXPECT_EQ(list.Rows()[1].background, BackupsList::kOddColour);
    EXPECT_EQ(list.Rows()[1].row, (GUI::Rect{0, 50, 400, 50}));
    EXPECT_EQ(list.Rows()[1].checkBox, (GUI::Rect{66, 65, 16, 16}));
    EXPECT_EQ(list.ScrollRange(), 150);

    // (x, y) of each click, the command it sends, the ticks afterwards.
    const struct {
        int x, y;
        int command;
        std::vector<bool> ticks;
    } clicks[] = {
        {72, 70, GUI::Command::PointChecked, {false, true, false}},
        {72, 120, GUI::Command::PointChecked, {false, true, true}},  // several may be ticked
        {200, 20, GUI::Command::PointChecked, {false, true, true}},  // the row, not its box
        {72, 70, GUI::Command::PointChecked, {false, false, true}},
        {72, 120, GUI::Command::NoPointChecked, {false, false, false}},
        {72, 400, 0, {false, false, false}},  // below the rows
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.y);
        EXPECT_EQ(list.Click(c.x, c.y), c.command);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(list.Rows()[i].point.ticked, c.ticks[i]) << i;
        }
    }
    list.SetTicked(0, true);
    list.Show(BackupFolder(), 417);
    EXPECT_FALSE(list.AnyTicked()) << "a reload clears the ticks";
}

TEST_F(BackupsView, OpeningAPointListsWhatItUndoesAndWhatItCannot)
{
    ThreePoints();
    BackupsList list;
    list.Show(BackupFolder(), 417);
    const GUI::Rect link = list.Rows()[1].link;
    EXPECT_EQ(list.Click(link.left + 2, link.top + 2), 0);
    ASSERT_EQ(list.OpenRow(), 1);
    EXPECT_NE(list.OpenTitle().find(L"(1700000200.arch)"), std::wstring::npos);
    const auto& lines = list.OpenChanges();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].location, L"HKCU\\" + KeyPath(L"c") + L", value \"v\"");
    EXPECT_EQ(lines[0].undo, L"comes back: REG_DWORD 3 (0x00000003)");
    EXPECT_EQ(lines[1].location, L"HKCU\\" + KeyPath(L"b") + L", value \"v\"");
    EXPECT_TRUE(lines[2].problem);
    EXPECT_NE(lines[2].undo.find(L"cannot be undone"), std::wstring::npos);
    EXPECT_EQ(DwordOf(L"b"), 0xDEADBEEF) << "opening restores nothing";
    list.Close();
    EXPECT_EQ(list.OpenRow(), -1);
}

// The message after a restore: "Restoring complete" only when every change
// of every point came back; the restart only when something was undone.
TEST_F(BackupsView, TheRestoreMessageIsTheTruth)
{
    ThreePoints();
    PutJournal(L"1700000400.arch", ToBytes("Corvane junk"));
    const auto all = Remover::NewestFirst(Remover::ListBackupPoints(BackupFolder()));
    auto ticked = [&](std::vector<std::wstring> names) {
        auto points = all;
        for (BackupPoint& p : points) {
            for (const std::wstring& n : names) {
                p.ticked = p.ticked || p.path.ends_with(n);
            }
        }
        return points;
    };
    const struct {
        const char* what;
        std::vector<std::wstring> names;
        std::vector<std::wstring> lines;  // the text's lines, labels as file names
        bool restart;
    } cases[] = {
        {"two sound points", {L"1700000100.arch", L"1700000300.arch"}, {L"Restoring complete"}, true},
        {"a damaged point among sound ones",
         {L"1700000100.arch", L"1700000200.arch"},
         {L"Restoring is incomplete.",
          L"1700000200.arch): 2 changes undone, 0 could not be undone and a damaged part "
          L"of the journal was skipped (part of the journal is damaged).",
          L"1700000100.arch): all 1 change undone."},
         true},
        {"only a point that is no journal",
         {L"1700000400.arch"},
         {L"Restoring is incomplete.",
          L"1700000400.arch): nothing was undone: the journal is damaged or not a journal."},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto points = ticked(c.names);
        Remover::Processor processor;
        Remover::Reader reader;
        const auto outcome = Remover::RestoreTickedPoints(points, processor, reader, nullptr, nullptr);
        const GUI::RestoreMessage m = GUI::RestoreResultMessage(outcome, points);
        EXPECT_EQ(m.message.caption, L"Backups");
        EXPECT_EQ(m.offerRestart, c.restart);
        size_t at = 0;
        for (const std::wstring& line : c.lines) {
            const size_t found = m.message.text.find(line, at);
            EXPECT_NE(found, std::wstring::npos)
                << "missing: " << testing::PrintToString(line) << " in " << testing::PrintToString(m.message.text);
            at = found == std::wstring::npos ? at : found;
        }
    }
    EXPECT_EQ(DwordOf(L"a"), 1u);
    EXPECT_EQ(DwordOf(L"c"), 3u) << "the change after the damage came back";
}

TEST_F(BackupsView, DeleteAsksFirstAndNamesThePointsThatStayed)
{
    PutJournal(L"1700000100.arch", ValueJournal(L"a", 1));
    PutJournal(L"1700000200.arch", ValueJournal(L"a", 2));
    auto points = Remover::NewestFirst(Remover::ListBackupPoints(BackupFolder()));
    points[0].ticked = points[1].ticked = true;
    const GUI::UserMessage question = GUI::DeleteQuestion(points);
    EXPECT_EQ(question.caption, L"Backups");
    EXPECT_EQ(question.text.rfind(L"Delete 2 backup points? ", 0), 0u) << testing::PrintToString(question.text);
    EXPECT_NE(question.text.find(L"(1700000200.arch)\n"), std::wstring::npos);

    EXPECT_TRUE(GUI::DeleteResultMessage({}, points).text.empty());
    const std::vector<Remover::DeleteFailure> failures{{points[1].path, 5}, {points[0].path, 32}};
    const GUI::UserMessage stayed = GUI::DeleteResultMessage(failures, points);
    EXPECT_EQ(stayed.text, L"These backup points could not be deleted:\n" + GUI::PointLabel(points[1]) +
                               L": access was denied.\n" + GUI::PointLabel(points[0]) +
                               L": it is in use by another program.");
}

class RecordingTracer final : public RTI::ITracer {
public:
    void Begin(const void*, unsigned) override {}
    void End(const void*, unsigned) override {}
    void Trace(uint32_t code, int32_t, int32_t) override
    {
        std::lock_guard lock(mutex);
        codes.push_back(code);
    }
    std::mutex mutex;
    std::vector<uint32_t> codes;
};

class RecordingPoster final : public GUI::ICommandPoster {
public:
    void PostCommand(int command, intptr_t parameter) override
    {
        std::lock_guard lock(mutex);
        posted.emplace_back(command, parameter);
    }
    std::mutex mutex;
    std::vector<std::pair<int, intptr_t>> posted;
};

// The restore runs on a worker that holds the change lock; the window hears
// of its end by a posted command and gets the message from Finish.
TEST_F(BackupsView, TheRestoreRunsOnAWorkerHoldingTheChangeLock)
{
    PutJournal(L"1700000100.arch", ValueJournal(L"a", 1));
    auto points = Remover::ListBackupPoints(BackupFolder());
    const std::wstring lockName =
        L"Local\\CorvaneTests.Restore." + ScratchKeyPath().substr(ScratchKeyPath().rfind(L'\\') + 1);

    GUI::RestoreJob job(lockName);
    RecordingTracer tracer;
    RecordingPoster poster;
    EXPECT_FALSE(job.Start(points, &tracer, &poster)) << "nothing ticked";
    points[0].ticked = true;

    const struct {
        const char* what;
        bool lockHeldElsewhere;
        std::wstring text;
        uint32_t value;
    } cases[] = {
        {"another program holds the lock", true,
         L"Nothing was restored: another Corvane program is changing the system. Try again when it has finished.",
         0xDEADBEEF},
        {"the lock is free", false, L"Restoring complete", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Platform::UniqueNamedLock other;
        if (c.lockHeldElsewhere) {
            ASSERT_EQ(Tweaker::TakeChangeLock(&other, lockName), 0u);
        }
        poster.posted.clear();
        ASSERT_TRUE(job.Start(points, &tracer, &poster));
        job.Wait();
        ASSERT_EQ(poster.posted.size(), 1u);
        EXPECT_EQ(poster.posted[0],
                  (std::pair<int, intptr_t>{GUI::Command::RestorePoints, GUI::RestoreJob::kFinished}));
        EXPECT_FALSE(job.Running());
        EXPECT_EQ(job.Finish().message.text, c.text);
        EXPECT_EQ(DwordOf(L"a"), c.value);
    }
    EXPECT_NE(std::find(tracer.codes.begin(), tracer.codes.end(), RTI::TraceCode::Max), tracer.codes.end());
    Platform::UniqueNamedLock after;
    EXPECT_EQ(Tweaker::TakeChangeLock(&after, lockName), 0u) << "the worker gave the lock up";
}

}  // namespace
