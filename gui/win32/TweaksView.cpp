#include "gui/win32/TweaksView.h"

#include <commctrl.h>

#include "gui/win32/Verdana.h"

namespace GUI {

namespace {

// Frames of the check-box strip: 0 unticked, 4 ticked; 16 x 16 each.
Aqua::ImageOp CheckBox(bool ticked, bool disabled, Aqua::Rect dest)
{
    const int frame = disabled ? (ticked ? 6 : 2) : (ticked ? 4 : 0);
    return Aqua::ImageOp{L"XP.CHECKBOX", {0, 16 * frame, 16, 16}, dest};
}

int Unscale(const Aqua::Scaler& s, int px)
{
    return px * Aqua::Scaler::kBaseDpi / s.dpi();
}

}  // namespace

bool TweaksView::Create(HWND parent, Aqua::Rect place)
{
    if (!CreateHandle(WS_EX_CONTROLPARENT, L"TweaksView", WS_CHILD | WS_CLIPCHILDREN, place.x, place.y, place.width,
                      place.height, parent, 0)) {
        return false;
    }
    const Aqua::Scaler& s = scaler();
    filter_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                        s.Scale(58), s.Scale(4), place.width - s.Scale(66), s.Scale(20), hwnd(),
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFilterId)), GetModuleHandleW(nullptr), nullptr);
    if (!filter_) {
        return false;
    }
    SendMessageW(filter_, EM_LIMITTEXT, 100, 0);
    SendMessageW(filter_, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"name or description"));
    OnScaleChanged();
    scroll_ = new Scrollbar(toolkit());
    const int top = s.Scale(kFilterHeight);
    return scroll_->Create(hwnd(), {place.width - s.Scale(TweaksList::kScrollBarWidth), top,
                                    s.Scale(TweaksList::kScrollBarWidth), place.height - top});
}

void TweaksView::OnScaleChanged()
{
    if (!filter_) {
        return;
    }
    if (filterFont_) {
        DeleteObject(filterFont_);
    }
    filterFont_ = CreateFontW(-scaler().Scale(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Verdana");
    SendMessageW(filter_, WM_SETFONT, reinterpret_cast<WPARAM>(filterFont_), TRUE);
}

int TweaksView::ListWidth100() const
{
    return Unscale(scaler(), ClientSize().width);
}

void TweaksView::Show(RTI::Reference<Tweaker::Group> category)
{
    settingFilter_ = true;
    SetWindowTextW(filter_, L"");
    settingFilter_ = false;
    list_.Show(std::move(category), ListWidth100());
    focus_.reset();
    UpdateScroll();
    Invalidate();
}

void TweaksView::Refresh()
{
    list_.Refresh();
    UpdateScroll();
    Invalidate();
}

void TweaksView::UpdateScroll()
{
    if (!scroll_) {
        return;
    }
    const int visible = ClientSize().height - scaler().Scale(kFilterHeight);
    scroll_->SetRange(scaler().Scale(list_.ScrollRange()), visible);
    list_.SetScroll(Unscale(scaler(), scroll_->position()));
}

void TweaksView::SetFocusItem(std::optional<FocusItem> item)
{
    focus_ = item;
    if (item && item->kind != FocusItem::Kind::Button && scroll_) {
        // Keep the focused row in sight.
        const auto& rows = list_.Rows();
        if (item->id >= 0 && item->id < static_cast<int>(rows.size())) {
            const int visible100 = Unscale(scaler(), ClientSize().height - scaler().Scale(kFilterHeight));
            const int top = rows[item->id].row.top;
            if (top < list_.ScrollPosition() || top + TweaksList::kRowHeight > list_.ScrollPosition() + visible100) {
                const int wanted = scaler().Scale(top);
                for (int guard = 0; guard < 10000 && scroll_->position() != wanted; ++guard) {
                    const int before = scroll_->position();
                    if (before < wanted) {
                        scroll_->StepDown();
                    } else {
                        scroll_->StepUp();
                    }
                    if (scroll_->position() == before || (before < wanted) != (scroll_->position() < wanted)) {
                        break;  // at an end, or one step past the row
                    }
                }
                list_.SetScroll(Unscale(scaler(), scroll_->position()));
            }
        }
    }
    Invalidate();
}

void TweaksView::Wheel(int delta)
{
    if (scroll_) {
        scroll_->Wheel(delta);
    }
}

Aqua::Rect TweaksView::Place(const Rect& r) const
{
    const Aqua::Scaler& s = scaler();
    return {s.Scale(r.left), s.Scale(r.top - list_.ScrollPosition()) + s.Scale(kFilterHeight), s.Scale(r.width),
            s.Scale(r.height)};
}

void TweaksView::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    const Aqua::Scaler& s = scaler();
    const int top = s.Scale(kFilterHeight);
    list.Add(Aqua::FillOp{size, 0xFFFFFFFF});
    list.Add(Aqua::FillOp{{0, 0, size.width, top}, 0xFFE7EEF6});
    list.Add(Aqua::TextOp{{s.Scale(8), s.Scale(6), s.Scale(50), s.Scale(16)}, L"Filter:", Verdana(8, Aqua::kBold)});
    list.Add(Aqua::FillOp{{0, top - 1, size.width, 1}, 0xFFB8C8DA});
    const auto& rows = list_.Rows();
    if (rows.empty()) {
        list.Add(
            Aqua::TextOp{{s.Scale(12), top + s.Scale(12), size.width - s.Scale(24), s.Scale(40)},
                         list_.Filter().empty() ? L"This category has no tweaks." : L"No tweak matches the filter.",
                         Verdana(9),
                         0xFF606060});
    }
    const bool disabled = list_.IsDisabled();
    for (size_t i = 0; i < rows.size(); ++i) {
        const TweakRow& row = rows[i];
        const Aqua::Rect r = Place(row.row);
        if (r.bottom() < top || r.y > size.height) {
            continue;
        }
        const bool odd = i % 2 == 1;
        list.Add(Aqua::FillOp{r, row.background});
        if (row.notApplied) {
            list.Add(Aqua::ImageOp{
                odd ? L"AQUA.STATUS.NOTAPPLIEDODD" : L"AQUA.STATUS.NOTAPPLIED", {}, {r.x, r.y, s.Scale(5), r.height}});
        }
        // The name beside the link (two lines at most), the description
        // below it across the row; both wrap at words.
        list.Add(Aqua::TextOp{{r.x + s.Scale(50), r.y + s.Scale(5), r.width - s.Scale(50 + 84), s.Scale(30)},
                              row.name,
                              Verdana(9, Aqua::kBold)});
        list.Add(Aqua::TextOp{{r.x + s.Scale(50), r.y + s.Scale(36), r.width - s.Scale(58), s.Scale(38)},
                              row.description,
                              Verdana(8),
                              0xFF303030});
        const Aqua::Rect link = Place(row.linkArea);
        list.Add(Aqua::TextOp{{link.x - s.Scale(22), link.y, s.Scale(80), s.Scale(16)},
                              row.link,
                              Verdana(8, Aqua::kUnderline),
                              disabled ? 0xFF9AB8DA : 0xFF0074FF});
        if (row.noAccess) {
            list.Add(Aqua::TextOp{{link.x - s.Scale(22), r.y + s.Scale(54), s.Scale(80), s.Scale(16)},
                                  L"No access",
                                  Verdana(8),
                                  0xFFFF0000});
        }
        if (!row.icon.empty()) {
            list.Add(Aqua::ImageOp{row.icon, {}, {r.x + s.Scale(12), r.y + s.Scale(8), s.Scale(32), s.Scale(32)}});
        }
        // The switch of a two-state tweak, labelled with its position.
        if (row.twoState) {
            const Aqua::Rect box = Place(row.switchBox);
            list.Add(CheckBox(row.switchOn, disabled, box));
            // Its position under it, apart from the "Apply" box.
            list.Add(Aqua::TextOp{{box.x - s.Scale(10), box.bottom(), box.width + s.Scale(20), s.Scale(12)},
                                  row.switchLabel,
                                  Verdana(6.5),
                                  0xFF404040,
                                  Aqua::TextAlign::Centre});
        }
        // "Apply": selected for the tune-up.
        const Aqua::Rect select = Place(row.selectBox);
        list.Add(CheckBox(row.selected, disabled, select));
        list.Add(Aqua::TextOp{{select.right() + s.Scale(4), select.y, s.Scale(60), select.height},
                              L"Apply",
                              Verdana(8, row.selected ? Aqua::kBold : Aqua::kRegular),
                              row.selected ? 0xFF0A5A0A : 0xFF606060});
        if (focus_ && focus_->kind != FocusItem::Kind::Button && focus_->id == static_cast<int>(i)) {
            const Aqua::Rect f = focus_->kind == FocusItem::Kind::Select ? select : Place(row.switchBox);
            list.Add(Aqua::FocusOp{{f.x - s.Scale(2), f.y - s.Scale(2), f.width + s.Scale(4), f.height + s.Scale(4)}});
        }
        list.Add(Aqua::FillOp{{r.x, r.bottom() - 1, r.width, 1}, 0xFFDDE5EE});
    }
}

void TweaksView::Click(Aqua::Point p)
{
    const Aqua::Scaler& s = scaler();
    if (p.y < s.Scale(kFilterHeight) || list_.IsDisabled()) {
        return;  // while a run is active the rows only show
    }
    const Hit hit = list_.HitTest(Unscale(s, p.x), Unscale(s, p.y - s.Scale(kFilterHeight)));
    switch (hit.part) {
        case RowPart::Select:
            host_.ToggleSelection(hit.row);
            break;
        case RowPart::Switch:
            host_.ToggleSwitch(hit.row);
            break;
        case RowPart::Link:
            host_.OpenRowDetails(hit.row);
            break;
        default:
            break;
    }
}

LRESULT TweaksView::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_LBUTTONUP:
            Click(PointOf(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(GetParent(hwnd()));
            return 0;
        case WM_SETCURSOR: {
            // The hand over what a click acts on.
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(hwnd(), &p);
            const Aqua::Scaler& s = scaler();
            const Hit hit = p.y < s.Scale(kFilterHeight)
                                ? Hit{}
                                : list_.HitTest(Unscale(s, p.x), Unscale(s, p.y - s.Scale(kFilterHeight)));
            if (!list_.IsDisabled() && hit.part != RowPart::None && hit.part != RowPart::Row &&
                reinterpret_cast<HWND>(wParam) == hwnd()) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                return TRUE;
            }
            break;
        }
        case WM_VSCROLL:
            list_.SetScroll(Unscale(scaler(), scroll_->position()));
            Invalidate();
            return 0;
        case WM_MOUSEWHEEL:
            Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kFilterId && HIWORD(wParam) == EN_CHANGE && !settingFilter_) {
                wchar_t text[128] = {};
                GetWindowTextW(filter_, text, 128);
                list_.SetFilter(text);
                focus_.reset();
                UpdateScroll();
                Invalidate();
                return 0;
            }
            break;
        case WM_SIZE: {
            const LRESULT r = Control::Handle(message, wParam, lParam);
            // The filter box and the scroll bar follow the size and the scale.
            const Aqua::Scaler& s = scaler();
            const Aqua::Rect size = ClientSize();
            const int top = s.Scale(kFilterHeight);
            MoveWindow(filter_, s.Scale(58), s.Scale(4), size.width - s.Scale(66), s.Scale(20), TRUE);
            if (scroll_) {
                scroll_->SetScale(s);
                MoveWindow(scroll_->hwnd(), size.width - s.Scale(TweaksList::kScrollBarWidth), top,
                           s.Scale(TweaksList::kScrollBarWidth), size.height - top, TRUE);
            }
            UpdateScroll();
            return r;
        }
        case WM_DESTROY:
            if (filterFont_) {
                DeleteObject(filterFont_);
                filterFont_ = nullptr;
            }
            break;
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
