#include "gui/aqua/CheckboxState.h"

namespace GUI::Aqua {

CheckboxState::Change CheckboxState::SetState(int state)
{
    const bool changed = state != state_;
    state_ = state;
    return {changed, false};
}

void CheckboxState::SetTicked(bool ticked)
{
    pressed_ = false;
    state_ = ticked ? kTicked : kUnticked;
}

CheckboxState::Change CheckboxState::OnPress(bool inBox)
{
    if (!inBox) {
        return {};
    }
    pressed_ = true;
    return SetState(ticked() ? kTickedPressed : kUntickedPressed);
}

CheckboxState::Change CheckboxState::OnMove(bool inBox)
{
    const int base = ticked() ? kTicked : kUnticked;
    if (pressed_) {
        return SetState(inBox ? base + 2 : base);
    }
    return SetState(inBox ? base + 1 : base);
}

CheckboxState::Change CheckboxState::OnLeave()
{
    // While pressed the host holds the capture and keeps sending moves; a
    // leave then only drops the hover look.
    return SetState(ticked() ? kTicked : kUnticked);
}

CheckboxState::Change CheckboxState::OnRelease(bool inBox)
{
    if (!pressed_) {
        return {};
    }
    pressed_ = false;
    if (!inBox) {
        return SetState(ticked() ? kTicked : kUnticked);
    }
    // Toggle and keep the pointer-over look of the new state.
    Change change = SetState(ticked() ? kUntickedHot : kTickedHot);
    change.toggled = true;
    return change;
}

CheckboxState::Change CheckboxState::OnKey()
{
    pressed_ = false;
    const int hot = state_ == kUntickedHot || state_ == kTickedHot ? 1 : 0;
    Change change = SetState((ticked() ? kUnticked : kTicked) + hot);
    change.toggled = true;
    return change;
}

}  // namespace GUI::Aqua
