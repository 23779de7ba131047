#include "app/settings/Settings.h"

#include "app/settings/DesktopShortcut.h"
#include "app/settings/RegistryValues.h"
#include "app/settings/StartWithWindows.h"
#include "app/settings/UserTweaksFile.h"
#include "core/platform/Errors.h"

namespace AppSettings {
namespace {

// The switches under the settings key, in the order they are made at start.
struct Switch {
    const wchar_t* value;
    const wchar_t* label;
    bool Options::*member;
};

constexpr Switch kSwitches[] = {
    {L"EnableBackup", L"Create backup registry", &Options::enableBackup},
    {L"ShowAtDesktop", L"Show the program at desktop", &Options::showAtDesktop},
    {L"AnalyseAtLaunch", L"Run the analyse at program launching", &Options::analyseAtLaunch},
    {L"EnableStartUpGuard", L"Startup Guard", &Options::enableStartUpGuard},
    {L"EnableBrowserGuard", L"Browser Guard", &Options::enableBrowserGuard},
};
constexpr const wchar_t* kShowAtDesktop = L"ShowAtDesktop";
constexpr const wchar_t* kStartUpGuard = L"EnableStartUpGuard";
constexpr const wchar_t* kLoadAtStartupLabel = L"Load at Windows startup";

void AddUnsaved(ApplyResult* result, const std::wstring& label)
{
    for (const std::wstring& known : result->unsaved) {
        if (known == label) {
            return;
        }
    }
    result->unsaved.push_back(label);
}

}  // namespace

StartState AtStart(const Environment& environment)
{
    const Locations& where = environment.where;
    StartState state;
    state.userTweaksPath = PrepareUserTweaksPath(environment);
    (void)EnsureKey(where.settingsKey);

    const Options defaults;
    DwordValue guard;
    for (const Switch& item : kSwitches) {
        const DwordValue stored = ReadDword(where.settingsKey, item.value);
        bool value = defaults.*item.member;
        if (stored.Missing()) {
            if (std::wstring_view(item.value) == kShowAtDesktop) {
                value = DesktopShortcutPresent(environment);
            }
            // A default that cannot be written is made again at the next start.
            (void)WriteDword(where.settingsKey, item.value, value ? 1 : 0);
        } else if (stored.IsDword()) {
            value = stored.value != 0;
        }
        state.options.*item.member = value;
        if (std::wstring_view(item.value) == kStartUpGuard) {
            guard = stored;
        }
    }
    if (guard.IsDword() && environment.guard != nullptr) {
        environment.guard->SetStartupGuard(guard.value != 0);
    }
    return state;
}

Options Read(const Environment& environment)
{
    Options options;
    for (const Switch& item : kSwitches) {
        const DwordValue stored = ReadDword(environment.where.settingsKey, item.value);
        options.*item.member = stored.IsDword() && stored.value != 0;
    }
    options.loadAtStartup = StartsWithWindows(environment);
    return options;
}

ApplyResult Apply(const Environment& environment, const Options& options)
{
    const Locations& where = environment.where;
    ApplyResult result;
    const DwordValue desktopBefore = ReadDword(where.settingsKey, kShowAtDesktop);
    const DwordValue guardBefore = ReadDword(where.settingsKey, kStartUpGuard);

    for (const Switch& item : kSwitches) {
        if (WriteDword(where.settingsKey, item.value, options.*item.member ? 1 : 0) != Err::Success) {
            AddUnsaved(&result, item.label);
        }
    }
    // The shortcut follows the box only when the user changed it, so that a
    // shortcut the user made or removed by hand is left as it is.
    if (!desktopBefore.IsDword() || (desktopBefore.value != 0) != options.showAtDesktop) {
        if (ApplyDesktopShortcut(environment, options.showAtDesktop) != Err::Success) {
            AddUnsaved(&result, L"Show the program at desktop");
        }
    }
    if (environment.guard != nullptr &&
        (!guardBefore.IsDword() || (guardBefore.value != 0) != options.enableStartUpGuard)) {
        environment.guard->SetStartupGuard(options.enableStartUpGuard);
    }
    const StartWithWindowsResult start = ApplyStartWithWindows(environment, options.loadAtStartup);
    if (start.status != Err::Success) {
        AddUnsaved(&result, kLoadAtStartupLabel);
    }
    result.logonTaskError = start.taskError;
    return result;
}

std::wstring ApplyResult::Message() const
{
    std::wstring text;
    if (!unsaved.empty()) {
        text = L"Some settings could not be saved.\n";
        for (const std::wstring& label : unsaved) {
            text += L"\n" + label;
        }
    }
    if (logonTaskError != Err::Success) {
        if (!text.empty()) {
            text += L"\n\n";
        }
        text += L"The logon task that starts Corvane with administrator rights could not be created (error " +
                std::to_wstring(logonTaskError) +
                L"). Corvane is started from the Run key instead, where Windows may not start it.";
    }
    return text;
}

bool BackupEnabled(const Locations& where)
{
    const DwordValue stored = ReadDword(where.settingsKey, L"EnableBackup");
    return !stored.IsDword() || stored.value != 0;
}

}  // namespace AppSettings
