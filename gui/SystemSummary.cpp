#include "gui/SystemSummary.h"

#include "sysinfo/Probes.h"

namespace GUI {

std::vector<SummaryLine> SummaryLines(const std::vector<RTI::Reference<SystemInfo::IItem>>& items,
                                      const std::vector<SysInfo::DiskIdentity>& disks)
{
    std::vector<SummaryLine> lines;
    for (const RTI::Reference<SystemInfo::IItem>& item : items) {
        if (item->HasText()) {
            lines.push_back({item->Label(), item->Text()});
        }
    }
    // The HDD item's text runs every disk together; the strip has room for one.
    const std::wstring label = RTI::Reference<SystemInfo::IItem>(new SystemInfo::HDD)->Label();
    for (const SysInfo::DiskIdentity& disk : disks) {
        const std::wstring value = SysInfo::FormatDisks({disk});
        if (!value.empty()) {
            lines.push_back({label, value});
        }
    }
    return lines;
}

std::vector<SummaryLine> ProbedSummaryLines()
{
    // The disks are probed once, for their own lines, not through the HDD item.
    std::vector<RTI::Reference<SystemInfo::IItem>> items = {RTI::Reference<SystemInfo::IItem>(new SystemInfo::OS),
                                                            RTI::Reference<SystemInfo::IItem>(new SystemInfo::Computer),
                                                            RTI::Reference<SystemInfo::IItem>(new SystemInfo::Video)};
    for (auto& item : items) {
        (void)item->Probe();
    }
    return SummaryLines(items, SysInfo::ProbeDisks());
}

bool SystemSummary::Tick()
{
    if (++ticks_ < kTicksPerLine) {
        return false;
    }
    ticks_ = 0;
    if (lines_.size() < 2) {
        return false;
    }
    current_ = (current_ + 1) % lines_.size();
    return true;
}

const SummaryLine* SystemSummary::Current() const
{
    return lines_.empty() ? nullptr : &lines_[current_];
}

}  // namespace GUI
