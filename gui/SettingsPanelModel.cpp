#include "gui/SettingsPanelModel.h"

namespace GUI {

const wchar_t* SettingsPanelModel::CaptionOf(SettingsBox box)
{
    switch (box) {
        case SettingsBox::CreateBackup:
            return L"Create backup registry";
        case SettingsBox::LoadAtStartup:
            return L"Load at Windows startup";
        case SettingsBox::ShowAtDesktop:
            return L"Show the program at desktop";
        case SettingsBox::AnalyseAtLaunch:
            return L"Run the analyse at program launching";
        case SettingsBox::StartupGuard:
            return L"Startup Guard";
        case SettingsBox::BrowserGuard:
            return L"Browser Guard";
    }
    return L"";
}

const std::vector<SettingsGroup>& SettingsPanelModel::Groups()
{
    static const std::vector<SettingsGroup> groups = {
        {L"Options",
         L"AQUA.MENU.SETTINGS",
         {SettingsBox::CreateBackup, SettingsBox::LoadAtStartup, SettingsBox::ShowAtDesktop,
          SettingsBox::AnalyseAtLaunch}},
        {L"Protection", L"AQUA.MENU.BACKUPS", {SettingsBox::StartupGuard, SettingsBox::BrowserGuard}},
    };
    return groups;
}

namespace {

template <class Options>
auto* Field(Options& options, SettingsBox box)
{
    switch (box) {
        case SettingsBox::CreateBackup:
            return &options.enableBackup;
        case SettingsBox::LoadAtStartup:
            return &options.loadAtStartup;
        case SettingsBox::ShowAtDesktop:
            return &options.showAtDesktop;
        case SettingsBox::AnalyseAtLaunch:
            return &options.analyseAtLaunch;
        case SettingsBox::StartupGuard:
            return &options.enableStartUpGuard;
        case SettingsBox::BrowserGuard:
            return &options.enableBrowserGuard;
    }
    return &options.enableBackup;
}

}  // namespace

void SettingsPanelModel::Load()
{
    options_ = AppSettings::Read(environment_);
}

bool SettingsPanelModel::Ticked(SettingsBox box) const
{
    return *Field(options_, box);
}

void SettingsPanelModel::SetTicked(SettingsBox box, bool ticked)
{
    *Field(options_, box) = ticked;
}

std::wstring SettingsPanelModel::Apply()
{
    const AppSettings::ApplyResult result = AppSettings::Apply(environment_, options_);
    return result.Message();
}

}  // namespace GUI
