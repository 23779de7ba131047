#pragma once
// The details of one tweak: its description, the places it changes with what
// they hold now, the administrator line, and one editor per editable value
// (an edit box with "Recommended" and "From Registry", or a "Presets" group
// of check boxes). Editors change only the pending values of TweakDetails;
// OK and Cancel are the main window's.
#include <functional>
#include <vector>

#include "core/rti/Reference.h"
#include "gui/TweakDetails.h"
#include "gui/aqua/win32/Controls.h"

namespace GUI {

class TweakInfoView : public Control {
public:
    static constexpr int kFirstButton = 7100;  // Recommended 7100 + 2i, From Registry 7101 + 2i
    static constexpr int kFirstEdit = 7300;
    static constexpr uint32_t kBackground = 0xFFE0DFE3;

    // `mayEdit` says whether values may change now (no run active); when it
    // says no, the view tells the user through `refuse`.
    TweakInfoView(Aqua::Toolkit& toolkit, TweakDetails& details, std::function<bool()> mayEdit)
        : Control(toolkit), details_(details), mayEdit_(std::move(mayEdit))
    {
    }
    bool Create(HWND parent, Aqua::Rect place);
    // Rebuilds the editors from the details (after TweakDetails::Show).
    void Rebuild();
    // The edit box of editor `i` (range editors), for tests and the keyboard.
    HWND EditOf(size_t editor) const;

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override { Rebuild(); }

private:
    // Where everything goes, in pixels at the window's scale.
    struct Place {
        std::wstring heading, body;
        int headingHeight = 0;
        int bodyTop = 0;
        int bodyHeight = 0;
        int changesTop = 0;
        std::vector<int> changeTops;
        std::vector<int> changeHeights;
        std::vector<int> editorTops;
    };
    Place Layout() const;
    // The height `text` takes wrapped at words in `width` pixels.
    int Measure(const std::wstring& text, const Aqua::FontSpec& font, int width) const;
    void Clear();
    void SetEditText(size_t editor);
    void ClickPreset(Aqua::Point p);

    TweakDetails& details_;
    std::function<bool()> mayEdit_;
    std::vector<HWND> edits_;  // one per editor; null for presets
    std::vector<RTI::Reference<Button>> buttons_;
    HFONT font_ = nullptr;
    bool filling_ = false;
};

}  // namespace GUI
