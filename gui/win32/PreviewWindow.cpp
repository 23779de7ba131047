#include "gui/win32/PreviewWindow.h"

#include <algorithm>

#include "gui/win32/TextMeasure.h"
#include "gui/win32/Verdana.h"

namespace GUI {

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 380;
constexpr int kBar = 48;

using Kind = PreviewLine::Kind;

int IndentOf(Kind kind)
{
    return kind == Kind::Place ? 22 : kind == Kind::Values ? 40 : 6;
}

Aqua::FontSpec FontOf(Kind kind)
{
    return kind == Kind::Heading || kind == Kind::Lead ? Verdana(8, Aqua::kBold) : Verdana(8);
}

}  // namespace

std::vector<PreviewLine> PreviewLines(const std::vector<Tweaker::TweakChange>& changes)
{
    std::vector<PreviewLine> lines;
    if (changes.empty()) {
        lines.push_back({Kind::Lead, L"Nothing would change."});
        return lines;
    }
    lines.push_back({Kind::Lead, std::to_wstring(changes.size()) +
                                     (changes.size() == 1 ? L" selected tweak is" : L" selected tweaks are") +
                                     L" not in effect. \"Tune Up!\" makes these changes:"});
    for (const Tweaker::TweakChange& tweak : changes) {
        lines.push_back({Kind::Heading, tweak.category + L": " + tweak.name});
        for (const Tweaker::ItemChange& item : tweak.items) {
            if (item.file) {
                lines.push_back({Kind::Place, item.location});
                lines.push_back({Kind::Values, item.action + (item.restorable ? L"" : L" (not restorable)")});
                continue;
            }
            lines.push_back(
                {Kind::Place,
                 item.location + L" [" + (item.valueName.empty() ? L"(default)" : item.valueName) + L"] " + item.type});
            lines.push_back({Kind::Values, L"now " + item.current + L"  \x2192  " + item.next +
                                               (item.needsAdmin ? L"  (needs administrator rights)" : L"")});
        }
    }
    return lines;
}

bool PreviewList::Create(HWND parent, Aqua::Rect place, std::vector<PreviewLine> lines)
{
    lines_ = std::move(lines);
    if (!CreateHandle(0, L"PreviewList", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.x, place.y, place.width,
                      place.height, parent, 0)) {
        return false;
    }
    const int bar = scaler().Scale(17);
    scroll_ = new Scrollbar(toolkit());
    if (!scroll_->Create(hwnd(), {place.width - bar, 0, bar, place.height})) {
        return false;
    }
    LayOut(place.width);
    return true;
}

void PreviewList::LayOut(int width)
{
    const Aqua::Scaler& s = scaler();
    if (width == laidOutWidth_ && s.Scale(100) == laidOutScale_) {
        return;
    }
    laidOutWidth_ = width;
    laidOutScale_ = s.Scale(100);
    // Long registry locations wrap onto the next rows instead of losing
    // their value name and type at the right edge.
    const int textWidth = width - s.Scale(17) - s.Scale(6);
    tops_.assign(1, s.Scale(4));
    for (const PreviewLine& l : lines_) {
        const int indent = s.Scale(IndentOf(l.kind));
        const int wrapped = WrappedTextHeight(toolkit(), s, hwnd(), l.text, FontOf(l.kind), textWidth - indent);
        tops_.push_back(tops_.back() + std::max(s.Scale(kLineHeight), wrapped + s.Scale(5)));
    }
    if (scroll_) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        scroll_->SetRange(tops_.back() + s.Scale(kLineHeight), client.bottom);
    }
}

void PreviewList::Wheel(int delta)
{
    scroll_->Wheel(delta);
}

void PreviewList::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    const Aqua::Scaler& s = scaler();
    LayOut(size.width);
    list.Add(Aqua::FillOp{size, 0xFFFFFFFF});
    const int top = scroll_ ? scroll_->position() : 0;
    const int textWidth = size.width - s.Scale(17) - s.Scale(6);
    for (size_t i = 0; i < lines_.size(); ++i) {
        const int y = tops_[i] - top;
        const int height = tops_[i + 1] - tops_[i];
        if (y + height < 0 || y > size.height) {
            continue;
        }
        const PreviewLine& l = lines_[i];
        const int indent = s.Scale(IndentOf(l.kind));
        const uint32_t colour = l.kind == Kind::Values ? 0xFF0A5A0A : l.kind == Kind::Place ? 0xFF404040 : 0xFF000000;
        list.Add(Aqua::TextOp{{indent, y, textWidth - indent, height}, l.text, FontOf(l.kind), colour});
    }
}

LRESULT PreviewList::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_VSCROLL) {
        Invalidate();
        return 0;
    }
    if (message == WM_MOUSEWHEEL) {
        Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    return Control::Handle(message, wParam, lParam);
}

bool PreviewWindow::Run(HWND owner, const std::wstring& title, const std::vector<Tweaker::TweakChange>& changes)
{
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    const Aqua::Scaler s(Aqua::WindowDpi(owner));
    const int x = std::max(0, static_cast<int>(ownerRect.left));
    const int y = std::max(0, static_cast<int>(ownerRect.top) + s.Scale(40));
    if (!Create(title.c_str(), x, y, kWidth, kHeight, 0)) {
        return false;
    }
    SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int bar = scaler().Scale(kBar);
    list_ = new PreviewList(toolkit());
    tuneUp_ = new Button(toolkit());
    cancel_ = new Button(toolkit());
    const int buttonWidth = scaler().Scale(110);
    const int buttonTop = client.bottom - bar + scaler().Scale(9);
    if (!list_->Create(hwnd(), {0, 0, client.right, client.bottom - bar}, PreviewLines(changes)) ||
        !tuneUp_->Create(
            hwnd(), kTuneUp, L"Tune Up!",
            {client.right - 2 * buttonWidth - scaler().Scale(16), buttonTop, buttonWidth, scaler().Scale(30)}, true) ||
        !cancel_->Create(
            hwnd(), kCancel, L"Cancel",
            {client.right - buttonWidth - scaler().Scale(8), buttonTop, buttonWidth, scaler().Scale(30)})) {
        DestroyWindow(hwnd());
        return false;
    }
    const bool ownerWasEnabled = IsWindowEnabled(owner) != FALSE;
    EnableWindow(owner, FALSE);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetFocus(hwnd());
    MSG msg;
    while (!answered_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends the program
            }
            break;
        }
        if (msg.message == WM_KEYDOWN && (msg.hwnd == hwnd() || IsChild(hwnd(), msg.hwnd))) {
            if (msg.wParam == VK_RETURN) {
                Answer(true);
                continue;
            }
            if (msg.wParam == VK_ESCAPE) {
                Answer(false);
                continue;
            }
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    ShowWindow(hwnd(), SW_HIDE);
    SetForegroundWindow(owner);
    DestroyWindow(hwnd());
    return result_;
}

void PreviewWindow::Answer(bool tuneUp)
{
    answered_ = true;
    result_ = tuneUp;
}

void PreviewWindow::OnCaptionButton(LRESULT hit)
{
    if (hit == HTCLOSE) {
        Answer(false);
        return;
    }
    Window::OnCaptionButton(hit);
}

LRESULT PreviewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kTuneUp || LOWORD(wParam) == kCancel) {
                Answer(LOWORD(wParam) == kTuneUp);
                return 0;
            }
            break;
        case WM_CLOSE:
            Answer(false);
            return 0;
        case WM_MOUSEWHEEL:
            if (list_) {
                list_->Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            }
            return 0;
        default:
            break;
    }
    return Window::Handle(message, wParam, lParam);
}

}  // namespace GUI
