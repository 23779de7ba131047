#pragma once
// The fade of the settings and support panels as plain state: each 50 ms tick
// moves the opacity 64 steps towards 224 (in) or 0 (out). The window sets its
// layered opacity to opacity() after every call and hides itself when a
// fade-out has ended.
#include <cstdint>

namespace GUI {

class Fade {
public:
    static constexpr uint32_t kTimerMilliseconds = 50;
    static constexpr int kStep = 64;
    // Fully shown panels stay slightly translucent.
    static constexpr int kShownOpacity = 224;

    enum class Phase { Hidden, FadingIn, Shown, FadingOut };

    // What the window does after a call.
    struct Step {
        int opacity = 0;
        bool runTimer = false;  // keep (or start) the fade timer
        bool visible = false;   // the window is shown
    };

    // Starts fading in from the current opacity (a fade-out in progress turns
    // round). Showing a shown panel changes nothing.
    Step FadeIn();
    // Starts fading out from the current opacity; a hidden panel stays hidden.
    Step FadeOut();
    // Hides at once (no fade).
    Step Hide();
    // One timer tick.
    Step Tick();

    Phase phase() const { return phase_; }
    int opacity() const { return opacity_; }

private:
    Step Current() const;

    Phase phase_ = Phase::Hidden;
    int opacity_ = 0;
};

}  // namespace GUI
