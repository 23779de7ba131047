#pragma once
// The tweaks of one category: the filter box, one row per tweak with its
// "Apply" selection box, the on/off switch of two-state tweaks, the state
// band and the "Details..."/"Configure..." link, and the scroll bar. What a
// click asks for goes to the host (the main window), which owns the changes.
#include <optional>

#include "core/rti/Reference.h"
#include "gui/Keyboard.h"
#include "gui/TweaksList.h"
#include "gui/aqua/win32/Controls.h"

namespace GUI {

class ITweaksViewHost {
public:
    virtual void ToggleSelection(int row) = 0;
    virtual void ToggleSwitch(int row) = 0;
    virtual void OpenRowDetails(int row) = 0;
    // Keys the view does not use itself (Tab, Space, Enter, Esc, F5).
    virtual void ViewKey(UINT key) = 0;

protected:
    ~ITweaksViewHost() = default;
};

class TweaksView : public Control {
public:
    static constexpr int kFilterHeight = 28;
    static constexpr int kFilterId = 7001;

    TweaksView(Aqua::Toolkit& toolkit, ITweaksViewHost& host) : Control(toolkit), host_(host) {}
    bool Create(HWND parent, Aqua::Rect place);
    // Shows the category's rows (the filter emptied, scrolled to the top).
    void Show(RTI::Reference<Tweaker::Group> category);
    // Re-reads the rows after a change; keeps filter and scroll.
    void Refresh();
    TweaksList& list() { return list_; }
    HWND filterBox() const { return filter_; }
    // The focused box of the keyboard's order, drawn with a focus mark.
    void SetFocusItem(std::optional<FocusItem> item);
    void Wheel(int delta);
    // Where a row part lies in this window's client coordinates.
    Aqua::Rect Place(const Rect& listRect) const;

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override;

private:
    int ListWidth100() const;
    void UpdateScroll();
    void Click(Aqua::Point p);

    ITweaksViewHost& host_;
    TweaksList list_;
    HWND filter_ = nullptr;
    HFONT filterFont_ = nullptr;
    RTI::Reference<Scrollbar> scroll_;
    std::optional<FocusItem> focus_;
    bool settingFilter_ = false;
};

}  // namespace GUI
