#pragma once
// The window controls: Button and the action bar, the scroll bar, the menu,
// the help button with its info pop-up, and the title strip.
#include <map>
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "gui/aqua/ActionsLayout.h"
#include "gui/aqua/CheckboxState.h"
#include "gui/aqua/ControlLayouts.h"
#include "gui/aqua/HoverPulse.h"
#include "gui/aqua/MouseRules.h"
#include "gui/aqua/Painters.h"
#include "gui/aqua/ScrollModel.h"
#include "gui/aqua/win32/Window.h"

namespace GUI {

class Button : public Control {
public:
    explicit Button(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    // A child of `parent` sending WM_COMMAND `id` to it when clicked.
    bool Create(HWND parent, int id, const std::wstring& caption, Aqua::Rect place, bool defaultButton = false);
    void Enable(bool enabled);
    bool enabled() const { return enabled_; }
    int id() const { return id_; }
    // The caption's width plus room for the caps, and the bar's 30 pixels.
    Aqua::PreferredSize Preferred();
    const Aqua::HoverPulse& pulse() const { return pulse_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    bool ShowsParent() const override { return true; }
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Click();

    int id_ = 0;
    std::wstring caption_;
    bool enabled_ = true;
    bool default_ = false;
    bool hover_ = false;
    Aqua::PressTracker press_;
    Aqua::HoverPulse pulse_;
};

class Actions : public Control {
public:
    explicit Actions(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    bool Create(HWND parent, Aqua::Rect place);
    void AddButton(int id, const std::wstring& caption);
    // Shows exactly the buttons of `ids` (in ascending id) and lays them out.
    void Show(const std::vector<int>& ids);
    void EnableButton(int id, bool enabled);
    Button* ButtonOf(int id) const;

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override { Layout(); }

private:
    void Layout();

    std::map<int, RTI::Reference<Button>> buttons_;
    std::vector<int> shown_;
};

class Scrollbar : public Control {
public:
    static constexpr UINT_PTR kRepeatTimer = 1;
    explicit Scrollbar(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    bool Create(HWND parent, Aqua::Rect place);
    // Content of `content` pixels in a view `visible` high.
    void SetRange(int content, int visible);
    void StepUp();
    void StepDown();
    // Scrolls to a position (clamped), telling the parent as a move does.
    void SetPosition(int position);
    int position() const { return model_.position(); }
    const Aqua::ScrollModel& model() const { return model_; }
    // The wheel, forwarded by the view: steps once per notch.
    void Wheel(int delta);

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override;

private:
    enum class Part { None, Up, Down, Thumb, TrackAbove, TrackBelow };
    Part PartAt(Aqua::Point p) const;
    void Changed(bool moved);
    void Act(Part part);
    int TrackLength() const;

    Aqua::ScrollModel model_;
    int content_ = 0;
    int visible_ = 0;
    Part hover_ = Part::None;
    Part pressed_ = Part::None;
    int dragGrab_ = 0;  // where in the thumb the drag began
    Aqua::WheelAccumulator wheel_;
};

// A pop-up that belongs to a window (the menu, the help button): it never
// takes the activation from its owner, sends its commands to it, and drops a
// press when the capture goes elsewhere.
class OwnedPopup : public Control {
protected:
    explicit OwnedPopup(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_COMMAND (command, this window) to the owner.
    void SendToOwner(int command) const;

    HWND owner_ = nullptr;
    bool enabled_ = true;
    Aqua::PressTracker press_;
};

class Menu : public OwnedPopup {
public:
    struct Item {
        std::wstring caption;
        int command = 0;
        std::wstring image;
        std::wstring highlightedImage;
    };
    static constexpr int kItemHeight = 72;

    explicit Menu(Aqua::Toolkit& toolkit) : OwnedPopup(toolkit) {}
    // A pop-up owned by `owner`, which gets WM_COMMAND (command, menu window).
    bool Create(HWND owner, const std::wstring& text, std::vector<Item> items, int x, int y);
    void Select(int command);
    int selected() const { return selected_; }
    void Enable(bool enabled);
    Aqua::MenuLayout Layout() const { return Aqua::MenuLayout(scaler(), static_cast<int>(items_.size()), kItemHeight); }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override;

private:
    void Shape();

    std::vector<Item> items_;
    int selected_ = 0;
    int hover_ = -1;
};

class Help : public OwnedPopup {
public:
    class InfoTip : public Control {
    public:
        explicit InfoTip(Aqua::Toolkit& toolkit) : Control(toolkit) {}
        bool Create(HWND owner);
        void SetText(const std::wstring& text);

    protected:
        void Paint(Aqua::DrawList& list, Aqua::Rect size) override;

    private:
        std::wstring text_;
    };

    static constexpr int kHelpCommand = 5100;
    explicit Help(Aqua::Toolkit& toolkit) : OwnedPopup(toolkit) {}
    // The help button (a pop-up owned by `owner`) and its hidden info pop-up.
    bool Create(HWND owner, int x, int y);
    void SetText(const std::wstring& text);
    void Enable(bool enabled);
    bool popupShown() const;
    InfoTip* tip() const { return tip_.Get(); }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    RTI::Reference<InfoTip> tip_;
    bool hover_ = false;
};

// The title strip at the top of the main window.
class Status : public Control {
public:
    explicit Status(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    bool Create(HWND parent, Aqua::Rect place, const std::wstring& title);
    void SetTitle(const std::wstring& title);

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;

private:
    std::wstring title_;
};

}  // namespace GUI
