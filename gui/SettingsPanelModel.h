#pragma once
// What the settings panel shows and stores: its two groups of check boxes,
// filled from the stored settings and written back by "OK". Every box is
// stored, the "Protection" ones included (the startup guard is switched at
// once through the environment's guard), and a box that could not be saved
// is reported instead of silently lost.
//
//   GUI::SettingsPanelModel model(environment);
//   model.Load();                               // when the panel is shown
//   model.SetTicked(SettingsBox::StartupGuard, true);
//   std::wstring problem = model.Apply();       // on "OK"; empty = all saved
#include <string>
#include <vector>

#include "app/settings/Settings.h"

namespace GUI {

enum class SettingsBox {
    CreateBackup,
    LoadAtStartup,
    ShowAtDesktop,
    AnalyseAtLaunch,
    StartupGuard,
    BrowserGuard,
};

struct SettingsGroup {
    const wchar_t* caption;
    const wchar_t* image;  // the group box's picture
    std::vector<SettingsBox> boxes;
};

class SettingsPanelModel {
public:
    static constexpr wchar_t kCaption[] = L"Settings";
    // The box captions, as the panel shows them.
    static const wchar_t* CaptionOf(SettingsBox box);
    // "Options" (four boxes) and "Protection" (two), in the panel's order.
    static const std::vector<SettingsGroup>& Groups();

    explicit SettingsPanelModel(AppSettings::Environment environment) : environment_(std::move(environment)) {}

    // Fills the boxes from the stored settings (unreadable ones unticked).
    void Load();
    bool Ticked(SettingsBox box) const;
    void SetTicked(SettingsBox box, bool ticked);
    const AppSettings::Options& Options() const { return options_; }

    // Stores every box and reads it back. Empty when everything was saved;
    // otherwise the message for the user, naming what was not saved.
    std::wstring Apply();

private:
    AppSettings::Environment environment_;
    AppSettings::Options options_;
};

}  // namespace GUI
