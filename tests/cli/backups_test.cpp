// backups list, restore and delete: restoring gives back what the runs
// changed, newest run first; unknown points change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <regex>

#include "core/text/JsonWriter.h"

#include "core/platform/FileIO.h"
#include "remover/DeleteRegValue.h"
#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;
using CliTesting::MachineState;
using CliTesting::Result;

class CliBackups : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        PrepareMachine();
    }
    // The machine as a restore gives it back: the cleanup deletions of
    // "*.tmp" files are not saved, so they stay deleted.
    MachineState Restorable(MachineState state)
    {
        state.files.erase(L"Temp\\a.tmp");
        state.files.erase(L"Temp\\b.tmp");
        return state;
    }
    bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }
};

// The expected output reads best as it prints.
// clang-format off
TEST_F(CliBackups, ListShowsThePointsAsTextAndJson)
{
    Result r = Run({L"backups", L"list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, L"No backup points in " + BackupFolder() + L"\n");
    r = Run({L"backups", L"list", L"--json"});
    EXPECT_EQ(r.out, L"{\n  \"folder\": " + Text::JsonWriter::Quote(BackupFolder()) + L",\n  \"points\": []\n}\n");

    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    ASSERT_EQ(Journals().size(), 1u);
    const std::wstring name = Journals().front();
    r = Run({L"backups", L"list"});
    EXPECT_EQ(r.code, 0);
    const std::wregex line(L"Backup points in .*:\n  " + name + L"  \\d{4}\\.\\d{2}\\.\\d{2} \\d{1,2}:\\d{2}\n");
    EXPECT_TRUE(std::regex_match(r.out, line)) << r.out;

    r = Run({L"backups", L"list", L"--json"});
    const std::wregex json(
        L"\\{\n"
        L"  \"folder\": \".*\",\n"
        L"  \"points\": \\[\n"
        L"    \\{\n"
        L"      \"name\": \"" + name + L"\",\n"
        L"      \"path\": \".*\\\\\\\\" + name + L"\",\n"
        L"      \"date\": \"\\d{4}\\.\\d{2}\\.\\d{2}\",\n"
        L"      \"time\": \"\\d{1,2}:\\d{2}\"\n"
        L"    \\}\n"
        L"  \\]\n"
        L"\\}\n");
    EXPECT_TRUE(std::regex_match(r.out, json)) << r.out;
}
// clang-format on

TEST_F(CliBackups, RestoreGivesBackEverythingTheRunChanged)
{
    const MachineState before = Machine();
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    ASSERT_NE(Machine(), before);
    const std::wstring name = Journals().front();

    const Result r = Run({L"backups", L"restore", name});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, L"");
    const std::wregex report(L"Restored " + name +
                             L": (\\d+) of \\1 changes undone\n"
                             L"Restoring complete\n"
                             L"A restart of Windows may be needed for the changes to take effect.\n");
    EXPECT_TRUE(std::regex_match(r.out, report)) << r.out;
    EXPECT_EQ(Machine(), Restorable(before));
    EXPECT_EQ(Journals(), std::vector<std::wstring>{name}) << "a restored point stays";
}

TEST_F(CliBackups, TwoRunsRestoredTogetherComeBackNewestFirst)
{
    const MachineState before = Machine();
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    // Between the runs the user changes a value the first run set, and the
    // second run (other selections) sets it again and makes a key.
    WriteDword(L"Machine\\Old", L"Mode", 7);
    ASSERT_EQ(RunOnCatalogue({L"select", L"Make a key", L"Editor setting"}).code, 0);
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    ASSERT_TRUE(KeyExists(L"Machine\\Made"));
    std::vector<std::wstring> journals = Journals();
    ASSERT_EQ(journals.size(), 2u);
    std::sort(journals.begin(), journals.end());  // oldest first, as given below

    const Result r = Run({L"backups", L"restore", journals[0], BackupFolder() + journals[1]});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_LT(r.out.find(L"Restored " + journals[1]), r.out.find(L"Restored " + journals[0])) << r.out;
    EXPECT_EQ(Machine(), Restorable(before)) << "Mode is 1 again, not the 7 of between the runs";
}

TEST_F(CliBackups, AnUnknownPointRestoresAndDeletesNothing)
{
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    const std::wstring name = Journals().front();
    const MachineState tuned = Machine();
    for (const wchar_t* action : {L"restore", L"delete"}) {
        const Result r = Run({L"backups", action, name, L"1234.arch"});
        EXPECT_EQ(r.code, 2) << action;
        EXPECT_EQ(r.err, L"corvane-cli: no backup point \"1234.arch\" (looked for " + BackupFolder() +
                             L"1234.arch)\ncorvane-cli: nothing was done\n");
        EXPECT_EQ(r.out, L"");
    }
    EXPECT_EQ(Machine(), tuned);
    EXPECT_EQ(Journals(), std::vector<std::wstring>{name});

    WriteFile(PathOf(L"notes.txt"), "not a journal");
    const Result r = Run({L"backups", L"delete", PathOf(L"notes.txt")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Contains(r.err, L"not a backup point: " + PathOf(L"notes.txt"))) << r.err;
    EXPECT_TRUE(Exists(PathOf(L"notes.txt")));
}

TEST_F(CliBackups, DeleteTakesNamesWithOrWithoutTheExtensionAndPaths)
{
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    ASSERT_EQ(RunOnCatalogue({L"select", L"Make a key"}).code, 0);
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    std::vector<std::wstring> journals = Journals();
    ASSERT_EQ(journals.size(), 2u);
    const std::wstring bare = journals[0].substr(0, journals[0].size() - 5);
    const Result r = Run({L"backups", L"delete", bare, BackupFolder() + journals[1]});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Deleted " + journals[0] + L"\nDeleted " + journals[1] + L"\n");
    EXPECT_TRUE(Journals().empty());
    EXPECT_EQ(Run({L"backups", L"list"}).out, L"No backup points in " + BackupFolder() + L"\n");
}

TEST_F(CliBackups, ADamagedJournalMakesTheRestoreFailAndTheOthersStillRun)
{
    const MachineState before = Machine();
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    const std::wstring good = Journals().front();
    WriteFile(BackupFolder() + L"4000000000.arch", "this is no journal");
    const Result r = Run({L"backups", L"restore", L"4000000000", good});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind(L"corvane-cli: cannot restore " + BackupFolder() + L"4000000000.arch: ", 0), 0u) << r.err;
    EXPECT_TRUE(Contains(r.err, L"corvane-cli: restoring is incomplete\n")) << r.err;
    EXPECT_TRUE(Contains(r.out, L"Restored " + good)) << r.out;
    EXPECT_FALSE(Contains(r.out, L"Restoring complete")) << r.out;
    EXPECT_EQ(Machine(), Restorable(before));
}

// What a restore saw is said plainly: damage in the middle of a journal fails
// the restore and is named by its bytes; a torn last change is named as one
// that was never made, and the restore is complete without it.
TEST_F(CliBackups, TheRestoreSaysWhatItSawInTheJournal)
{
    using JournalTesting::Bytes;
    using JournalTesting::JournalBuilder;
    auto valueBlock = [&](JournalBuilder& b, std::wstring_view name, uint8_t v) -> JournalBuilder& {
        return b.Begin(Remover::DeleteRegValue::kTag)
            .Wide(L"HKCU")
            .Wide(ScratchKeyPath() + L"\\Restored")
            .Wide(name)
            .Int(Platform::RegType::Binary)
            .Data({v})
            .Finish();
    };
    JournalBuilder b;
    b.Header().Start();
    valueBlock(b, L"first", 1);
    const size_t second = b.Size();
    valueBlock(b, L"second", 2).End();
    const Bytes whole = b.Get();

    Bytes junk = whole;
    junk.insert(junk.begin() + static_cast<long>(second), {0x05, 0xAA, 0xBB});
    const Bytes torn(whole.begin(), whole.begin() + static_cast<long>(second + 9));
    struct Case {
        const char* what;
        Bytes journal;
        int code;
        std::wstring out;
        std::wstring err;
        bool secondRestored;
    };
    const std::wstring path = BackupFolder() + L"1700000000.arch";
    const std::vector<Case> cases{
        {"junk where the second block starts", junk, 1,
         L"Restored 1700000000.arch: 2 of 2 readable changes undone\n",
         L"corvane-cli: " + path + L": bytes " + std::to_wstring(second) + L"\u2013" + std::to_wstring(second + 2) +
             L" of the journal are damaged; the changes recorded there were not undone\n"
             L"corvane-cli: restoring is incomplete\n",
         true},
        {"a torn last change", torn, 0,
         L"Restored 1700000000.arch: 1 of 1 changes undone\n" + path +
             L": the journal ends in an incomplete change at byte " + std::to_wstring(second) +
             L"; that change was never made\nRestoring complete\n"
             L"A restart of Windows may be needed for the changes to take effect.\n",
         L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        (void)Testing::DeleteTree(ScratchKey(), L"Restored");
        MakeFolder(BackupFolder());
        WriteFile(path, JournalTesting::ToText(c.journal));
        const Result r = Run({L"backups", L"restore", L"1700000000"});
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        uint32_t type = 0;
        std::vector<uint8_t> data;
        EXPECT_EQ(ReadValue(L"Restored", L"first", &type, &data), 0u);
        EXPECT_EQ(ReadValue(L"Restored", L"second", &type, &data) == 0, c.secondRestored);
    }
}

// `backups show` reads what a restore would undo and changes nothing; a
// damaged journal is named with what cannot be undone.
TEST_F(CliBackups, ShowListsWhatThePointUndoesAndChangesNothing)
{
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    const std::wstring name = Journals().front();
    const MachineState tuned = Machine();

    Result r = Run({L"backups", L"show", name});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, L"");
    const std::wregex text(L"Backup point " + name +
                           L"  \\d{4}\\.\\d{2}\\.\\d{2} \\d{1,2}:\\d{2}\n"
                           L"Restoring it undoes (\\d+) changes, the last one first:\n"
                           L"(  \\d+\\. .* (comes back|is deleted).*\n)+");
    EXPECT_TRUE(std::regex_match(r.out, text)) << r.out;
    EXPECT_TRUE(Contains(r.out, L"HKCU\\" + MachineKeyPath())) << r.out;

    r = Run({L"backups", L"show", name, L"--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, L"\"complete\": true")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\"kind\": \"value back\"")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\"undo\": ")) << r.out;
    EXPECT_EQ(Machine(), tuned);

    // A byte of the first change spoilt: the changes after it are still shown.
    std::string damaged;
    ASSERT_EQ(Platform::ReadWholeFile(BackupFolder() + name, &damaged), 0u);
    damaged[Remover::Format::kProductHeaderLength + 12] ^= 0x5A;
    WriteFile(BackupFolder() + L"1000000000.arch", damaged);
    r = Run({L"backups", L"show", L"1000000000"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, L"of the journal are damaged; the changes recorded there cannot be undone")) << r.err;
    EXPECT_TRUE(Contains(r.out, L"Restoring it undoes ")) << r.out;

    r = Run({L"backups", L"show", L"1234"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, L"");
}

TEST_F(CliBackups, FindAndListGiveThePointsNewestFirst)
{
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    ASSERT_EQ(RunOnCatalogue({L"select", L"Make a key"}).code, 0);
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    std::vector<std::wstring> journals = Journals();
    ASSERT_EQ(journals.size(), 2u);
    std::sort(journals.begin(), journals.end());

    Result r = Run({L"backups", L"list"});
    EXPECT_LT(r.out.find(journals[1]), r.out.find(journals[0])) << r.out;

    // The scratch key's name, in other letters, is in every registry change.
    std::wstring upper = MachineKeyPath();
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    r = Run({L"backups", L"find", upper});
    ASSERT_EQ(r.code, 0) << r.err;
    const size_t newer = r.out.find(journals[1] + L"  ");
    const size_t older = r.out.find(journals[0] + L"  ");
    ASSERT_NE(newer, std::wstring::npos) << r.out;
    ASSERT_NE(older, std::wstring::npos) << r.out;
    EXPECT_LT(newer, older);
    EXPECT_TRUE(Contains(r.out, L"Made")) << r.out;

    r = Run({L"backups", L"find", L"no such zebra"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, L"No backup point in " + BackupFolder() + L" records a change of \"no such zebra\"\n");
    r = Run({L"backups", L"find", L""});
    EXPECT_EQ(r.code, 2);
}

}  // namespace
