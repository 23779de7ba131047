// A restore acts on the place it recorded: each file command records the
// final path of its target's folder, and a restore refuses a block whose
// folder now resolves elsewhere (a folder replaced by a link after the
// tune-up), writing and deleting nothing there.
#include <gtest/gtest.h>

#include <functional>

#include "remover/FinalParent.h"
#include "remover/RCreateFile.h"
#include "tests/remover/JournalFixture.h"

#ifndef _WIN32

namespace {

using namespace JournalTesting;

class FinalParent : public JournalTest {
protected:
    // Replaces a folder under the scratch folder by a junction to another.
    void ReplaceByJunction(std::wstring_view folder, std::wstring_view target)
    {
        ASSERT_EQ(Testing::DeleteFolderTree(PathOf(folder)), 0u);
        ASSERT_EQ(Portable().Files().CreateJunction(PathOf(folder), PathOf(target)), 0u);
    }
};

TEST_F(FinalParent, ARestoreRefusesAFolderThatNowLeadsElsewhere)
{
    struct Case {
        const char* what;
        std::function<void()> before;  // the machine before the tune-up
        const wchar_t* command;
        const wchar_t* file;           // relative to the scratch folder
        std::function<void()> change;  // the tune-up's change
        std::function<void()> after;   // what happens to the folders since
        bool refused;
        FolderState expected;  // the scratch folder after the restore, backup excluded
    };
    const FolderState elsewhere{{L"elsewhere", "<dir>"}, {L"elsewhere\\f.txt", "someone else's"}};
    auto withData = [](FolderState state, const std::string& content) {
        state[L"data"] = "<dir>";
        state[L"data\\f.txt"] = content;
        return state;
    };
    const std::vector<Case> cases{
        {"a deleted file is not written back through a folder turned link",
         [&] { WriteFile(PathOf(L"data\\f.txt"), "saved"); }, L"DelFile", L"data\\f.txt",
         [&] { ASSERT_EQ(Fs().DeleteFile(PathOf(L"data\\f.txt")), 0u); },
         [&] {
             ReplaceByJunction(L"data", L"elsewhere");
             WriteFile(PathOf(L"elsewhere\\f.txt"), "someone else's");
         },
         true, [&] {
             FolderState s = elsewhere;
             s[L"data"] = "<dir>";  // the junction, showing what it leads to
             s[L"data\\f.txt"] = "someone else's";
             return s;
         }()},
        {"a created file is not deleted through a folder turned link", [&] { MakeFolder(PathOf(L"data")); },
         L"CreateFile", L"data\\f.txt", [&] { WriteFile(PathOf(L"data\\f.txt"), "made"); },
         [&] {
             ReplaceByJunction(L"data", L"elsewhere");
             WriteFile(PathOf(L"elsewhere\\f.txt"), "someone else's");
         },
         true, withData(elsewhere, "someone else's")},
        {"a file in a folder the tune-up created is not deleted once that folder is a link", [] {}, L"CreateFile",
         L"made\\f.txt", [&] { WriteFile(PathOf(L"made\\f.txt"), "made"); },
         [&] {
             ReplaceByJunction(L"made", L"elsewhere");
             WriteFile(PathOf(L"elsewhere\\f.txt"), "someone else's");
         },
         true, elsewhere},  // the folder's own block removes the link alone
        {"a link that was there at journal time keeps working",
         [&] {
             WriteFile(PathOf(L"real\\f.txt"), "saved");
             ASSERT_EQ(Portable().Files().CreateJunction(PathOf(L"data"), PathOf(L"real")), 0u);
         },
         L"DelFile", L"data\\f.txt", [&] { WriteFile(PathOf(L"data\\f.txt"), "changed"); }, [] {}, false,
         FolderState{{L"real", "<dir>"}, {L"real\\f.txt", "saved"}, {L"data", "<dir>"}, {L"data\\f.txt", "saved"}}},
        {"a folder deleted since is made again where it was", [&] { WriteFile(PathOf(L"data\\f.txt"), "saved"); },
         L"DelFile", L"data\\f.txt", [&] { ASSERT_EQ(Fs().DeleteFile(PathOf(L"data\\f.txt")), 0u); },
         [&] { ASSERT_EQ(Testing::DeleteFolderTree(PathOf(L"data")), 0u); }, false, withData({}, "saved")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        (void)Testing::DeleteFolderTree(ScratchFolder());
        MakeFolder(ScratchFolder());
        Remover::CopyCache::Clear();
        c.before();
        const std::wstring journal = RunJournal([&](Remover::Processor& p) {
            ASSERT_EQ(p.Execute(c.command, File(c.file), nullptr, nullptr), 0u);
        });
        ASSERT_FALSE(journal.empty());
        c.change();
        c.after();
        Remover::ReplayReport report;
        const uint32_t status = Replay(journal, &report);
        if (c.refused) {
            EXPECT_EQ(status, Remover::Format::kReplayIncomplete);
            ASSERT_FALSE(report.failed.empty());
            EXPECT_EQ(report.failed.front().error, Remover::kFolderMoved);
        } else {
            EXPECT_EQ(status, 0u);
        }
        EXPECT_EQ(Folder(), c.expected);
    }
}

// Journals written before the record existed restore as they always did.
TEST_F(FinalParent, AJournalWithoutTheRecordRestoresAsBefore)
{
    WriteFile(PathOf(L"data\\f.txt"), "made");
    JournalBuilder b;
    b.Header().Start().Begin(Remover::RCreateFile::kTag).Wide(PathOf(L"data\\f.txt")).Finish().End();
    ASSERT_EQ(Replay(PutJournal(L"1.arch", b.Get())), 0u);
    EXPECT_FALSE(Exists(PathOf(L"data\\f.txt")));
}

}  // namespace

#endif
