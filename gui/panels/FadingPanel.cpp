#include "gui/panels/FadingPanel.h"

namespace GUI {

bool FadingPanel::CreatePanel(HWND owner, const wchar_t* text, int x, int y)
{
    owner_ = owner;
    const Aqua::Scaler s(Aqua::WindowDpi(owner));
    if (!CreateHandle(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, text, WS_POPUP | WS_CLIPCHILDREN, x, y,
                      s.Scale(kWidth), s.Scale(kHeight), owner, 0)) {
        return false;
    }
    SetLayeredWindowAttributes(hwnd(), 0, 0, LWA_ALPHA);
    return true;
}

void FadingPanel::Apply(const Fade::Step& step)
{
    SetLayeredWindowAttributes(hwnd(), 0, static_cast<BYTE>(step.opacity), LWA_ALPHA);
    if (step.visible && !IsWindowVisible(hwnd())) {
        ShowWindow(hwnd(), SW_SHOWNA);
    } else if (!step.visible && IsWindowVisible(hwnd())) {
        ShowWindow(hwnd(), SW_HIDE);
    }
    if (step.runTimer) {
        SetTimer(hwnd(), kFadeTimer, Fade::kTimerMilliseconds, nullptr);
    } else {
        KillTimer(hwnd(), kFadeTimer);
    }
}

void FadingPanel::FadeIn()
{
    Apply(fade_.FadeIn());
}

void FadingPanel::FadeOut()
{
    Apply(fade_.FadeOut());
}

void FadingPanel::HideNow()
{
    Apply(fade_.Hide());
}

int FadingPanel::Opacity() const
{
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(hwnd(), nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) {
        return -1;
    }
    return alpha;
}

void FadingPanel::PostToOwner(int command) const
{
    PostMessageW(owner_, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(hwnd()));
}

LRESULT FadingPanel::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_TIMER:
            if (wParam == kFadeTimer) {
                Apply(fade_.Tick());
                return 0;
            }
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
