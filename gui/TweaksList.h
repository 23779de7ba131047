#pragma once
// GUI::TweaksView without its window: the rows of one category, laid out
// and hit-tested, narrowed by the filter box, and the two boxes of a row:
// "Apply" selects the tweak for the tune-up (every tweak of that name, kept
// in Config.xml as the command line's select keeps it); a two-state tweak's
// switch box turns the tweak on or off.
#include <cstdint>
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "tweaker/Group.h"
#include "tweaker/Manager.h"

namespace GUI {

// A change refused because a run is active (ERROR_BUSY).
constexpr uint32_t kRunActive = 170;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool Contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
    bool operator==(const Rect&) const = default;
};

enum class RowPart { None, Row, Switch, Select, Link };

struct Hit {
    int row = -1;  // index into Rows()
    RowPart part = RowPart::None;
    bool operator==(const Hit&) const = default;
};

struct TweakRow {
    RTI::Reference<Tweaker::ITweak> tweak;
    std::wstring name;
    std::wstring description;
    std::wstring icon;  // the tweak's icon name with "W" (even rows) or "B" (odd rows)
    std::wstring link;  // "Details..." (two-state) or "Configure..."
    bool twoState = false;
    bool switchOn = false;     // two-state: switch position 0
    std::wstring switchLabel;  // "On" / "Off" beside the switch box
    bool selected = false;
    bool noAccess = false;    // shown as "No access"
    bool notApplied = false;  // applied fraction 0: the "not applied" band
    uint32_t background = 0;
    Rect row, switchBox, selectBox, linkArea;
};

class TweaksList {
public:
    static constexpr int kRowHeight = 95;
    static constexpr int kScrollBarWidth = 17;

    // Takes the category and builds its rows for a view `width` wide; the
    // filter and the scroll position start empty.
    void Show(RTI::Reference<Tweaker::Group> category, int width);
    // Keeps the rows whose name or description contains `text`, ignoring
    // case; an empty text keeps all.
    void SetFilter(std::wstring text);
    const std::wstring& Filter() const { return filter_; }
    // Re-reads every row's state from its tweak (after an analysis).
    void Refresh();

    const std::vector<TweakRow>& Rows() const { return rows_; }
    int ScrollRange() const { return kRowHeight * static_cast<int>(rows_.size()); }
    int ScrollPosition() const { return scroll_; }
    void SetScroll(int position);
    // What lies under the view's client point (x, y).
    Hit HitTest(int x, int y) const;
    void SetDisabled(bool disabled) { disabled_ = disabled; }
    bool IsDisabled() const { return disabled_; }

    // The row's "Apply" box: selects or deselects every tweak of its name and
    // saves Config.xml; on a failed save the selections are put back.
    [[nodiscard]] uint32_t ToggleSelection(int row, Tweaker::Manager& manager);
    // The row's switch box: turns the two-state tweak, analyses it again and
    // saves its record.
    [[nodiscard]] uint32_t ToggleSwitch(int row, Tweaker::Manager& manager);

private:
    void Layout();
    TweakRow MakeRow(const RTI::Reference<Tweaker::ITweak>& tweak) const;

    RTI::Reference<Tweaker::Group> category_;
    int width_ = 0;
    std::wstring filter_;
    std::vector<TweakRow> rows_;
    int scroll_ = 0;
    bool disabled_ = false;
};

}  // namespace GUI
