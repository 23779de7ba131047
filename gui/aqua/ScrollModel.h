#pragma once
// The scroll bar's numbers: position, range, step and page, and where the
// thumb lies in the track. The thumb is always computed from the position, so
// stepping can never carry it past the end.
namespace GUI::Aqua {

class ScrollModel {
public:
    // Content of `content` pixels seen through `visible` pixels, with a track
    // of `track` pixels between the arrows and a thumb at least `minThumb` long.
    // Longer content enables the bar: step = visible / 10 (at least 1), page =
    // visible - step, maximum = content - visible, the position kept inside.
    // Otherwise the bar is disabled and everything is 0.
    void SetRange(int content, int visible, int track, int minThumb);

    bool enabled() const { return maximum_ > 0; }
    int position() const { return position_; }
    int maximum() const { return maximum_; }
    int step() const { return step_; }
    int page() const { return page_; }
    int content() const { return content_; }

    // Each returns true when the position changed.
    bool StepDown() { return SetPosition(position_ + step_); }
    bool StepUp() { return SetPosition(position_ - step_); }
    bool PageDown() { return SetPosition(position_ + page_); }
    bool PageUp() { return SetPosition(position_ - page_); }
    bool SetPosition(int position);
    // Dragging: the thumb's top wanted at `offset` in the track.
    bool DragThumbTo(int offset);

    int thumbOffset() const;
    int thumbLength() const;
    int trackLength() const { return track_; }

private:
    int content_ = 0;
    int visible_ = 0;
    int track_ = 0;
    int minThumb_ = 0;
    int position_ = 0;
    int maximum_ = 0;
    int step_ = 0;
    int page_ = 0;
};

}  // namespace GUI::Aqua
