// The tuning view's sections: texts, colours and indicator cells for every
// mode, and the modes a real analysis and tune-up give them through the run
// tracer, with one return to the tuning view per run.
#include <gtest/gtest.h>

#include "tests/gui/GuiFixture.h"

namespace {

using namespace GuiTesting;
using GUI::Cell;
using GUI::SectionFont;
using GUI::SectionMode;
namespace Colour = GUI::SectionColour;

TEST(SectionCells, AppliedShareLightsCellsWithTheEdgesKept)
{
    const struct {
        double share;
        int cells;
    } rows[] = {{0.0, 0}, {0.01, 1}, {0.05, 1}, {0.1, 1}, {0.5, 5}, {0.95, 9}, {0.999, 9}, {1.0, 10}};
    for (const auto& row : rows) {
        EXPECT_EQ(GUI::CellsForShare(row.share), row.cells) << row.share;
    }
}

TEST(SectionDescribe, TextsColoursAndCellsFollowModeAndFigures)
{
    // analysed, state, share, children, selected, inEffect
    const GUI::CategoryFigures none{true, 0, 0.0, 3, 2, 0};
    const GUI::CategoryFigures part{true, 1, 0.34, 3, 3, 1};
    const GUI::CategoryFigures all{true, 2, 1.0, 3, 3, 3};
    const GUI::CategoryFigures unselected{true, 0, 0.0, 3, 0, 0};
    const GUI::CategoryFigures fresh{false, 0, 0.0, 3, 3, 0};
    const GUI::CategoryFigures empty{true, 0, 0.0, 0, 0, 0};
    const struct {
        SectionMode mode;
        int32_t position, maximum;
        GUI::CategoryFigures figures;
        const wchar_t* status;
        uint32_t colour;
        SectionFont font;
        const wchar_t* summary;
        bool grey;
        int lit;
        Cell cell;
        bool customize;
    } rows[] = {
        {SectionMode::Analysed, 0, 1, all, L"all selected tweaks were applied", Colour::Blue, SectionFont::Title,
         L"3 in general/3 applied", false, 10, Cell::Green, true},
        {SectionMode::Analysed, 0, 1, part, L"part of tweaks were applied", Colour::Blue, SectionFont::Title,
         L"3 in general/1 applied", false, 3, Cell::Yellow, true},
        {SectionMode::Analysed, 0, 1, none, L"no tweaks were applied", Colour::Red, SectionFont::Title,
         L"3 in general/0 applied", false, 0, Cell::Gray, true},
        {SectionMode::Applied, 0, 1, unselected, L"no selected tweaks for applying", Colour::Red, SectionFont::Title,
         L"", false, 0, Cell::Gray, true},
        {SectionMode::Analysed, 0, 1, empty, L"no selected tweaks for applying", Colour::Red, SectionFont::Title,
         L"0 in general/0 applied", false, 0, Cell::Gray, false},
        {SectionMode::NotAnalysed, 0, 1, part, L"completed", Colour::Blue, SectionFont::Title, L"", true, 3,
         Cell::Yellow, false},
        {SectionMode::NotAnalysed, 0, 1, fresh, L"not analysed", Colour::Red, SectionFont::Status, L"", true, 0,
         Cell::Gray, false},
        {SectionMode::Analysing, 1, 4, fresh, L"processing...", Colour::Orange, SectionFont::Status, L"", false, 2,
         Cell::Green, false},
        {SectionMode::Applying, 4, 4, all, L"processing...", Colour::Orange, SectionFont::Status, L"", false, 10,
         Cell::Green, false},
        {SectionMode::Analysing, 3, 0, fresh, L"processing...", Colour::Orange, SectionFont::Status, L"", false, 0,
         Cell::Gray, false},
        {SectionMode::ApplyPending, 0, 1, all, L"completed", Colour::Blue, SectionFont::Title, L"", true, 10,
         Cell::Green, false},
        {SectionMode::ApplyPending, 0, 1, fresh, L"not processed", Colour::Blue, SectionFont::Title, L"", true, 0,
         Cell::Gray, false},
    };
    for (const auto& row : rows) {
        const GUI::SectionView v = GUI::Describe(row.mode, row.position, row.maximum, row.figures);
        SCOPED_TRACE(testing::Message() << int(row.mode) << " "
                                        << std::string(row.status, row.status + wcslen(row.status)));
        EXPECT_EQ(v.status, row.status);
        EXPECT_EQ(v.statusColour, row.colour);
        EXPECT_EQ(v.statusFont, row.font);
        EXPECT_EQ(v.summary, row.summary);
        EXPECT_EQ(v.grey, row.grey);
        EXPECT_EQ(v.litCells, row.lit);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(v.cells[i], i < row.lit ? row.cell : Cell::Gray) << i;
        }
        EXPECT_EQ(v.customizeActive, row.customize);
    }
}

// Records every section's mode and status after each category stage, on the
// worker, the way painting would read them.
class ModeSpy final : public RTI::ITracer {
public:
    ModeSpy(RTI::ITracer& inner, const GUI::SectionList& sections) : inner_(inner), sections_(sections) {}
    void Begin(const void* s, unsigned stage) override
    {
        inner_.Begin(s, stage);
        Record(stage);
    }
    void End(const void* s, unsigned stage) override
    {
        inner_.End(s, stage);
        Record(stage);
    }
    void Trace(uint32_t code, int32_t a, int32_t b) override { inner_.Trace(code, a, b); }
    std::vector<std::wstring> seen;

private:
    void Record(unsigned stage)
    {
        if (stage == 2) {
            return;
        }
        std::wstring line;
        for (const auto& section : sections_) {
            const GUI::SectionView v = section->View();
            line += (line.empty() ? L"" : L" | ") + v.name + L":" + v.status + L":" + std::to_wstring(v.litCells);
        }
        seen.push_back(line);
    }
    RTI::ITracer& inner_;
    const GUI::SectionList& sections_;
};

TEST_F(GuiTest, RunsMoveSectionsThroughTheirModesAndPostTuningOnce)
{
    Catalogue({{L"A", {{L"a0", true, true}, {L"a1"}}}, {L"B", {{L"b0", false}}}});
    ModeSpy spy(*tracer_, sections_);

    M().StartAnalysis(&spy);
    ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    EXPECT_EQ(spy.seen, (std::vector<std::wstring>{
                            L"A:not analysed:0 | B:not analysed:0",
                            L"A:processing...:0 | B:not analysed:0",
                            L"A:completed:10 | B:not analysed:0",
                            L"A:completed:10 | B:processing...:0",
                            L"A:completed:10 | B:completed:0",
                            L"A:part of tweaks were applied:10 | B:no selected tweaks for applying:0",
                        }));
    EXPECT_EQ(Modes(), (std::vector<SectionMode>{SectionMode::Analysed, SectionMode::Analysed}));
    EXPECT_EQ(poster_.Posted(), std::vector<int>{GUI::Command::Tuning});
    EXPECT_EQ(sections_[0]->View().summary, L"2 in general/1 applied");

    spy.seen.clear();
    ASSERT_EQ(M().StartTuneUp(&spy, false), 0u);
    ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    EXPECT_EQ(spy.seen, (std::vector<std::wstring>{
                            // Until the worker starts on them, categories keep their analysis.
                            L"A:completed:10 | B:completed:0",
                            L"A:processing...:0 | B:completed:0",
                            L"A:completed:10 | B:completed:0",
                            L"A:completed:10 | B:processing...:0",
                            L"A:completed:10 | B:completed:0",
                            L"A:all selected tweaks were applied:10 | B:no selected tweaks for applying:0",
                        }));
    EXPECT_EQ(Modes(), (std::vector<SectionMode>{SectionMode::Applied, SectionMode::Applied}));
    EXPECT_EQ(poster_.Posted(), (std::vector<int>{GUI::Command::Tuning, GUI::Command::Tuning}));
    EXPECT_EQ(Dword(L"a1"), 1);
    EXPECT_EQ(Dword(L"b0"), -1);
}

TEST_F(GuiTest, ProgressGrowsWithTheStepsOfTheCategoryBeingAnalysed)
{
    Catalogue({{L"A", {{L"a0"}, {L"a1"}, {L"a2"}, {L"a3"}}}});
    struct Steps final : RTI::ITracer {
        RTI::ITracer* inner;
        GUI::Section* section;
        std::vector<int> lit;
        void Begin(const void* s, unsigned st) override { inner->Begin(s, st); }
        void End(const void* s, unsigned st) override
        {
            inner->End(s, st);
            if (st == 2) {
                lit.push_back(section->View().litCells);
            }
        }
        void Trace(uint32_t c, int32_t a, int32_t b) override { inner->Trace(c, a, b); }
    } steps;
    steps.inner = tracer_.get();
    steps.section = sections_[0].get();
    M().StartAnalysis(&steps);
    ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    // Four tweaks and their category: five steps.
    EXPECT_EQ(steps.lit, (std::vector<int>{2, 4, 6, 8}));
    EXPECT_EQ(sections_[0]->Mode(), SectionMode::Analysed);
}

// Recomputing from navigation (after a restore set every section not
// analysed) refreshes figures without marking the sections analysed and
// without sending the window anywhere, whether or not the catalogue reports
// it as a refresh.
TEST_F(GuiTest, RecomputingIsNotAnAnalysis)
{
    const struct {
        bool refreshOnly;
    } rows[] = {{true}, {false}};
    Catalogue({{L"A", {{L"a0", true, true}}}});
    RunAnalysis();
    const std::vector<int> afterAnalysis = poster_.Posted();
    for (const auto& row : rows) {
        sections_[0]->SetMode(SectionMode::NotAnalysed);
        M().SetRefreshOnly(row.refreshOnly);
        M().RecomputeAll();
        EXPECT_EQ(Modes(), std::vector<SectionMode>{SectionMode::NotAnalysed}) << row.refreshOnly;
        EXPECT_EQ(sections_[0]->View().status, L"completed");
        EXPECT_EQ(sections_[0]->View().litCells, 10);
        EXPECT_EQ(poster_.Posted(), afterAnalysis);
    }
}

// An analysis stopped half-way leaves every section not analysed and still
// returns the window to the tuning view exactly once.
TEST_F(GuiTest, CancelledAnalysisPostsTuningOnce)
{
    Catalogue({{L"A", {{L"a0"}}}, {L"B", {{L"b0"}}}});
    struct PauseAtB final : RTI::ITracer {
        RTI::ITracer* inner;
        const void* b;
        TweakerTesting::Latch reached;
        TweakerTesting::Latch release;
        void Begin(const void* s, unsigned st) override
        {
            inner->Begin(s, st);
            if (s == b && st == 0) {
                reached.Open();
                release.Wait();
            }
        }
        void End(const void* s, unsigned st) override { inner->End(s, st); }
        void Trace(uint32_t c, int32_t a, int32_t x) override { inner->Trace(c, a, x); }
    } pause;
    pause.inner = tracer_.get();
    pause.b = M().Categories()[1].Get();
    M().StartAnalysis(&pause);
    pause.reached.Wait();
    M().PauseRun();
    pause.release.Open();
    M().StopRun();
    EXPECT_TRUE(M().LastRun().cancelled);
    EXPECT_EQ(Modes(), (std::vector<SectionMode>{SectionMode::NotAnalysed, SectionMode::NotAnalysed}));
    EXPECT_EQ(sections_[0]->View().status, L"not analysed");
    EXPECT_EQ(poster_.Posted(), std::vector<int>{GUI::Command::Tuning});
}

}  // namespace
