#pragma once
// The system-information strip at the bottom of the main window: one fact of
// the system summary at a time, the next every 10 seconds.
//
//   GUI::SystemInfo::Strip strip(toolkit, GUI::ProbedSummaryLines());
//   strip.Create(mainWindow, {x, y, 388, 37 scaled});
#include "gui/SystemSummary.h"
#include "gui/aqua/win32/Window.h"

namespace GUI::SystemInfo {

class Strip : public Control {
public:
    static constexpr UINT_PTR kTimer = 1;

    Strip(Aqua::Toolkit& toolkit, std::vector<SummaryLine> lines) : Control(toolkit), summary_(std::move(lines)) {}
    bool Create(HWND parent, Aqua::Rect place);
    const SystemSummary& summary() const { return summary_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    SystemSummary summary_;
};

}  // namespace GUI::SystemInfo
