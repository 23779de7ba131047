#include "gui/panels/GuardTicker.h"

namespace GUI {

bool GuardTicker::Create()
{
    if (!CreateHandle(0, L"Corvane startup guard", 0, 0, 0, 0, 0, HWND_MESSAGE, 0)) {
        return false;
    }
    guard_.SetTimerSwitch([this](bool on) {
        running_ = on;
        if (on) {
            SetTimer(hwnd(), StartUp::kGuardTimerId, period_, nullptr);
        } else {
            KillTimer(hwnd(), StartUp::kGuardTimerId);
        }
    });
    return true;
}

GuardTicker::~GuardTicker()
{
    guard_.SetTimerSwitch({});
}

LRESULT GuardTicker::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == StartUp::kGuardTimerId) {
        const std::vector<StartUp::ListedEntry> appeared = guard_.OnTick();
        if (!appeared.empty() && onAppeared) {
            onAppeared(appeared);
        }
        return 0;
    }
    return WindowBase::Handle(message, wParam, lParam);
}

}  // namespace GUI
