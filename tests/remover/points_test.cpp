#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "remover/BackupPoints.h"
#include "remover/DeleteRegValue.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Remover::BackupPoint;

class BackupPoints : public JournalTest {
protected:
    // A journal that sets subKey\v back to `value`.
    Bytes SetValueJournal(std::wstring_view subKey, uint32_t value)
    {
        uint8_t bytes[4];
        Remover::Format::PutUint32(bytes, value);
        JournalBuilder b;
        b.Header().Start().Begin(Remover::DeleteRegValue::kTag).Wide(L"HKCU").Wide(KeyPath(subKey)).Wide(L"v");
        b.Int(Platform::RegType::Dword).Data(Bytes(bytes, bytes + 4)).Finish().End();
        return b.Get();
    }
    uint32_t DwordOf(std::wstring_view subKey)
    {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (ReadValue(subKey, L"v", &type, &data) != 0 || data.size() != 4) {
            return 0xDEADBEEF;
        }
        return Remover::Format::GetUint32(data.data());
    }
    std::vector<std::wstring> FileNames(const std::vector<BackupPoint>& points)
    {
        std::vector<std::wstring> names;
        for (const BackupPoint& p : points) {
            names.push_back(p.path.substr(p.path.rfind(L'\\') + 1));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<BackupPoint> TickAll(std::vector<BackupPoint> points)
    {
        for (BackupPoint& p : points) {
            p.ticked = true;
        }
        return points;
    }
};

TEST_F(BackupPoints, AnEmptyOrMissingFolderListsNothing)
{
    EXPECT_TRUE(Remover::ListBackupPoints(BackupFolder()).empty());
    MakeFolder(BackupFolder());
    EXPECT_TRUE(Remover::ListBackupPoints(BackupFolder()).empty());
    EXPECT_TRUE(Remover::ListBackupPoints(L"").empty());
}

TEST_F(BackupPoints, OnlyJournalFilesAreListedNotFoldersOrOtherFiles)
{
    PutJournal(L"1700000000.arch", SetValueJournal(L"a", 1));
    PutJournal(L"notes.txt", ToBytes("x"));
    MakeFolder(BackupFolder() + L"\\1700000001.arch");
    const auto points = Remover::ListBackupPoints(BackupFolder() + L"\\");
    EXPECT_EQ(FileNames(points), std::vector<std::wstring>{L"1700000000.arch"});
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].path, BackupFolder() + L"\\1700000000.arch");
    EXPECT_FALSE(points[0].ticked);
}

TEST_F(BackupPoints, LabelsHaveAPaddedDateAndAnUnpaddedHour)
{
    PutJournal(L"1.arch", SetValueJournal(L"a", 1));
    const auto points = Remover::ListBackupPoints(BackupFolder());
    ASSERT_EQ(points.size(), 1u);
    const std::wstring& date = points[0].dateLabel;
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[4], L'.');
    EXPECT_EQ(date[7], L'.');
    const std::wstring& time = points[0].timeLabel;
    const size_t colon = time.find(L':');
    ASSERT_NE(colon, std::wstring::npos);
    EXPECT_EQ(time.size() - colon, 3u);
    EXPECT_TRUE(colon == 1 || (colon == 2 && time[0] != L'0')) << "the hour has no leading zero";
}

TEST_F(BackupPoints, TickedPointsAreRestoredNewestFirst)
{
    // Three runs changed the same value: 1 -> 2 -> 3 -> 4. Each journal holds
    // the value its run found.
    PutJournal(L"1700000100.arch", SetValueJournal(L"k", 1));
    PutJournal(L"1700000200.arch", SetValueJournal(L"k", 2));
    PutJournal(L"1700000300.arch", SetValueJournal(L"k", 3));
    WriteDword(L"k", L"v", 4);
    Remover::Processor processor;
    Remover::Reader reader;
    const auto outcome = Remover::RestoreTickedPoints(TickAll(Remover::ListBackupPoints(BackupFolder())), processor,
                                                      reader, nullptr, nullptr);
    EXPECT_TRUE(outcome.Complete());
    ASSERT_EQ(outcome.points.size(), 3u);
    EXPECT_EQ(outcome.points[0].path, BackupFolder() + L"\\1700000300.arch");
    EXPECT_EQ(outcome.points[2].path, BackupFolder() + L"\\1700000100.arch");
    EXPECT_EQ(DwordOf(L"k"), 1u);
}

TEST_F(BackupPoints, ABrokenMiddlePointDoesNotStopTheOthers)
{
    PutJournal(L"1700000100.arch", SetValueJournal(L"a", 1));
    PutJournal(L"1700000200.arch", ToBytes("Corvane broken"));
    PutJournal(L"1700000300.arch", SetValueJournal(L"c", 3));
    Remover::Processor processor;
    Remover::Reader reader;
    const auto outcome = Remover::RestoreTickedPoints(TickAll(Remover::ListBackupPoints(BackupFolder())), processor,
                                                      reader, nullptr, nullptr);
    EXPECT_FALSE(outcome.Complete());
    ASSERT_EQ(outcome.points.size(), 3u);
    EXPECT_NE(outcome.points[1].status, 0u);
    EXPECT_EQ(DwordOf(L"a"), 1u);
    EXPECT_EQ(DwordOf(L"c"), 3u);
}

TEST_F(BackupPoints, OnlyTickedPointsAreRestoredAndPointsStayAfterwards)
{
    PutJournal(L"1700000100.arch", SetValueJournal(L"a", 1));
    PutJournal(L"1700000200.arch", SetValueJournal(L"b", 2));
    auto points = Remover::ListBackupPoints(BackupFolder());
    for (BackupPoint& p : points) {
        p.ticked = p.path.find(L"1700000200") != std::wstring::npos;
    }
    Remover::Processor processor;
    Remover::Reader reader;
    EXPECT_TRUE(Remover::RestoreTickedPoints(points, processor, reader, nullptr, nullptr).Complete());
    EXPECT_FALSE(KeyExists(L"a"));
    EXPECT_EQ(DwordOf(L"b"), 2u);
    EXPECT_EQ(Remover::ListBackupPoints(BackupFolder()).size(), 2u);
}

TEST_F(BackupPoints, NewestFirstOrdersByTheNumberInTheName)
{
    const auto order =
        Remover::NewestFirst({L"C:\\b\\999.arch", L"C:\\b\\odd.arch", L"C:\\b\\1700000000.arch", L"C:\\b\\1000.arch"});
    EXPECT_EQ(order, (std::vector<std::wstring>{L"C:\\b\\1700000000.arch", L"C:\\b\\1000.arch", L"C:\\b\\999.arch",
                                                L"C:\\b\\odd.arch"}));
}

TEST_F(BackupPoints, DeletingRemovesTheJournalsEvenReadOnlyAndLeavesTheCopies)
{
    WriteFile(PathOf(L"a.txt"), "saved");
    const std::wstring journal = RunJournal(
        [&](Remover::Processor& p) { ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u); });
    ASSERT_EQ(Fs().SetFileAttributes(journal, Platform::FileAttr::ReadOnly), 0u);
    PutJournal(L"1.arch", SetValueJournal(L"a", 1));
    auto points = Remover::ListBackupPoints(BackupFolder());
    ASSERT_EQ(points.size(), 2u);
    for (BackupPoint& p : points) {
        p.ticked = p.path == journal;
    }
    EXPECT_TRUE(Remover::DeleteTickedPoints(points).empty());
    EXPECT_EQ(FileNames(Remover::ListBackupPoints(BackupFolder())), std::vector<std::wstring>{L"1.arch"});
    EXPECT_EQ(Copies().size(), 1u);
}

#ifndef _WIN32
TEST_F(BackupPoints, LabelsAreTheCreationTimeInLocalTime)
{
    const char* oldZone = std::getenv("TZ");
    const std::string saved = oldZone ? oldZone : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    Portable().Time().Set(1165482300);  // 2006-12-07 09:05:00 UTC
    PutJournal(L"1165482300.arch", SetValueJournal(L"a", 1));
    const auto points = Remover::ListBackupPoints(BackupFolder());
    if (oldZone) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].dateLabel, L"2006.12.07");
    EXPECT_EQ(points[0].timeLabel, L"9:05");
}

TEST_F(BackupPoints, AJournalThatCannotBeOpenedIsNotListedAndOneThatCannotBeDeletedStays)
{
    PutJournal(L"1.arch", SetValueJournal(L"a", 1));
    PutJournal(L"2.arch", SetValueJournal(L"b", 1));
    Portable().Faults().FailWhen(Platform::Portable::Operation::CreateFile, BackupFolder() + L"\\1.arch",
                                 Err::SharingViolation);
    EXPECT_EQ(FileNames(Remover::ListBackupPoints(BackupFolder())), std::vector<std::wstring>{L"2.arch"});
    Portable().Faults().Clear();

    Portable().Faults().FailWhen(Platform::Portable::Operation::DeleteFile, BackupFolder() + L"\\2.arch",
                                 Err::AccessDenied);
    const auto failures = Remover::DeleteTickedPoints(TickAll(Remover::ListBackupPoints(BackupFolder())));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].error, Err::AccessDenied);
    EXPECT_EQ(FileNames(Remover::ListBackupPoints(BackupFolder())), std::vector<std::wstring>{L"2.arch"});
}

TEST(BackupPointLabels, TimesBeforeTheEpochOrFarAheadAreNotConverted)
{
    std::wstring date;
    std::wstring time;
    EXPECT_FALSE(Remover::MakeLabels(0, &date, &time));
    EXPECT_FALSE(Remover::MakeLabels(UINT64_MAX, &date, &time));
}
#endif

}  // namespace
