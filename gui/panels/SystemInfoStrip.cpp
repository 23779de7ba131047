#include "gui/panels/SystemInfoStrip.h"

#include "gui/PanelPaint.h"

namespace GUI::SystemInfo {

bool Strip::Create(HWND parent, Aqua::Rect place)
{
    if (!CreateHandle(0, L"", WS_CHILD | WS_VISIBLE, place.x, place.y, place.width, place.height, parent, 0)) {
        return false;
    }
    SetTimer(hwnd(), kTimer, SystemSummary::kTimerMilliseconds, nullptr);
    return true;
}

void Strip::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    PaintSummaryStrip(list, scaler(), size, summary_.Current());
}

LRESULT Strip::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimer) {
        if (summary_.Tick()) {
            Invalidate();
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        KillTimer(hwnd(), kTimer);
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI::SystemInfo
