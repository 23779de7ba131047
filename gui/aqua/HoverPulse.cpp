#include "gui/aqua/HoverPulse.h"

namespace GUI::Aqua {

void HoverPulse::Start()
{
    tenths_ = 18;
    step_ = 2;
    running_ = true;
}

void HoverPulse::Stop()
{
    tenths_ = 10;
    running_ = false;
}

void HoverPulse::Tick()
{
    if (!running_) {
        return;
    }
    if (tenths_ + step_ < 7 || tenths_ + step_ > 18) {
        step_ = -step_;
    }
    tenths_ += step_;
}

}  // namespace GUI::Aqua
