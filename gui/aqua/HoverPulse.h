#pragma once
// The gamma that makes a hovered button pulse: it swings between 0.7 and 1.8
// in steps of 0.2 on every timer tick (70 ms) and rests at 1.0.
namespace GUI::Aqua {

class HoverPulse {
public:
    static constexpr int kIntervalMs = 70;

    void Start();  // gamma 1.8, stepping by 0.2
    void Stop();   // gamma 1.0
    void Tick();   // no effect while stopped
    bool running() const { return running_; }
    double gamma() const { return tenths_ / 10.0; }

private:
    // Tenths, so that the swing never drifts by rounding.
    int tenths_ = 10;
    int step_ = 2;
    bool running_ = false;
};

}  // namespace GUI::Aqua
