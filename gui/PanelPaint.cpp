#include "gui/PanelPaint.h"

#include <algorithm>

#include "gui/aqua/Painters.h"

namespace GUI {

namespace {

using Aqua::DrawList;
using Aqua::FillOp;
using Aqua::FontSpec;
using Aqua::ImageLook;
using Aqua::ImageOp;
using Aqua::Rect;
using Aqua::TextAlign;
using Aqua::TextOp;

FontSpec SansPixels(double pixels, uint8_t style)
{
    return FontSpec{std::wstring(Aqua::kSansSerif), pixels, Aqua::FontUnit::Pixel, style};
}

FontSpec Tahoma(double points, uint8_t style = Aqua::kRegular)
{
    return FontSpec{std::wstring(Aqua::kTahoma), points, Aqua::FontUnit::Point, style};
}

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kGrey = Aqua::kDisabledTextColour;
constexpr uint32_t kSelection = 0xFFC8D8F0;
constexpr uint32_t kProblem = 0xFFB00000;

// A long path goes on to its second line after the last folder's backslash
// that fits, not inside a name; without one the text wraps where it must.
std::wstring BreakAtFolder(const std::wstring& path, size_t fitting)
{
    if (path.size() <= fitting || fitting < 2) {
        return path;
    }
    const size_t slash = path.rfind(L'\\', fitting - 1);
    if (slash == std::wstring::npos || slash == 0) {
        return path;
    }
    return path.substr(0, slash + 1) + L"\n" + path.substr(slash + 1);
}

}  // namespace

void PaintSummaryStrip(DrawList& list, const Aqua::Scaler& s, Rect size, const SummaryLine* line)
{
    list.Add(FillOp{size, kPanelBackground});
    if (!line) {
        return;
    }
    // Two-line values (a disk and its serial number) fill the strip's height.
    const int top = line->value.find(L'\n') == std::wstring::npos ? s.Scale(11) : s.Scale(3);
    list.Add(TextOp{{0, top, s.Scale(SystemSummary::kLabelWidth), size.height - top},
                    line->label,
                    SansPixels(12, Aqua::kBold),
                    kBlack,
                    TextAlign::Right,
                    false});
    const int valueLeft = s.Scale(SystemSummary::kValueLeft);
    list.Add(TextOp{{valueLeft, top + s.Scale(1), std::max(0, size.width - valueLeft), size.height - top},
                    line->value,
                    SansPixels(11, Aqua::kRegular),
                    kBlack,
                    TextAlign::Left,
                    false});
}

void PaintPanelTitle(DrawList& list, const Aqua::Scaler& s, Rect area, const std::wstring& title)
{
    list.Add(TextOp{{area.x, area.y, area.width, s.Scale(22)},
                    title,
                    Tahoma(12, Aqua::kBold),
                    Aqua::kGroupCaptionColour,
                    TextAlign::Left,
                    false});
    list.Add(FillOp{{area.x, area.y + s.Scale(24), area.width, std::max(1, s.Scale(1))}, Aqua::kGroupBorderColour});
}

int PaintSupportLines(DrawList& list, const Aqua::Scaler& s, Rect area, const std::vector<SupportLine>& lines)
{
    int y = area.y;
    for (const SupportLine& line : lines) {
        if (!line.heading.empty()) {
            y += s.Scale(6);
            list.Add(TextOp{{area.x, y, area.width, s.Scale(16)},
                            line.heading,
                            Tahoma(9, Aqua::kBold),
                            kBlack,
                            TextAlign::Left,
                            false});
            y += s.Scale(16);
        }
        if (!line.text.empty()) {
            // Long texts wrap: room for as many lines as the text needs at
            // roughly six pixels a character.
            const int perLine = std::max(1, area.width / s.Scale(6));
            const int lineCount =
                static_cast<int>((line.text.size() + static_cast<size_t>(perLine) - 1) / static_cast<size_t>(perLine));
            const int height = s.Scale(14) * std::max(1, lineCount);
            list.Add(TextOp{{area.x, y, area.width, height}, line.text, Tahoma(8), kBlack, TextAlign::Left, false});
            y += height;
        }
    }
    return y - area.y;
}

Rect StartupViewLayout::TreeArea() const
{
    return {0, 0, size_.width, std::max(0, size_.height - s_.Scale(kDetailsHeight))};
}

Rect StartupViewLayout::DetailsArea() const
{
    const Rect tree = TreeArea();
    return {0, tree.bottom(), size_.width, size_.height - tree.height};
}

std::optional<size_t> StartupViewLayout::RowAt(Aqua::Point p, int scroll, size_t rows) const
{
    if (!TreeArea().Contains(p)) {
        return std::nullopt;
    }
    const int index = (p.y + scroll) / RowHeight();
    return index >= 0 && static_cast<size_t>(index) < rows ? std::optional<size_t>(static_cast<size_t>(index))
                                                           : std::nullopt;
}

Rect StartupViewLayout::ExpanderRect(int top, const StartupRow& row) const
{
    return {s_.Scale(4 + kIndent * row.depth), top + (RowHeight() - s_.Scale(12)) / 2, s_.Scale(12), s_.Scale(12)};
}

Rect StartupViewLayout::BoxRect(int top, const StartupRow& row) const
{
    return {s_.Scale(20 + kIndent * row.depth), top + (RowHeight() - s_.Scale(16)) / 2, s_.Scale(16), s_.Scale(16)};
}

StartupViewLayout::Part StartupViewLayout::PartAt(Aqua::Point p, const StartupRow& row) const
{
    const int top = p.y - p.y % RowHeight();
    const Rect expander = ExpanderRect(top, row);
    const Rect box = BoxRect(top, row);
    if (row.expandable && p.x >= expander.x - s_.Scale(2) && p.x < expander.right() + s_.Scale(2)) {
        return Part::Expander;
    }
    if (row.hasCheckBox && p.x >= box.x && p.x < box.right()) {
        return Part::Box;
    }
    return p.x >= box.x ? Part::Text : Part::None;
}

void PaintStartupRows(DrawList& list, const StartupViewLayout& layout, const Aqua::Scaler& s,
                      const std::vector<StartupRow>& rows, int scroll, std::optional<size_t> selected)
{
    const Rect area = layout.TreeArea();
    list.Add(FillOp{area, 0xFFFFFFFF});
    const int height = layout.RowHeight();
    const size_t first = static_cast<size_t>(std::max(0, scroll / height));
    for (size_t i = first; i < rows.size(); ++i) {
        const int top = static_cast<int>(i) * height - scroll;
        if (top >= area.bottom()) {
            break;
        }
        const StartupRow& row = rows[i];
        if (selected && *selected == i) {
            list.Add(FillOp{{0, top, area.width, height}, kSelection});
        }
        if (row.expandable) {
            list.Add(TextOp{layout.ExpanderRect(top, row), row.expanded ? L"\x2212" : L"+", Tahoma(9, Aqua::kBold),
                            kGrey, TextAlign::Centre, false});
        }
        const Rect box = layout.BoxRect(top, row);
        int textLeft = box.x;
        if (row.hasCheckBox) {
            const int frame = row.check == StartUp::CheckState::Unchecked ? 0 : 4;
            // A category whose entries differ shows a faded tick.
            const ImageLook look = row.check == StartUp::CheckState::Mixed ? ImageLook::Faded
                                   : row.greyed || !row.userCheckable      ? ImageLook::Grey
                                                                           : ImageLook::Normal;
            list.Add(ImageOp{L"XP.CHECKBOX", {0, 16 * frame, 16, 16}, box, look});
            textLeft = box.right() + s.Scale(4);
        }
        std::wstring text = row.text;
        if (row.disabled) {
            text += L"  (disabled)";
        } else if (row.greyed && row.hasCheckBox && row.depth > 0 && !row.bold) {
            text += L"  (read-only)";
        }
        list.Add(TextOp{{textLeft, top, std::max(0, area.width - textLeft), height},
                        text,
                        Tahoma(8, row.bold ? Aqua::kBold : Aqua::kRegular),
                        row.greyed || row.disabled ? kGrey : kBlack,
                        TextAlign::Left,
                        true});
    }
}

void PaintStartupDetails(DrawList& list, const StartupViewLayout& layout, const Aqua::Scaler& s,
                         const std::optional<StartupDetails>& details, const std::wstring& message)
{
    const Rect area = layout.DetailsArea();
    list.Add(FillOp{area, kPanelBackground});
    list.Add(FillOp{{area.x, area.y, area.width, std::max(1, s.Scale(1))}, Aqua::kGroupBorderColour});
    int y = area.y + s.Scale(4);
    const int left = s.Scale(8);
    const int labelWidth = s.Scale(78);
    const int valueLeft = left + labelWidth + s.Scale(4);
    const int valueWidth = std::max(0, area.width - valueLeft - s.Scale(6));
    if (!message.empty()) {
        list.Add(TextOp{
            {left, y, area.width - 2 * left, s.Scale(28)}, message, Tahoma(8), kProblem, TextAlign::Left, false});
        y += s.Scale(30);
    }
    if (!details) {
        list.Add(TextOp{{left, y, area.width - 2 * left, s.Scale(30)},
                        L"Select an entry to see where it starts from. Untick it to stop it starting with Windows "
                        L"(a backup is kept); tick it again to put it back.",
                        Tahoma(8),
                        kGrey,
                        TextAlign::Left,
                        false});
        return;
    }
    const std::pair<const wchar_t*, const std::wstring*> lines[] = {
        {L"Entry:", &details->name},      {L"Location:", &details->location},
        {L"Command:", &details->command}, {L"Description:", &details->description},
        {L"Company:", &details->company}, {L"Windows:", &details->windowsState},
        {L"State:", &details->state},     {L"Read-only:", &details->readOnlyReason},
    };
    const int lineHeight = s.Scale(13);
    for (const auto& [label, value] : lines) {
        // Paths and commands are long and have few blanks: they wrap onto a
        // second line instead of being cut.
        const bool wraps = (value == &details->location || value == &details->command) &&
                           static_cast<int>(value->size()) * s.Scale(5) > valueWidth;
        const int height = wraps ? 2 * lineHeight : lineHeight;
        if (value->empty() || y + height > area.bottom()) {
            continue;
        }
        list.Add(
            TextOp{{left, y, labelWidth, lineHeight}, label, Tahoma(8, Aqua::kBold), kBlack, TextAlign::Right, false});
        list.Add(TextOp{{valueLeft, y, valueWidth, height},
                        wraps ? BreakAtFolder(*value, static_cast<size_t>(valueWidth / s.Scale(6))) : *value,
                        Tahoma(8),
                        kBlack,
                        TextAlign::Left,
                        !wraps});
        y += height;
    }
}

void PaintStartupWorking(DrawList& list, const StartupViewLayout& layout, const Aqua::Scaler& s, Rect size,
                         const std::wstring& text)
{
    list.Add(FillOp{size, kPanelBackground});
    const Rect tree = layout.TreeArea();
    const int left = s.Scale(8);
    list.Add(TextOp{{left, tree.y + s.Scale(12), std::max(0, tree.width - 2 * left), s.Scale(30)},
                    text,
                    Tahoma(8),
                    kBlack,
                    TextAlign::Left,
                    false});
}

}  // namespace GUI
