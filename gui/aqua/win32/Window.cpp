#include "gui/aqua/win32/Window.h"

#include <windowsx.h>

#include <string_view>

namespace GUI {

namespace {

constexpr wchar_t kClassName[] = L"Corvane.Aqua";
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

ATOM RegisterOnce()
{
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;  // replaced per window before any message matters
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

// Gives a skinned child window the scale in `lParam` (a Scaler).
BOOL CALLBACK RescaleChild(HWND child, LPARAM lParam)
{
    wchar_t name[32] = {};
    if (GetClassNameW(child, name, 32) && std::wstring_view(name) == kClassName) {
        if (auto* window = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(child, GWLP_USERDATA))) {
            window->SetScale(*reinterpret_cast<const Aqua::Scaler*>(lParam));
        }
    }
    return TRUE;
}

}  // namespace

WindowBase::~WindowBase()
{
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(hwnd_);
    }
}

void WindowBase::SetScale(const Aqua::Scaler& scaler)
{
    if (!(scaler == scaler_)) {
        scaler_ = scaler;
        OnScaleChanged();
    }
}

bool WindowBase::CreateHandle(DWORD exStyle, const wchar_t* text, DWORD style, int x, int y, int width, int height,
                              HWND parent, UINT_PTR id)
{
    if (!RegisterOnce()) {
        return false;
    }
    HWND window = CreateWindowExW(exStyle, kClassName, text, style & ~WS_VISIBLE, x, y, width, height, parent,
                                  reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        return false;
    }
    hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowBase::Procedure));
    scaler_ = Aqua::Scaler(Aqua::WindowDpi(parent ? parent : window));
    // Let the window recompute its frame with our procedure in place.
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (style & WS_VISIBLE) {
        ShowWindow(window, SW_SHOWNA);
    }
    return true;
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT WindowBase::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::Create(const wchar_t* text, int x, int y, int width, int height, DWORD extraStyle)
{
    const Aqua::Scaler s(Aqua::WindowDpi(nullptr));
    return CreateHandle(0, text, WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN | extraStyle, x, y, s.Scale(width),
                        s.Scale(height), nullptr, 0);
}

void Window::OnCaptionButton(LRESULT hit)
{
    if (hit == HTCLOSE) {
        ShowWindow(hwnd(), SW_HIDE);
    } else if (hit == HTMINBUTTON) {
        ShowWindow(hwnd(), SW_MINIMIZE);
    } else if (hit == HTMAXBUTTON) {
        ShowWindow(hwnd(), IsZoomed(hwnd()) ? SW_RESTORE : SW_MAXIMIZE);
    }
}

LRESULT Window::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND w = hwnd();
    switch (message) {
        case WM_NCCALCSIZE: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            frame_.ClientFromWindow(w, *rect);
            return 0;
        }
        case WM_NCHITTEST: {
            RECT r{};
            GetWindowRect(w, &r);
            return frame_.HitTest(w, GET_X_LPARAM(lParam) - r.left, GET_Y_LPARAM(lParam) - r.top);
        }
        case WM_NCPAINT: {
            HDC dc = GetWindowDC(w);
            if (dc) {
                frame_.PaintNonClient(w, dc);
                ReleaseDC(w, dc);
            }
            return 0;
        }
        case WM_NCACTIVATE: {
            HDC dc = GetWindowDC(w);
            if (dc) {
                frame_.PaintNonClient(w, dc);
                ReleaseDC(w, dc);
            }
            return TRUE;
        }
        case WM_ACTIVATE:
            RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            break;
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT: {
            // Children that show their parent ask for this through WM_PRINTCLIENT.
            RECT r{};
            GetClientRect(w, &r);
            frame_.EraseBackground(w, reinterpret_cast<HDC>(wParam), r);
            return message == WM_ERASEBKGND ? 1 : 0;
        }
        case WM_SIZE: {
            RECT r{};
            GetWindowRect(w, &r);
            frame_.SetWindowRegion(w, r.right - r.left, r.bottom - r.top);
            RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            break;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(w, message, wParam, lParam);
            RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            return result;
        }
        case WM_NCLBUTTONDOWN:
            if (wParam == HTCLOSE || wParam == HTMINBUTTON || wParam == HTMAXBUTTON) {
                pressedHit_ = static_cast<LRESULT>(wParam);
                SetCapture(w);
                return 0;
            }
            if (wParam == HTCAPTION) {
                break;  // the system drags the window
            }
            return 0;
        case WM_LBUTTONUP:
            if (pressedHit_ != HTNOWHERE) {
                // Captured after a press on a caption button: act only when
                // released over the same button.
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(w, &p);
                RECT r{};
                GetWindowRect(w, &r);
                const LRESULT hit = frame_.HitTest(w, p.x - r.left, p.y - r.top);
                const LRESULT pressed = pressedHit_;
                pressedHit_ = HTNOWHERE;
                ReleaseCapture();
                if (hit == pressed) {
                    OnCaptionButton(hit);
                }
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            pressedHit_ = HTNOWHERE;
            break;
        case kDpiChanged: {
            SetPropW(w, Aqua::kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(HIWORD(wParam))));
            SetScale(Aqua::Scaler(HIWORD(wParam)));
            // Children get no DPI message of their own: they take the new
            // scale before the window is resized, so they lay out once, at it.
            EnumChildWindows(w, RescaleChild, reinterpret_cast<LPARAM>(&scaler()));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested) {
                SetWindowPos(w, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                             suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            return 0;
        }
        case WM_DESTROY:
            RemovePropW(w, Aqua::kDpiProperty);
            break;
        case WM_NCLBUTTONDBLCLK:
        case WM_NCMOUSEMOVE:
            return 0;
        default:
            break;
    }
    return WindowBase::Handle(message, wParam, lParam);
}

void Control::Invalidate() const
{
    if (hwnd()) {
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

Aqua::Rect Control::ClientSize() const
{
    RECT r{};
    GetClientRect(hwnd(), &r);
    return {0, 0, r.right, r.bottom};
}

Aqua::Point Control::PointOf(LPARAM lParam)
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void Control::TrackLeave()
{
    if (tracking_) {
        return;
    }
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd();
    tracking_ = TrackMouseEvent(&track) != FALSE;
}

void Control::PaintTo(HDC dc)
{
    const Aqua::Rect size = ClientSize();
    if (!buffer_ || buffer_->width() != std::max(1, size.width) || buffer_->height() != std::max(1, size.height)) {
        buffer_.reset();
        buffer_ = std::make_unique<Aqua::OffscreenBitmap>(toolkit(), size.width, size.height);
    }
    lastPaint_.Clear();
    Paint(lastPaint_, size);
    const bool parentDrawn = ShowsParent() && DrawParentInto(buffer_->dc());
    buffer_->Render(lastPaint_, scaler(), !parentDrawn);
    ++paints_;
    BitBlt(dc, 0, 0, size.width, size.height, buffer_->dc(), 0, 0, SRCCOPY);
}

bool Control::DrawParentInto(HDC dc) const
{
    HWND parent = GetParent(hwnd());
    if (!parent || !dc) {
        return false;
    }
    POINT origin{0, 0};
    MapWindowPoints(hwnd(), parent, &origin, 1);
    POINT old{};
    SetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    return true;
}

std::unique_ptr<Aqua::OffscreenBitmap> Control::Snapshot()
{
    const Aqua::Rect size = ClientSize();
    auto bitmap = std::make_unique<Aqua::OffscreenBitmap>(toolkit(), size.width, size.height);
    if (bitmap->valid()) {
        SendMessageW(hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap->dc()), PRF_CLIENT);
    }
    return bitmap;
}

LRESULT Control::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            if (dc) {
                PaintTo(dc);
            }
            EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_SIZE:
            buffer_.reset();
            Invalidate();
            break;
        case WM_MOUSELEAVE:
            tracking_ = false;
            break;
        default:
            break;
    }
    return WindowBase::Handle(message, wParam, lParam);
}

}  // namespace GUI
