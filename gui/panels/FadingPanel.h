#pragma once
// A translucent pop-up panel over the main window's views: a layered window
// that fades in to opacity 224 and out to hidden on a 50 ms timer. The
// settings and support panels derive from it; the main window places it over
// its views' area and passes it the action bar's commands through
// CommandHook.
#include "gui/Fade.h"
#include "gui/aqua/win32/Window.h"

namespace GUI {

class FadingPanel : public Control {
public:
    static constexpr UINT_PTR kFadeTimer = 1;
    // The panel's size at 100%.
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 330;

    // The action bar's command (5008, 5010) for the panel; false when it is
    // not the panel's.
    virtual bool CommandHook(int command) = 0;

    void FadeIn();
    void FadeOut();
    // Hidden at once (showing another view hides the settings panel at once).
    void HideNow();
    const Fade& fade() const { return fade_; }
    // The layered window's opacity as the system holds it.
    int Opacity() const;
    HWND owner() const { return owner_; }

protected:
    explicit FadingPanel(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    // A hidden pop-up owned by `owner`, at the screen position (x, y).
    bool CreatePanel(HWND owner, const wchar_t* text, int x, int y);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_COMMAND from the panel's own buttons and controls.
    virtual void OnCommand(int command) { (void)CommandHook(command); }
    void PostToOwner(int command) const;

private:
    void Apply(const Fade::Step& step);

    Fade fade_;
    HWND owner_ = nullptr;
};

}  // namespace GUI
