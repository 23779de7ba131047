// The analyse and tune-up runs on the worker thread: what the tracer hears,
// pausing and aborting, one run at a time, the backup journal around a
// tune-up, and the messages at its end.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/system/ShellFolders.h"
#include "tests/tweaker/RunRecorders.h"
#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;
using Events = std::vector<std::string>;

const std::wstring kNotAllApplied =
    L"Warning!|Some selected tweaks were not applied  - check your profile access writes";

// A selected tweak holding the probe of its name.
std::wstring ProbeTweak(const std::wstring& name)
{
    return L"<Tweak n=\"" + name + L"\" enabled=\"1\"><File name=\"" + name + L"\"/></Tweak>";
}

struct CatalogueCategory {
    std::wstring name;
    std::vector<std::wstring> tweaks;  // each holds the probe of its name
    std::wstring inner = L"";          // more XML inside the category
};

class RunsTest : public TweakerTest {
protected:
    void SetUp() override
    {
        TweakerTest::SetUp();
        // Every test keeps its program folder apart: natively inside the
        // scratch folder, on Windows under the user's real AppData.
        const std::wstring& scratch = ScratchFolder();
        const std::wstring folderName = L"CorvaneTests\\" + scratch.substr(scratch.rfind(L'\\') + 1);
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
#endif
        manager_ = std::make_unique<Tweaker::Manager>();
        manager_->SetFolderName(folderName);
        manager_->SetRunMessages(&messages_);
        manager_->RegisterFactories();
        manager_->ItemFactories().Factories().insert_or_assign(
            L"File", RTI::Reference<Tweaker::IItem::IFactory>(new ProbeFactory(probes_)));
        tracer_.Name(manager_.get(), "catalogue");
    }
    void TearDown() override
    {
        std::wstring folder;
        if (manager_) {
            folder = manager_->ConfigurationFolder();
            manager_.reset();
        }
        if (!folder.empty()) {
            (void)Testing::DeleteFolderTree(folder);
        }
        // No run leaves its gate in front of the model's checkpoints.
        EXPECT_EQ(Tweaker::SetRunGate(nullptr), nullptr);
        TweakerTest::TearDown();
    }

    Tweaker::Manager& M()
    {
        return *manager_;
    }

    // The categories in order, each with its probe tweaks (all selected),
    // added to the catalogue and named for the tracer.
    void Catalogue(const std::vector<CatalogueCategory>& categories)
    {
        std::wstring xml = L"<Tweaks>";
        for (const CatalogueCategory& category : categories) {
            xml += L"<Category n=\"" + category.name + L"\">";
            for (const std::wstring& tweak : category.tweaks) {
                xml += ProbeTweak(tweak);
            }
            xml += category.inner + L"</Category>";
        }
        AddCategories(xml + L"</Tweaks>");
    }
    void AddCategories(const std::wstring& xml)
    {
        for (auto& category : LoadTweaks(M(), xml)) {
            std::string name;
            for (wchar_t c : category->GetName()) {
                name += static_cast<char>(c);
            }
            tracer_.Name(category.Get(), name);
            M().Categories().push_back(category);
        }
    }
    // A tweak setting the DWORD "v" of the scratch key's "Values" to 1.
    std::wstring ValueTweak(const std::wstring& keyName = L"Values")
    {
        return L"<Tweak n=\"value\" enabled=\"1\"><Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\" keyname=\"" +
               keyName + L"\" valuename=\"v\" valuetype=\"REG_DWORD\" valueval=\"1\"/></Tweak>";
    }
    std::wstring BackupPath()
    {
        return M().ConfigurationFolder() + L"\\backup";
    }
    void WaitForEnd()
    {
        ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    }
    bool AllAnalysed()
    {
        for (const auto& category : M().Categories()) {
            if (!category->IsAnalysed()) {
                return false;
            }
        }
        return true;
    }
    bool NoneAnalysed()
    {
        for (const auto& category : M().Categories()) {
            if (category->IsAnalysed()) {
                return false;
            }
        }
        return true;
    }
    // Starts a run whose probe `held` holds the worker, pauses the run there
    // and lets the probe return, so that the worker waits at its next
    // checkpoint.
    void PauseAt(const std::wstring& held, bool tuneUp)
    {
        probes_.Hold(held);
        if (tuneUp) {
            ASSERT_EQ(M().StartTuneUp(&tracer_, false), 0u);
        } else {
            M().StartAnalysis(&tracer_);
        }
        probes_[held].reached->Wait();
        M().PauseRun();
        EXPECT_TRUE(M().IsPaused());
        probes_[held].release->Open();
    }

    ProbeBoard probes_;
    RecordingTracer tracer_;
    RecordingMessages messages_;
    std::unique_ptr<Tweaker::Manager> manager_;
};

// Two categories, one with a nested group: the totals count every node of
// a top-level category, and nested groups report neither total nor end.
const std::vector<CatalogueCategory> kTwoCategories = {
    {L"A", {L"a0"}, L"<Group n=\"G\">" + ProbeTweak(L"g0") + L"</Group>"},
    {L"B", {L"b0"}},
};
const Events kCategoryA = {"max 0 4", "begin 2", "end 2", "begin 2", "begin 2", "end 2", "end 2", "done 0 0"};
const Events kCategoryB = {"max 0 2", "begin 2", "end 2", "done 0 0"};

Events Concat(std::initializer_list<Events> parts)
{
    Events all;
    for (const Events& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST_F(RunsTest, AnalysisReportsEveryCategoryBetweenTheCatalogueStages)
{
    Catalogue(kTwoCategories);
    probes_[L"a0"].inEffect = true;
    M().StartAnalysis(&tracer_);
    WaitForEnd();

    EXPECT_EQ(tracer_.Events(), Concat({{"begin 1 catalogue", "begin 0 A"},
                                        kCategoryA,
                                        {"end 0 A", "begin 0 B"},
                                        kCategoryB,
                                        {"end 0 B", "end 1 catalogue"}}));
    EXPECT_FALSE(M().IsRunning());
    EXPECT_TRUE(AllAnalysed());
    EXPECT_EQ(M().Categories()[0]->GetState(), 1);
    EXPECT_EQ(probes_[L"b0"].analysed, 1);
    EXPECT_EQ(probes_[L"b0"].applied, 0);
    const Tweaker::RunOutcome& run = M().LastRun();
    EXPECT_FALSE(run.tuneUp);
    EXPECT_TRUE(run.finished);
    EXPECT_FALSE(run.cancelled);
    EXPECT_TRUE(messages_.Shown().empty());

    // Recomputing reports each category as refreshed, or as after a run.
    M().RecomputeAll();
    M().SetRefreshOnly(true);
    M().RecomputeAll();
    const Events events = tracer_.Events();
    EXPECT_EQ(Events(events.end() - 4, events.end()), (Events{"end 1 A", "end 1 B", "end 5 A", "end 5 B"}));
}

TEST_F(RunsTest, TuneUpAppliesEveryCategoryAndOffersTheRestart)
{
    Catalogue(kTwoCategories);
    ASSERT_EQ(M().StartTuneUp(&tracer_, false), 0u);
    WaitForEnd();

    EXPECT_EQ(tracer_.Events(), Concat({{"begin 4 catalogue", "begin 3 A"},
                                        kCategoryA,
                                        {"end 3 A", "begin 3 B"},
                                        kCategoryB,
                                        {"end 3 B", "end 4 catalogue"}}));
    EXPECT_EQ(messages_.Shown(), std::vector<std::wstring>{L"restart"});
    EXPECT_TRUE(AllAnalysed());
    EXPECT_EQ(M().Categories()[0]->GetState(), 2);
    for (const wchar_t* name : {L"a0", L"g0", L"b0"}) {
        EXPECT_EQ(probes_[name].applied, 1) << name;
    }
    const Tweaker::RunOutcome& run = M().LastRun();
    EXPECT_TRUE(run.tuneUp);
    EXPECT_TRUE(run.finished);
    EXPECT_FALSE(run.cancelled);
    EXPECT_TRUE(run.allApplied);
    EXPECT_TRUE(run.journalPath.empty());
}

TEST_F(RunsTest, ATweakLeftNotInEffectEndsWithTheWarningBeforeTheRestart)
{
    Catalogue({{L"A", {L"works", L"fails"}}});
    probes_[L"fails"].applyWorks = false;
    ASSERT_EQ(M().StartTuneUp(&tracer_, false), 0u);
    WaitForEnd();
    EXPECT_EQ(messages_.Shown(), (std::vector<std::wstring>{kNotAllApplied, L"restart"}));
    EXPECT_FALSE(M().LastRun().allApplied);
    EXPECT_EQ(M().Categories()[0]->GetState(), 1);
}

#ifndef _WIN32
TEST_F(RunsTest, AKeyWithoutWriteAccessEndsWithTheWarning)
{
    WriteDword(L"Locked", L"v", 0);
    ASSERT_EQ(Portable().Registry().SetProtection(ScratchRoot(), ScratchKeyPath() + L"\\Locked",
                                                  Platform::Portable::Protection::ReadOnly),
              0u);
    AddCategories(L"<Tweaks><Category n=\"A\">" + ValueTweak(L"Locked") + L"</Category></Tweaks>");
    ASSERT_EQ(M().StartTuneUp(&tracer_, true), 0u);
    WaitForEnd();
    EXPECT_EQ(messages_.Shown(), (std::vector<std::wstring>{kNotAllApplied, L"restart"}));
    EXPECT_FALSE(M().LastRun().allApplied);
    EXPECT_FALSE(M().Categories()[0]->GetChildren()[0]->IsApplyComplete());
}
#endif

TEST_F(RunsTest, AbortingAPausedTuneUpEndsItAtItsNextCheckpoint)
{
    Catalogue({{L"A", {L"a0", L"a1"}}, {L"B", {L"b0"}}});
    PauseAt(L"a0", true);
    EXPECT_TRUE(M().IsRunning());
    M().StopRun();

    // The worker woke, saw the cancel and ended its body itself.
    EXPECT_FALSE(M().IsRunning());
    EXPECT_FALSE(M().IsPaused());
    const Tweaker::RunOutcome& run = M().LastRun();
    EXPECT_TRUE(run.finished);
    EXPECT_TRUE(run.cancelled);
    EXPECT_EQ(probes_[L"a1"].applied, 0);
    EXPECT_EQ(probes_[L"b0"].applied, 0);
    EXPECT_TRUE(NoneAnalysed());
    const Events events = tracer_.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "end 4 catalogue");
    // An aborted tune-up still offers the restart.
    EXPECT_EQ(messages_.Shown(), std::vector<std::wstring>{L"restart"});
}

TEST_F(RunsTest, ACancelledAnalysisLeavesNoCategoryAnalysed)
{
    Catalogue({{L"A", {L"a0"}}, {L"B", {L"b0", L"b1"}}});
    M().StartAnalysis(&tracer_);
    WaitForEnd();
    ASSERT_TRUE(AllAnalysed());

    // A finishes again before the cancel, yet shows "not analysed" like B.
    PauseAt(L"b0", false);
    M().StopRun();
    EXPECT_FALSE(M().IsRunning());
    EXPECT_TRUE(M().LastRun().cancelled);
    EXPECT_EQ(probes_[L"a0"].analysed, 2);
    EXPECT_EQ(probes_[L"b1"].analysed, 1);
    EXPECT_TRUE(NoneAnalysed());
    const Events events = tracer_.Events();
    EXPECT_EQ(Events(events.end() - 2, events.end()), (Events{"end 0 B", "end 0 catalogue"}));
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(RunsTest, ResumingAPausedRunLetsItFinish)
{
    Catalogue({{L"A", {L"a0", L"a1"}}});
    PauseAt(L"a0", false);
    M().ResumeRun();
    EXPECT_FALSE(M().IsPaused());
    WaitForEnd();
    EXPECT_FALSE(M().LastRun().cancelled);
    EXPECT_EQ(probes_[L"a1"].analysed, 1);
    EXPECT_TRUE(AllAnalysed());
}

TEST_F(RunsTest, ClosingTheProgramDuringAPauseEndsTheWorker)
{
    Catalogue({{L"A", {L"a0", L"a1"}}});
    PauseAt(L"a0", true);
    manager_.reset();
    EXPECT_EQ(probes_[L"a1"].applied, 0);
}

TEST_F(RunsTest, StartsWhileAWorkerRunsDoNothing)
{
    Catalogue({{L"A", {L"a0"}}});
    probes_.Hold(L"a0");
    M().StartAnalysis(&tracer_);
    probes_[L"a0"].reached->Wait();

    RecordingTracer other;
    M().StartAnalysis(&other);
    EXPECT_EQ(M().StartTuneUp(&other, true), Err::BadFormat);
    EXPECT_FALSE(Exists(BackupPath()));  // the refused tune-up opened no journal
    probes_[L"a0"].release->Open();
    WaitForEnd();

    EXPECT_TRUE(other.Events().empty());
    EXPECT_EQ(tracer_.Events().front(), "begin 1 catalogue");
    EXPECT_EQ(tracer_.Events().back(), "end 1 catalogue");
    EXPECT_FALSE(M().LastRun().tuneUp);
    EXPECT_EQ(probes_[L"a0"].analysed, 1);
    EXPECT_EQ(probes_[L"a0"].applied, 0);
    EXPECT_TRUE(messages_.Shown().empty());

    // Once it has ended, the next start runs.
    ASSERT_EQ(M().StartTuneUp(&other, false), 0u);
    WaitForEnd();
    EXPECT_EQ(probes_[L"a0"].applied, 1);
}

TEST_F(RunsTest, TheRunGoesOnWhileItsMessagesAreShown)
{
    Catalogue({{L"A", {L"a0"}}});
    messages_.HoldRestart();
    ASSERT_EQ(M().StartTuneUp(&tracer_, false), 0u);
    messages_.restartShown->Wait();
    EXPECT_TRUE(M().IsRunning());
    EXPECT_EQ(M().StartTuneUp(&tracer_, false), Err::BadFormat);
    messages_.releaseRestart->Open();
    WaitForEnd();
    EXPECT_FALSE(M().IsRunning());
    EXPECT_EQ(messages_.Shown(), std::vector<std::wstring>{L"restart"});
}

TEST_F(RunsTest, WithoutBackupNoJournalIsWritten)
{
    WriteDword(L"Values", L"v", 0);
    AddCategories(L"<Tweaks><Category n=\"A\">" + ValueTweak() + L"</Category></Tweaks>");
    ASSERT_EQ(M().StartTuneUp(&tracer_, false), 0u);
    WaitForEnd();
    EXPECT_TRUE(M().LastRun().allApplied);
    EXPECT_TRUE(M().LastRun().journalPath.empty());
    EXPECT_TRUE(Names(BackupPath(), L"*.arch").empty());
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(ReadValue(L"Values", L"v", &type, &data), 0u);
    EXPECT_EQ(data, (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(RunsTest, WithBackupTheTuneUpWritesOneJournalThatUndoesIt)
{
    WriteDword(L"Values", L"v", 0);
    const JournalTesting::TreeState before = Tree();
    AddCategories(L"<Tweaks><Category n=\"A\">" + ValueTweak() + L"</Category></Tweaks>");
    ASSERT_EQ(M().StartTuneUp(&tracer_, true), 0u);
    WaitForEnd();

    const Tweaker::RunOutcome& run = M().LastRun();
    const std::vector<std::wstring> journals = Names(BackupPath(), L"*.arch");
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_EQ(run.journalPath, BackupPath() + L"\\" + journals[0]);
    EXPECT_EQ(run.journalStatus, 0u);
    EXPECT_EQ(BlocksOf(run.journalPath), std::vector<std::wstring>{L"DelRegValue HKCU ~\\Values v"});
    EXPECT_NE(Tree(), before);
    EXPECT_EQ(Replay(run.journalPath), 0u);
    EXPECT_EQ(Tree(), before);
}

// Nothing runs, the user is told where and why, and the error comes back.
void ExpectRefusedStart(Tweaker::Manager& manager, RecordingMessages& messages, RecordingTracer& tracer,
                        ProbeBoard& probes, uint32_t status)
{
    EXPECT_NE(status, 0u);
    EXPECT_FALSE(manager.IsRunning());
    EXPECT_TRUE(tracer.Events().empty());
    EXPECT_EQ(probes[L"a0"].applied, 0);
    EXPECT_EQ(messages.Shown(), std::vector<std::wstring>{
                                    L"Backup failed|The tune-up did not start: no backup point could be created in " +
                                    manager.BackupFolder() + L" (error " + std::to_wstring(status) + L")."});
}

TEST_F(RunsTest, WhenNoJournalCanBeOpenedTheTuneUpDoesNotStart)
{
    Catalogue({{L"A", {L"a0"}}});
    WriteFile(BackupPath(), "a file where the backup folder belongs");
    const uint32_t status = M().StartTuneUp(&tracer_, true);
    ExpectRefusedStart(M(), messages_, tracer_, probes_, status);
    EXPECT_FALSE(M().LastRun().finished);
}

#ifndef _WIN32
TEST_F(RunsTest, AJournalFileThatCannotBeCreatedStopsTheTuneUp)
{
    Catalogue({{L"A", {L"a0"}}});
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::CreateFile,
        [](const Platform::Portable::FaultSubject& subject) { return subject.path.ends_with(L".arch"); },
        Err::AccessDenied);
    const uint32_t status = M().StartTuneUp(&tracer_, true);
    ExpectRefusedStart(M(), messages_, tracer_, probes_, status);
    Portable().Faults().Clear();

    // Once the journal can be written, the same tune-up runs.
    ASSERT_EQ(M().StartTuneUp(&tracer_, true), 0u);
    WaitForEnd();
    EXPECT_EQ(probes_[L"a0"].applied, 1);
}
#endif

}  // namespace
