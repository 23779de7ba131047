#pragma once
// One row of the tuning view: draws its Section (icon, name, "Customize...",
// status, summary and the ten cells; grey while not analysed or pending) and
// sends 5005 with its category when "Customize..." is clicked while active.
#include "gui/Section.h"
#include "gui/aqua/win32/Window.h"

namespace GUI {

class SectionWindow : public Control {
public:
    static constexpr int kWidth = 388;
    static constexpr int kHeight = 75;

    SectionWindow(Aqua::Toolkit& toolkit, Section& section) : Control(toolkit), section_(section) {}
    // A child of `frame`, which gets the commands.
    bool Create(HWND frame, Aqua::Rect place);
    const Section& section() const { return section_; }
    // The "Customize..." hit rectangle at this window's scale.
    Aqua::Rect CustomizeRect() const;

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Section& section_;
};

// The colour as the desaturating matrix draws it: each channel a third of the sum.
uint32_t Desaturate(uint32_t argb);

}  // namespace GUI
