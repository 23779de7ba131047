#pragma once
// GUI::ProfilesView: the profile store's shown list (Default, built-in, user
// profiles), one ticked at most, a "more..." link per row; and
// GUI::ProfileInfo, one profile's details.
//
// The main window creates both as children of its views' area:
//   profiles.CreateView(mainHwnd, area);  info.Create(mainHwnd, area);
//   profiles.Show(store);      // the profiles view's show: ReloadUserProfiles
//   WM_COMMAND 5029 / 5030     // no profile / one profile ticked
//   WM_COMMAND 5032, lParam = the row: info.Show(*profiles.ProfileAt(row))
//   5033 (back): profiles.ShowAgain()  // without reloading the list
#include "gui/ProfilesList.h"
#include "gui/win32/RowsView.h"
#include "profiles/ProfileStore.h"

namespace GUI {

class ProfilesView : public RowsView {
public:
    static constexpr uint32_t kSecondLineColour = 0xFFA5A5A5;

    explicit ProfilesView(Aqua::Toolkit& toolkit) : RowsView(toolkit) {}
    // Reloads the user profiles (every tick cleared) and shows the view.
    void Show(Profiles::ProfileStore& store);
    // Shows the view again as it was (back from a profile's details).
    void ShowAgain();
    const ProfilesList& list() const { return list_; }
    RTI::Reference<Profiles::Profile> ProfileAt(int row) const;

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    int ContentHeight() const override { return list_.ScrollRange(); }
    void OnClick(int x, int y) override;
    void OnLayout() override;

private:
    ProfilesList list_;
    std::vector<RTI::Reference<Profiles::Profile>> shown_;
};

class ProfileInfo : public Control {
public:
    static constexpr uint32_t kBackground = 0xFFE0DFE3;

    explicit ProfileInfo(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    bool Create(HWND parent, Aqua::Rect place);
    // Shows the profile's name, a blank line and its extended description.
    void Show(const Profiles::Profile& profile);
    const std::wstring& text() const { return text_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;

private:
    std::wstring text_;
};

}  // namespace GUI
