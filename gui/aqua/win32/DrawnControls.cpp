#include "gui/aqua/win32/DrawnControls.h"

#include "gui/aqua/ControlLayouts.h"

#include <algorithm>

namespace GUI {

// --- Checkbox -----------------------------------------------------------------

void Checkbox::Paint(Aqua::DrawList& list, const Aqua::Scaler& scaler)
{
    scaler_ = scaler;
    rect_.height = scaler.Scale(16);
    Aqua::PaintCheckbox(list, scaler, rect_, state_.state(), caption_, focused_);
}

bool Checkbox::Apply(HWND host, Aqua::CheckboxState::Change change)
{
    if (change.changed || change.toggled) {
        const Aqua::Rect box = Aqua::CheckboxBox(scaler_, rect_);
        RECT r{box.x, box.y, box.right(), box.bottom()};
        // Only the box changes look.
        InvalidateRect(host, &r, FALSE);
    }
    if (change.toggled) {
        PostMessageW(host, WM_COMMAND, kToggleCommand, 0);
    }
    return true;
}

bool Checkbox::OnMouseMove(HWND host, Aqua::Point p)
{
    return Apply(host, state_.OnMove(Aqua::CheckboxBox(scaler_, rect_).Contains(p)));
}

bool Checkbox::OnLeftDown(HWND host, Aqua::Point p)
{
    const bool inBox = Aqua::CheckboxBox(scaler_, rect_).Contains(p);
    Apply(host, state_.OnPress(inBox));
    return inBox;
}

bool Checkbox::OnMouseLeave(HWND host, Aqua::Point)
{
    return Apply(host, state_.OnLeave());
}

bool Checkbox::OnLeftUp(HWND host, Aqua::Point p)
{
    return Apply(host, state_.OnRelease(Aqua::CheckboxBox(scaler_, rect_).Contains(p)));
}

bool Checkbox::OnKey(HWND host, int key)
{
    if (key != VK_SPACE && key != VK_RETURN) {
        return false;
    }
    return Apply(host, state_.OnKey());
}

void Checkbox::Describe(std::vector<Aqua::AccessibleChild>& out) const
{
    LONG state = STATE_SYSTEM_FOCUSABLE;
    state |= state_.ticked() ? STATE_SYSTEM_CHECKED : 0;
    state |= focused_ ? STATE_SYSTEM_FOCUSED : 0;
    state |= state_.pressed() ? STATE_SYSTEM_PRESSED : 0;
    state |= (state_.state() == Aqua::CheckboxState::kUntickedHot || state_.state() == Aqua::CheckboxState::kTickedHot)
                 ? STATE_SYSTEM_HOTTRACKED
                 : 0;
    out.push_back({caption_, ROLE_SYSTEM_CHECKBUTTON, state, {rect_.x, rect_.y, rect_.right(), rect_.bottom()}});
}

// --- GroupBox -----------------------------------------------------------------

void GroupBox::SetRect(int x, int y, int width)
{
    rect_ = {x, y, width, rect_.height};
}

namespace {

Aqua::GroupBoxLayout LayoutOf(const Aqua::Scaler& scaler, Aqua::Rect rect, const std::wstring& image,
                              const std::wstring& caption, const std::vector<RTI::Reference<IControl>>& children)
{
    std::vector<int> heights;
    for (const auto& child : children) {
        heights.push_back(child->Height(scaler));
    }
    const int imageSize = image.empty() ? 0 : scaler.Scale(32);
    const int captionWidth = scaler.Scale(static_cast<int>(caption.size()) * 8);
    return Aqua::LayoutGroupBox(scaler, rect.x, rect.y, rect.width, imageSize, imageSize, captionWidth, heights);
}

}  // namespace

int GroupBox::Height(const Aqua::Scaler& scaler) const
{
    return LayoutOf(scaler, rect_, image_, caption_, children_).height;
}

void GroupBox::Paint(Aqua::DrawList& list, const Aqua::Scaler& scaler)
{
    scaler_ = scaler;
    const Aqua::GroupBoxLayout layout = LayoutOf(scaler, rect_, image_, caption_, children_);
    rect_.height = layout.height;
    Aqua::PaintGroupBox(list, scaler, layout.border, layout.captionText, layout.image, image_, caption_, background_);
    for (size_t i = 0; i < children_.size(); ++i) {
        const Aqua::Rect& place = layout.children[i];
        children_[i]->SetRect(place.x, place.y, place.width);
        children_[i]->Paint(list, scaler);
    }
}

bool GroupBox::OnMouseMove(HWND host, Aqua::Point p)
{
    return ToChildren([&](IControl& child) { return child.OnMouseMove(host, p); });
}

bool GroupBox::OnLeftDown(HWND host, Aqua::Point p)
{
    return ToChildren([&](IControl& child) { return child.OnLeftDown(host, p); });
}

bool GroupBox::OnMouseLeave(HWND host, Aqua::Point p)
{
    return ToChildren([&](IControl& child) { return child.OnMouseLeave(host, p); });
}

bool GroupBox::OnLeftUp(HWND host, Aqua::Point p)
{
    return ToChildren([&](IControl& child) { return child.OnLeftUp(host, p); });
}

void GroupBox::CollectFocusable(std::vector<IControl*>& out)
{
    for (auto& child : children_) {
        child->CollectFocusable(out);
    }
}

void GroupBox::Describe(std::vector<Aqua::AccessibleChild>& out) const
{
    out.push_back({caption_, ROLE_SYSTEM_GROUPING, 0, {rect_.x, rect_.y, rect_.right(), rect_.bottom()}});
    for (const auto& child : children_) {
        child->Describe(out);
    }
}

// --- Edit ---------------------------------------------------------------------

Edit::~Edit()
{
    if (edit_ && IsWindow(edit_)) {
        DestroyWindow(edit_);
    }
}

bool Edit::Create(HWND host)
{
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text_.c_str(), WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 100,
                            20, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    return edit_ != nullptr;
}

void Edit::Show(bool show)
{
    ShowWindow(edit_, show ? SW_SHOW : SW_HIDE);
}

void Edit::SetRect(int x, int y, int width)
{
    RECT r{};
    GetWindowRect(edit_, &r);
    MoveWindow(edit_, x, y, width, r.bottom - r.top, TRUE);
}

Aqua::Rect Edit::GetRect() const
{
    RECT r{};
    GetWindowRect(edit_, &r);
    MapWindowPoints(nullptr, GetParent(edit_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// --- ControlHost --------------------------------------------------------------

bool ControlHost::Create(HWND parent, Aqua::Rect place)
{
    return CreateHandle(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, place.x,
                        place.y, place.width, place.height, parent, 0);
}

void ControlHost::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    list.Add(Aqua::FillOp{size, background_});
    for (auto& control : controls_) {
        control->Paint(list, scaler());
    }
}

void ControlHost::MoveFocus(int direction)
{
    std::vector<IControl*> order;
    for (auto& control : controls_) {
        control->CollectFocusable(order);
    }
    if (order.empty()) {
        return;
    }
    const int n = static_cast<int>(order.size());
    const auto at = std::find(order.begin(), order.end(), focused_);
    const int next =
        at == order.end() ? (direction > 0 ? 0 : n - 1) : (static_cast<int>(at - order.begin()) + direction + n) % n;
    if (focused_) {
        focused_->SetFocused(false);
    }
    focused_ = order[static_cast<size_t>(next)];
    focused_->SetFocused(true);
    Invalidate();
}

LRESULT ControlHost::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == Aqua::DescribeChildrenMessage()) {
        auto* out = reinterpret_cast<std::vector<Aqua::AccessibleChild>*>(wParam);
        for (const auto& control : controls_) {
            control->Describe(*out);
        }
        return 0;
    }
    const Aqua::Point p = PointOf(lParam);
    switch (message) {
        case WM_GETOBJECT:
            return Aqua::AnswerHostGetObject(hwnd(), wParam, lParam);
        case WM_MOUSEMOVE:
            TrackLeave();
            for (auto& c : controls_) {
                c->OnMouseMove(hwnd(), p);
            }
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            // While a button is held the capture keeps the moves coming.
            if (GetCapture() != hwnd()) {
                for (auto& c : controls_) {
                    c->OnMouseLeave(hwnd(), p);
                }
            }
            return 0;
        case WM_LBUTTONDOWN: {
            SetFocus(hwnd());
            bool handled = false;
            for (auto& c : controls_) {
                handled = c->OnLeftDown(hwnd(), p) || handled;
            }
            if (handled) {
                SetCapture(hwnd());
            }
            return 0;
        }
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd()) {
                ReleaseCapture();
            }
            for (auto& c : controls_) {
                c->OnLeftUp(hwnd(), p);
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (wParam == VK_TAB || wParam == VK_DOWN || wParam == VK_UP) {
                MoveFocus(wParam == VK_UP || GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
                return 0;
            }
            if (focused_ && focused_->OnKey(hwnd(), static_cast<int>(wParam))) {
                return 0;
            }
            break;
        case WM_KILLFOCUS:
            if (focused_) {
                focused_->SetFocused(false);
                focused_ = nullptr;
                Invalidate();
            }
            break;
        case WM_COMMAND:
            // The controls' notifications (5014) go on to the window that holds the host.
            return SendMessageW(GetParent(hwnd()), WM_COMMAND, wParam, lParam);
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
