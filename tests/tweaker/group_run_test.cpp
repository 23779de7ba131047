// Analyse and Apply over tweaks and groups: results, states, shares,
// statistics, cancellation, the tracer's reports and the pacing.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;
using Tweaker::Group;
using Tweaker::SimpleTweak;

// Records what the run reports.
struct Recorder final : RTI::ITracer {
    std::vector<std::string> events;
    void Begin(const void*, unsigned stage) override { events.push_back("begin " + std::to_string(stage)); }
    void End(const void*, unsigned stage) override { events.push_back("end " + std::to_string(stage)); }
    void Trace(uint32_t code, int32_t first, int32_t second) override
    {
        events.push_back((code == RTI::TraceCode::Max    ? "max "
                          : code == RTI::TraceCode::Done ? "done "
                                                         : "? ") +
                         std::to_string(first) + " " + std::to_string(second));
    }
};

// An item whose state the test sets, which can signal a cancel event when
// it is applied or analysed.
struct FakeItem final : Tweaker::IItem {
    bool inEffect = false;
    bool applyWorks = true;
    int analysed = 0;
    int applied = 0;
    Platform::EventHandle cancelOnUse = nullptr;
    std::wstring GetTypeName() const override { return L"Fake"; }
    std::wstring GetName() const override { return {}; }
    std::wstring GetPath() const override { return {}; }
    int Load(XmlDocument&) override { return 0; }
    bool Analyse() override
    {
        ++analysed;
        Signal();
        return inEffect;
    }
    bool Apply(Remover::Processor*, Platform::EventHandle) override
    {
        ++applied;
        Signal();
        inEffect = inEffect || applyWorks;
        return inEffect;
    }
    void Signal()
    {
        if (cancelOnUse) {
            Platform::Current().Threads().SetEvent(cancelOnUse);
        }
    }
};

class GroupRunTest : public TweakerTest {
protected:
    // Category "C" with tweaks t0..tn-1, each holding one fake item.
    RTI::Reference<Group> Category(const std::vector<bool>& selected, const std::wstring& nested = L"")
    {
        std::wstring xml = L"<Tweaks><Category n=\"C\">";
        for (size_t i = 0; i < selected.size(); ++i) {
            xml += L"<Tweak n=\"t" + std::to_wstring(i) + L"\" enabled=\"" + (selected[i] ? L"1" : L"0") + L"\"/>";
        }
        xml += nested + L"</Category></Tweaks>";
        auto categories = LoadTweaks(manager_, xml);
        EXPECT_EQ(categories.size(), 1u);
        return categories.at(0);
    }
    // Gives every tweak below the group (nested ones too) a fake item.
    void AddFakes(Group& group)
    {
        for (const auto& child : group.GetChildren()) {
            if (auto* nested = dynamic_cast<Group*>(child.Get())) {
                AddFakes(*nested);
            } else {
                RTI::Reference<FakeItem> item(new FakeItem());
                fakes_[child->GetName()] = item;
                AttachItem(*dynamic_cast<SimpleTweak*>(child.Get()), item);
            }
        }
    }
    static void AttachItem(SimpleTweak& tweak, RTI::Reference<Tweaker::IItem> item)
    {
        // Items normally come from the file; tests load a File placeholder
        // and swap it for the fake.
        auto& items = const_cast<std::vector<RTI::Reference<Tweaker::IItem>>&>(tweak.GetItems());
        items.push_back(std::move(item));
    }
    FakeItem& Fake(const std::wstring& name) { return *fakes_.at(name); }

    Tweaker::Manager manager_;
    std::map<std::wstring, RTI::Reference<FakeItem>> fakes_;
};

TEST_F(GroupRunTest, OneInEffectOneSelectedPendingOneNeitherGivesStateOneAndTwoThirds)
{
    auto c = Category({false, true, false});
    AddFakes(*c);
    Fake(L"t0").inEffect = true;
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(c->GetState(), 1);
    EXPECT_DOUBLE_EQ(c->GetAppliedShare(), 2.0 / 3.0);
    EXPECT_TRUE(c->IsAnalysed());
    EXPECT_EQ(c->CountChildren(), 3);
    EXPECT_EQ(c->CountSelected(), 1);
    EXPECT_EQ(c->CountSelectedNotApplied(), 1);
    EXPECT_EQ(c->FormatStatistics(), L"3 in general/1 applied");
}

TEST_F(GroupRunTest, AllInEffectIsStateTwoAndNoneSelectedNoneInEffectIsStateZero)
{
    auto all = Category({true, false});
    AddFakes(*all);
    Fake(L"t0").inEffect = Fake(L"t1").inEffect = true;
    EXPECT_EQ(all->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(all->GetState(), 2);
    EXPECT_DOUBLE_EQ(all->GetAppliedShare(), 1.0);

    auto none = Category({false, false});
    AddFakes(*none);
    EXPECT_EQ(none->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(none->GetState(), 0);
    EXPECT_DOUBLE_EQ(none->GetAppliedShare(), 0.0);
}

TEST_F(GroupRunTest, TweakWithoutItemsIsNeverInEffect)
{
    auto c = Category({true});
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(c->GetChildren()[0]->GetAppliedShare(), 0.0);
    EXPECT_EQ(c->GetState(), 0);
}

TEST_F(GroupRunTest, ApplyChangesSelectedTweaksOnlyAndSkipsOthersWith157)
{
    auto c = Category({true, false});
    AddFakes(*c);
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    Recorder tracer;
    EXPECT_EQ(c->Apply(&tracer, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(Fake(L"t0").applied, 1);
    EXPECT_EQ(Fake(L"t1").applied, 0);
    EXPECT_EQ(c->GetChildren()[1]->Apply(&tracer, c.Get(), nullptr, nullptr), Err::NotSelected);
    EXPECT_EQ(c->GetState(), 2);
    EXPECT_FALSE(c->IsNotAllApplied());
}

TEST_F(GroupRunTest, FailedItemMakesTheTweakIncompleteAndTheGroupNotAllApplied)
{
    auto c = Category({true});
    AddFakes(*c);
    Fake(L"t0").applyWorks = false;
    Recorder tracer;
    EXPECT_EQ(c->Apply(&tracer, nullptr, nullptr, nullptr), 0u);
    EXPECT_FALSE(c->GetChildren()[0]->IsApplyComplete());
    EXPECT_TRUE(c->IsNotAllApplied());
    EXPECT_EQ(c->GetState(), 0);
    EXPECT_DOUBLE_EQ(c->GetAppliedShare(), 1.0);  // the pending tweak counts in the share
}

TEST_F(GroupRunTest, NestedGroupCountsAsDoneOnlyInStateTwoAndAsPendingWhileItHoldsSelectedWork)
{
    auto c =
        Category({false}, L"<Group n=\"g\"><Tweak n=\"in0\" enabled=\"1\"/><Tweak n=\"in1\" enabled=\"1\"/></Group>");
    AddFakes(*c);
    auto* nested = dynamic_cast<Group*>(c->GetChildren()[1].Get());
    Fake(L"t0").inEffect = true;
    Fake(L"in0").inEffect = true;
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(nested->GetState(), 1);
    EXPECT_EQ(c->GetState(), 1);  // the nested group's selected tweak is still pending
    EXPECT_EQ(c->CountSelectedNotApplied(), 1);

    Recorder tracer;
    EXPECT_EQ(c->Apply(&tracer, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(nested->GetState(), 2);
    EXPECT_EQ(c->GetState(), 2);
    EXPECT_EQ(c->CountSelectedNotApplied(), 0);
}

TEST_F(GroupRunTest, NestedGroupWhoseSelectedTweaksAllArePendingKeepsItsParentFromStateTwo)
{
    auto c = Category({true}, L"<Group n=\"g\"><Tweak n=\"in0\" enabled=\"1\"/></Group>");
    AddFakes(*c);
    Fake(L"t0").inEffect = true;
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(c->GetState(), 1);
    EXPECT_DOUBLE_EQ(c->GetAppliedShare(), 1.0);
}

TEST_F(GroupRunTest, CancelStopsAfterTheCurrentItemAndKeepsNeverAnalysedGroupsNotAnalysed)
{
    auto c = Category({true, true, true});
    AddFakes(*c);
    Platform::UniqueEvent cancel(Platform::Current().Threads().CreateEvent(true, false));
    Fake(L"t0").inEffect = true;
    Fake(L"t1").cancelOnUse = cancel.get();
    EXPECT_EQ(c->Analyse(nullptr, nullptr, cancel.get()), Err::Cancelled);
    EXPECT_EQ(Fake(L"t1").analysed, 1);
    EXPECT_EQ(Fake(L"t2").analysed, 0);
    EXPECT_FALSE(c->IsAnalysed());
    EXPECT_EQ(c->GetState(), 2);  // only t0 was counted, and it is in effect
    EXPECT_DOUBLE_EQ(c->GetAppliedShare(), 1.0 / 3.0);

    Platform::Current().Threads().ResetEvent(cancel.get());
    Fake(L"t1").cancelOnUse = nullptr;
    EXPECT_EQ(c->Analyse(nullptr, nullptr, cancel.get()), 0u);
    EXPECT_TRUE(c->IsAnalysed());
    Fake(L"t0").cancelOnUse = cancel.get();
    Recorder tracer;
    EXPECT_EQ(c->Apply(&tracer, nullptr, cancel.get(), nullptr), Err::Cancelled);
    EXPECT_TRUE(c->IsAnalysed());  // kept from the earlier run
    EXPECT_EQ(Fake(L"t1").applied, 0);
    EXPECT_EQ(tracer.events.back(), "done 0 0");
}

TEST_F(GroupRunTest, CancelInANestedGroupUnwindsEveryLevel)
{
    auto c =
        Category({true}, L"<Group n=\"g\"><Tweak n=\"in0\" enabled=\"1\"/><Tweak n=\"in1\" enabled=\"1\"/></Group>");
    c->AddChild(RTI::Reference<Tweaker::ITweak>(new SimpleTweak()));
    AddFakes(*c);
    Platform::UniqueEvent cancel(Platform::Current().Threads().CreateEvent(true, false));
    Fake(L"in0").cancelOnUse = cancel.get();
    EXPECT_EQ(c->Analyse(nullptr, nullptr, cancel.get()), Err::Cancelled);
    EXPECT_EQ(Fake(L"in1").analysed, 0);
    EXPECT_EQ(Fake(L"t0").analysed, 1);
}

TEST_F(GroupRunTest, CancelledApplyInANestedGroupCountsOnlyTheChildrenItFinished)
{
    auto c =
        Category({true}, L"<Group n=\"g\"><Tweak n=\"in0\" enabled=\"1\"/><Tweak n=\"in1\" enabled=\"1\"/></Group>");
    AddFakes(*c);
    auto* nested = dynamic_cast<Group*>(c->GetChildren()[1].Get());
    Platform::UniqueEvent cancel(Platform::Current().Threads().CreateEvent(true, false));
    Fake(L"in0").cancelOnUse = cancel.get();
    Recorder tracer;
    EXPECT_EQ(c->Apply(&tracer, nullptr, cancel.get(), nullptr), Err::Cancelled);
    EXPECT_EQ(Fake(L"t0").applied, 1);
    EXPECT_EQ(Fake(L"in1").applied, 0);
    EXPECT_FALSE(nested->IsAnalysed());
    // Each level counts only the children that finished: in0 was applied
    // but its run ended cancelled, so the nested group counts nothing; the
    // category counts t0 (the nested group did not finish either).
    EXPECT_TRUE(Fake(L"in0").inEffect);
    EXPECT_EQ(nested->GetState(), 0);
    EXPECT_DOUBLE_EQ(nested->GetAppliedShare(), 0.0);
    EXPECT_EQ(c->GetState(), 2);
    EXPECT_DOUBLE_EQ(c->GetAppliedShare(), 0.5);
    EXPECT_FALSE(c->IsAnalysed());
    // The next complete run sees the pending tweak again.
    Platform::Current().Threads().ResetEvent(cancel.get());
    Fake(L"in0").cancelOnUse = nullptr;
    EXPECT_EQ(c->Analyse(nullptr, nullptr, cancel.get()), 0u);
    EXPECT_EQ(nested->GetState(), 1);
    EXPECT_EQ(c->GetState(), 1);
    EXPECT_EQ(c->CountSelectedNotApplied(), 1);
}

TEST_F(GroupRunTest, TracerHearsTheTotalEachChildAndTheEnd)
{
    auto c = Category({true}, L"<Group n=\"g\"><Tweak n=\"in0\"/></Group>");
    AddFakes(*c);
    Recorder tracer;
    EXPECT_EQ(c->Analyse(&tracer, nullptr, nullptr), 0u);
    EXPECT_EQ(tracer.events, (std::vector<std::string>{"max 0 4", "begin 2", "end 2", "begin 2", "begin 2", "end 2",
                                                       "end 2", "done 0 0"}));
}

TEST_F(GroupRunTest, EmptyCategoryReportsTenStepsAndItsApplyIsPaced)
{
    auto c = Category({});
    Recorder tracer;
    EXPECT_EQ(c->Analyse(&tracer, nullptr, nullptr), 0u);
    ASSERT_EQ(tracer.events.size(), 22u);
    EXPECT_EQ(tracer.events.front(), "max 0 10");
    EXPECT_EQ(tracer.events.back(), "done 0 0");
    EXPECT_TRUE(c->IsAnalysed());

    Tweaker::SetPacing(Tweaker::Pacing::On);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c->Apply(&tracer, nullptr, nullptr, nullptr), 0u);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
}

TEST_F(GroupRunTest, PausedRunWaitsAtTheGateBetweenUnitsOfWork)
{
    struct Gate final : Tweaker::IRunGate {
        int waits = 0;
        void WaitWhilePaused() override { ++waits; }
    } gate;
    auto c = Category({true, true});
    AddFakes(*c);
    Tweaker::IRunGate* previous = Tweaker::SetRunGate(&gate);
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    Tweaker::SetRunGate(previous);
    EXPECT_EQ(gate.waits, 4);  // before each child and after each item
}

TEST_F(GroupRunTest, RecomputeResultsFollowsSelectionChangesWithoutRunning)
{
    auto c = Category({false, false});
    AddFakes(*c);
    Fake(L"t0").inEffect = true;
    EXPECT_EQ(c->Analyse(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(c->GetState(), 2);
    c->GetChildren()[1]->SetSelected(true);
    c->RecomputeResults();
    EXPECT_EQ(c->GetState(), 1);
    EXPECT_EQ(Fake(L"t1").analysed, 1);
}

}  // namespace
