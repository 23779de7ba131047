#include "gui/panels/StartupView.h"

#include <windowsx.h>

#include <algorithm>

namespace GUI {

namespace {

constexpr int kScrollbarWidth = 17;

}  // namespace

bool StartupView::Create(HWND parent, Aqua::Rect place)
{
    if (!CreateHandle(0, kTitle, WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP, place.x, place.y, place.width, place.height,
                      parent, 0)) {
        return false;
    }
    scrollbar_ = RTI::Reference<Scrollbar>(new Scrollbar(toolkit()));
    if (!scrollbar_->Create(hwnd(), {0, 0, 1, 1})) {
        return false;
    }
    LayoutChildren();
    return true;
}

StartupViewLayout StartupView::Layout() const
{
    const Aqua::Rect size = ClientSize();
    // The rows leave room for the scroll bar at their right.
    return StartupViewLayout(scaler(), {0, 0, size.width, size.height});
}

void StartupView::LayoutChildren()
{
    if (!scrollbar_) {
        return;
    }
    const Aqua::Rect tree = Layout().TreeArea();
    const int width = scaler().Scale(kScrollbarWidth);
    scrollbar_->SetScale(scaler());
    MoveWindow(scrollbar_->hwnd(), tree.right() - width, tree.y, width, tree.height, TRUE);
    UpdateScroll();
}

void StartupView::Open(StartUp::CategoryList roots, StartUp::SnapshotPlace place)
{
    working_.clear();
    if (scrollbar_) {
        ShowWindow(scrollbar_->hwnd(), SW_SHOWNA);
    }
    model_ = std::make_unique<StartupPrograms>(std::move(roots), std::move(place));
    (void)model_->Load();
    message_ = model_->LoadError();
    scroll_ = 0;
    UpdateScroll();
    Invalidate();
}

void StartupView::ShowWorking(std::wstring text)
{
    model_.reset();
    working_ = std::move(text);
    message_.clear();
    scroll_ = 0;
    if (scrollbar_) {
        ShowWindow(scrollbar_->hwnd(), SW_HIDE);  // nothing to scroll yet
    }
    Invalidate();
}

void StartupView::Refresh()
{
    if (model_) {
        model_->Rebuild();
        UpdateScroll();
        Invalidate();
    }
}

bool StartupView::Reveal(std::wstring_view location)
{
    if (!model_) {
        return false;
    }
    const std::optional<size_t> row = model_->Reveal(location);
    UpdateScroll();
    if (row) {
        EnsureVisible(*row);
    }
    Invalidate();
    return row.has_value();
}

void StartupView::UpdateScroll()
{
    if (!scrollbar_ || !model_) {
        return;
    }
    const StartupViewLayout layout = Layout();
    const int content = layout.ContentHeight(model_->Rows().size());
    const int visible = layout.TreeArea().height;
    scrollbar_->SetRange(content, visible);
    ScrollTo(scrollbar_->position());
}

void StartupView::ScrollTo(int position)
{
    if (position != scroll_) {
        scroll_ = position;
        Invalidate();
    }
}

void StartupView::EnsureVisible(size_t row)
{
    if (!scrollbar_) {
        return;
    }
    const StartupViewLayout layout = Layout();
    const int top = static_cast<int>(row) * layout.RowHeight();
    const int visible = layout.TreeArea().height;
    int target = scroll_;
    if (top < scroll_) {
        target = top;
    } else if (top + layout.RowHeight() > scroll_ + visible) {
        target = top + layout.RowHeight() - visible;
    }
    scrollbar_->SetPosition(target);
    ScrollTo(scrollbar_->position());
}

void StartupView::ClickBox(size_t row)
{
    if (!model_ || row >= model_->Rows().size()) {
        return;
    }
    model_->Select(row);
    const StartupRow& shown = model_->Rows()[row];
    if (!shown.hasCheckBox) {
        return;
    }
    const std::wstring problem = model_->SetChecked(row, shown.check == StartUp::CheckState::Unchecked);
    message_ = problem.empty() ? model_->LoadError() : problem;
    if (!problem.empty()) {
        toolkit().Report(problem, kTitle);
    }
    UpdateScroll();
    Invalidate();
}

void StartupView::SelectRow(size_t row)
{
    if (model_) {
        model_->Select(row);
        EnsureVisible(row);
        Invalidate();
    }
}

void StartupView::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    (void)size;
    const StartupViewLayout layout = Layout();
    if (!model_) {
        PaintStartupWorking(list, layout, scaler(), size, working_);
        return;
    }
    const std::optional<size_t> selected = model_->Selected();
    PaintStartupRows(list, layout, scaler(), model_->Rows(), scroll_, selected);
    std::optional<StartupDetails> details;
    if (selected) {
        details = model_->Details(*selected);
    }
    PaintStartupDetails(list, layout, scaler(), details, message_);
}

LRESULT StartupView::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_SIZE:
            LayoutChildren();
            break;
        case WM_VSCROLL:
            if (reinterpret_cast<HWND>(lParam) == (scrollbar_ ? scrollbar_->hwnd() : nullptr)) {
                ScrollTo(scrollbar_->position());
                return 0;
            }
            break;
        case WM_MOUSEWHEEL:
            if (scrollbar_) {
                scrollbar_->Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
                ScrollTo(scrollbar_->position());
            }
            return 0;
        case WM_LBUTTONDOWN: {
            SetFocus(hwnd());
            if (!model_) {
                return 0;
            }
            const StartupViewLayout layout = Layout();
            const Aqua::Point p = PointOf(lParam);
            const std::optional<size_t> row = layout.RowAt(p, scroll_, model_->Rows().size());
            if (!row) {
                return 0;
            }
            const Aqua::Point inContent{p.x, p.y + scroll_};
            switch (layout.PartAt(inContent, model_->Rows()[*row])) {
                case StartupViewLayout::Part::Expander:
                    model_->ToggleExpanded(*row);
                    UpdateScroll();
                    Invalidate();
                    break;
                case StartupViewLayout::Part::Box:
                    ClickBox(*row);
                    break;
                default:
                    SelectRow(*row);
                    break;
            }
            return 0;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN: {
            if (!model_ || model_->Rows().empty()) {
                break;
            }
            const size_t count = model_->Rows().size();
            const std::optional<size_t> selected = model_->Selected();
            if (wParam == VK_DOWN || wParam == VK_UP) {
                size_t next = 0;
                if (selected) {
                    next =
                        wParam == VK_DOWN ? std::min(count - 1, *selected + 1) : (*selected == 0 ? 0 : *selected - 1);
                }
                SelectRow(next);
                return 0;
            }
            if (selected && wParam == VK_SPACE) {
                ClickBox(*selected);
                return 0;
            }
            if (selected && (wParam == VK_LEFT || wParam == VK_RIGHT) && model_->Rows()[*selected].expandable &&
                model_->Rows()[*selected].expanded == (wParam == VK_LEFT)) {
                model_->ToggleExpanded(*selected);
                UpdateScroll();
                Invalidate();
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
