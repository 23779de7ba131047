#pragma once
// corvane-cli: the command-line front end of the tweak engine. Everything but
// the entry point lives here, so that the tests run it in-process over any
// platform:
//
//   Cli::Settings settings;                 // the program's own defaults
//   int exitCode = Cli::Run({L"analyse", L"--json"}, settings, console);
//
// The caller installs the platform and turns pacing off beforehand.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/Console.h"
#include "tweaker/ChangeLock.h"
#include "tweaker/ITweakSetSource.h"

namespace Cli {

namespace Exit {
constexpr int Done = 0;
constexpr int Failed = 1;      // the operation failed, or another program holds the lock
constexpr int BadUsage = 2;    // bad usage or bad input
constexpr int NotApplied = 3;  // a tune-up left selected tweaks not in effect
}  // namespace Exit

// Reads a whole file into bytes; 0 or a Windows error code.
using FileReader = std::function<uint32_t(std::wstring_view path, std::string* bytes)>;

struct Settings {
    // The program's folder under the user's application-data folder.
    std::wstring folderName = L"Corvane";
    // Under HKEY_CURRENT_USER: where EnableBackup lives.
    std::wstring settingsKey = L"Software\\Corvane\\Settings";
    std::wstring lockName{Tweaker::kChangeLockName};
    // The tweak sets; nullptr = the program's resources.
    Tweaker::ITweakSetSource* sets = nullptr;
    // Reads the file given with --catalogue; empty = through the platform.
    FileReader readCatalogue;
};

// Runs one command line (`args` without the program's name) and returns the
// exit code.
int Run(const std::vector<std::wstring>& args, const Settings& settings, IConsole& console);

// The usage text, ending in a line break.
std::wstring UsageText();

}  // namespace Cli
