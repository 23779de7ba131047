// The system-information strip's content: the items that found text, one
// line per disk, and the rotation every 100 ticks that wraps round.
#include <gtest/gtest.h>

#include "gui/PanelPaint.h"
#include "gui/SystemSummary.h"

namespace {

using GUI::SummaryLine;
using GUI::SystemSummary;

// An item with a fixed text, standing in for a probe.
class Fixed final : public GUI::SystemInfo::IItem {
public:
    Fixed(const wchar_t* label, std::wstring text) : label_(label) { text_ = std::move(text); }
    const wchar_t* Label() const override { return label_; }
    uint32_t Probe() override { return 0; }

private:
    const wchar_t* label_;
};

SysInfo::DiskIdentity Disk(std::wstring model, std::wstring serial)
{
    SysInfo::DiskIdentity disk;
    disk.model = std::move(model);
    disk.serial = std::move(serial);
    return disk;
}

TEST(SystemSummaryTest, ItemsWithTextThenOneLinePerDisk)
{
    struct Row {
        const char* what;
        std::vector<std::pair<const wchar_t*, std::wstring>> items;
        std::vector<SysInfo::DiskIdentity> disks;
        std::vector<SummaryLine> lines;
    };
    const Row rows[] = {
        {"everything",
         {{L"System Summary:", L"Windows 7"}, {L"Computer:", L"4096.00 MB of RAM"}, {L"Video:", L"Wine Adapter"}},
         {Disk(L"Disk A", L"S1"), Disk(L"Disk B", L""), Disk(L"Disk C", L"S3")},
         {{L"System Summary:", L"Windows 7"},
          {L"Computer:", L"4096.00 MB of RAM"},
          {L"Video:", L"Wine Adapter"},
          {L"HDD:", L"Disk A\nS/N: S1"},
          {L"HDD:", L"Disk B"},
          {L"HDD:", L"Disk C\nS/N: S3"}}},
        {"items without text are left out",
         {{L"System Summary:", L""}, {L"Computer:", L"1023.47 MB of RAM"}, {L"Video:", L""}},
         {},
         {{L"Computer:", L"1023.47 MB of RAM"}}},
        {"a disk without a model is left out", {}, {Disk(L"", L""), Disk(L"Disk", L"")}, {{L"HDD:", L"Disk"}}},
        {"nothing", {}, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<RTI::Reference<GUI::SystemInfo::IItem>> items;
        for (const auto& [label, text] : row.items) {
            items.push_back(RTI::Reference<GUI::SystemInfo::IItem>(new Fixed(label, text)));
        }
        EXPECT_EQ(GUI::SummaryLines(items, row.disks), row.lines);
    }
}

TEST(SystemSummaryTest, TheNextLineEveryHundredTicksWrappingRound)
{
    struct Row {
        size_t lines;
        int ticks;
        size_t current;
        int repaints;
    };
    const Row rows[] = {
        {3, 99, 0, 0},  {3, 100, 1, 1}, {3, 250, 2, 2},
        {3, 300, 0, 3}, {1, 500, 0, 0},  // one line stays, nothing to repaint
        {0, 200, 0, 0},                  // nothing but the background
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.lines << " lines, " << row.ticks << " ticks");
        std::vector<SummaryLine> lines;
        for (size_t i = 0; i < row.lines; ++i) {
            lines.push_back({L"Label:", std::to_wstring(i)});
        }
        SystemSummary summary(lines);
        int repaints = 0;
        for (int i = 0; i < row.ticks; ++i) {
            repaints += summary.Tick() ? 1 : 0;
        }
        EXPECT_EQ(summary.CurrentIndex(), row.current);
        EXPECT_EQ(repaints, row.repaints);
        EXPECT_EQ(summary.Current() == nullptr, row.lines == 0);
    }
}

}  // namespace

namespace {

TEST(SystemSummaryTest, TheStripDrawsTheLabelRightAlignedAndTheValueFrom120)
{
    struct Row {
        int dpi;
        const GUI::SummaryLine* line;
        std::wstring dump;
    };
    const GUI::SummaryLine video{L"Video:", L"Wine Adapter"};
    const Row rows[] = {
        {96, &video,
         L"fill 0,0 388x37 #FFE0DFE3\n"
         L"text 0,11 112x26 #FF000000 Microsoft Sans Serif 12px bold right \"Video:\"\n"
         L"text 120,12 268x26 #FF000000 Microsoft Sans Serif 11px left \"Wine Adapter\"\n"},
        {192, &video,
         L"fill 0,0 776x74 #FFE0DFE3\n"
         L"text 0,22 224x52 #FF000000 Microsoft Sans Serif 12px bold right \"Video:\"\n"
         L"text 240,24 536x52 #FF000000 Microsoft Sans Serif 11px left \"Wine Adapter\"\n"},
        {96, nullptr, L"fill 0,0 388x37 #FFE0DFE3\n"},
    };
    for (const Row& row : rows) {
        const GUI::Aqua::Scaler s(row.dpi);
        GUI::Aqua::DrawList list;
        GUI::PaintSummaryStrip(list, s, {0, 0, s.Scale(388), s.Scale(37)}, row.line);
        EXPECT_EQ(list.Dump(), row.dump);
    }
}

}  // namespace
