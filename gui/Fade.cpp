#include "gui/Fade.h"

namespace GUI {

Fade::Step Fade::Current() const
{
    Step step;
    step.opacity = opacity_;
    step.runTimer = phase_ == Phase::FadingIn || phase_ == Phase::FadingOut;
    step.visible = phase_ != Phase::Hidden;
    return step;
}

Fade::Step Fade::FadeIn()
{
    if (phase_ != Phase::Shown) {
        phase_ = Phase::FadingIn;
    }
    return Current();
}

Fade::Step Fade::FadeOut()
{
    if (phase_ != Phase::Hidden) {
        phase_ = Phase::FadingOut;
    }
    return Current();
}

Fade::Step Fade::Hide()
{
    phase_ = Phase::Hidden;
    opacity_ = 0;
    return Current();
}

Fade::Step Fade::Tick()
{
    if (phase_ == Phase::FadingIn) {
        opacity_ += kStep;
        if (opacity_ >= kShownOpacity) {
            opacity_ = kShownOpacity;
            phase_ = Phase::Shown;
        }
    } else if (phase_ == Phase::FadingOut) {
        opacity_ -= kStep;
        if (opacity_ <= 0) {
            opacity_ = 0;
            phase_ = Phase::Hidden;
        }
    }
    return Current();
}

}  // namespace GUI
