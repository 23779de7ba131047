// Every command without a mouse: the keys of the window and its children,
// through a keyboard hook of the user-interface thread, go to Keyboard.
#include "gui/win32/MainFrame.h"

namespace GUI {

bool MainFrame::OnKey(UINT vk, bool shift)
{
    Key key;
    switch (vk) {
        case VK_TAB:
            key = shift ? Key::ShiftTab : Key::Tab;
            break;
        case VK_SPACE:
            key = Key::Space;
            break;
        case VK_RETURN:
            key = Key::Enter;
            break;
        case VK_ESCAPE:
            key = Key::Escape;
            break;
        case VK_F5:
            key = Key::F5;
            break;
        default:
            return false;
    }
    std::vector<int> enabled;
    for (int id : navigator_.Buttons()) {
        if (navigator_.IsEnabled(id)) {
            enabled.push_back(id);
        }
    }
    static const std::vector<TweakRow> kNoRows;
    const std::vector<TweakRow>& rows =
        navigator_.View() == ViewId::Tweaks && tweaksView_ ? tweaksView_->list().Rows() : kNoRows;
    const KeyResult result = keyboard_.Press(key, enabled, rows);
    // Show where the focus is now.
    const std::vector<FocusItem> order = Keyboard::Order(enabled, rows);
    const int focus = keyboard_.FocusIndex();
    if (focus >= 0 && focus < static_cast<int>(order.size())) {
        const FocusItem item = order[focus];
        if (item.kind == FocusItem::Kind::Button) {
            if (Button* button = actions_->ButtonOf(item.id)) {
                SetFocus(button->hwnd());
            }
            tweaksView_->SetFocusItem(std::nullopt);
        } else {
            SetFocus(hwnd());
            tweaksView_->SetFocusItem(item);
        }
    }
    switch (result.kind) {
        case KeyResult::Kind::Command:
            OnCommand(result.command, result.parameter);
            break;
        case KeyResult::Kind::ToggleSelect:
            ToggleSelection(result.row);
            break;
        case KeyResult::Kind::ToggleSwitch:
            ToggleSwitch(result.row);
            break;
        case KeyResult::Kind::None:
            break;
    }
    return true;
}

LRESULT CALLBACK MainFrame::KeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    MainFrame* frame = keyboardFrame_;
    const bool down = (lParam & (1LL << 31)) == 0;
    if (code == HC_ACTION && down && frame && frame->hwnd() && GetActiveWindow() == frame->hwnd() &&
        IsWindowEnabled(frame->hwnd())) {
        const UINT vk = static_cast<UINT>(wParam);
        wchar_t cls[16] = {};
        GetClassNameW(GetFocus(), cls, 16);
        const bool inEdit = _wcsicmp(cls, L"Edit") == 0;
        const bool inStartupList = frame->startupView_ && GetFocus() == frame->startupView_->hwnd();
        // In an edit box Space and Enter type, in the startup list Space ticks;
        // Tab, Esc and F5 still move on.
        const bool ours = vk == VK_TAB || vk == VK_ESCAPE || vk == VK_F5 ||
                          (!inEdit && !inStartupList && (vk == VK_SPACE || vk == VK_RETURN));
        if (ours && frame->OnKey(vk, GetKeyState(VK_SHIFT) < 0)) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace GUI
