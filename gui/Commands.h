#pragma once
// The main window's command identifiers (the low word of WM_COMMAND) and
// the way logic hands a command back to the user-interface thread.
#include <cstdint>

namespace GUI {

namespace Command {
constexpr int Tuning = 5000;
constexpr int Analyse = 5001;
constexpr int Settings = 5002;
constexpr int Support = 5003;
constexpr int Exit = 5004;
constexpr int ShowTweaks = 5005;
constexpr int Back = 5007;
constexpr int Ok = 5008;
constexpr int Cancel = 5010;
constexpr int Pause = 5011;
constexpr int Resume = 5012;
constexpr int Abort = 5013;
constexpr int TuneUp = 5015;
constexpr int Backups = 5016;
constexpr int RestorePoints = 5017;
constexpr int DeletePoints = 5018;
constexpr int ShowDetails = 5020;
constexpr int BackToTweaks = 5021;
constexpr int LeaveTweaks = 5022;
constexpr int NoPointChecked = 5023;
constexpr int PointChecked = 5024;
constexpr int Profiles = 5025;
constexpr int SetProfiles = 5026;
constexpr int DeleteProfiles = 5027;
constexpr int SaveProfile = 5028;
constexpr int NoProfileChecked = 5029;
constexpr int ProfileChecked = 5030;
constexpr int TuningMenu = 5031;
constexpr int ShowProfile = 5032;
constexpr int BackToProfiles = 5033;
constexpr int TweakSets = 5035;
constexpr int StartupPrograms = 5036;  // the startup programs view (settings panel, guard balloon)
constexpr int UserTweaksPath = 5038;
constexpr int OnlineHelp = 5039;
}  // namespace Command

// Posts a command to the user-interface thread (PostMessage in the window;
// a recorder in tests). Safe to call from the worker.
class ICommandPoster {
public:
    virtual void PostCommand(int command, intptr_t parameter) = 0;

protected:
    ~ICommandPoster() = default;
};

}  // namespace GUI
