#include "gui/aqua/MouseRules.h"

namespace GUI::Aqua {

bool PressTracker::OnPress(int id, bool enabled)
{
    pressed_ = enabled ? id : 0;
    return pressed_ != 0;
}

int PressTracker::OnRelease(int idUnderPointer, bool enabledNow)
{
    const int pressed = pressed_;
    pressed_ = 0;
    return pressed != 0 && pressed == idUnderPointer && enabledNow ? pressed : 0;
}

int WheelAccumulator::Add(int delta)
{
    if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0)) {
        pending_ = 0;
    }
    pending_ += delta;
    const int steps = pending_ / kNotch;
    pending_ -= steps * kNotch;
    return steps;
}

}  // namespace GUI::Aqua
