#include "gui/aqua/ScrollModel.h"

#include <algorithm>

namespace GUI::Aqua {

namespace {

// a * b / c rounded to the nearest integer, in 64 bits.
int MulDivRound(long long a, long long b, long long c)
{
    if (c <= 0) {
        return 0;
    }
    return static_cast<int>((a * b + c / 2) / c);
}

}  // namespace

void ScrollModel::SetRange(int content, int visible, int track, int minThumb)
{
    content_ = std::max(0, content);
    visible_ = std::max(0, visible);
    track_ = std::max(0, track);
    minThumb_ = std::clamp(minThumb, 0, track_);
    if (content_ > visible_ && visible_ > 0) {
        step_ = std::max(1, visible_ / 10);
        maximum_ = content_ - visible_;
        page_ = std::max(1, visible_ - step_);
        position_ = std::clamp(position_, 0, maximum_);
    } else {
        step_ = maximum_ = page_ = position_ = 0;
    }
}

bool ScrollModel::SetPosition(int position)
{
    const int clamped = std::clamp(position, 0, maximum_);
    const bool changed = clamped != position_;
    position_ = clamped;
    return changed;
}

int ScrollModel::thumbLength() const
{
    if (!enabled()) {
        return 0;
    }
    return std::clamp(MulDivRound(track_, visible_, content_), minThumb_, track_);
}

int ScrollModel::thumbOffset() const
{
    if (!enabled()) {
        return 0;
    }
    // The free part of the track maps onto the positions 0..maximum.
    return MulDivRound(track_ - thumbLength(), position_, maximum_);
}

bool ScrollModel::DragThumbTo(int offset)
{
    const int free = track_ - thumbLength();
    if (!enabled() || free <= 0) {
        return false;
    }
    return SetPosition(MulDivRound(std::clamp(offset, 0, free), maximum_, free));
}

}  // namespace GUI::Aqua
