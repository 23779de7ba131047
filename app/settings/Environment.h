#pragma once
// Where the program's options are kept and what they refer to. The program
// uses the defaults; tests point the keys at scratch keys and the program
// path at a file of their own.
#include <optional>
#include <string>

namespace AppSettings {

// Switches the startup guard on or off at once. The main window implements it.
class IStartupGuard {
public:
    virtual ~IStartupGuard() = default;
    virtual void SetStartupGuard(bool enabled) = 0;
};

// Keys are under HKEY_CURRENT_USER.
struct Locations {
    std::wstring programKey = L"Software\\Corvane";             // UserTweaksPath
    std::wstring settingsKey = L"Software\\Corvane\\Settings";  // the switches
    std::wstring runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::wstring runValue = L"Corvane";
    // <Desktop>\<shortcutName>.lnk
    std::wstring shortcutName = L"Corvane";
    // <AppData>\<dataFolder>\tweaks.xml is the default user tweak file.
    std::wstring dataFolder = L"Corvane";
    // The logon task is "<taskPrefix> (<user>)".
    std::wstring taskPrefix = L"Corvane at logon";
};

struct Environment {
    // The running program's full path: the Run value and the desktop
    // shortcut point here, so that a copy outside Program Files works too.
    std::wstring programPath;
    // The starter tweak file shipped beside the program.
    std::wstring starterTweaksPath;
    Locations where;
    // Null: the guard is left alone.
    IStartupGuard* guard = nullptr;
    // Whether the program runs elevated; empty: as the system says.
    std::optional<bool> elevated;
};

// The running program's environment, from the system's answer for its path.
Environment RunningProgram(IStartupGuard* guard);

// The folder of a file path, without the trailing backslash.
std::wstring FolderOf(const std::wstring& path);

}  // namespace AppSettings
