// The restore's progress as the title strip shows it, from the report
// sequences the journal reader sends (several points, a journal that could
// not be opened, an empty one) and codes of other work that it must ignore.
#include <gtest/gtest.h>

#include <vector>

#include "gui/RestoreProgress.h"

namespace {

using RTI::TraceCode::Current;
using RTI::TraceCode::Done;
using RTI::TraceCode::Max;

struct Report {
    uint32_t code;
    int32_t first;
    int32_t second;
};

TEST(RestoreProgressTest, JournalReportsBecomeTheShownText)
{
    const struct {
        const char* what;
        int points;
        std::vector<Report> reports;
        const wchar_t* text;
        int changes;  // how often the window is told
    } rows[] = {
        // clang-format off
        {"nothing opened yet", 1, {}, L"Restoring...", 0},
        {"one point, half undone", 1, {{Max, 400, 0}, {Current, 200, 0}}, L"Restoring the backup point: 50%", 2},
        {"one point, done", 1, {{Max, 400, 0}, {Current, 120, 0}, {Current, 400, 0}}, L"Restoring the backup point: 100%", 3},
        {"the same percentage tells once", 1, {{Max, 400, 0}, {Current, 200, 0}, {Current, 201, 0}}, L"Restoring the backup point: 50%", 2},
        {"second of three", 3, {{Max, 100, 0}, {Current, 100, 0}, {Max, 50, 0}, {Current, 10, 0}}, L"Restoring backup point 2 of 3: 20%", 4},
        {"a journal that could not be opened sends nothing", 2, {{Max, 80, 0}, {Current, 80, 0}}, L"Restoring backup point 1 of 2: 100%", 2},
        {"an empty journal", 1, {{Max, 0, 0}, {Current, 0, 0}}, L"Restoring the backup point: 100%", 2},
        {"other work's codes change nothing", 1, {{Max, 0, 12}, {Done, 0, 0}, {RTI::TraceCode::ValueRemoved, 4, 1}}, L"Restoring...", 0},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        int changes = 0;
        GUI::RestoreProgress progress([&] { ++changes; });
        EXPECT_EQ(progress.Text(), L"");
        progress.Start(row.points);
        for (const Report& r : row.reports) {
            progress.Trace(r.code, r.first, r.second);
        }
        EXPECT_EQ(progress.Text(), row.text);
        EXPECT_EQ(changes, row.changes);
        progress.Stop();
        EXPECT_EQ(progress.Text(), L"");
        progress.Trace(Max, 10, 0);
        EXPECT_EQ(progress.Text(), L"") << "no restore runs: nothing shown";
    }
}

}  // namespace
