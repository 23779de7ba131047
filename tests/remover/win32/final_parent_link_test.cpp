// A restore acts on the place it recorded, on the real file system. Under
// Wine a Linux symbolic link made inside the prefix stands for a folder
// replaced by a link after the tune-up (Wine shows it with the reparse-point
// attribute; its own CreateSymbolicLinkW makes none).
#include <gtest/gtest.h>

#include "remover/FinalParent.h"
#include "tests/core/win32/WineSupport.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;

class FinalParentLink : public JournalTest {
protected:
    // Makes `name` in the scratch folder a Linux link to `target` (a folder
    // of that name is deleted first), and waits until Wine shows it as a link.
    void MakeLink(const std::wstring& name, const std::wstring& target)
    {
        if (Exists(PathOf(name))) {
            ASSERT_EQ(Testing::DeleteFolderTree(PathOf(name)), 0u);
        }
        const std::string unixFolder = Testing::Wine::UnixPath(ScratchFolder());
        ASSERT_FALSE(unixFolder.empty());
        const std::string link = unixFolder + "/" + std::string(name.begin(), name.end());
        links_.push_back(link);
        (void)Testing::Wine::RunUnixProgram(L"/bin/ln",
                                            {"-s", unixFolder + "/" + std::string(target.begin(), target.end()), link});
        ASSERT_TRUE(Testing::Wine::WaitUntil([&] {
            Platform::FileInfo info;
            return Fs().GetFileInfo(PathOf(name), &info) == 0 && (info.attributes & Platform::FileAttr::ReparsePoint);
        })) << "Wine shows the folder as a link";
    }
    void TearDown() override
    {
        // Only Linux removes a link itself; Windows calls would reach the target.
        for (const std::string& link : links_) {
            (void)Testing::Wine::RunUnixProgram(L"/bin/rm", {link});
        }
        for (const std::string& link : links_) {
            const std::wstring name(link.begin() + static_cast<long>(link.rfind('/') + 1), link.end());
            EXPECT_TRUE(Testing::Wine::WaitUntil([&] { return !Exists(PathOf(name)); }));
        }
        JournalTest::TearDown();
    }

private:
    std::vector<std::string> links_;
};

TEST_F(FinalParentLink, AFolderReplacedByALinkIsRefusedAndALinkThatWasThereWorks)
{
    if (!Testing::Wine::Running()) {
        GTEST_SKIP() << "the link is made from the Linux side, which only Wine offers";
    }
    // A link there at journal time: the file is put back through it.
    WriteFile(PathOf(L"real\\f.txt"), "saved");
    ASSERT_NO_FATAL_FAILURE(MakeLink(L"through", L"real"));
    const std::wstring kept = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelFile", File(L"through\\f.txt"), nullptr, nullptr), 0u);
    });
    WriteFile(PathOf(L"through\\f.txt"), "changed");
    EXPECT_EQ(Replay(kept), 0u);
    EXPECT_EQ(ReadFile(PathOf(L"real\\f.txt")), "saved");

    // A folder replaced by a link after the tune-up: nothing is written there.
    WriteFile(PathOf(L"data\\f.txt"), "saved");
    WriteFile(PathOf(L"elsewhere\\g.txt"), "someone else's");
    const std::wstring moved = RunJournal(
        [&](Remover::Processor& p) { ASSERT_EQ(p.Execute(L"DelFile", File(L"data\\f.txt"), nullptr, nullptr), 0u); });
    ASSERT_NO_FATAL_FAILURE(MakeLink(L"data", L"elsewhere"));
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(moved, &report), Remover::Format::kReplayIncomplete);
    EXPECT_FALSE(Exists(PathOf(L"elsewhere\\f.txt"))) << "the deleted file was written through the link";
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].error, Remover::kFolderMoved);
}

}  // namespace
