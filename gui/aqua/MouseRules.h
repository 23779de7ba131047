#pragma once
// The rules every pressable thing follows under the mouse, and the wheel.
namespace GUI::Aqua {

// A button or menu item acts only when the press began on it and it is still
// enabled when the button is released over it. Ids are the commands (0 = none).
class PressTracker {
public:
    // True when the press starts tracking (the caller captures the mouse).
    bool OnPress(int id, bool enabled);
    // The command to act on, or 0; tracking ends either way.
    int OnRelease(int idUnderPointer, bool enabledNow);
    // The capture was taken away: forget the press.
    void Cancel() { pressed_ = 0; }
    int pressed() const { return pressed_; }

private:
    int pressed_ = 0;
};

// Adds wheel deltas and answers whole notches of 120, so that fine-grained
// wheels and touchpads step as often as a plain wheel does.
class WheelAccumulator {
public:
    static constexpr int kNotch = 120;
    // The number of steps to take: positive away from the user (up), negative
    // towards. The remainder waits for the next delta; a change of direction
    // drops it.
    int Add(int delta);
    void Reset() { pending_ = 0; }

private:
    int pending_ = 0;
};

}  // namespace GUI::Aqua
