#include "gui/Navigator.h"

#include <algorithm>

namespace GUI {

const int kActionButtons[20] = {5000, 5001, 5002, 5004, 5007, 5022, 5021, 5033, 5008, 5010,
                                5011, 5012, 5013, 5015, 5017, 5018, 5027, 5026, 5028, 5038};

const wchar_t* const Navigator::kBusyCaption = L"Corvane";
const wchar_t* const Navigator::kBusyText =
    L"This cannot be done while an analysis or a tune-up runs. Wait until it has finished or abort it.";

std::wstring WindowCaption(int tweakCount)
{
    return L"Corvane 2.3 (" + std::to_wstring(tweakCount) + L" tweaks)";
}

namespace {

struct ViewRule {
    ViewId view;
    const wchar_t* topic;
    int menu;  // 0: unchanged
    std::vector<int> buttons;
    std::vector<int> disabled;
    const wchar_t* title;  // nullptr: unchanged
    LeaveGuard guard;
    CommandHook hook;
};

const ViewRule& Rule(ViewId view)
{
    using namespace Command;
    static const ViewRule rules[] = {
        {ViewId::Tuning,
         L"ID_TUNING",
         TuningMenu,
         {Settings, TuneUp, Exit, Support},
         {},
         L"Tuning",
         LeaveGuard::Tuning,
         CommandHook::None},
        {ViewId::Tweaks,
         L"ID_TWEAKS_VIEW",
         TuningMenu,
         {LeaveTweaks},
         {},
         nullptr,
         LeaveGuard::Tweaks,
         CommandHook::None},
        {ViewId::TweakInfo,
         L"ID_TWEAK_INFO",
         0,
         {BackToTweaks},
         {},
         nullptr,
         LeaveGuard::TweakInfo,
         CommandHook::TweakInfo},
        {ViewId::Backups,
         L"ID_BACKUPS",
         Backups,
         {Back, RestorePoints, DeletePoints},
         {RestorePoints, DeletePoints},
         L"Backups",
         LeaveGuard::None,
         CommandHook::None},
        {ViewId::Profiles,
         L"ID_PROFILES_VIEW",
         Profiles,
         {Back, SetProfiles, DeleteProfiles, SaveProfile},
         {SetProfiles, DeleteProfiles},
         L"Profiles",
         LeaveGuard::None,
         CommandHook::None},
        {ViewId::ProfileInfo,
         L"ID_PROFILE_INFO",
         0,
         {BackToProfiles},
         {},
         nullptr,
         LeaveGuard::None,
         CommandHook::None},
        {ViewId::TweakSets,
         L"ID_COLLECTIONS_INFO",
         TweakSets,
         {Back, UserTweaksPath},
         {},
         L"Tweaks sets",
         LeaveGuard::None,
         CommandHook::None},
        {ViewId::Settings,
         L"ID_SETTINGS",
         Command::Settings,
         {Ok, Cancel},
         {},
         L"Settings",
         LeaveGuard::None,
         CommandHook::Panel},
        {ViewId::Support, L"ID_SUPPORT", 0, {Ok, Cancel}, {}, L"Support", LeaveGuard::None, CommandHook::Panel},
        // Reached from the settings panel and from the guard's balloon.
        {ViewId::Startup,
         L"ID_STARTUP_PROGRAMS",
         0,
         {Back},
         {},
         L"Startup programs",
         LeaveGuard::None,
         CommandHook::None},
    };
    for (const ViewRule& rule : rules) {
        if (rule.view == view) {
            return rule;
        }
    }
    return rules[0];
}

bool HasButton(int id)
{
    return std::find(std::begin(kActionButtons), std::end(kActionButtons), id) != std::end(kActionButtons);
}

}  // namespace

Navigator::Navigator(INavigationHost& host) : host_(host)
{
    SetButtons({Command::Support, Command::Settings, Command::TuneUp, Command::Exit});
    helpTopic_ = L"ID_TUNING";
}

void Navigator::SetButtons(std::vector<int> buttons)
{
    buttons.erase(std::remove_if(buttons.begin(), buttons.end(), [](int id) { return !HasButton(id); }), buttons.end());
    std::sort(buttons.begin(), buttons.end());
    buttons_ = std::move(buttons);
    disabled_.clear();
}

void Navigator::Show(ViewId view, const std::wstring* title)
{
    const bool panel = view == ViewId::Settings || view == ViewId::Support;
    if (!panel) {
        beneath_.reset();
    } else if (!beneath_) {
        beneath_ = Shown{view_, buttons_, disabled_, helpTopic_, menu_, title_, guard_, hook_};
    }
    const ViewRule& rule = Rule(view);
    view_ = view;
    SetButtons(rule.buttons);
    disabled_.insert(rule.disabled.begin(), rule.disabled.end());
    helpTopic_ = rule.topic;
    host_.ShowHelpTopic(helpTopic_);
    if (rule.menu != 0) {
        menu_ = rule.menu;
    }
    if (title) {
        title_ = *title;
    } else if (rule.title) {
        title_ = rule.title;
    }
    guard_ = rule.guard;
    hook_ = rule.hook;
}

bool Navigator::Leave()
{
    switch (guard_) {
        case LeaveGuard::Analysing:
            host_.StopRun();
            menu_ = 0;
            break;
        case LeaveGuard::Tuning:
            menu_ = 0;
            break;
        case LeaveGuard::Tweaks:
            menu_ = Command::TuningMenu;
            break;
        case LeaveGuard::TweakInfo:
            host_.ShowHelpTopic(L"ID_TWEAKS_VIEW");
            break;
        case LeaveGuard::None:
            break;
    }
    return true;
}

bool Navigator::RefuseWhileRunning()
{
    if (!host_.IsRunning()) {
        return false;
    }
    host_.Tell(kBusyCaption, kBusyText);
    return true;
}

bool Navigator::NoCatalogue()
{
    if (host_.SectionCount() > 0) {
        return false;
    }
    host_.Tell(
        L"No tweaks loaded",
        L"The tweak catalogue did not load, so there is nothing to analyse or tune up.\n\n" + host_.LoadProblemText());
    return true;
}

bool Navigator::HookHandles(int command)
{
    using namespace Command;
    switch (hook_) {
        case CommandHook::Analysis:
        case CommandHook::TuneUp:
            if (command == Pause) {
                host_.PauseRun();
                SetButtons({Resume, Abort});
                return true;
            }
            if (command == Resume) {
                host_.ResumeRun();
                SetButtons({Pause, Abort});
                return true;
            }
            if (command == Abort) {
                // The run's end returns the window to the tuning view (5000).
                host_.StopRun();
                return true;
            }
            return false;
        case CommandHook::TweakInfo:
            if (command == Ok) {
                if (RefuseWhileRunning() || !host_.ApplyDetails()) {
                    return true;
                }
                Show(ViewId::Tweaks);
                return true;
            }
            if (command == Cancel) {
                Show(ViewId::Tweaks);
                return true;
            }
            return false;
        case CommandHook::Panel:
            if (command == Ok || command == Cancel) {
                ClosePanel();
                return true;
            }
            return false;
        case CommandHook::None:
            return false;
    }
    return false;
}

void Navigator::ClosePanel()
{
    if (!beneath_) {
        Show(ViewId::Tuning);
        return;
    }
    Shown shown = std::move(*beneath_);
    beneath_.reset();
    const bool runEnded =
        (shown.hook == CommandHook::Analysis || shown.hook == CommandHook::TuneUp) && !host_.IsRunning();
    if (shown.view == ViewId::Tuning && (runEnded || shown.hook == CommandHook::None)) {
        // The tuning view as it is now (an analysis was stopped when the panel opened).
        Show(ViewId::Tuning);
        return;
    }
    view_ = shown.view;
    buttons_ = std::move(shown.buttons);
    disabled_ = std::move(shown.disabled);
    helpTopic_ = std::move(shown.helpTopic);
    host_.ShowHelpTopic(helpTopic_);
    menu_ = shown.view == ViewId::Tuning ? Command::TuningMenu : shown.menu;
    title_ = std::move(shown.title);
    guard_ = shown.guard;
    hook_ = shown.hook;
}

void Navigator::BeginAnalysis()
{
    if (NoCatalogue()) {
        return;
    }
    if (host_.IsRunning()) {
        host_.Tell(kBusyCaption, kBusyText);
        return;
    }
    Show(ViewId::Tuning);
    if (const uint32_t s = host_.StartAnalysis()) {
        host_.Tell(L"Analyse", L"The analysis could not start (error " + std::to_wstring(s) + L").");
        return;
    }
    // The run buttons appear only once the run has started.
    SetButtons({Command::Pause, Command::Abort});
    title_ = L"Analyse...";
    guard_ = LeaveGuard::Analysing;
    hook_ = CommandHook::Analysis;
}

void Navigator::BeginTuneUp()
{
    if (NoCatalogue()) {
        return;
    }
    if (host_.IsRunning()) {
        host_.Tell(kBusyCaption, kBusyText);
        return;
    }
    if (host_.FirstSectionMode() == SectionMode::NotAnalysed) {
        if (host_.Ask(L"You need to analyse system before tuning!", L"Start analysing? ")) {
            BeginAnalysis();
        }
        return;
    }
    if (host_.CountSelectedNotApplied() == 0) {
        host_.Tell(L"No tweaks selected for applying!",
                   L"To run tune up process you need to select for applying at least one tweak! ");
        return;
    }
    Show(ViewId::Tuning);
    if (host_.StartTuneUp() != 0) {
        return;  // the engine has told the user why
    }
    SetButtons({Command::Pause, Command::Abort});
    title_ = L"Tune...";
    hook_ = CommandHook::TuneUp;
}

Effect Navigator::Dispatch(int command, intptr_t parameter)
{
    using namespace Command;
    if (HookHandles(command)) {
        return Effect::None;
    }
    switch (command) {
        case Tuning:
        case Settings:
        case Support:
        case ShowTweaks:
        case Command::Backups:
        case Command::Profiles:
        case TuningMenu:
        case Command::TweakSets:
        case Command::StartupPrograms:
            if (!Leave()) {
                return Effect::None;
            }
            break;
        case Analyse:
        case TuneUp:
            // The guard would stop a running analysis; a refused start changes nothing.
            if (!host_.IsRunning() && host_.SectionCount() > 0 && !Leave()) {
                return Effect::None;
            }
            break;
        default:
            break;
    }
    switch (command) {
        case Tuning:
        case Back:
            Show(ViewId::Tuning);
            menu_ = TuningMenu;
            break;
        case TuningMenu:
        case LeaveTweaks:
            if (!host_.IsRunning()) {
                host_.RecomputeAll();
            }
            Show(ViewId::Tuning);
            break;
        case Analyse:
            BeginAnalysis();
            break;
        case TuneUp:
            BeginTuneUp();
            break;
        case Settings:
            Show(ViewId::Settings);
            break;
        case Support:
            Show(ViewId::Support);
            break;
        case ShowTweaks: {
            const std::wstring name = host_.OpenTweaks(parameter);
            Show(ViewId::Tweaks, &name);
            break;
        }
        case ShowDetails: {
            const bool edits = host_.OpenDetails(parameter);
            Show(ViewId::TweakInfo);
            if (edits) {
                SetButtons({Ok, Cancel});
            }
            break;
        }
        case BackToTweaks:
            Show(ViewId::Tweaks);
            break;
        case Command::Backups:
            Show(ViewId::Backups);
            break;
        case Command::Profiles:
        case BackToProfiles:
            Show(ViewId::Profiles);
            break;
        case ShowProfile:
            Show(ViewId::ProfileInfo);
            break;
        case Command::TweakSets:
            Show(ViewId::TweakSets);
            break;
        case Command::StartupPrograms:
            Show(ViewId::Startup);
            break;
        case NoPointChecked:
            disabled_.insert({RestorePoints, DeletePoints});
            break;
        case PointChecked:
            disabled_.erase(RestorePoints);
            disabled_.erase(DeletePoints);
            break;
        case NoProfileChecked:
            disabled_.insert({SetProfiles, DeleteProfiles});
            break;
        case ProfileChecked:
            disabled_.erase(SetProfiles);
            disabled_.erase(DeleteProfiles);
            break;
        case RestorePoints:
        case DeletePoints:
        case SetProfiles:
        case DeleteProfiles:
        case SaveProfile:
        case UserTweaksPath:
            // Nothing changes under a running run.
            if (!RefuseWhileRunning()) {
                host_.Perform(command);
            }
            break;
        case Exit:
            if (guard_ == LeaveGuard::Tuning) {
                menu_ = 0;
            }
            return Effect::Quit;
        case OnlineHelp:
            return Effect::OpenHelp;
        default:
            break;  // 5006, 5009, 5014, 5019, 5034 and unknown identifiers
    }
    return Effect::None;
}

}  // namespace GUI
