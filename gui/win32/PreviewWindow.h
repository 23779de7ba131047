#pragma once
// The tune-up preview: the selected tweaks that are not in effect, each with
// the places it changes (location: now -> then), and the buttons "Tune Up!"
// and "Cancel". Shown modally over the main window.
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/aqua/win32/Window.h"
#include "tweaker/Preview.h"

namespace GUI {

// One line of the preview list: a tweak's heading or one of its changes.
struct PreviewLine {
    enum class Kind { Lead, Heading, Place, Values } kind = Kind::Place;
    std::wstring text;
};

std::vector<PreviewLine> PreviewLines(const std::vector<Tweaker::TweakChange>& changes);

class PreviewList : public Control {
public:
    static constexpr int kLineHeight = 18;
    explicit PreviewList(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    bool Create(HWND parent, Aqua::Rect place, std::vector<PreviewLine> lines);
    void Wheel(int delta);

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Each line's top, wrapped to the list's width at its scale; the last
    // entry is the end of the text.
    void LayOut(int width);

    std::vector<PreviewLine> lines_;
    std::vector<int> tops_;
    int laidOutWidth_ = -1;
    int laidOutScale_ = -1;
    RTI::Reference<Scrollbar> scroll_;
};

class PreviewWindow : public Window {
public:
    static constexpr int kTuneUp = 5015;
    static constexpr int kCancel = 5010;

    PreviewWindow(Aqua::Toolkit& toolkit, IFrame& frame) : Window(toolkit, frame) {}
    // Shows the preview over `owner` (disabled meanwhile) until a button, Enter,
    // Esc or the close box answers; true for "Tune Up!".
    bool Run(HWND owner, const std::wstring& title, const std::vector<Tweaker::TweakChange>& changes);

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCaptionButton(LRESULT hit) override;

private:
    void Answer(bool tuneUp);

    RTI::Reference<PreviewList> list_;
    RTI::Reference<Button> tuneUp_;
    RTI::Reference<Button> cancel_;
    bool answered_ = false;
    bool result_ = false;
};

}  // namespace GUI
