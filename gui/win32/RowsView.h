#pragma once
// The pattern the backups, profiles and tweak-sets views share: a child
// window with a scrolling list of rows laid out at 100% by a window-free
// list class, drawn and hit at the window's scale, with the toolkit's scroll
// bar at the right. The views report to their parent (the main window) by
// posting WM_COMMAND with the command table's ids.
#include "core/rti/Reference.h"
#include "gui/TweaksList.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/aqua/win32/Window.h"

namespace GUI {

class RowsView : public Control {
public:
    static constexpr int kScrollBarWidth = 17;

    // A child of `parent` at `place` (in pixels of the parent).
    bool CreateView(HWND parent, Aqua::Rect place);
    Scrollbar* scrollbar() const { return scrollbar_.Get(); }
    int scroll() const { return scroll_; }
    // The list's width at 100%, for its layout.
    int ListWidth() const;

protected:
    explicit RowsView(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override { Relayout(); }

    // The content's height at 100% (the scroll range).
    virtual int ContentHeight() const = 0;
    // A left-button release at a point of the list at 100%.
    virtual void OnClick(int x, int y) = 0;
    // Layout after a size or scale change; then the scroll range is set again.
    virtual void OnLayout() {}

    // A rectangle of the list (100%) in the window's pixels, scrolled.
    Aqua::Rect Place(const GUI::Rect& r) const;
    Aqua::Rect Place(int x, int y, int width, int height) const { return Place(GUI::Rect{x, y, width, height}); }
    // Sets the scroll range after the content changed, and repaints.
    void Relayout();
    void ResetScroll();
    void Post(int command, LPARAM parameter) const;
    Aqua::FontSpec TextFont(double size = 8, uint8_t style = Aqua::kRegular) const;

private:
    int Unscale(int px) const;

    RTI::Reference<Scrollbar> scrollbar_;
    int scroll_ = 0;  // in the window's pixels
};

}  // namespace GUI
