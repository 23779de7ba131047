#include <gtest/gtest.h>

#include "core/crypto/Md5.h"
#include "remover/CopyStore.h"
#include "remover/DeleteFileW.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;

class DelFileCommand : public JournalTest {
protected:
    uint32_t CountOf(std::string_view content)
    {
        Remover::CopyStore store(CopiesFolder(), std::span<const uint8_t>(Header(), kHeaderLength));
        uint32_t count = 0;
        EXPECT_EQ(
            store.ReadReferenceCount(Crypto::DigestToHex(Crypto::Md5::Of(content.data(), content.size())), &count), 0u);
        return count;
    }
};

TEST_F(DelFileCommand, ADeletedFileComesBack)
{
    WriteFile(PathOf(L"dir\\a.txt"), "old content");
    const FolderState before = Folder();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"dir\\a.txt"), nullptr, nullptr), 0u);
        ASSERT_EQ(Fs().DeleteFile(PathOf(L"dir\\a.txt")), 0u);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(DelFileCommand, AnOverwrittenFileGetsItsContentBack)
{
    WriteFile(PathOf(L"a.txt"), "old content");
    const FolderState before = Folder();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"a.txt"), "new");
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(DelFileCommand, AMissingFileOrAFolderWritesNothing)
{
    MakeFolder(PathOf(L"folder"));
    EXPECT_TRUE(RunJournal([&](Remover::Processor& p) {
                    EXPECT_EQ(p.Execute(L"DelFile", File(L"none.txt"), nullptr, nullptr), 0u);
                    EXPECT_EQ(p.Execute(L"DelFile", File(L"folder"), nullptr, nullptr), 0u);
                }).empty());
}

TEST_F(DelFileCommand, AFileJournalledTwiceInOneSessionCountsTwiceInOneCopy)
{
    WriteFile(PathOf(L"a.txt"), "twice");
    RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        ASSERT_EQ(p.Execute(L"DelFile", File(L"A.TXT"), nullptr, nullptr), 0u);
    });
    EXPECT_EQ(Copies().size(), 1u);
    EXPECT_EQ(CountOf("twice"), 2u);
}

TEST_F(DelFileCommand, AFileRewrittenBetweenTwoRunsIsSavedAgainAndComesBackAsAtFirst)
{
    WriteFile(PathOf(L"a.txt"), "first content");
    const FolderState before = Folder();
    const std::wstring first = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"a.txt"), "second content, longer");
    });
    const std::wstring second = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"a.txt"), "third");
    });
    EXPECT_EQ(Copies().size(), 2u);
    ASSERT_EQ(Replay(second), 0u);
    EXPECT_EQ(ReadFile(PathOf(L"a.txt")), "second content, longer");
    ASSERT_EQ(Replay(first), 0u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(DelFileCommand, ARelativePathIsRefusedAtJournalTime)
{
    RunJournal([&](Remover::Processor& p) {
        RTI::Reference<Remover::IArguments> relative(new Remover::FileParameters(L"a.txt"));
        EXPECT_EQ(p.Execute(L"DelFile", relative, nullptr, nullptr), Err::InvalidName);
    });
    EXPECT_TRUE(Journals().empty());
}

TEST_F(DelFileCommand, ASavedFileRecordWithAForbiddenPathIsRefusedAndTouchesNothing)
{
    WriteFile(PathOf(L"a.txt"), "content");
    std::wstring copy;
    {
        Remover::CopyStore store(CopiesFolder(), std::span<const uint8_t>(Header(), kHeaderLength));
        MakeFolder(CopiesFolder().substr(0, CopiesFolder().size() - 1));
        ASSERT_EQ(store.Save(PathOf(L"a.txt"), nullptr, &copy), 0u);
    }
    for (const std::wstring& path : {std::wstring(L"relative.txt"), PathOf(L"x\\..\\b.txt"), PathOf(L"b.txt:ads")}) {
        JournalBuilder b;
        b.Header().Start().Begin(Remover::DeleteFileW::kTag).Saved(path, copy).Finish().End();
        EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get())), Remover::Format::kReplayIncomplete);
    }
    EXPECT_EQ(Names(ScratchFolder()), (std::vector<std::wstring>{L"a.txt", L"backup"}));
}

#ifndef _WIN32
TEST_F(DelFileCommand, TheDiskFillingWhileACopyIsSavedFailsTheJournalAndEarlierBlocksStillRestore)
{
    WriteFile(PathOf(L"small.txt"), "small");
    WriteFile(PathOf(L"big.bin"), std::string(300000, 'b'));
    const FolderState before = Folder();
    Platform::Status failed = 0;
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"small.txt"), nullptr, nullptr), 0u);
        WriteFile(PathOf(L"small.txt"), "changed");
        Portable().Files().SetCapacity(450000);
        failed = p.Execute(L"DelFile", File(L"big.bin"), nullptr, nullptr);
        Portable().Files().SetCapacity(UINT64_MAX);
    });
    EXPECT_EQ(failed, Err::DiskFull);
    EXPECT_EQ(Copies().size(), 1u) << "no partial copy";
    Remover::ReplayReport report;
    ASSERT_EQ(Replay(journal, &report), 0u);
    EXPECT_EQ(report.blocks, 1u);
    EXPECT_EQ(Folder(), before);
}

TEST_F(DelFileCommand, AnUnchangedFileIsHashedOnceWhileTheProgramRuns)
{
    WriteFile(PathOf(L"a.txt"), "hash me once");
    RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        Portable().Faults().FailWhen(Platform::Portable::Operation::ReadFile, PathOf(L"a.txt"), Err::ReadFault);
        EXPECT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        Portable().Faults().Clear();
    });
    EXPECT_EQ(CountOf("hash me once"), 2u);
}

TEST_F(DelFileCommand, ACachedCopyIsNotUsedOnceTheFileChanged)
{
    WriteFile(PathOf(L"a.txt"), "version one");
    RunJournal([&](Remover::Processor& p) { ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u); });
    Portable().Time().Advance(5);
    WriteFile(PathOf(L"a.txt"), "version two");  // the same size, a later time
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"a.txt"), nullptr, nullptr), 0u);
        ASSERT_EQ(Fs().DeleteFile(PathOf(L"a.txt")), 0u);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(ReadFile(PathOf(L"a.txt")), "version two");
}
#endif

}  // namespace
