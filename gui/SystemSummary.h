#pragma once
// The system-information strip's content: one fact at a time, the next one
// every 100 ticks of its 100 ms timer (10 seconds), wrapping round. Each disk
// is a fact of its own, so that any number of disks fits the strip.
//
//   GUI::SystemSummary summary(GUI::ProbedSummaryLines());
//   on WM_TIMER: if (summary.Tick()) repaint;
//   paint: summary.Current() with the label and value rectangles below.
#include <cstdint>
#include <string>
#include <vector>

#include "sysinfo/DiskIdentity.h"
#include "sysinfo/Summary.h"

namespace GUI {

struct SummaryLine {
    std::wstring label;  // "System Summary:", "Computer:", "Video:", "HDD:"
    std::wstring value;  // may hold a line break (a disk's serial number)

    friend bool operator==(const SummaryLine&, const SummaryLine&) = default;
};

// The facts in the order shown: the items (OS, computer, video) that found
// text, then one "HDD:" line per disk (model, then "S/N: serial" below it).
std::vector<SummaryLine> SummaryLines(const std::vector<RTI::Reference<SystemInfo::IItem>>& items,
                                      const std::vector<SysInfo::DiskIdentity>& disks);
// The same, probed from this machine (once: the probes touch devices).
std::vector<SummaryLine> ProbedSummaryLines();

class SystemSummary {
public:
    static constexpr uint32_t kTimerMilliseconds = 100;
    static constexpr int kTicksPerLine = 100;
    // The strip and its two columns, at 100%.
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 37;
    static constexpr int kLabelWidth = 112;
    static constexpr int kValueLeft = 120;

    explicit SystemSummary(std::vector<SummaryLine> lines) : lines_(std::move(lines)) {}

    // One timer tick; true when another line became current (repaint).
    bool Tick();
    // The line shown now; nullptr when there is none (only the background).
    const SummaryLine* Current() const;
    size_t CurrentIndex() const { return current_; }
    const std::vector<SummaryLine>& Lines() const { return lines_; }

private:
    std::vector<SummaryLine> lines_;
    size_t current_ = 0;
    int ticks_ = 0;
};

}  // namespace GUI
