// File items: moving, deleting and emptying files, what each records, and
// the restore of it.
#include <gtest/gtest.h>

#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;

class FileItemTest : public TweakerTest {
protected:
    RTI::Reference<Tweaker::File> Item(const std::wstring& action, const std::wstring& name,
                                       const std::wstring& extra = L"")
    {
        return LoadItem<Tweaker::File>(L"<File path=\"" + PathOf(L"src") + L"\" name=\"" + name + L"\" action=\"" +
                                       action + L"\" " + extra + L"/>");
    }
};

TEST_F(FileItemTest, DeleteSavesTheLiteralFileAndRestoresIt)
{
    WriteFile(PathOf(L"src\\a.txt"), "content of a");
    WriteFile(PathOf(L"src\\b.txt"), "b stays");
    auto item = Item(L"FILE_DELETE", L"a.txt");
    EXPECT_FALSE(item->Analyse());
    ExpectRoundTrip(*item, {L"DelFile"});
    EXPECT_TRUE(item->Apply(nullptr, nullptr));
    EXPECT_FALSE(Exists(PathOf(L"src\\a.txt")));
    EXPECT_TRUE(Exists(PathOf(L"src\\b.txt")));
}

TEST_F(FileItemTest, WildcardDeleteIsACleanupThatSavesNothing)
{
    WriteFile(PathOf(L"src\\x.tmp"), "1");
    WriteFile(PathOf(L"src\\deep\\y.TMP"), "2");
    WriteFile(PathOf(L"src\\keep.txt"), "3");
    auto item = Item(L"FILE_DELETE", L"*.tmp", L"recursive=\"1\"");
    EXPECT_FALSE(item->Analyse());
    bool applied = false;
    EXPECT_TRUE(ApplyJournalled(*item, &applied).empty());
    EXPECT_TRUE(applied);
    EXPECT_FALSE(Exists(PathOf(L"src\\deep\\y.TMP")));
    EXPECT_TRUE(Exists(PathOf(L"src\\keep.txt")));
    EXPECT_TRUE(item->Analyse());
}

TEST_F(FileItemTest, RecursiveDeleteOfANameSavesOnlyTheFileInTheFolderItself)
{
    WriteFile(PathOf(L"src\\a.log"), "top");
    WriteFile(PathOf(L"src\\deep\\a.log"), "below");
    auto item = Item(L"FILE_DELETE", L"a.log", L"recursive=\"1\"");
    bool applied = false;
    const std::wstring journal = ApplyJournalled(*item, &applied);
    EXPECT_TRUE(applied);
    EXPECT_EQ(BlocksOf(journal), std::vector<std::wstring>{L"DelFile"});
    EXPECT_EQ(Replay(journal), 0u);
    EXPECT_EQ(ReadFile(PathOf(L"src\\a.log")), "top");
    EXPECT_FALSE(Exists(PathOf(L"src\\deep\\a.log")));
}

TEST_F(FileItemTest, ClearSavesTheFileEmptiesItAndRestoresIt)
{
    WriteFile(PathOf(L"src\\log.txt"), "lots of log");
    auto item = Item(L"FILE_CLEAR", L"log.txt");
    EXPECT_FALSE(item->Analyse());
    ExpectRoundTrip(*item, {L"DelFile"});
    EXPECT_TRUE(item->Apply(nullptr, nullptr));
    EXPECT_EQ(ReadFile(PathOf(L"src\\log.txt")), "");
    EXPECT_TRUE(item->Analyse());
}

TEST_F(FileItemTest, ClearOfAMissingFileIsInEffect)
{
    MakeFolder(PathOf(L"src"));
    auto item = Item(L"FILE_CLEAR", L"log.txt");
    EXPECT_TRUE(item->Analyse());
    ExpectRoundTrip(*item, {});
}

TEST_F(FileItemTest, MoveRecordsTheDestinationsCreationAndTheSourcesDeletion)
{
    WriteFile(PathOf(L"src\\m.dat"), "moving bytes");
    MakeFolder(PathOf(L"dst"));
    auto item = Item(L"FILE_MOVE", L"m.dat", L"destination=\"" + PathOf(L"dst") + L"\"");
    EXPECT_FALSE(item->Analyse());
    ExpectRoundTrip(*item, {L"CreateFile ~\\dst\\m.dat", L"DelFile"});
    EXPECT_TRUE(item->Apply(nullptr, nullptr));
    EXPECT_FALSE(Exists(PathOf(L"src\\m.dat")));
    EXPECT_EQ(ReadFile(PathOf(L"dst\\m.dat")), "moving bytes");
    EXPECT_TRUE(item->Analyse());
}

TEST_F(FileItemTest, MoveNeverOverwritesAFileAtTheDestination)
{
    WriteFile(PathOf(L"src\\m.dat"), "source");
    WriteFile(PathOf(L"dst\\m.dat"), "the user's own");
    auto item = Item(L"FILE_MOVE", L"m.dat", L"destination=\"" + PathOf(L"dst") + L"\"");
    EXPECT_FALSE(item->Analyse());
    ExpectRoundTrip(*item, {}, false);
    EXPECT_EQ(ReadFile(PathOf(L"dst\\m.dat")), "the user's own");
}

TEST_F(FileItemTest, FoldersMayNameEnvironmentVariables)
{
#ifdef _WIN32
    std::wstring temp = Os().System().ExpandEnvironmentStrings(L"%TEMP%");
    while (!temp.empty() && temp.back() == L'\\') {
        temp.pop_back();
    }
    ASSERT_EQ(ScratchFolder().rfind(temp, 0), 0u);
    const std::wstring folder = L"%TEMP%" + ScratchFolder().substr(temp.size());
#else
    Portable().System().SetEnvironmentVariable(L"TEMP", L"C:\\CorvaneTests");
    const std::wstring folder = L"%TEMP%\\Scratch";
#endif
    WriteFile(PathOf(L"src\\e.txt"), "e");
    auto item = LoadItem<Tweaker::File>(L"<File path=\"" + folder + L"\\src\" name=\"e.txt\" action=\"FILE_DELETE\"/>");
    EXPECT_EQ(item->GetPath(), folder + L"\\src");
    EXPECT_EQ(item->Folder(), PathOf(L"src"));
    EXPECT_FALSE(item->Analyse());
    ExpectRoundTrip(*item, {L"DelFile"});
}

TEST_F(FileItemTest, DeleteRecordFailureLeavesEveryFile)
{
    WriteFile(PathOf(L"src\\a.txt"), "a");
    auto item = Item(L"FILE_DELETE", L"a.txt");
    Remover::Processor journal;
    ASSERT_EQ(journal.Open(BackupFolder(), JournalTesting::Header(), JournalTesting::kHeaderLength), 0u);
    Platform::UniqueEvent cancel(Os().Threads().CreateEvent(true, true));
    // A cancelled copy of the file's content fails its record.
    EXPECT_FALSE(item->Apply(&journal, cancel.get()));
    EXPECT_TRUE(Exists(PathOf(L"src\\a.txt")));
    EXPECT_EQ(journal.Close(), 0u);
}

}  // namespace
