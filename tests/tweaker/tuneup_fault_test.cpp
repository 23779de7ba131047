// A journal that fails in the middle of a tune-up: every change made has its
// record, and the change whose record failed is not made.
#include <gtest/gtest.h>

#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;

struct NullTracer final : RTI::ITracer {
    void Begin(const void*, unsigned) override {}
    void End(const void*, unsigned) override {}
    void Trace(uint32_t, int32_t, int32_t) override {}
};

class TuneUpFaultTest : public TweakerTest {
protected:
    // Ten selected tweaks, each changing its own existing value and creating
    // a key, plus a file deletion.
    RTI::Reference<Tweaker::Group> Catalogue(Tweaker::Manager& manager)
    {
        std::wstring xml = L"<Tweaks><Category n=\"C\">";
        for (int i = 0; i < 10; ++i) {
            const std::wstring n = std::to_wstring(i);
            WriteDword(L"Values", L"v" + n, 100 + i);
            xml += L"<Tweak n=\"t" + n + L"\" enabled=\"1\">";
            xml += L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\" keyname=\"Values\" valuename=\"v" + n +
                   L"\" valuetype=\"REG_DWORD\" valueval=\"" + n + L"\"/>";
            xml += L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\" keyname=\"New" + n +
                   L"\\Deep\" "
                   L"action=\"KEY_SET\"/>";
            xml += L"</Tweak>";
        }
        WriteFile(PathOf(L"f\\doomed.txt"), "doomed");
        xml += L"<Tweak n=\"file\" enabled=\"1\"><File path=\"" + PathOf(L"f") +
               L"\" name=\"doomed.txt\" action=\"FILE_DELETE\"/></Tweak>";
        xml += L"</Category></Tweaks>";
        return LoadTweaks(manager, xml).at(0);
    }
};

#ifndef _WIN32
TEST_F(TuneUpFaultTest, EveryChangeMadeHasItsRecordAndTheUnrecordedOneIsNotMade)
{
    for (int failAt : {1, 2, 5, 9, 14, 21}) {
        SCOPED_TRACE(failAt);
        Tweaker::Manager manager;
        auto category = Catalogue(manager);
        const JournalTesting::TreeState treeBefore = Tree();
        const JournalTesting::FolderState folderBefore = Folder();

        // The journal's disk fills up at its failAt-th flush, and stays full.
        int flushes = 0;
        Portable().Faults().FailWhen(
            Platform::Portable::Operation::FlushFile,
            [&](const Platform::Portable::FaultSubject& subject) {
                return subject.path.ends_with(L".arch") && ++flushes >= failAt;
            },
            Err::DiskFull);
        NullTracer tracer;
        std::wstring journal;
        {
            Remover::Processor processor;
            ASSERT_EQ(processor.Open(BackupFolder(), JournalTesting::Header(), JournalTesting::kHeaderLength), 0u);
            journal = processor.GetWriter().JournalPath();
            EXPECT_EQ(category->Apply(&tracer, nullptr, nullptr, &processor), 0u);
            (void)processor.Close();
        }
        Portable().Faults().Clear();
        EXPECT_TRUE(category->IsNotAllApplied());

        // A tweak left incomplete changed nothing its record did not cover:
        // restoring the journal gives back exactly the state before the run.
        const auto& children = category->GetChildren();
        int incomplete = 0;
        for (const auto& child : children) {
            incomplete += child->IsApplyComplete() ? 0 : 1;
        }
        EXPECT_GT(incomplete, 0);
        if (Exists(journal)) {
            Remover::ReplayReport report;
            EXPECT_EQ(Replay(journal, &report), 0u);
        }
        EXPECT_EQ(Tree(), treeBefore);
        EXPECT_EQ(Folder(), folderBefore);
        DeleteKey(L"Values");
        ASSERT_EQ(Testing::DeleteFolderTree(PathOf(L"f")), 0u);
        (void)Testing::DeleteFolderTree(BackupFolder());
        Remover::CopyCache::Clear();
    }
}
#endif

TEST_F(TuneUpFaultTest, TuneUpThenRestoreGivesBackTheRegistryAndFiles)
{
    Tweaker::Manager manager;
    auto category = Catalogue(manager);
    const JournalTesting::TreeState treeBefore = Tree();
    const JournalTesting::FolderState folderBefore = Folder();
    NullTracer tracer;
    std::wstring journal;
    {
        Remover::Processor processor;
        ASSERT_EQ(processor.Open(BackupFolder(), JournalTesting::Header(), JournalTesting::kHeaderLength), 0u);
        journal = processor.GetWriter().JournalPath();
        EXPECT_EQ(category->Apply(&tracer, nullptr, nullptr, &processor), 0u);
        EXPECT_EQ(processor.Close(), 0u);
    }
    EXPECT_EQ(category->GetState(), 2);
    EXPECT_FALSE(category->IsNotAllApplied());
    EXPECT_EQ(category->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(category->GetState(), 2);
    EXPECT_EQ(BlocksOf(journal).size(), 21u);
    EXPECT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), treeBefore);
    EXPECT_EQ(Folder(), folderBefore);
}

}  // namespace
