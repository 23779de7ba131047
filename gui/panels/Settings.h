#pragma once
// The settings panel: the "Options" and "Protection" groups of check boxes
// over the settings library, "OK" storing them all, and a button that opens
// the startup programs view.
//
//   GUI::Settings settings(toolkit, AppSettings::RunningProgram(&guard));
//   settings.Create(mainWindow, x, y);  // hidden
//   on 5002: settings.Show();           // reads the settings, fades in
//   on 5008 while shown: settings.CommandHook(5008);
// "OK" posts 5000 to the owner (the tuning view returns) and fades out; a box
// that could not be saved is reported through the toolkit. The button
// "Startup programs..." posts 5036 to the owner.
#include <map>
#include <memory>

#include "core/rti/Reference.h"
#include "gui/SettingsPanelModel.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/aqua/win32/DrawnControls.h"
#include "gui/panels/FadingPanel.h"

namespace GUI {

class Settings : public FadingPanel {
public:
    static constexpr int kStartupProgramsButton = 5036;

    Settings(Aqua::Toolkit& toolkit, AppSettings::Environment environment)
        : FadingPanel(toolkit), model_(std::move(environment))
    {
    }
    // ownOk: the panel shows its own "OK" button (a host without an action bar).
    bool Create(HWND owner, int x, int y, bool ownOk = true);
    // Fills the boxes from the stored settings and fades in.
    void Show();
    bool CommandHook(int command) override;

    Checkbox* Box(SettingsBox box) const;
    const SettingsPanelModel& model() const { return model_; }
    // The last message "OK" gave the user; empty when everything was saved.
    const std::wstring& lastMessage() const { return lastMessage_; }
    ControlHost* host() const { return host_.Get(); }
    Button* StartupButton() const { return startupButton_.Get(); }
    Button* OkButton() const { return okButton_.Get(); }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    void OnScaleChanged() override { Layout(); }

private:
    void Layout();

    SettingsPanelModel model_;
    RTI::Reference<ControlHost> host_;
    std::vector<RTI::Reference<GroupBox>> groups_;
    std::map<SettingsBox, RTI::Reference<Checkbox>> boxes_;
    RTI::Reference<Button> startupButton_;
    RTI::Reference<Button> okButton_;
    std::wstring lastMessage_;
};

}  // namespace GUI
