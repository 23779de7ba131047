#pragma once
// GUI::MainFrame: the program's main window. It owns the main menu, the title
// strip, the help button with the views' help texts, the action bar, one
// section per top-level category, the tweaks view, the tweak details and the
// tune-up preview; routes the commands 5000-5039 through the Navigator; is
// the progress sink of the runs; and answers the inspection hook.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/Settings.h"
#include "core/platform/Handles.h"
#include "gui/InspectionState.h"
#include "gui/Keyboard.h"
#include "gui/MainWindow.h"
#include "gui/Navigator.h"
#include "gui/RestoreProgress.h"
#include "gui/RunTracer.h"
#include "gui/StartupGuardSwitch.h"
#include "gui/SystemSummary.h"
#include "gui/Tips.h"
#include "gui/TweakDetails.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/panels/GuardTicker.h"
#include "gui/panels/Settings.h"
#include "gui/panels/StartupView.h"
#include "gui/panels/Support.h"
#include "gui/panels/SystemInfoStrip.h"
#include "gui/win32/BackupsView.h"
#include "gui/win32/CollectionsView.h"
#include "gui/win32/ProfileDialog.h"
#include "gui/win32/ProfilesView.h"
#include "gui/win32/Prompts.h"
#include "gui/win32/SectionWindow.h"
#include "gui/win32/StartupJobs.h"
#include "gui/win32/TweakInfoView.h"
#include "gui/win32/TweaksView.h"
#include "profiles/ProfileStore.h"
#include "tweaker/IRunMessages.h"
#include "tweaker/Manager.h"

namespace GUI {

// What the main window needs from the program.
struct MainFrameParts {
    Aqua::Toolkit* toolkit = nullptr;
    IFrame* frame = nullptr;
    Tweaker::Manager* manager = nullptr;  // the loaded catalogue
    IPrompts* prompts = nullptr;          // nullptr: message boxes and the preview window
    // Whether a tune-up keeps a backup point ("EnableBackup"), asked at each
    // tune-up; empty: as the settings below say.
    std::function<bool()> backupEnabled;
    // Where the settings panel reads and stores the options; empty: the
    // running program's.
    std::optional<AppSettings::Environment> settings;
    // The system-information strip's facts; empty: probed from this machine.
    std::optional<std::vector<SummaryLine>> summary;
    std::wstring helpPage;  // the online help page; empty: the build's setting
    // Opens an https:// address in the user's browser; empty: ShellExecuteW "open".
    std::function<DWORD(const std::wstring& url)> openUrl;
    // A test run's answer to the restart offer (not shown then); empty: asked.
    std::optional<bool> restartAnswer;
    std::wstring lockName;        // the change lock; empty: the program's
    HMODULE resources = nullptr;  // holds TIPS; nullptr: the program's module
    // The tray's balloon, where the startup guard tells of new entries;
    // nullptr: the guard tells nobody.
    IBalloon* balloon = nullptr;
    // Where the startup snapshot is kept; an empty folder: the user's data folder.
    StartUp::SnapshotPlace startupPlace;
    // The startup guard's tick; 0: StartUp::kGuardTickMilliseconds.
    uint32_t guardTickMilliseconds = 0;
};

std::unique_ptr<IMainWindow> MakeMainFrame(const MainFrameParts& parts);

class MainFrame final : public Window,
                        public IMainWindow,
                        private INavigationHost,
                        private ICommandPoster,
                        private Tweaker::IRunMessages,
                        private ITweaksViewHost,
                        public AppSettings::IStartupGuard {
public:
    static constexpr int kClientWidth = 388;
    static constexpr int kTitleHeight = 29;
    static constexpr int kActionsHeight = 48;
    static constexpr int kStripHeight = SystemSummary::kHeight;

    explicit MainFrame(const MainFrameParts& parts);
    ~MainFrame() override;

    [[nodiscard]] DWORD Create(const std::wstring& title, int x, int y) override;
    HWND Handle() const override { return hwnd(); }
    void BringUp() override;
    void StopRun() override;

    // What the inspection hook answers.
    WindowState State() const;
    // The caption of an action-bar button.
    static const wchar_t* ButtonCaption(int id);
    const Navigator& navigator() const { return navigator_; }
    const std::vector<RTI::Reference<SectionWindow>>& sectionWindows() const { return sectionWindows_; }
    TweaksView* tweaksView() const { return tweaksView_.Get(); }
    TweakInfoView* infoView() const { return infoView_.Get(); }
    Actions* actions() const { return actions_.Get(); }
    Menu* menu() const { return menu_.Get(); }
    BackupsView* backupsView() const { return backupsView_.Get(); }
    ProfilesView* profilesView() const { return profilesView_.Get(); }
    ProfileInfo* profileInfo() const { return profileInfo_.Get(); }
    CollectionsView* tweakSetsView() const { return tweakSetsView_.Get(); }
    Settings* settingsPanel() const { return settings_.Get(); }
    Support* supportPanel() const { return support_.Get(); }
    SystemInfo::Strip* strip() const { return strip_.Get(); }
    // The last progress text of a restore (the title strip shows it while the restore runs).
    const std::wstring& lastRestoreProgress() const { return lastRestoreProgress_; }
    StartupView* startupView() const { return startupView_.Get(); }
    StartupGuardSwitch& startupGuard() { return *guard_; }

    // The settings' switch of the startup guard (at start and from the settings).
    void SetStartupGuard(bool enabled) override;

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCaptionButton(LRESULT hit) override;
    // A move to a monitor of another DPI: every child takes the scale and its place.
    void OnScaleChanged() override;

private:
    class Tracer;
    friend class Tracer;
    // A message the worker asks for, shown on the user-interface thread
    // (posted as kRunMessage with the note in lParam).
    struct RunNote {
        bool restart = false;
        std::wstring caption;
        std::wstring text;
    };
    static constexpr UINT kRunMessage = WM_APP + 17;
    static constexpr UINT kRestoreProgressMessage = WM_APP + 18;  // the restore's worker moved on
    static constexpr UINT kStartupReadyMessage = WM_APP + 19;  // the startup catalogue is gathered
    static constexpr UINT_PTR kRunTimer = 17;  // watches a run's end
    static constexpr int kRunTimerMs = 100;
    // The one main frame of this thread, for the keyboard hook.
    static thread_local MainFrame* keyboardFrame_;

    // INavigationHost
    int SectionCount() override { return static_cast<int>(sections_.size()); }
    SectionMode FirstSectionMode() override;
    std::wstring LoadProblemText() override;
    int CountSelectedNotApplied() override;
    bool IsRunning() override { return manager_.IsRunning(); }
    uint32_t StartAnalysis() override;
    uint32_t StartTuneUp() override;
    void PauseRun() override { manager_.PauseRun(); }
    void ResumeRun() override { manager_.ResumeRun(); }
    void RecomputeAll() override;
    bool Ask(const std::wstring& caption, const std::wstring& text) override;
    void Tell(const std::wstring& caption, const std::wstring& text) override;
    std::wstring OpenTweaks(intptr_t category) override;
    bool OpenDetails(intptr_t tweak) override;
    bool ApplyDetails() override;
    void Perform(int command) override;
    void ShowHelpTopic(const std::wstring& topic) override;
    // ICommandPoster: from the worker too.
    void PostCommand(int command, intptr_t parameter) override;
    // IRunMessages: shown on the user-interface thread.
    void Warn(const std::wstring& caption, const std::wstring& text) override;
    void OfferRestart() override;
    // ITweaksViewHost
    void ToggleSelection(int row) override;
    void ToggleSwitch(int row) override;
    void OpenRowDetails(int row) override;
    void ViewKey(UINT key) override;

    void Build();
    // The settings and support panels and the system-information strip
    // (MainFramePanels.cpp).
    void BuildPanels(int stripTop);
    void PlacePanels(int clientX, int clientY);
    // The panels' own posts and the action bar's OK/Cancel for an open panel;
    // true when the command needs nothing more.
    bool PanelCommand(int command, intptr_t parameter);
    // Opens the navigator's panel, closes the other: with a fade, or at once
    // when another view was chosen (`viewChanged`).
    void SyncPanels(bool viewChanged);
    FadingPanel* OpenPanel() const;
    // An open panel closes as Cancel would, at once: a pop-up is not hidden
    // with the window that owns it.
    void ClosePanelsNow();
    void ShowRestoreProgress();
    void LoadTips();
    void OnCommand(int command, intptr_t parameter);
    void Sync();
    void ShowPopups();
    void PlacePopups(int clientX, int clientY);
    void HideAll();
    void OpenOnlineHelp();
    // The backups view: restore on the worker, delete asked first.
    void RestorePoints();
    void FinishRestore();
    void DeletePoints();
    // The profiles view: set, delete and save through the profile store.
    void PerformProfiles(int command);
    // "Select file": the user's tweak file, remembered only after OK.
    void SelectUserTweaks();
    // The startup programs view and the startup guard (MainFrameStartup.cpp).
    void BuildStartup();
    void PlaceStartup(Aqua::Rect views);
    void SyncStartup(ViewId view);
    void OpenStartup();
    void FinishStartupJob();
    void OnStartupAppeared(const std::vector<StartUp::ListedEntry>& appeared);
    void RevealNewEntries();
    void FillStartupState(WindowState& s) const;
    void DestroyStartup();
    bool OnKey(UINT key, bool shift);
    // Takes the change lock for one change; tells the user when another
    // program holds it.
    bool TakeLock(Platform::UniqueNamedLock* lock);
    bool RefuseWhileRunning();
    void RepaintSections() const;
    void CaptureAll();
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);

    MainFrameParts parts_;
    Tweaker::Manager& manager_;
    std::unique_ptr<IPrompts> ownPrompts_;
    IPrompts* prompts_ = nullptr;
    SectionList sections_;
    std::unique_ptr<RunTracer> runTracer_;
    std::unique_ptr<RTI::ITracer> tracer_;  // a Tracer
    Navigator navigator_;
    Keyboard keyboard_;
    TweakDetails details_;
    TipsMap tips_;
    RTI::Reference<Menu> menu_;
    RTI::Reference<Status> status_;
    RTI::Reference<Help> help_;
    RTI::Reference<Actions> actions_;
    std::vector<RTI::Reference<SectionWindow>> sectionWindows_;
    RTI::Reference<TweaksView> tweaksView_;
    RTI::Reference<TweakInfoView> infoView_;
    RTI::Reference<BackupsView> backupsView_;
    RTI::Reference<ProfilesView> profilesView_;
    RTI::Reference<ProfileInfo> profileInfo_;
    RTI::Reference<CollectionsView> tweakSetsView_;
    RTI::Reference<Settings> settings_;
    RTI::Reference<Support> support_;
    RTI::Reference<SystemInfo::Strip> strip_;
    std::unique_ptr<RestoreProgress> restoreProgress_;
    std::wstring lastRestoreProgress_;
    std::unique_ptr<BalloonLog> balloonLog_;  // the balloons asked for, then the tray
    std::unique_ptr<StartupGuardSwitch> guard_;
    RTI::Reference<GuardTicker> ticker_;
    RTI::Reference<StartupView> startupView_;
    std::unique_ptr<StartupCatalogueJob> startupJob_;  // gathers the catalogue while the guard has none
    std::vector<std::wstring> newEntries_;    // locations the last balloon named, revealed in the view
    std::wstring programFolder_;  // holds Knobset.exe
    std::unique_ptr<ProfileDialog> profileDialog_;  // the store's prompts, over this window
    std::unique_ptr<Profiles::ProfileStore> profileStore_;
    std::vector<Tweaker::TweakChange> lastPreview_;
    std::vector<std::wstring> promptLog_;
    Platform::UniqueNamedLock runLock_;  // held from a tune-up's start to its end
    UINT inspectMessage_ = 0;
    DWORD uiThread_ = 0;
    HHOOK keyHook_ = nullptr;
    ViewId shownView_ = ViewId::Tuning;
};

}  // namespace GUI
