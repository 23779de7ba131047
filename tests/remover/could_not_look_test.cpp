// "Could not look" is not "not there": when a command cannot look at its
// target for any reason but "not found", journalling stops with that error
// (and so the change), and a restore fails the block with it instead of
// reporting the change as undone.
#include <gtest/gtest.h>

#include <functional>

#include "core/platform/portable/Faults.h"
#include "tests/remover/JournalFixture.h"

#ifndef _WIN32

namespace {

using namespace JournalTesting;
using Platform::Portable::Operation;

class CouldNotLook : public JournalTest {
protected:
    std::wstring KeyFullPath(std::wstring_view subKey) const { return ScratchKeyFullPath() + L"\\" + std::wstring(subKey); }
};

struct Target {
    const char* what;
    const wchar_t* command;
    std::function<void()> before;                     // the state before the change
    std::function<RTI::Reference<Remover::IArguments>()> arguments;
    std::function<void()> change;                     // the change itself
    Operation lookup;                                              // how the command looks at its target
    std::function<std::wstring()> subject;            // ... and at which path
};

TEST_F(CouldNotLook, AnyErrorButNotFoundStopsTheJournalAndFailsTheRestore)
{
    const std::vector<Target> journalTargets{
        {"DelFile looks at the file", L"DelFile", [this] { WriteFile(PathOf(L"f.txt"), "old"); },
         [this] { return File(L"f.txt"); }, nullptr, Operation::GetFileInfo,
         [this] { return PathOf(L"f.txt"); }},
        {"CreateFile looks at the file", L"CreateFile", [this] { WriteFile(PathOf(L"f.txt"), "old"); },
         [this] { return File(L"f.txt"); }, nullptr, Operation::GetFileInfo,
         [this] { return PathOf(L"f.txt"); }},
        {"CreateFile looks at the folders above a new file", L"CreateFile", [] {},
         [this] { return File(L"made\\f.txt"); }, nullptr, Operation::GetFileInfo,
         [this] { return PathOf(L"made"); }},
        {"DelRegValue reads the value", L"DelRegValue", [this] { WriteDword(L"k", L"v", 1); },
         [this] { return Value(L"k", L"v"); }, nullptr, Operation::QueryValue,
         [this] { return KeyFullPath(L"k"); }},
        {"SetRegValue asks whether the value exists", L"SetRegValue",
         [this] { WriteDword(L"k", L"other", 1); }, [this] { return Value(L"k", L"v"); },
         nullptr, Operation::QueryValue, [this] { return KeyFullPath(L"k"); }},
        {"SetRegValue opens the key", L"SetRegValue", [this] { WriteDword(L"k", L"other", 1); },
         [this] { return Value(L"k", L"v"); }, nullptr, Operation::OpenKey,
         [this] { return KeyFullPath(L"k"); }},
        {"DelRegKey opens the key", L"DelRegKey", [this] { WriteDword(L"k", L"v", 1); },
         [this] { return Key(L"k"); }, nullptr, Operation::OpenKey,
         [this] { return KeyFullPath(L"k"); }},
        {"SetRegKey opens each level", L"SetRegKey", [] {},
         [this] { return Key(L"k\\sub"); }, nullptr, Operation::OpenKey,
         [this] { return KeyFullPath(L"k"); }},
    };
    const std::vector<Target> restoreTargets{
        {"DelFile looks at the file it puts back", L"DelFile",
         [this] { WriteFile(PathOf(L"f.txt"), "old"); },
         [this] { return File(L"f.txt"); },
         [this] { WriteFile(PathOf(L"f.txt"), "new"); }, Operation::GetFileInfo,
         [this] { return PathOf(L"f.txt"); }},
        {"CreateFile looks at the file it removes", L"CreateFile", [] {},
         [this] { return File(L"f.txt"); },
         [this] { WriteFile(PathOf(L"f.txt"), "new"); }, Operation::GetFileInfo,
         [this] { return PathOf(L"f.txt"); }},
        {"SetRegValue opens the key of the value it removes", L"SetRegValue",
         [this] { WriteDword(L"k", L"other", 1); }, [this] { return Value(L"k", L"v"); },
         [this] { WriteDword(L"k", L"v", 2); }, Operation::OpenKey,
         [this] { return KeyFullPath(L"k"); }},
        {"SetRegKey opens the key it removes", L"SetRegKey", [] {},
         [this] { return Key(L"k"); }, [this] { WriteDword(L"k", L"v", 2); },
         Operation::OpenKey, [this] { return KeyFullPath(L"k"); }},
        {"DelRegValue creates the key of the value it puts back", L"DelRegValue",
         [this] { WriteDword(L"k", L"v", 1); }, [this] { return Value(L"k", L"v"); },
         [this] { DeleteKey(L"k"); }, Operation::CreateKey,
         [this] { return KeyFullPath(L"k"); }},
        {"DelRegKey creates the key it puts back", L"DelRegKey", [this] { WriteDword(L"k", L"v", 1); },
         [this] { return Key(L"k"); }, [this] { DeleteKey(L"k"); },
         Operation::CreateKey, [this] { return KeyFullPath(L"k"); }},
    };
    auto reset = [&] {
        Portable().Faults().Clear();
        if (KeyExists(L"k")) {
            DeleteKey(L"k");
        }
        (void)Testing::DeleteFolderTree(ScratchFolder());
        MakeFolder(ScratchFolder());
        Remover::CopyCache::Clear();
    };
    for (const Platform::Status error : {Err::AccessDenied, Err::SharingViolation}) {
        for (const Target& target : journalTargets) {
            SCOPED_TRACE(std::string("journal: ") + target.what + ", error " + std::to_string(error));
            reset();
            target.before();
            const TreeState keys = Tree();
            Portable().Faults().FailWhen(target.lookup, target.subject(), error);
            Remover::Processor processor;
            ASSERT_EQ(processor.Open(BackupFolder(), Header(), kHeaderLength), 0u);
            EXPECT_EQ(processor.Execute(target.command, target.arguments(), nullptr, nullptr), error);
            EXPECT_TRUE(processor.GetWriter().IsEmpty()) << "nothing is recorded";
            Portable().Faults().Clear();
            EXPECT_EQ(processor.Close(), 0u);
            EXPECT_TRUE(Journals().empty());
            EXPECT_EQ(Tree(), keys);
        }
        for (const Target& target : restoreTargets) {
            SCOPED_TRACE(std::string("restore: ") + target.what + ", error " + std::to_string(error));
            reset();
            target.before();
            const TreeState keysBefore = Tree();
            const FolderState filesBefore = Folder();
            const std::wstring journal = RunJournal([&](Remover::Processor& p) {
                ASSERT_EQ(p.Execute(target.command, target.arguments(), nullptr, nullptr), 0u);
            });
            ASSERT_FALSE(journal.empty());
            target.change();
            const TreeState keysChanged = Tree();
            const FolderState filesChanged = Folder();

            Portable().Faults().FailWhen(target.lookup, target.subject(), error);
            Remover::ReplayReport report;
            EXPECT_EQ(Replay(journal, &report), Remover::Format::kReplayIncomplete);
            ASSERT_EQ(report.failed.size(), 1u);
            EXPECT_EQ(report.failed[0].error, error);
            EXPECT_EQ(report.restored, 0u);
            Portable().Faults().Clear();
            EXPECT_EQ(Tree(), keysChanged);
            EXPECT_EQ(Folder(), filesChanged);

            EXPECT_EQ(Replay(journal), 0u) << "once it can look, the block restores";
            EXPECT_EQ(Tree(), keysBefore);
            EXPECT_EQ(Folder(), filesBefore);
        }
    }
}

}  // namespace

#endif
