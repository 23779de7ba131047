#pragma once
// Drawn controls: they live inside a host window, which paints them and feeds
// them the mouse. Check box, group box and the wrapped native edit box.
#include <string>
#include <vector>

#include "core/rti/Dynamic.h"
#include "core/rti/Reference.h"
#include "gui/aqua/CheckboxState.h"
#include "gui/aqua/Painters.h"
#include "gui/aqua/win32/Accessible.h"
#include "gui/aqua/win32/Window.h"

namespace GUI {

class IControl : public RTI::Dynamic {
public:
    virtual void Paint(Aqua::DrawList& list, const Aqua::Scaler& scaler) = 0;
    virtual void SetRect(int x, int y, int width) = 0;
    virtual Aqua::Rect GetRect() const = 0;
    // The height the control takes at a scale.
    virtual int Height(const Aqua::Scaler&) const { return GetRect().height; }
    // Mouse and keyboard notifications; false when not handled.
    virtual bool OnMouseMove(HWND, Aqua::Point) { return false; }
    virtual bool OnLeftDown(HWND, Aqua::Point) { return false; }
    virtual bool OnMouseLeave(HWND, Aqua::Point) { return false; }
    virtual bool OnLeftUp(HWND, Aqua::Point) { return false; }
    virtual bool OnKey(HWND, int) { return false; }
    virtual bool focusable() const { return false; }
    virtual void SetFocused(bool) {}
    // The controls the focus mark visits, in Tab order: this one when it is
    // focusable, and those it holds.
    virtual void CollectFocusable(std::vector<IControl*>& out)
    {
        if (focusable()) {
            out.push_back(this);
        }
    }
    // What a screen reader is told of the control (and of the controls in
    // it), appended in the order they are drawn; nothing by default.
    virtual void Describe(std::vector<Aqua::AccessibleChild>&) const {}
};

class Checkbox : public IControl {
public:
    static constexpr int kToggleCommand = 5014;

    Checkbox(std::wstring caption, bool ticked) : caption_(std::move(caption)), state_(ticked) {}
    void Paint(Aqua::DrawList& list, const Aqua::Scaler& scaler) override;
    void SetRect(int x, int y, int width) override { rect_ = {x, y, width, rect_.height}; }
    Aqua::Rect GetRect() const override { return rect_; }
    int Height(const Aqua::Scaler& scaler) const override { return scaler.Scale(16); }
    bool OnMouseMove(HWND host, Aqua::Point p) override;
    bool OnLeftDown(HWND host, Aqua::Point p) override;
    bool OnMouseLeave(HWND host, Aqua::Point p) override;
    bool OnLeftUp(HWND host, Aqua::Point p) override;
    bool OnKey(HWND host, int key) override;
    bool focusable() const override { return true; }
    void SetFocused(bool focused) override { focused_ = focused; }
    void Describe(std::vector<Aqua::AccessibleChild>& out) const override;

    const Aqua::CheckboxState& state() const { return state_; }
    // For showing a state without a mouse (the gallery).
    Aqua::CheckboxState& stateMachine() { return state_; }
    void SetTicked(bool ticked) { state_.SetTicked(ticked); }
    const std::wstring& caption() const { return caption_; }

private:
    bool Apply(HWND host, Aqua::CheckboxState::Change change);

    std::wstring caption_;
    Aqua::CheckboxState state_;
    Aqua::Rect rect_{0, 0, 0, 16};
    Aqua::Scaler scaler_;
    bool focused_ = false;
};

class GroupBox : public IControl {
public:
    GroupBox(std::wstring caption, std::wstring image) : caption_(std::move(caption)), image_(std::move(image)) {}
    void Add(RTI::Reference<IControl> child) { children_.push_back(std::move(child)); }
    // The colour the caption stands on: the host's background.
    void SetBackground(uint32_t argb) { background_ = argb; }
    void Paint(Aqua::DrawList& list, const Aqua::Scaler& scaler) override;
    // The height its children need at a scale, before it was painted.
    int Height(const Aqua::Scaler& scaler) const override;
    void SetRect(int x, int y, int width) override;
    Aqua::Rect GetRect() const override { return rect_; }
    bool OnMouseMove(HWND host, Aqua::Point p) override;
    bool OnLeftDown(HWND host, Aqua::Point p) override;
    bool OnMouseLeave(HWND host, Aqua::Point p) override;
    bool OnLeftUp(HWND host, Aqua::Point p) override;
    void Describe(std::vector<Aqua::AccessibleChild>& out) const override;
    void CollectFocusable(std::vector<IControl*>& out) override;

private:
    // Passes a notification to every child; true when one handled it.
    template <typename Notify>
    bool ToChildren(Notify notify)
    {
        bool handled = false;
        for (auto& child : children_) {
            handled = notify(*child) || handled;
        }
        return handled;
    }

    std::wstring caption_;
    std::wstring image_;
    std::vector<RTI::Reference<IControl>> children_;
    Aqua::Rect rect_;
    Aqua::Scaler scaler_;
    uint32_t background_ = 0xFFFFFFFF;
};

// A native single-line edit box as a drawn control.
class Edit : public IControl {
public:
    explicit Edit(std::wstring text) : text_(std::move(text)) {}
    ~Edit() override;
    bool Create(HWND host);
    void Show(bool show);
    void Paint(Aqua::DrawList&, const Aqua::Scaler&) override {}
    void SetRect(int x, int y, int width) override;
    Aqua::Rect GetRect() const override;
    HWND hwnd() const { return edit_; }

private:
    std::wstring text_;
    HWND edit_ = nullptr;
};

// A child window holding drawn controls: paints them over a background and
// passes them the mouse (with the capture while a button is held) and the
// keys; Tab moves the focus mark between focusable controls.
class ControlHost : public Control {
public:
    explicit ControlHost(Aqua::Toolkit& toolkit, uint32_t background = 0xFFFFFFFF)
        : Control(toolkit), background_(background)
    {
    }
    bool Create(HWND parent, Aqua::Rect place);
    void Add(RTI::Reference<IControl> control) { controls_.push_back(std::move(control)); }
    const std::vector<RTI::Reference<IControl>>& controls() const { return controls_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Moves the focus mark to the next (1) or previous (-1) focusable control.
    void MoveFocus(int direction);

    std::vector<RTI::Reference<IControl>> controls_;
    uint32_t background_;
    IControl* focused_ = nullptr;  // one of controls_ or held by one of them
};

}  // namespace GUI
