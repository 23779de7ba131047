#pragma once
// What the settings, support and system-information surfaces and the startup
// programs view draw, as draw operations, and where the startup view's rows
// and their parts lie. Sizes are given at 100% and scaled.
#include <optional>
#include <string>
#include <vector>

#include "gui/StartupPrograms.h"
#include "gui/SupportTexts.h"
#include "gui/SystemSummary.h"
#include "gui/aqua/DrawList.h"
#include "gui/aqua/Scale.h"

namespace GUI {

// The panels' and the strip's background.
inline constexpr uint32_t kPanelBackground = 0xFFE0DFE3;

// The strip: the background, then the label right-aligned in the left
// column (bold) and the value from x = 120 (regular). No line: background only.
void PaintSummaryStrip(Aqua::DrawList& list, const Aqua::Scaler& s, Aqua::Rect size, const SummaryLine* line);

// The support panel's lines below its title, each heading bold above its text.
// Returns the height used.
int PaintSupportLines(Aqua::DrawList& list, const Aqua::Scaler& s, Aqua::Rect area,
                      const std::vector<SupportLine>& lines);

// A panel's title: bold blue caption over a thin line.
void PaintPanelTitle(Aqua::DrawList& list, const Aqua::Scaler& s, Aqua::Rect area, const std::wstring& title);

class StartupViewLayout {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kIndent = 16;
    static constexpr int kDetailsHeight = 118;

    enum class Part { None, Expander, Box, Text };

    StartupViewLayout(const Aqua::Scaler& s, Aqua::Rect size) : s_(s), size_(size) {}

    Aqua::Rect TreeArea() const;  // the rows, above the details
    Aqua::Rect DetailsArea() const;
    int RowHeight() const { return s_.Scale(kRowHeight); }
    // The content's height for scrolling.
    int ContentHeight(size_t rows) const { return RowHeight() * static_cast<int>(rows); }
    // The row under a point of the tree area with the rows scrolled up by `scroll` pixels.
    std::optional<size_t> RowAt(Aqua::Point p, int scroll, size_t rows) const;
    Part PartAt(Aqua::Point p, const StartupRow& row) const;
    Aqua::Rect ExpanderRect(int top, const StartupRow& row) const;
    Aqua::Rect BoxRect(int top, const StartupRow& row) const;

private:
    const Aqua::Scaler& s_;
    Aqua::Rect size_;
};

// The rows from `scroll` pixels down, the selected one highlighted; greyed
// rows in grey with a grey box; a category whose entries differ shows its box
// ticked in grey.
void PaintStartupRows(Aqua::DrawList& list, const StartupViewLayout& layout, const Aqua::Scaler& s,
                      const std::vector<StartupRow>& rows, int scroll, std::optional<size_t> selected);
// The details of the selected row, or a hint when none is selected; the
// message of the last failed change in red above them when there is one.
void PaintStartupDetails(Aqua::DrawList& list, const StartupViewLayout& layout, const Aqua::Scaler& s,
                         const std::optional<StartupDetails>& details, const std::wstring& message);
// While the list is being gathered: the background and what is being done.
void PaintStartupWorking(Aqua::DrawList& list, const StartupViewLayout& layout, const Aqua::Scaler& s, Aqua::Rect size,
                         const std::wstring& text);

}  // namespace GUI
