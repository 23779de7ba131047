#include "gui/win32/TweakInfoView.h"

#include <algorithm>

namespace GUI {

namespace {

Aqua::FontSpec Verdana(double points, uint8_t style = Aqua::kRegular)
{
    return {std::wstring(Aqua::kVerdana), points, Aqua::FontUnit::Point, style};
}

constexpr int kMargin = 8;
constexpr int kChangeLine = 26;  // two lines of the small font
constexpr int kLabel = 16;
constexpr int kPresetLine = 19;

// Lines the description takes in a box `width` pixels wide (100%), roughly:
// Verdana 8 pt averages about six pixels a character.
int EstimateLines(const std::wstring& text, int width)
{
    const size_t perLine = static_cast<size_t>(std::max(10, width / 6));
    int lines = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(L'\n', start);
        const size_t length = (end == std::wstring::npos ? text.size() : end) - start;
        lines += static_cast<int>(std::max<size_t>(1, (length + perLine - 1) / perLine));
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

std::wstring EditorLabel(const ValueEditor& e)
{
    const std::wstring& name = e.item->GetValueName();
    return (e.range ? L"Value of " : L"Presets for ") + (name.empty() ? std::wstring(L"(default)") : L"\"" + name + L"\"") +
           L":";
}

}  // namespace

bool TweakInfoView::Create(HWND parent, Aqua::Rect place)
{
    return CreateHandle(WS_EX_CONTROLPARENT, L"TweakInfo", WS_CHILD | WS_CLIPCHILDREN, place.x, place.y, place.width,
                        place.height, parent, 0);
}

HWND TweakInfoView::EditOf(size_t editor) const
{
    return editor < edits_.size() ? edits_[editor] : nullptr;
}

TweakInfoView::Place TweakInfoView::Layout() const
{
    const int width = ClientSize().width * Aqua::Scaler::kBaseDpi / scaler().dpi() - 2 * kMargin;
    Place p;
    p.textHeight = std::clamp(EstimateLines(details_.Text(), width) * 13 + 4, 40, 190);
    p.changesTop = kMargin + p.textHeight + 6;
    p.editorsTop = p.changesTop + kLabel + kChangeLine * static_cast<int>(details_.ChangeLines().size()) + 8;
    int y = p.editorsTop;
    for (const ValueEditor& e : details_.Editors()) {
        p.editorTops.push_back(y);
        y += kLabel + (e.range ? TweakDetails::EditHeight(e.text) + 4 + 22 : kPresetLine * static_cast<int>(e.presets.size())) +
             10;
    }
    return p;
}

void TweakInfoView::Clear()
{
    for (HWND edit : edits_) {
        if (edit) {
            DestroyWindow(edit);
        }
    }
    edits_.clear();
    buttons_.clear();  // their windows go with them
}

void TweakInfoView::Rebuild()
{
    Clear();
    if (!hwnd()) {
        return;
    }
    const Aqua::Scaler& s = scaler();
    if (font_) {
        DeleteObject(font_);
    }
    font_ = CreateFontW(-s.Scale(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Verdana");
    const Place p = Layout();
    auto& editors = details_.Editors();
    for (size_t i = 0; i < editors.size(); ++i) {
        const ValueEditor& e = editors[i];
        if (!e.range) {
            edits_.push_back(nullptr);
            continue;
        }
        const int top = p.editorTops[i] + kLabel;
        const int editHeight = TweakDetails::EditHeight(e.text);
        HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", e.text.c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL |
                                        (editHeight > 20 ? ES_MULTILINE | ES_AUTOVSCROLL : 0),
                                    s.Scale(kMargin + 5), s.Scale(top), s.Scale(225), s.Scale(editHeight), hwnd(),
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFirstEdit + i)),
                                    GetModuleHandleW(nullptr), nullptr);
        if (edit) {
            SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
            SendMessageW(edit, EM_LIMITTEXT, 260, 0);
        }
        edits_.push_back(edit);
        const int buttonTop = top + editHeight + 4;
        for (int b = 0; b < 2; ++b) {
            RTI::Reference<Button> button(new Button(toolkit()));
            if (button->Create(hwnd(), kFirstButton + 2 * static_cast<int>(i) + b, b == 0 ? L"Recommended" : L"From Registry",
                               {s.Scale(kMargin + 5 + 115 * b), s.Scale(buttonTop), s.Scale(110), s.Scale(22)})) {
                buttons_.push_back(button);
            }
        }
    }
    Invalidate();
}

void TweakInfoView::SetEditText(size_t editor)
{
    if (editor < edits_.size() && edits_[editor]) {
        filling_ = true;
        SetWindowTextW(edits_[editor], details_.Editors()[editor].text.c_str());
        filling_ = false;
    }
}

void TweakInfoView::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    const Aqua::Scaler& s = scaler();
    list.Add(Aqua::FillOp{size, kBackground});
    const Place p = Layout();
    const int width = size.width - s.Scale(2 * kMargin);
    list.Add(Aqua::TextOp{{s.Scale(kMargin), s.Scale(kMargin), width, s.Scale(p.textHeight)},
                          details_.Text(), Verdana(8), 0xFF000000, Aqua::TextAlign::Left, true});
    list.Add(Aqua::TextOp{{s.Scale(kMargin), s.Scale(p.changesTop), width, s.Scale(kLabel)},
                          L"What it changes (now \x2192 after a tune-up):", Verdana(8, Aqua::kBold)});
    int y = p.changesTop + kLabel;
    for (const std::wstring& line : details_.ChangeLines()) {
        const bool admin = line.rfind(L"Administrator", 0) == 0;
        list.Add(Aqua::TextOp{{s.Scale(kMargin + 8), s.Scale(y), width - s.Scale(8), s.Scale(kChangeLine)}, line,
                              Verdana(7.5, admin ? Aqua::kBold : Aqua::kRegular), admin ? 0xFFB04000 : 0xFF303030,
                              Aqua::TextAlign::Left, true});
        y += kChangeLine;
    }
    const auto& editors = details_.Editors();
    for (size_t i = 0; i < editors.size(); ++i) {
        const ValueEditor& e = editors[i];
        const int top = p.editorTops[i];
        list.Add(Aqua::TextOp{{s.Scale(kMargin), s.Scale(top), width, s.Scale(kLabel)}, EditorLabel(e),
                              Verdana(8, Aqua::kBold)});
        if (e.range) {
            continue;
        }
        for (size_t k = 0; k < e.presets.size(); ++k) {
            const int py = top + kLabel + kPresetLine * static_cast<int>(k);
            const bool ticked = static_cast<int>(k) == e.ticked;
            list.Add(Aqua::ImageOp{L"XP.CHECKBOX", {0, ticked ? 64 : 0, 16, 16},
                                   {s.Scale(kMargin + 8), s.Scale(py), s.Scale(16), s.Scale(16)}});
            list.Add(Aqua::TextOp{{s.Scale(kMargin + 30), s.Scale(py), width - s.Scale(30), s.Scale(16)},
                                  e.captions[k], Verdana(8), 0xFF000000, Aqua::TextAlign::Left, true});
        }
    }
}

void TweakInfoView::ClickPreset(Aqua::Point point)
{
    const Aqua::Scaler& s = scaler();
    const int x = point.x * Aqua::Scaler::kBaseDpi / s.dpi();
    const int y = point.y * Aqua::Scaler::kBaseDpi / s.dpi();
    const Place p = Layout();
    auto& editors = details_.Editors();
    for (size_t i = 0; i < editors.size(); ++i) {
        if (editors[i].range) {
            continue;
        }
        for (size_t k = 0; k < editors[i].presets.size(); ++k) {
            const int py = p.editorTops[i] + kLabel + kPresetLine * static_cast<int>(k);
            if (x >= kMargin + 8 && x < ClientSize().width && y >= py && y < py + 16) {
                if (mayEdit_()) {
                    details_.Tick(i, static_cast<int>(k));
                    Invalidate();
                }
                return;
            }
        }
    }
}

LRESULT TweakInfoView::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_LBUTTONUP:
            ClickPreset(PointOf(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(GetParent(hwnd()));
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id >= kFirstEdit && id < kFirstEdit + 100) {
                const size_t i = static_cast<size_t>(id - kFirstEdit);
                if (HIWORD(wParam) == EN_CHANGE && !filling_ && i < edits_.size()) {
                    wchar_t text[262] = {};
                    GetWindowTextW(edits_[i], text, 262);
                    details_.Type(i, text);
                }
                return 0;
            }
            if (id >= kFirstButton && id < kFirstEdit) {
                const size_t i = static_cast<size_t>((id - kFirstButton) / 2);
                if (i < details_.Editors().size() && mayEdit_()) {
                    if ((id - kFirstButton) % 2 == 0) {
                        details_.Recommended(i);
                    } else {
                        details_.FromRegistry(i);
                    }
                    SetEditText(i);
                }
                return 0;
            }
            break;
        }
        case WM_DESTROY:
            Clear();
            if (font_) {
                DeleteObject(font_);
                font_ = nullptr;
            }
            break;
        default:
            break;
    }
    return Control::Handle(message, wParam, lParam);
}

}  // namespace GUI
