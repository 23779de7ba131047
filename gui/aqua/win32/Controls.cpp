#include "gui/aqua/win32/Controls.h"

#include <algorithm>

#include "gui/aqua/ActionsLayout.h"
#include "gui/aqua/win32/Accessible.h"

namespace GUI {

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kRepeatDelayMs = 400;
constexpr UINT kRepeatMs = 60;

// A press that may become a click: tracked with the mouse captured, so that
// the release is seen wherever it happens.
void BeginPress(HWND window, Aqua::PressTracker& press, int target, bool enabled)
{
    if (press.OnPress(target, enabled)) {
        SetCapture(window);
    }
}

// The command the release acts on (0: none); the capture is given back.
int EndPress(HWND window, Aqua::PressTracker& press, int under, bool enabled)
{
    const int act = press.OnRelease(under, enabled);
    if (GetCapture() == window) {
        ReleaseCapture();
    }
    return act;
}

// Gives the window its shape; the system owns the region from then on.
void SetShape(HWND window, HRGN region)
{
    if (region && !SetWindowRgn(window, region, TRUE)) {
        DeleteObject(region);
    }
}

POINT ScreenToClientPoint(HWND window)
{
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return p;
}

}  // namespace

// --- Button -------------------------------------------------------------------

bool Button::Create(HWND parent, int id, const std::wstring& caption, Aqua::Rect place, bool defaultButton)
{
    id_ = id;
    caption_ = caption.substr(0, 127);
    default_ = defaultButton;
    return CreateHandle(0, caption_.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.x, place.y, place.width,
                        place.height, parent, static_cast<UINT_PTR>(id));
}

void Button::Enable(bool enabled)
{
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    if (!enabled) {
        press_.Cancel();
        pulse_.Stop();
        KillTimer(hwnd(), kHoverTimer);
    }
    EnableWindow(hwnd(), enabled ? TRUE : FALSE);
    Invalidate();
}

Aqua::PreferredSize Button::Preferred()
{
    int width = scaler().Scale(60);
    if (Gdiplus::Font* font = toolkit().Font({std::wstring(Aqua::kSansSerif), 10}, scaler())) {
        HDC screen = GetDC(nullptr);
        if (screen) {
            Gdiplus::Graphics g(screen);
            Gdiplus::RectF box;
            g.MeasureString(caption_.c_str(), static_cast<INT>(caption_.size()), font, Gdiplus::PointF(0, 0), &box);
            width = std::max(width, static_cast<int>(box.Width) + scaler().Scale(32));
            ReleaseDC(nullptr, screen);
        }
    }
    return {width, scaler().Scale(30)};
}

void Button::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    Aqua::ButtonLook look;
    look.enabled = enabled_;
    look.hot = default_ || hover_;
    look.gamma = pulse_.gamma();
    look.focused = GetFocus() == hwnd();
    Aqua::PaintButton(list, scaler(), size, caption_, look);
}

void Button::Click()
{
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd()));
}

LRESULT Button::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hover_) {
                hover_ = true;
                TrackLeave();
                if (enabled_) {
                    pulse_.Start();
                    SetTimer(hwnd(), kHoverTimer, Aqua::HoverPulse::kIntervalMs, nullptr);
                }
                Invalidate();
            }
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            hover_ = false;
            pulse_.Stop();
            KillTimer(hwnd(), kHoverTimer);
            Invalidate();
            return 0;
        case WM_TIMER:
            if (wParam == kHoverTimer) {
                pulse_.Tick();
                Invalidate();
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            BeginPress(hwnd(), press_, id_, enabled_);
            if (press_.pressed()) {
                SetFocus(hwnd());
            }
            return 0;
        case WM_LBUTTONUP:
            if (EndPress(hwnd(), press_, ClientSize().Contains(PointOf(lParam)) ? id_ : 0, enabled_)) {
                Click();
            }
            return 0;
        case WM_CAPTURECHANGED:
            press_.Cancel();
            break;
        case WM_KEYDOWN:
            if ((wParam == VK_SPACE || wParam == VK_RETURN) && enabled_) {
                Click();
                return 0;
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_BUTTON | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            break;
        case WM_GETOBJECT:
            return Aqua::AnswerGetObject(hwnd(), wParam, lParam, ROLE_SYSTEM_PUSHBUTTON);
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

// --- Actions ------------------------------------------------------------------

bool Actions::Create(HWND parent, Aqua::Rect place)
{
    return CreateHandle(WS_EX_CONTROLPARENT, L"Actions", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.x, place.y,
                        place.width, place.height, parent, 0);
}

void Actions::AddButton(int id, const std::wstring& caption)
{
    RTI::Reference<Button> button(new Button(toolkit()));
    if (button->Create(hwnd(), id, caption, {0, 0, 10, 10})) {
        ShowWindow(button->hwnd(), SW_HIDE);
        buttons_[id] = button;
    }
}

void Actions::Show(const std::vector<int>& ids)
{
    shown_.clear();
    for (auto& [id, button] : buttons_) {
        const bool show = std::find(ids.begin(), ids.end(), id) != ids.end();
        if (show) {
            shown_.push_back(id);
        }
        ShowWindow(button->hwnd(), show ? SW_SHOWNA : SW_HIDE);
    }
    Layout();
}

void Actions::EnableButton(int id, bool enabled)
{
    if (Button* b = ButtonOf(id)) {
        b->Enable(enabled);
    }
}

Button* Actions::ButtonOf(int id) const
{
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second.Get();
}

void Actions::Layout()
{
    std::vector<Aqua::PreferredSize> sizes;
    for (int id : shown_) {
        buttons_[id]->SetScale(scaler());
        sizes.push_back(buttons_[id]->Preferred());
    }
    const Aqua::Rect size = ClientSize();
    const auto places = Aqua::LayoutActions(size.width, size.height, sizes, scaler());
    for (size_t i = 0; i < places.size(); ++i) {
        const Aqua::Rect& r = places[i];
        SetWindowPos(buttons_[shown_[i]]->hwnd(), nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Invalidate();
}

void Actions::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    Aqua::PaintActions(list, size);
}

LRESULT Actions::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_COMMAND:
            // The buttons' commands go to the window that holds the bar, unchanged.
            return SendMessageW(GetParent(hwnd()), WM_COMMAND, wParam, lParam);
        case WM_SIZE:
            Control::Handle(message, wParam, lParam);
            Layout();
            return 0;
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

// --- Scrollbar ----------------------------------------------------------------

bool Scrollbar::Create(HWND parent, Aqua::Rect place)
{
    return CreateHandle(0, L"", WS_CHILD | WS_VISIBLE, place.x, place.y, place.width, place.height, parent, 0);
}

int Scrollbar::TrackLength() const
{
    return std::max(0, ClientSize().height - 2 * std::min(scaler().Scale(17), ClientSize().height / 2));
}

void Scrollbar::SetRange(int content, int visible)
{
    content_ = content;
    visible_ = visible;
    const int before = model_.position();
    model_.SetRange(content, visible, TrackLength(), scaler().Scale(16));
    Changed(model_.position() != before);
}

void Scrollbar::SetPosition(int position)
{
    Changed(model_.SetPosition(position));
}

void Scrollbar::OnScaleChanged()
{
    SetRange(content_, visible_);
}

void Scrollbar::Changed(bool moved)
{
    Invalidate();
    if (moved) {
        SendMessageW(GetParent(hwnd()), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, model_.position()),
                     reinterpret_cast<LPARAM>(hwnd()));
    }
}

void Scrollbar::StepUp()
{
    Changed(model_.StepUp());
}

void Scrollbar::StepDown()
{
    Changed(model_.StepDown());
}

void Scrollbar::Wheel(int delta)
{
    const int steps = wheel_.Add(delta);
    bool moved = false;
    for (int i = 0; i < std::abs(steps); ++i) {
        moved = (steps > 0 ? model_.StepUp() : model_.StepDown()) || moved;
    }
    Changed(moved);
}

Scrollbar::Part Scrollbar::PartAt(Aqua::Point p) const
{
    const Aqua::ScrollbarParts parts = Aqua::LayoutScrollbar(scaler(), ClientSize(), model_);
    if (parts.up.Contains(p)) {
        return Part::Up;
    }
    if (parts.down.Contains(p)) {
        return Part::Down;
    }
    if (parts.thumb.Contains(p)) {
        return Part::Thumb;
    }
    if (parts.track.Contains(p) && model_.enabled()) {
        return p.y < parts.thumb.y ? Part::TrackAbove : Part::TrackBelow;
    }
    return Part::None;
}

void Scrollbar::Act(Part part)
{
    switch (part) {
        case Part::Up:
            Changed(model_.StepUp());
            break;
        case Part::Down:
            Changed(model_.StepDown());
            break;
        case Part::TrackAbove:
            Changed(model_.PageUp());
            break;
        case Part::TrackBelow:
            Changed(model_.PageDown());
            break;
        default:
            break;
    }
}

void Scrollbar::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    auto look = [this](Part part) {
        if (pressed_ == part) {
            return Aqua::PartLook::Pressed;
        }
        return hover_ == part ? Aqua::PartLook::Hover : Aqua::PartLook::Normal;
    };
    Aqua::PaintScrollbar(list, scaler(), size, model_, {look(Part::Up), look(Part::Down), look(Part::Thumb)});
}

LRESULT Scrollbar::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_MOUSEMOVE: {
            TrackLeave();
            const Aqua::Point p = PointOf(lParam);
            if (pressed_ == Part::Thumb) {
                const int top = std::min(scaler().Scale(17), ClientSize().height / 2);
                Changed(model_.DragThumbTo(p.y - top - dragGrab_));
                return 0;
            }
            const Part part = PartAt(p);
            if (part != hover_) {
                hover_ = part;
                Invalidate();
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            if (pressed_ == Part::None) {
                hover_ = Part::None;
                Invalidate();
            }
            return 0;
        case WM_LBUTTONDOWN: {
            const Aqua::Point p = PointOf(lParam);
            pressed_ = PartAt(p);
            if (pressed_ == Part::None || !model_.enabled()) {
                pressed_ = Part::None;
                return 0;
            }
            SetCapture(hwnd());
            if (pressed_ == Part::Thumb) {
                dragGrab_ = p.y - Aqua::LayoutScrollbar(scaler(), ClientSize(), model_).thumb.y;
            } else {
                Act(pressed_);
                SetTimer(hwnd(), kRepeatTimer, kRepeatDelayMs, nullptr);
            }
            Invalidate();
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRepeatTimer) {
                SetTimer(hwnd(), kRepeatTimer, kRepeatMs, nullptr);
                // Repeats only while the pointer is still over the pressed part.
                const POINT p = ScreenToClientPoint(hwnd());
                if (PartAt({p.x, p.y}) == pressed_) {
                    Act(pressed_);
                }
                return 0;
            }
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            KillTimer(hwnd(), kRepeatTimer);
            if (pressed_ != Part::None) {
                pressed_ = Part::None;
                if (message == WM_LBUTTONUP && GetCapture() == hwnd()) {
                    ReleaseCapture();
                }
                Invalidate();
            }
            return 0;
        case WM_MOUSEWHEEL:
            Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_SIZE:
            Control::Handle(message, wParam, lParam);
            SetRange(content_, visible_);
            return 0;
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

// --- OwnedPopup ---------------------------------------------------------------

LRESULT OwnedPopup::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CAPTURECHANGED) {
        press_.Cancel();
    } else if (message == WM_MOUSEACTIVATE) {
        return MA_NOACTIVATE;
    }
    return Control::Handle(message, wParam, lParam);
}

void OwnedPopup::SendToOwner(int command) const
{
    SendMessageW(owner_, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(hwnd()));
}

// --- Menu ---------------------------------------------------------------------

bool Menu::Create(HWND owner, const std::wstring& text, std::vector<Item> items, int x, int y)
{
    owner_ = owner;
    items_ = std::move(items);
    const Aqua::Scaler s(Aqua::WindowDpi(owner));
    const Aqua::MenuLayout layout(s, static_cast<int>(items_.size()), kItemHeight);
    if (!CreateHandle(WS_EX_TOOLWINDOW, text.c_str(), WS_POPUP, x, y, layout.width(), layout.height(), owner, 0)) {
        return false;
    }
    Shape();
    return true;
}

void Menu::Shape()
{
    const Aqua::MenuLayout layout = Layout();
    SetWindowPos(hwnd(), nullptr, 0, 0, layout.width(), layout.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int d = 2 * scaler().Scale(Aqua::MenuLayout::kCornerRadius);
    SetShape(hwnd(), CreateRoundRectRgn(0, 0, layout.width() + 1, layout.height() + 1, d, d));
}

void Menu::OnScaleChanged()
{
    Shape();
    Invalidate();
}

void Menu::Select(int command)
{
    selected_ = command;
    Invalidate();
}

void Menu::Enable(bool enabled)
{
    enabled_ = enabled;
    if (!enabled) {
        press_.Cancel();
    }
    Invalidate();
}

void Menu::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    Aqua::PaintMenuBackground(list, scaler(), size);
    const Aqua::MenuLayout layout = Layout();
    for (size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        const bool lit = enabled_ && (static_cast<int>(i) == hover_ || item.command == selected_);
        Aqua::PaintMenuItem(list, scaler(), layout.ItemRect(static_cast<int>(i)),
                            lit ? item.highlightedImage : item.image, item.caption, lit, enabled_);
    }
}

LRESULT Menu::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_MOUSEMOVE: {
            TrackLeave();
            const int index = Layout().ItemAt(PointOf(lParam));
            if (index != hover_) {
                hover_ = index;
                Invalidate();
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            hover_ = -1;
            Invalidate();
            return 0;
        case WM_LBUTTONDOWN: {
            const int index = Layout().ItemAt(PointOf(lParam));
            if (index >= 0) {
                BeginPress(hwnd(), press_, items_[static_cast<size_t>(index)].command, enabled_);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const int index = Layout().ItemAt(PointOf(lParam));
            const int under = index >= 0 ? items_[static_cast<size_t>(index)].command : 0;
            if (const int act = EndPress(hwnd(), press_, under, enabled_)) {
                SendToOwner(act);
            }
            return 0;
        }
        default:
            break;
    }
    return OwnedPopup::Handle(message, wParam, lParam);
}

// --- Help ---------------------------------------------------------------------

bool Help::InfoTip::Create(HWND owner)
{
    const Aqua::Scaler s(Aqua::WindowDpi(owner));
    if (!CreateHandle(WS_EX_TOOLWINDOW, L"Info Tooltip", WS_POPUP, 0, 0, s.Scale(210), s.Scale(235), owner, 0)) {
        return false;
    }
    const int d = 2 * s.Scale(5);
    SetShape(hwnd(), CreateRoundRectRgn(0, 0, s.Scale(210) + 1, s.Scale(235) + 1, d, d));
    return true;
}

void Help::InfoTip::SetText(const std::wstring& text)
{
    text_ = text;
    Invalidate();
}

void Help::InfoTip::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    Aqua::PaintInfoTip(list, scaler(), size, text_);
}

bool Help::Create(HWND owner, int x, int y)
{
    owner_ = owner;
    const Aqua::Scaler s(Aqua::WindowDpi(owner));
    if (!CreateHandle(WS_EX_TOOLWINDOW, L"Velmont Help Tooltip", WS_POPUP, x, y, s.Scale(24), s.Scale(24), owner, 0)) {
        return false;
    }
    SetShape(hwnd(), CreateEllipticRgn(0, 0, s.Scale(24) + 1, s.Scale(24) + 1));
    tip_ = new InfoTip(toolkit());
    return tip_->Create(owner);
}

void Help::SetText(const std::wstring& text)
{
    tip_->SetText(text);
}

void Help::Enable(bool enabled)
{
    enabled_ = enabled;
    Invalidate();
}

bool Help::popupShown() const
{
    return tip_ && IsWindowVisible(tip_->hwnd());
}

void Help::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    Aqua::PaintHelpButton(list, size, popupShown(), hover_ && enabled_);
}

LRESULT Help::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hover_) {
                hover_ = true;
                TrackLeave();
                Invalidate();
            }
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            hover_ = false;
            Invalidate();
            return 0;
        case WM_LBUTTONDOWN:
            BeginPress(hwnd(), press_, kHelpCommand, enabled_);
            return 0;
        case WM_LBUTTONUP: {
            if (EndPress(hwnd(), press_, ClientSize().Contains(PointOf(lParam)) ? kHelpCommand : 0, enabled_)) {
                RECT r{};
                GetWindowRect(hwnd(), &r);
                // The pop-up opens beside the button, on the side of the owner's right edge.
                SetWindowPos(tip_->hwnd(), HWND_TOP, r.right + scaler().Scale(16), r.top - scaler().Scale(3), 0, 0,
                             SWP_NOSIZE | SWP_NOACTIVATE | (popupShown() ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
                Invalidate();
                SendToOwner(kHelpCommand);
            }
            return 0;
        }
        default:
            break;
    }
    return OwnedPopup::Handle(message, wParam, lParam);
}

// --- Status -------------------------------------------------------------------

bool Status::Create(HWND parent, Aqua::Rect place, const std::wstring& title)
{
    title_ = title;
    return CreateHandle(0, L"Velmont Status Window", WS_CHILD | WS_VISIBLE, place.x, place.y, place.width, place.height,
                        parent, 0);
}

void Status::SetTitle(const std::wstring& title)
{
    title_ = title;
    Invalidate();
}

void Status::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    Aqua::PaintStatus(list, scaler(), size, title_);
}

}  // namespace GUI
