// Crash simulation: a recorded run's journal cut at every byte offset, with
// the world as the crash left it, restores exactly the changes whose blocks
// are complete and touches nothing else. And failures injected part-way
// through a journalled change leave a journal whose other blocks restore.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/system/Folders.h"
#include "remover/Format.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
namespace Record = Remover::Format::Record;

// The ends of the complete top-level blocks of a journal, found by walking
// its records (independently of the reader).
std::vector<size_t> BlockEnds(const Bytes& j)
{
    std::vector<size_t> ends;
    size_t pos = kHeaderLength + 1;
    int depth = 0;
    auto counted = [&](size_t at) -> size_t {
        return at + 4 <= j.size() ? at + 4 + Remover::Format::GetUint32(j.data() + at) : j.size() + 1;
    };
    while (pos < j.size()) {
        const uint8_t type = j[pos++];
        switch (type) {
            case Record::BlockStart:
                ++pos;
                ++depth;
                break;
            case Record::BlockEnd:
                if (--depth == 0) {
                    ends.push_back(pos);
                }
                break;
            case Record::Integer:
                pos += 4;
                break;
            case Record::StringA:
            case Record::StringW:
            case Record::Data:
                pos = counted(pos);
                break;
            case Record::SavedFile:
                pos = counted(counted(pos));
                break;
            default:
                return ends;
        }
    }
    return ends;
}

#ifndef _WIN32
// Recomputes the checksum of every top-level block whose structure is whole,
// so that changed content reaches the commands instead of being refused as
// torn.
void FixChecksums(Bytes* j)
{
    size_t pos = kHeaderLength + 1;
    int depth = 0;
    size_t start = 0;
    size_t lastInt = 0;
    while (pos < j->size()) {
        const size_t at = pos;
        const uint8_t type = (*j)[pos++];
        auto counted = [&]() {
            if (pos + 4 > j->size()) {
                pos = j->size() + 1;
                return;
            }
            pos += 4 + Remover::Format::GetUint32(j->data() + pos);
        };
        switch (type) {
            case Record::BlockStart:
                if (depth++ == 0) {
                    start = at;
                }
                ++pos;
                lastInt = 0;
                break;
            case Record::BlockEnd:
                if (--depth == 0 && lastInt != 0 && lastInt + 5 == at) {
                    Remover::Format::PutUint32(j->data() + lastInt + 1,
                                               Remover::Crc32::Of(j->data() + start, lastInt - start));
                }
                lastInt = 0;
                break;
            case Record::Integer:
                lastInt = depth == 1 ? at : 0;
                pos += 4;
                break;
            case Record::StringA:
            case Record::StringW:
            case Record::Data:
                counted();
                lastInt = 0;
                break;
            case Record::SavedFile:
                counted();
                if (pos <= j->size()) {
                    counted();
                }
                lastInt = 0;
                break;
            default:
                return;
        }
        if (depth < 0) {
            return;
        }
    }
}

#endif

class JournalCrash : public JournalTest {
protected:
    struct Step {
        const wchar_t* command;
        std::function<RTI::Reference<Remover::IArguments>()> arguments;
        std::function<void()> change;
    };

    void BuildWorld()
    {
        WriteDword(L"a", L"v", 1);
        WriteString(L"a", L"s", L"text");
        WriteValue(L"tree\\sub1", L"x", Platform::RegType::Binary, {1, 2, 3});
        WriteDword(L"tree\\sub2", L"", 7);
        WriteString(L"tree", L"t1", L"one");
        WriteFile(PathOf(L"doc.txt"), "original document");
        WriteFile(PathOf(L"keep.txt"), "keep me");
        WriteFile(PathOf(L"copy of keep.txt"), "keep me");
    }

    std::vector<Step> Steps()
    {
        auto makeKey = [this](std::wstring_view subKey) {
            Platform::UniqueKey k;
            bool created = false;
            ASSERT_EQ(Reg().CreateKey(ScratchKey(), subKey, k.put(), &created), 0u);
        };
        return {
            {L"DelRegValue", [this] { return Value(L"a", L"v"); }, [this] { WriteDword(L"a", L"v", 2); }},
            {L"DelRegValue", [this] { return Value(L"a", L"v"); }, [this] { WriteDword(L"a", L"v", 3); }},
            {L"SetRegValue", [this] { return Value(L"a", L"new"); }, [this] { WriteString(L"a", L"new", L"n"); }},
            {L"DelRegKey", [this] { return Key(L"tree"); }, [this] { DeleteKey(L"tree"); }},
            {L"SetRegKey", [this] { return Key(L"tree"); }, [makeKey] { makeKey(L"tree"); }},
            {L"SetRegValue", [this] { return Value(L"tree", L"again"); }, [this] { WriteDword(L"tree", L"again", 1); }},
            {L"DelFile", [this] { return File(L"doc.txt"); }, [this] { WriteFile(PathOf(L"doc.txt"), "rewritten"); }},
            {L"CreateFile", [this] { return File(L"new\\dir\\f.txt"); },
             [this] { WriteFile(PathOf(L"new\\dir\\f.txt"), "created"); }},
            {L"DelFile", [this] { return File(L"keep.txt"); },
             [this] { ASSERT_EQ(Fs().DeleteFile(PathOf(L"keep.txt")), 0u); }},
            {L"DelFile", [this] { return File(L"copy of keep.txt"); },
             [this] { WriteFile(PathOf(L"copy of keep.txt"), "changed"); }},
            {L"SetRegKey", [this] { return Key(L"made\\deep"); }, [makeKey] { makeKey(L"made\\deep"); }},
        };
    }

    struct World {
        TreeState tree;
        FolderState files;
        bool operator==(const World&) const = default;
    };
    World Now() { return {Tree(), Folder()}; }
    void Set(const World& w)
    {
        ApplyTree(ScratchRoot(), ScratchKeyPath(), w.tree);
        // Everything but the backup folder is put back.
        for (const auto& [path, content] : SnapshotFolder(ScratchFolder())) {
            if (path.find(L'\\') == std::wstring::npos && path != L"backup") {
                const std::wstring full = PathOf(path);
                if (content == "<dir>") {
                    ASSERT_EQ(Testing::DeleteFolderTree(full), 0u);
                } else {
                    (void)Fs().SetFileAttributes(full, Platform::FileAttr::Normal);
                    ASSERT_EQ(Fs().DeleteFile(full), 0u);
                }
            }
        }
        for (const auto& [path, content] : w.files) {
            if (content == "<dir>") {
                ASSERT_EQ(Fs().CreateDirectory(PathOf(path)), 0u);
            } else {
                ASSERT_EQ(Platform::WriteWholeFile(PathOf(path), content), 0u);
            }
        }
    }
};

TEST_F(JournalCrash, AJournalCutAtAnyByteRestoresTheCompleteBlocksAndNothingElse)
{
    BuildWorld();
    std::vector<World> worlds{Now()};
    std::vector<size_t> executeEnds;
    std::wstring journal;
    {
        Remover::Processor p;
        ASSERT_EQ(p.Open(BackupFolder(), Header(), kHeaderLength), 0u);
        journal = p.GetWriter().JournalPath();
        for (const Step& step : Steps()) {
            ASSERT_EQ(p.Execute(step.command, step.arguments(), nullptr, nullptr), 0u);
            executeEnds.push_back(BytesOf(journal).size());
            step.change();
            worlds.push_back(Now());
        }
        ASSERT_EQ(p.Close(), 0u);
    }
    const Bytes full = BytesOf(journal);
    (void)Fs().DeleteFile(journal);  // its copies stay in the copy store
    const std::vector<size_t> blockEnds = BlockEnds(full);
    ASSERT_GT(blockEnds.size(), Steps().size()) << "a CreateFile with folders writes several blocks";

#ifdef _WIN32
    constexpr size_t kStride = 2;  // the real disk and registry are slower
#else
    constexpr size_t kStride = 1;
#endif
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        const bool atBlockEnd = std::find(blockEnds.begin(), blockEnds.end(), cut) != blockEnds.end();
        if (cut % kStride != 0 && !atBlockEnd && cut != full.size()) {
            continue;
        }
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(full.size()));
        size_t made = 0;  // changes made before the crash: their Execute had returned
        while (made < executeEnds.size() && executeEnds[made] <= cut) {
            ++made;
        }
        const size_t complete = static_cast<size_t>(
            std::count_if(blockEnds.begin(), blockEnds.end(), [&](size_t end) { return end <= cut; }));
        // The crash came after the journal reached `cut`: all changes whose
        // Execute had returned were made; at an Execute's end, the change may
        // also not have been made yet.
        std::vector<size_t> crashWorlds{made};
        if (made > 0 && executeEnds[made - 1] == cut) {
            crashWorlds.push_back(made - 1);
        }
        for (size_t w : crashWorlds) {
            Set(worlds[w]);
            ASSERT_FALSE(HasFatalFailure());
            const std::wstring path =
                PutJournal(L"cut.arch", Bytes(full.begin(), full.begin() + static_cast<long>(cut)));
            Remover::ReplayReport report;
            const uint32_t status = Replay(path, &report);
            if (cut < kHeaderLength + 1) {
                EXPECT_EQ(status, Err::BadFormat);
            } else {
                EXPECT_EQ(status, 0u);
                EXPECT_EQ(report.blocks, complete);
                EXPECT_EQ(report.restored, complete);
            }
            ASSERT_EQ(Now(), worlds.front()) << "world after " << w << " changes";
        }
    }
}

#ifndef _WIN32
TEST_F(JournalCrash, DamagedJournalsNeverCrashTheRestore)
{
    BuildWorld();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        for (const Step& step : Steps()) {
            ASSERT_EQ(p.Execute(step.command, step.arguments(), nullptr, nullptr), 0u);
            step.change();
        }
    });
    const Bytes full = BytesOf(journal);
    std::mt19937 rng(99);
    for (int round = 0; round < 3000; ++round) {
        Bytes j = full;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = kHeaderLength + 1 + rng() % (j.size() - kHeaderLength - 1);
            switch (rng() % 5) {
                case 0:
                    j[at] = static_cast<uint8_t>(rng());
                    break;
                case 1:
                    j[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
                    break;
                case 2:
                    if (at + 4 <= j.size()) {
                        Remover::Format::PutUint32(j.data() + at,
                                                   rng() % 2 ? 0xFFFFFFFFu : static_cast<uint32_t>(rng() % 64));
                    }
                    break;
                case 3:
                    j.erase(j.begin() + static_cast<long>(at));
                    break;
                default:
                    j.insert(j.begin() + static_cast<long>(at), static_cast<uint8_t>(rng() % 12));
                    break;
            }
        }
        if (rng() % 2) {
            FixChecksums(&j);
        }
        Remover::ReplayReport report;
        (void)Replay(PutJournal(L"damaged.arch", j), &report);
    }
}

TEST_F(JournalCrash, AFailureInjectedPartWayLeavesAJournalWhoseOtherBlocksRestore)
{
    using Platform::Portable::FaultSubject;
    using Platform::Portable::Operation;
    BuildWorld();
    const World original = Now();
    const size_t stepCount = Steps().size();
    std::mt19937 rng(7);
    for (int round = 0; round < 150; ++round) {
        const size_t failing = rng() % stepCount;
        const int kind = static_cast<int>(rng() % 7);
        SCOPED_TRACE("round " + std::to_string(round) + ": step " + std::to_string(failing) + ", failure " +
                     std::to_string(kind));
        Set(original);
        Remover::CopyCache::Clear();
        ASSERT_EQ(Testing::DeleteFolderTree(BackupFolder()) == 0 || !Exists(BackupFolder()), true);
        Remover::Processor p;
        ASSERT_EQ(p.Open(BackupFolder(), Header(), kHeaderLength), 0u);
        const std::wstring journal = p.GetWriter().JournalPath();
        Platform::UniqueEvent cancel(Os().Threads().CreateEvent(true, false));
        const std::vector<Step> steps = Steps();
        for (size_t i = 0; i < steps.size(); ++i) {
            if (i == failing) {
                auto any = [](const FaultSubject&) { return true; };
                switch (kind) {
                    case 0:  // a subkey cannot be opened
                        Portable().Faults().FailWhen(
                            Operation::OpenKey,
                            [](const FaultSubject& s) { return s.path.find(L"sub") != s.path.npos; },
                            Err::AccessDenied);
                        break;
                    case 1:
                        Portable().Faults().FailWhen(Operation::QueryValue, any, Err::ReadFault);
                        break;
                    case 2:
                        Portable().Files().SetCapacity(0);
                        break;  // the disk is full
                    case 3:
                        Portable().Faults().FailWhen(Operation::WriteFile, journal, Err::DiskFull);
                        break;
                    case 4:
                        Portable().Faults().FailWhen(Operation::FlushFile, journal, Err::WriteFault);
                        break;
                    case 5:
                        Portable().Faults().FailWhen(Operation::EnumKey, any, Err::ReadFault);
                        break;
                    default:
                        Os().Threads().SetEvent(cancel.get());
                        break;
                }
            }
            const uint32_t s = p.Execute(steps[i].command, steps[i].arguments(), nullptr, cancel.get());
            Portable().Faults().Clear();
            Portable().Files().SetCapacity(UINT64_MAX);
            Os().Threads().ResetEvent(cancel.get());
            if (s == 0) {
                steps[i].change();  // the change is made only when it was journalled
            } else {
                EXPECT_EQ(i, failing) << "only the step with the failure fails";
            }
        }
        ASSERT_EQ(p.Close(), 0u);
        if (Exists(journal)) {
            Remover::ReplayReport report;
            EXPECT_EQ(Replay(journal, &report), 0u);
            EXPECT_TRUE(report.failed.empty());
        }
        ASSERT_EQ(Now(), original);
    }
}
#endif

}  // namespace
