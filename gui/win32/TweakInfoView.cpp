#include "gui/win32/TweakInfoView.h"

#include <algorithm>

#include "gui/win32/TextMeasure.h"
#include "gui/win32/Verdana.h"

namespace GUI {

namespace {

constexpr int kMargin = 8;
constexpr int kLabel = 16;
constexpr int kPresetLine = 19;

std::wstring EditorLabel(const ValueEditor& e)
{
    const std::wstring& name = e.item->GetValueName();
    return (e.range ? L"Value of " : L"Presets for ") +
           (name.empty() ? std::wstring(L"(default)") : L"\"" + name + L"\"") + L":";
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

int TweakInfoView::Measure(const std::wstring& text, const Aqua::FontSpec& spec, int width) const
{
    return WrappedTextHeight(toolkit(), scaler(), hwnd(), text, spec, width);
}

TweakInfoView::Place TweakInfoView::Layout() const
{
    const Aqua::Scaler& s = scaler();
    const Aqua::Rect size = ClientSize();
    const int width = size.width - s.Scale(2 * kMargin);
    Place p;
    const std::wstring& text = details_.Text();
    const size_t split = text.find(L"\n\n");
    p.heading = text.substr(0, split);
    p.body = split == std::wstring::npos ? std::wstring() : text.substr(split + 2);
    p.headingHeight = std::max(s.Scale(16), Measure(p.heading, Verdana(9, Aqua::kBold), width));
    p.bodyTop = s.Scale(kMargin) + p.headingHeight + s.Scale(4);
    // What follows the description, so that the description gives way to it.
    int rest = s.Scale(6 + kLabel);
    for (const std::wstring& line : details_.ChangeLines()) {
        p.changeHeights.push_back(std::max(s.Scale(13), Measure(line, Verdana(7.5), width - s.Scale(8))) + s.Scale(3));
        rest += p.changeHeights.back();
    }
    std::vector<int> editorHeights;
    for (const ValueEditor& e : details_.Editors()) {
        editorHeights.push_back(s.Scale(
            8 + kLabel +
            (e.range ? TweakDetails::EditHeight(e.text) + 4 + 22 : kPresetLine * static_cast<int>(e.presets.size()))));
        rest += editorHeights.back();
    }
    const int room = size.height - p.bodyTop - rest - s.Scale(kMargin);
    p.bodyHeight = std::min(Measure(p.body, Verdana(8), width), std::max(s.Scale(40), room));
    p.changesTop = p.bodyTop + p.bodyHeight + s.Scale(6);
    int y = p.changesTop + s.Scale(kLabel);
    for (int h : p.changeHeights) {
        p.changeTops.push_back(y);
        y += h;
    }
    for (int h : editorHeights) {
        y += s.Scale(8);
        p.editorTops.push_back(y);
        y += h - s.Scale(8);
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
        const int top = p.editorTops[i] + s.Scale(kLabel);
        const int editHeight = TweakDetails::EditHeight(e.text);
        HWND edit = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", e.text.c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (editHeight > 20 ? ES_MULTILINE | ES_AUTOVSCROLL : 0),
            s.Scale(kMargin + 5), top, s.Scale(225), s.Scale(editHeight), hwnd(),
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFirstEdit + i)), GetModuleHandleW(nullptr), nullptr);
        if (edit) {
            SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
            SendMessageW(edit, EM_LIMITTEXT, 260, 0);
        }
        edits_.push_back(edit);
        const int buttonTop = top + s.Scale(editHeight + 4);
        for (int b = 0; b < 2; ++b) {
            RTI::Reference<Button> button(new Button(toolkit()));
            if (button->Create(hwnd(), kFirstButton + 2 * static_cast<int>(i) + b,
                               b == 0 ? L"Recommended" : L"From Registry",
                               {s.Scale(kMargin + 5 + 115 * b), buttonTop, s.Scale(110), s.Scale(22)})) {
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
    const int x = s.Scale(kMargin);
    const int width = size.width - s.Scale(2 * kMargin);
    list.Add(Aqua::TextOp{{x, s.Scale(kMargin), width, p.headingHeight}, p.heading, Verdana(9, Aqua::kBold)});
    list.Add(Aqua::TextOp{{x, p.bodyTop, width, p.bodyHeight}, p.body, Verdana(8)});
    list.Add(Aqua::FillOp{{x, p.changesTop - s.Scale(3), width, 1}, 0xFFB8B6BE});
    list.Add(Aqua::TextOp{{x, p.changesTop, width, s.Scale(kLabel)},
                          L"What it changes (now \x2192 after a tune-up):",
                          Verdana(8, Aqua::kBold)});
    const auto& lines = details_.ChangeLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool admin = lines[i].rfind(L"Administrator", 0) == 0;
        list.Add(Aqua::TextOp{{x + s.Scale(8), p.changeTops[i], width - s.Scale(8), p.changeHeights[i]},
                              lines[i],
                              Verdana(7.5, admin ? Aqua::kBold : Aqua::kRegular),
                              admin ? 0xFFB04000 : 0xFF303030});
    }
    const auto& editors = details_.Editors();
    for (size_t i = 0; i < editors.size(); ++i) {
        const ValueEditor& e = editors[i];
        const int top = p.editorTops[i];
        list.Add(Aqua::TextOp{{x, top, width, s.Scale(kLabel)}, EditorLabel(e), Verdana(8, Aqua::kBold)});
        if (e.range) {
            continue;
        }
        for (size_t k = 0; k < e.presets.size(); ++k) {
            const int py = top + s.Scale(kLabel + kPresetLine * static_cast<int>(k));
            const bool ticked = static_cast<int>(k) == e.ticked;
            list.Add(Aqua::ImageOp{
                L"XP.CHECKBOX", {0, ticked ? 64 : 0, 16, 16}, {x + s.Scale(8), py, s.Scale(16), s.Scale(16)}});
            list.Add(Aqua::TextOp{{x + s.Scale(30), py, width - s.Scale(30), s.Scale(16)},
                                  e.captions[k],
                                  Verdana(8),
                                  0xFF000000,
                                  Aqua::TextAlign::Left,
                                  true});
        }
    }
}

void TweakInfoView::ClickPreset(Aqua::Point point)
{
    const Aqua::Scaler& s = scaler();
    const Place p = Layout();
    auto& editors = details_.Editors();
    for (size_t i = 0; i < editors.size(); ++i) {
        if (editors[i].range) {
            continue;
        }
        for (size_t k = 0; k < editors[i].presets.size(); ++k) {
            const int py = p.editorTops[i] + s.Scale(kLabel + kPresetLine * static_cast<int>(k));
            if (point.x >= s.Scale(kMargin + 8) && point.y >= py && point.y < py + s.Scale(16)) {
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
