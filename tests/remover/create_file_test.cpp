#include <gtest/gtest.h>

#include "remover/RCreateFile.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;

class CreateFileCommand : public JournalTest {};

TEST_F(CreateFileCommand, RestoreRemovesACreatedFileEvenReadOnly)
{
    const FolderState before = Folder();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"new.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"new.txt"), "created");
        ASSERT_EQ(Fs().SetFileAttributes(PathOf(L"new.txt"), Platform::FileAttr::ReadOnly), 0u);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(CreateFileCommand, MissingFoldersAreJournalledOutermostFirstAndAllRemoved)
{
    MakeFolder(PathOf(L"exists"));
    const FolderState before = Folder();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"exists\\new\\deeper\\f.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"exists\\new\\deeper\\f.txt"), "x");
    });
    // Each block also names its folder as the system resolves it: the folder
    // that existed, and below it the folders that did not yet.
    std::wstring exists;
    ASSERT_EQ(Fs().GetFinalPath(PathOf(L"exists"), &exists), 0u);
    JournalBuilder expected;
    expected.Header().Start();
    const std::pair<std::wstring_view, std::wstring> blocks[] = {
        {L"exists\\new", exists}, {L"exists\\new\\deeper", exists + L"\\new"},
        {L"exists\\new\\deeper\\f.txt", exists + L"\\new\\deeper"}};
    for (const auto& [p, folder] : blocks) {
        expected.Begin(Remover::RCreateFile::kTag).Wide(PathOf(p)).Wide(folder).Finish();
    }
    expected.End();
    EXPECT_EQ(BytesOf(journal), expected.Get());
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(CreateFileCommand, AFolderTheUserFilledSinceIsKept)
{
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"made"), nullptr, nullptr), 0u);
        MakeFolder(PathOf(L"made"));
    });
    WriteFile(PathOf(L"made\\users file.doc"), "mine");
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), 0u);
    EXPECT_EQ(report.restored, 1u);
    EXPECT_EQ(ReadFile(PathOf(L"made\\users file.doc")), "mine");
}

TEST_F(CreateFileCommand, AFileThatAlreadyExistsGetsItsContentBack)
{
    WriteFile(PathOf(L"a.txt"), "was here first");
    const FolderState before = Folder();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"a.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"a.txt"), "replaced");
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(CreateFileCommand, AnExistingFolderIsNotJournalled)
{
    MakeFolder(PathOf(L"there"));
    EXPECT_TRUE(RunJournal([&](Remover::Processor& p) {
                    EXPECT_EQ(p.Execute(L"CreateFile", File(L"there\\"), nullptr, nullptr), 0u);
                }).empty());
}

TEST_F(CreateFileCommand, AFileAlreadyGoneCountsAsRestoredAndTheReplayGoesOn)
{
    WriteDword(L"k", L"v", 1);
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"gone.txt"), nullptr, nullptr), 0u);
    });
    DeleteKey(L"k");
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), 0u);
    EXPECT_EQ(report.restored, 2u);
    EXPECT_TRUE(KeyExists(L"k"));
}

TEST_F(CreateFileCommand, AForbiddenPathInABlockIsRefusedAndNothingIsRemoved)
{
    WriteFile(PathOf(L"keep.txt"), "keep");
    for (const std::wstring& path :
         {std::wstring(L"keep.txt"), PathOf(L"sub\\..\\keep.txt"), std::wstring(L"\\\\?\\") + PathOf(L"keep.txt")}) {
        JournalBuilder b;
        b.Header().Start().Begin(Remover::RCreateFile::kTag).Wide(path).Finish().End();
        EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get())), Remover::Format::kReplayIncomplete);
    }
    EXPECT_EQ(ReadFile(PathOf(L"keep.txt")), "keep");
}

// A file another program has open (the shell reading a new shortcut, a virus
// scanner) is tried again for a while, then reported and left as it is.
TEST_F(CreateFileCommand, AFileHeldOpenThroughoutIsReportedInUseAndKept)
{
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"new.lnk"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"new.lnk"), "link");
    });
    Platform::UniqueFile held;
    ASSERT_EQ(Fs().CreateFile(PathOf(L"new.lnk"), Platform::FileAccess::Read, Platform::Disposition::OpenExisting,
                              held.put()),
              0u);
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), Remover::Format::kReplayIncomplete);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].error, Err::SharingViolation);
    held.reset();
    EXPECT_EQ(ReadFile(PathOf(L"new.lnk")), "link");
    EXPECT_EQ(Replay(journal), 0u) << "once it is closed, the restore removes it";
    EXPECT_FALSE(Exists(PathOf(L"new.lnk")));
}

#ifndef _WIN32
TEST_F(CreateFileCommand, AFileInUseForAMomentIsRemovedOnALaterTry)
{
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"made"), nullptr, nullptr), 0u);
        ASSERT_EQ(p.Execute(L"CreateFile", File(L"made\\new.lnk"), nullptr, nullptr), 0u);
        MakeFolder(PathOf(L"made"));
        WriteFile(PathOf(L"made\\new.lnk"), "link");
    });
    using Platform::Portable::Operation;
    Portable().Faults().FailWhen(Operation::DeleteFile, PathOf(L"made\\new.lnk"), Err::SharingViolation, 3);
    Portable().Faults().FailWhen(Operation::RemoveDirectory, PathOf(L"made"), Err::SharingViolation, 2);
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), 0u);
    EXPECT_TRUE(report.failed.empty());
    EXPECT_FALSE(Exists(PathOf(L"made")));
}
#endif

}  // namespace
