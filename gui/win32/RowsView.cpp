#include "gui/win32/RowsView.h"

#include <windowsx.h>

namespace GUI {

bool RowsView::CreateView(HWND parent, Aqua::Rect place)
{
    if (!CreateHandle(0, L"", WS_CHILD | WS_CLIPCHILDREN, place.x, place.y, place.width, place.height, parent, 0)) {
        return false;
    }
    scrollbar_ = RTI::Reference<Scrollbar>(new Scrollbar(toolkit()));
    const int barWidth = scaler().Scale(kScrollBarWidth);
    if (!scrollbar_->Create(hwnd(), {place.width - barWidth, 0, barWidth, place.height})) {
        return false;
    }
    Relayout();
    return true;
}

int RowsView::Unscale(int px) const
{
    return MulDiv(px, Aqua::Scaler::kBaseDpi, scaler().dpi());
}

int RowsView::ListWidth() const
{
    return Unscale(ClientSize().width);
}

Aqua::Rect RowsView::Place(const GUI::Rect& r) const
{
    const Aqua::Scaler& s = scaler();
    return {s.Scale(r.left), s.Scale(r.top) - scroll_, s.Scale(r.width), s.Scale(r.height)};
}

void RowsView::Relayout()
{
    OnLayout();
    if (scrollbar_) {
        const Aqua::Rect size = ClientSize();
        const int barWidth = scaler().Scale(kScrollBarWidth);
        scrollbar_->SetScale(scaler());
        SetWindowPos(scrollbar_->hwnd(), nullptr, size.width - barWidth, 0, barWidth, size.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        scrollbar_->SetRange(scaler().Scale(ContentHeight()), size.height);
        scroll_ = scrollbar_->position();
    }
    Invalidate();
}

void RowsView::ResetScroll()
{
    scroll_ = 0;
    if (scrollbar_) {
        scrollbar_->SetRange(0, ClientSize().height);
    }
}

void RowsView::Post(int command, LPARAM parameter) const
{
    PostMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(command, 0), parameter);
}

Aqua::FontSpec RowsView::TextFont(double size, uint8_t style) const
{
    return Aqua::FontSpec{std::wstring(Aqua::kTahoma), size, Aqua::FontUnit::Point, style};
}

LRESULT RowsView::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_LBUTTONUP: {
            const Aqua::Point p = PointOf(lParam);
            OnClick(Unscale(p.x), Unscale(p.y + scroll_));
            return 0;
        }
        case WM_VSCROLL:
            scroll_ = HIWORD(wParam);
            Invalidate();
            return 0;
        case WM_MOUSEWHEEL:
            if (scrollbar_) {
                scrollbar_->Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            }
            return 0;
        case WM_SIZE: {
            const LRESULT result = Control::Handle(message, wParam, lParam);
            Relayout();
            return result;
        }
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
