#pragma once
// The program's options, as the main window applies them at start and the
// Settings view reads and applies them:
//
//   AppSettings::Environment env = AppSettings::RunningProgram(&guard);
//   AppSettings::StartState start = AppSettings::AtStart(env);  // once, at start
//   AppSettings::Options shown = AppSettings::Read(env);         // the view's boxes
//   AppSettings::ApplyResult r = AppSettings::Apply(env, chosen);
//   if (!r.Message().empty()) { /* tell the user */ }
//
// The switches are REG_DWORD 0/1 values under the settings key. Start-up only
// reads: it writes defaults for missing values and never changes anything
// else of the user's (a desktop shortcut in particular).
#include <string>
#include <vector>

#include "app/settings/Environment.h"
#include "core/platform/Platform.h"

namespace AppSettings {

// The Settings view's check boxes.
struct Options {
    bool enableBackup = true;         // "Create backup registry"
    bool loadAtStartup = false;       // "Load at Windows startup"
    bool showAtDesktop = false;       // "Show the program at desktop"
    bool analyseAtLaunch = true;      // "Run the analyse at program launching"
    bool enableStartUpGuard = false;  // "Startup Guard"
    bool enableBrowserGuard = false;  // "Browser Guard"

    friend bool operator==(const Options&, const Options&) = default;
};

struct StartState {
    // UserTweaksPath as it stands after start; empty when not set.
    std::wstring userTweaksPath;
    // The values read; a value of another type than REG_DWORD gives the
    // default here and stays as it is in the registry. loadAtStartup is not
    // read at start (asking the task scheduler slows every launch; the
    // Settings view reads it with Read) and stays false.
    Options options;
};

// Settings at start: the default user tweak file, the keys, the defaults of
// missing values, and the startup guard switched as EnableStartUpGuard says
// (only when it is a REG_DWORD).
StartState AtStart(const Environment& environment);

// The view's check boxes: ticked for a REG_DWORD that is not 0; "Load at
// Windows startup" when the Run value or the logon task exists. Reading
// changes nothing.
Options Read(const Environment& environment);

struct ApplyResult {
    // The texts of the check boxes whose choice could not be saved.
    std::vector<std::wstring> unsaved;
    // Not 0 when the logon task could not be made (see StartWithWindows.h).
    Platform::Status logonTaskError = 0;

    // What to tell the user; empty when everything was saved.
    std::wstring Message() const;
};

// Stores every check box as a REG_DWORD and reads each back; creates or
// removes the desktop shortcut when that box changed; switches the startup
// guard when its box changed; makes "Load at Windows startup" so.
ApplyResult Apply(const Environment& environment, const Options& options);

// The tune-up's question: keep a backup? Yes unless EnableBackup is a
// REG_DWORD 0 (a missing value or one of another type cannot say "off").
bool BackupEnabled(const Locations& where);

}  // namespace AppSettings
