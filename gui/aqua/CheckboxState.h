#pragma once
// The check box's states and how the mouse moves it between them. States 0-2
// are unticked (normal, pointer over, pressed), 4-6 ticked; the state is also
// the frame of the check-box strip that draws it.
namespace GUI::Aqua {

class CheckboxState {
public:
    enum : int {
        kUnticked = 0,
        kUntickedHot = 1,
        kUntickedPressed = 2,
        kTicked = 4,
        kTickedHot = 5,
        kTickedPressed = 6
    };

    struct Change {
        bool changed = false;  // repaint the box
        bool toggled = false;  // tell the host
    };

    explicit CheckboxState(bool ticked = false) : state_(ticked ? kTicked : kUnticked) {}

    int state() const { return state_; }
    bool ticked() const { return state_ >= kTicked; }
    bool pressed() const { return pressed_; }
    int StripFrame() const { return state_; }
    void SetTicked(bool ticked);

    // `inBox` says whether the pointer is over the box. A press inside starts
    // tracking (the host captures the mouse); while tracked, leaving the box
    // shows the normal look and coming back shows the pressed look again; a
    // release over the box toggles, anywhere else leaves the tick as it was.
    Change OnPress(bool inBox);
    Change OnMove(bool inBox);
    Change OnLeave();
    Change OnRelease(bool inBox);
    // Space or Enter with the focus on the box.
    Change OnKey();

private:
    Change SetState(int state);

    int state_;
    bool pressed_ = false;
};

}  // namespace GUI::Aqua
