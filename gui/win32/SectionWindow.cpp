#include "gui/win32/SectionWindow.h"

#include "gui/Commands.h"
#include "gui/win32/Verdana.h"

namespace GUI {

namespace {

const wchar_t* CellImage(Cell cell)
{
    switch (cell) {
        case Cell::Green:
            return L"AQUA.INDICATOR.GREEN";
        case Cell::Yellow:
            return L"AQUA.INDICATOR.YELLOW";
        case Cell::Red:
            return L"AQUA.INDICATOR.RED";
        case Cell::Gray:
            break;
    }
    return L"AQUA.INDICATOR.GRAY";
}

}  // namespace

uint32_t Desaturate(uint32_t argb)
{
    const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    const uint32_t grey = (r + g + b) / 3;
    return (argb & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
}

bool SectionWindow::Create(HWND frame, Aqua::Rect place)
{
    return CreateHandle(0, section_.View().name.c_str(), WS_CHILD | WS_VISIBLE, place.x, place.y, place.width,
                        place.height, frame, 0);
}

Aqua::Rect SectionWindow::CustomizeRect() const
{
    const Aqua::Scaler& s = scaler();
    RECT r{};
    GetClientRect(hwnd(), &r);
    return {r.right - s.Scale(120), s.Scale(4), s.Scale(82), s.Scale(16)};
}

void SectionWindow::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    const Aqua::Scaler& s = scaler();
    const SectionView v = section_.View();
    auto colour = [&](uint32_t argb) { return v.grey ? Desaturate(argb) : argb; };
    const Aqua::ImageLook look = v.grey ? Aqua::ImageLook::Grey : Aqua::ImageLook::Normal;

    list.Add(Aqua::FillOp{size, colour(v.rowColour)});
    const std::wstring icon = section_.Category()->GetIcon();
    if (!icon.empty()) {
        list.Add(Aqua::ImageOp{icon + (section_.Index() % 2 == 1 ? L"B" : L"W"),
                               {},
                               {s.Scale(8), s.Scale(12), s.Scale(32), s.Scale(32)},
                               look});
    }
    list.Add(
        Aqua::TextOp{{s.Scale(48), s.Scale(4), s.Scale(250), s.Scale(16)}, v.name, Verdana(10), colour(0xFF000000)});
    list.Add(Aqua::TextOp{{size.width - s.Scale(123), s.Scale(4), s.Scale(93), s.Scale(16)},
                          L"Customize...",
                          Verdana(10, Aqua::kUnderline),
                          colour(v.customizeActive ? SectionColour::Blue : 0xFF9AB8DA)});
    list.Add(Aqua::TextOp{{s.Scale(48), s.Scale(21), size.width - s.Scale(56), s.Scale(17)},
                          v.status,
                          v.statusFont == SectionFont::Title ? Verdana(10) : Verdana(10, Aqua::kBold),
                          colour(v.statusColour)});
    for (int i = 0; i < 10; ++i) {
        list.Add(Aqua::ImageOp{
            CellImage(v.cells[i]), {}, {s.Scale(55 + 31 * i), s.Scale(39), s.Scale(30), s.Scale(9)}, look});
    }
    if (!v.summary.empty()) {
        list.Add(Aqua::TextOp{
            {s.Scale(48), s.Scale(53), s.Scale(300), s.Scale(16)}, v.summary, Verdana(8), colour(SectionColour::Grey)});
    }
    // A hairline between rows.
    list.Add(Aqua::FillOp{{0, size.height - 1, size.width, 1}, colour(0xFFD8E2EC)});
}

LRESULT SectionWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_LBUTTONUP: {
            const SectionView v = section_.View();
            if (v.customizeActive && CustomizeRect().Contains(PointOf(lParam))) {
                PostMessageW(GetParent(hwnd()), WM_COMMAND, Command::ShowTweaks,
                             reinterpret_cast<LPARAM>(section_.Category().Get()));
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
            return 0;
        case WM_SETCURSOR: {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(hwnd(), &p);
            if (section_.View().customizeActive && CustomizeRect().Contains({p.x, p.y})) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                return TRUE;
            }
            break;
        }
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
