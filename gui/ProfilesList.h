#pragma once
// GUI::ProfilesView and GUI::ProfileInfo without their windows: the rows of
// the profile store's shown list (58 pixels each, a check box and a
// "more..." link), at most one profile ticked, the commands a click sends,
// and the text of one profile's details.
#include <cstdint>
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "gui/TweaksList.h"
#include "profiles/Profile.h"

namespace GUI {

struct ProfileRow {
    RTI::Reference<Profiles::Profile> profile;
    std::wstring title;     // date, a blank and the name ("Default" alone)
    std::wstring subtitle;  // time, a blank and the short description
    std::wstring icon;      // AQUA.MENU.PROFILE (even rows) or AQUA.MENU.PROFILEODD
    uint32_t background = 0;
    int titleTop = 0;  // the Default profile's title stands lower
    Rect row, checkBox, more;
};

// What a click asks of the main window: the command, and for 5032 the row.
struct ProfileClick {
    int command = 0;  // 5029, 5030, 5032 or 0
    int row = -1;
};

class ProfilesList {
public:
    static constexpr int kRowHeight = 58;
    static constexpr int kScrollBarWidth = 17;
    static constexpr uint32_t kOddColour = 0xFFE7F5FD;
    static constexpr uint32_t kLinkColour = 0xFF0074FF;
    static constexpr const wchar_t* kMoreText = L"more...";

    // Builds the rows of the shown list (after ReloadUserProfiles, which
    // clears every tick) for a view `width` wide, scrolled to the top.
    void Show(const std::vector<RTI::Reference<Profiles::Profile>>& shown, int width);
    const std::vector<ProfileRow>& Rows() const { return rows_; }
    int ScrollRange() const { return kRowHeight * static_cast<int>(rows_.size()); }
    int ScrollPosition() const { return scroll_; }
    void SetScroll(int position);
    Hit HitTest(int x, int y) const;

    // A left-button release: the check box ticks its profile and unticks
    // every other (a second click unticks it); "more..." asks for the
    // profile's details. Then 5030 when a profile is ticked, else 5029;
    // 5032 with the row for "more...".
    ProfileClick Click(int x, int y);
    int TickedRow() const;

private:
    void Layout();

    std::vector<ProfileRow> rows_;
    int width_ = 0;
    int scroll_ = 0;
};

// The details: the name, a blank line, and the extended description or
// "No detailed information".
std::wstring ProfileInfoText(const Profiles::Profile& profile);

}  // namespace GUI
