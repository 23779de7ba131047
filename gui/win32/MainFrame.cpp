#include "gui/win32/MainFrame.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "gui/Inspection.h"
#include "gui/UserTweaksChoice.h"
#include "gui/win32/UserFileSeam.h"
#include "tweaker/ChangeLock.h"

namespace GUI {

const wchar_t* MainFrame::ButtonCaption(int id)
{
    switch (id) {
        case 5000:
            return L"Tuning";
        case 5001:
            return L"Analyse";
        case 5002:
            return L"Settings";
        case 5004:
            return L"Exit";
        case 5007:
            return L"Back";
        case 5008:
            return L"OK";
        case 5010:
            return L"Cancel";
        case 5011:
            return L"Pause";
        case 5012:
            return L"Resume";
        case 5013:
            return L"Abort";
        case 5015:
            return L"Tune Up!";
        case 5017:
            return L"Restore Point(s)";
        case 5018:
            return L"Delete Point(s)";
        case 5021:
            return L"Back to tweaks list";
        case 5022:
            return L"Back";
        case 5026:
            return L"Set";
        case 5027:
            return L"Delete";
        case 5028:
            return L"Save";
        case 5033:
            return L"Back to profiles list";
        case 5038:
            return L"Path to my tweaks";
        default:
            return L"";
    }
}

namespace {

// The folder of the running program, with no trailing backslash.
std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The user's tweak file as remembered; empty when none is.
std::wstring StoredUserTweaksPath()
{
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, kUserTweaksValue, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
        return {};
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, kUserTweaksValue, RRF_RT_REG_SZ, nullptr, text.data(),
                     &bytes) != ERROR_SUCCESS) {
        return {};
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

}  // namespace

thread_local MainFrame* MainFrame::keyboardFrame_ = nullptr;

// The runs' progress sink: the sections' modes through RunTracer, then a
// repaint of the sections (invalidation is safe from the worker).
class MainFrame::Tracer final : public RTI::ITracer {
public:
    explicit Tracer(MainFrame& frame) : frame_(frame) {}
    void Begin(const void* subject, unsigned stage) override
    {
        frame_.runTracer_->Begin(subject, stage);
        frame_.RepaintSections();
    }
    void End(const void* subject, unsigned stage) override
    {
        frame_.runTracer_->End(subject, stage);
        frame_.RepaintSections();
    }
    void Trace(uint32_t code, int32_t first, int32_t second) override
    {
        frame_.runTracer_->Trace(code, first, second);
        frame_.RepaintSections();
    }

private:
    MainFrame& frame_;
};

std::unique_ptr<IMainWindow> MakeMainFrame(const MainFrameParts& parts)
{
    if (!parts.toolkit || !parts.frame || !parts.manager) {
        return nullptr;
    }
    return std::make_unique<MainFrame>(parts);
}

MainFrame::MainFrame(const MainFrameParts& parts)
    : Window(*parts.toolkit, *parts.frame), parts_(parts), manager_(*parts.manager), navigator_(*this)
{
    if (parts_.prompts) {
        prompts_ = parts_.prompts;
    } else {
        ownPrompts_ = std::make_unique<WindowPrompts>(*parts.toolkit, *parts.frame, parts.restartAnswer);
        prompts_ = ownPrompts_.get();
    }
    if (parts_.lockName.empty()) {
        parts_.lockName = std::wstring(Tweaker::kChangeLockName);
    }
    uiThread_ = GetCurrentThreadId();
    int index = 0;
    for (const auto& category : manager_.Categories()) {
        sections_.push_back(std::make_unique<Section>(category, index++));
    }
    if (!parts_.settings) {
        // The window switches the startup guard when it is one.
        parts_.settings = AppSettings::RunningProgram(dynamic_cast<AppSettings::IStartupGuard*>(this));
    }
    if (!parts_.backupEnabled) {
        parts_.backupEnabled = [where = parts_.settings->where] { return AppSettings::BackupEnabled(where); };
    }
    runTracer_ = std::make_unique<RunTracer>(&manager_, sections_, static_cast<ICommandPoster&>(*this));
    balloonLog_ = std::make_unique<BalloonLog>(parts_.balloon);
    guard_ = std::make_unique<StartupGuardSwitch>(
        parts_.startupPlace.folder.empty() ? StartUp::DefaultSnapshotPlace() : parts_.startupPlace, *balloonLog_,
        static_cast<ICommandPoster&>(*this));
    tracer_ = std::make_unique<Tracer>(*this);
    restoreProgress_ =
        std::make_unique<RestoreProgress>([this] { PostMessageW(hwnd(), kRestoreProgressMessage, 0, 0); });
    // Navigation refreshes; only the end of an analysis marks sections analysed.
    manager_.SetRefreshOnly(true);
    inspectMessage_ = RegisterWindowMessageW(Inspection::kInspectMessage);
}

MainFrame::~MainFrame()
{
    if (manager_.IsRunning()) {
        manager_.StopRun();
    }
    // The manager outlives this window: it keeps neither of its sinks.
    manager_.ForgetTracer(tracer_.get());
    manager_.SetRunMessages(nullptr);
    if (keyHook_) {
        UnhookWindowsHookEx(keyHook_);
    }
    if (keyboardFrame_ == this) {
        keyboardFrame_ = nullptr;
    }
    if (hwnd()) {
        KillTimer(hwnd(), kRunTimer);
        // Notes the worker posted and nobody showed.
        MSG msg;
        while (PeekMessageW(&msg, hwnd(), kRunMessage, kRunMessage, PM_REMOVE)) {
            delete reinterpret_cast<RunNote*>(msg.lParam);
        }
    }
    DestroyStartup();
    // The children go before the sections they draw.
    sectionWindows_.clear();
    backupsView_ = nullptr;  // waits for a restore still running
    profilesView_ = nullptr;
    profileInfo_ = nullptr;
    tweakSetsView_ = nullptr;
    settings_ = nullptr;
    support_ = nullptr;
    strip_ = nullptr;
    infoView_ = nullptr;
    tweaksView_ = nullptr;
    if (hwnd()) {
        DestroyWindow(hwnd());
    }
}

DWORD MainFrame::Create(const std::wstring& title, int x, int y)
{
    const int rows = std::max(1, static_cast<int>(sections_.size()));
    const int clientHeight = kTitleHeight + SectionWindow::kHeight * rows + kActionsHeight + kStripHeight;
    if (!Window::Create(title.c_str(), x, y, kClientWidth, clientHeight + 24, WS_MINIMIZEBOX)) {
        return GetLastError() ? GetLastError() : ERROR_INVALID_HANDLE;
    }
    // Size the frame around the client area the views need.
    const Aqua::Scaler& s = scaler();
    RECT window{}, client{};
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    SetWindowPos(hwnd(), nullptr, 0, 0, s.Scale(kClientWidth) + (window.right - window.left) - client.right,
                 s.Scale(clientHeight) + (window.bottom - window.top) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    profileDialog_ = std::make_unique<ProfileDialog>(hwnd());
    profileStore_ = std::make_unique<Profiles::ProfileStore>(manager_, *profileDialog_, parts_.lockName);
    profileStore_->MakeDefaultProfile();
    profileStore_->LoadBuiltInProfiles();
    Build();
    if (!actions_ || !status_ || !tweaksView_ || !infoView_ || !backupsView_ || !profilesView_ || !profileInfo_ ||
        !tweakSetsView_ || !menu_ || !help_ || !settings_ || !support_ || !strip_) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    manager_.SetRunMessages(this);
    return 0;
}

void MainFrame::Build()
{
    const Aqua::Scaler& s = scaler();
    HWND w = hwnd();
    RECT r{};
    GetWindowRect(w, &r);
    RTI::Reference<Menu> menu(new Menu(toolkit()));
    if (menu->Create(w, L"Velmont Main Menu",
                     {{L"Analyse", 5001, L"AQUA.MENU.ANALYZE", L"AQUA.MENU.NANALYZE"},
                      {L"Tuning", 5031, L"AQUA.MENU.TUNING", L"AQUA.MENU.NTUNING"},
                      {L"Backup", 5016, L"AQUA.MENU.BACKUPS", L"AQUA.MENU.NBACKUPS"},
                      {L"Profiles", 5025, L"AQUA.MENU.PROFILES", L"AQUA.MENU.NPROFILES"},
                      {L"Collections", 5035, L"AQUA.MENU.COLLECTIONS", L"AQUA.MENU.NCOLLECTIONS"},
                      {L"Settings", 5002, L"AQUA.MENU.SETTINGS", L"AQUA.MENU.NSETTINGS"},
                      {L"OnlineHlp", 5039, L"AQUA.MENU.ONLINEHELP", L"AQUA.MENU.NONLINEHELP"},
                      {L"Exit", 5004, L"AQUA.MENU.EXIT", L"AQUA.MENU.NEXIT"}},
                     r.left - s.Scale(81), r.top)) {
        menu_ = menu;
        menu_->Select(Command::TuningMenu);
    }
    RTI::Reference<Status> status(new Status(toolkit()));
    if (status->Create(w, {0, 0, s.Scale(kClientWidth), s.Scale(kTitleHeight)}, L"Tuning")) {
        status_ = status;
    }
    RTI::Reference<Help> help(new Help(toolkit()));
    if (help->Create(w, r.left + s.Scale(347), r.top + s.Scale(3))) {
        help_ = help;
    }
    LoadTips();
    const int viewsTop = s.Scale(kTitleHeight);
    for (size_t i = 0; i < sections_.size(); ++i) {
        RTI::Reference<SectionWindow> section(new SectionWindow(toolkit(), *sections_[i]));
        if (section->Create(w, {0, viewsTop + s.Scale(SectionWindow::kHeight) * static_cast<int>(i),
                                s.Scale(kClientWidth), s.Scale(SectionWindow::kHeight)})) {
            sectionWindows_.push_back(section);
        }
    }
    const int rows = std::max(1, static_cast<int>(sections_.size()));
    const int viewsHeight = s.Scale(SectionWindow::kHeight) * rows;
    RTI::Reference<Actions> actions(new Actions(toolkit()));
    if (actions->Create(w, {0, viewsTop + viewsHeight, s.Scale(kClientWidth), s.Scale(kActionsHeight)})) {
        for (int id : kActionButtons) {
            actions->AddButton(id, ButtonCaption(id));
        }
        actions_ = actions;
    }
    RTI::Reference<TweaksView> tweaks(new TweaksView(toolkit(), *this));
    if (tweaks->Create(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        tweaksView_ = tweaks;
    }
    RTI::Reference<TweakInfoView> info(
        new TweakInfoView(toolkit(), details_, [this] { return !RefuseWhileRunning(); }));
    if (info->Create(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        infoView_ = info;
    }
    RTI::Reference<BackupsView> backups(new BackupsView(toolkit()));
    if (backups->CreateView(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        backupsView_ = backups;
    }
    RTI::Reference<ProfilesView> profiles(new ProfilesView(toolkit()));
    if (profiles->CreateView(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        profilesView_ = profiles;
    }
    RTI::Reference<ProfileInfo> profileInfo(new ProfileInfo(toolkit()));
    if (profileInfo->Create(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        profileInfo_ = profileInfo;
    }
    RTI::Reference<CollectionsView> sets(new CollectionsView(toolkit()));
    if (sets->CreateView(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        programFolder_ = ProgramFolder();
        (void)sets->Load(programFolder_, StoredUserTweaksPath());  // a broken resource: an empty view
        tweakSetsView_ = sets;
    }
    BuildPanels(viewsTop + viewsHeight + s.Scale(kActionsHeight));
    BuildStartup();
    Sync();
    ShowHelpTopic(navigator_.HelpTopic());
}

void MainFrame::OnScaleChanged()
{
    if (!status_ || !actions_ || !tweaksView_ || !infoView_) {
        return;  // still being built
    }
    const Aqua::Scaler& s = scaler();
    auto place = [&](WindowBase& child, int y, int height) {
        child.SetScale(s);
        SetWindowPos(child.hwnd(), nullptr, 0, y, s.Scale(kClientWidth), height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int viewsTop = s.Scale(kTitleHeight);
    const int rowHeight = s.Scale(SectionWindow::kHeight);
    const int viewsHeight = rowHeight * std::max(1, static_cast<int>(sections_.size()));
    place(*status_, 0, viewsTop);
    for (size_t i = 0; i < sectionWindows_.size(); ++i) {
        place(*sectionWindows_[i], viewsTop + rowHeight * static_cast<int>(i), rowHeight);
    }
    place(*actions_, viewsTop + viewsHeight, s.Scale(kActionsHeight));
    if (strip_) {
        place(*strip_, viewsTop + viewsHeight + s.Scale(kActionsHeight), s.Scale(kStripHeight));
    }
    for (FadingPanel* panel : {static_cast<FadingPanel*>(settings_.Get()), static_cast<FadingPanel*>(support_.Get())}) {
        if (panel) {
            panel->SetScale(s);
        }
    }
    place(*tweaksView_, viewsTop, viewsHeight);
    place(*infoView_, viewsTop, viewsHeight);
    for (WindowBase* view : {static_cast<WindowBase*>(backupsView_.Get()),
                             static_cast<WindowBase*>(profilesView_.Get()),
                             static_cast<WindowBase*>(profileInfo_.Get()),
                             static_cast<WindowBase*>(tweakSetsView_.Get())}) {
        if (view) {
            place(*view, viewsTop, viewsHeight);
        }
    }
    PlaceStartup({0, viewsTop, s.Scale(kClientWidth), viewsHeight});
    if (menu_) {
        menu_->SetScale(s);
    }
    if (help_) {
        help_->SetScale(s);
        help_->tip()->SetScale(s);
    }
    POINT origin{0, 0};
    ClientToScreen(hwnd(), &origin);
    PlacePopups(origin.x, origin.y);
}

void MainFrame::LoadTips()
{
    HMODULE module = parts_.resources ? parts_.resources : GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, L"TIPS", L"BINARY");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) {
        tips_ = ParseTips(std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found)));
    }
}

void MainFrame::BringUp()
{
    HWND w = hwnd();
    if (!w) {
        return;
    }
    if (IsIconic(w)) {
        ShowWindow(w, SW_RESTORE);
    }
    ShowWindow(w, SW_SHOW);
    ShowPopups();  // also when the frame was visible already
    SetForegroundWindow(w);
    SetFocus(w);
    if (!keyHook_) {
        keyboardFrame_ = this;
        keyHook_ = SetWindowsHookExW(WH_KEYBOARD, KeyHook, nullptr, GetCurrentThreadId());
    }
}

void MainFrame::StopRun()
{
    manager_.StopRun();
    if (!manager_.IsRunning()) {
        runLock_.reset();
    }
}

void MainFrame::HideAll()
{
    if (menu_) {
        ShowWindow(menu_->hwnd(), SW_HIDE);
    }
    if (help_) {
        ShowWindow(help_->hwnd(), SW_HIDE);
        ShowWindow(help_->tip()->hwnd(), SW_HIDE);
    }
    ClosePanelsNow();
    ShowWindow(hwnd(), SW_HIDE);
}

void MainFrame::OnCaptionButton(LRESULT hit)
{
    if (hit == HTCLOSE) {
        HideAll();  // the program stays in the tray
        return;
    }
    Window::OnCaptionButton(hit);
}

void MainFrame::ShowPopups()
{
    if (menu_) {
        ShowWindow(menu_->hwnd(), SW_SHOWNA);
    }
    if (help_) {
        ShowWindow(help_->hwnd(), SW_SHOWNA);
    }
    POINT origin{0, 0};
    ClientToScreen(hwnd(), &origin);
    PlacePopups(origin.x, origin.y);
}

void MainFrame::PlacePopups(int x, int y)
{
    const Aqua::Scaler& s = scaler();
    if (menu_) {
        SetWindowPos(menu_->hwnd(), nullptr, x - s.Scale(81), y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (help_) {
        SetWindowPos(help_->hwnd(), HWND_TOP, x + s.Scale(347), y + s.Scale(3), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(help_->tip()->hwnd(), nullptr, x + s.Scale(387), y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PlacePanels(x, y);
}

// ------------------------------------------------------------ dispatching

void MainFrame::OnCommand(int command, intptr_t parameter)
{
    if (command == Command::RestorePoints && parameter == RestoreJob::kFinished) {
        FinishRestore();
        return;
    }
    if (backupsView_ && backupsView_->restoring()) {
        return;  // no input until the restore has ended
    }
    if (PanelCommand(command, parameter)) {
        return;
    }
    if (command == Command::ShowProfile) {
        // The row's "more..." link: the details of that profile, or nothing.
        const RTI::Reference<Profiles::Profile> profile =
            profilesView_ ? profilesView_->ProfileAt(static_cast<int>(parameter)) : nullptr;
        if (!profile || !profileInfo_) {
            return;
        }
        profileInfo_->Show(*profile);
    }
    const Effect effect = navigator_.Dispatch(command, parameter);
    Sync();
    if (effect == Effect::Quit) {
        PostQuitMessage(0);
    } else if (effect == Effect::OpenHelp) {
        OpenOnlineHelp();
    }
}

void MainFrame::Sync()
{
    // A panel covers the view that was showing; that view stays as it was.
    const ViewId view = navigator_.Beneath();
    const bool viewChanged = view != shownView_;
    const bool tuning = view == ViewId::Tuning;
    for (const auto& section : sectionWindows_) {
        ShowWindow(section->hwnd(), tuning ? SW_SHOWNA : SW_HIDE);
    }
    if (tweaksView_) {
        tweaksView_->list().SetDisabled(manager_.IsRunning());
        ShowWindow(tweaksView_->hwnd(), view == ViewId::Tweaks ? SW_SHOWNA : SW_HIDE);
        if (view == ViewId::Tweaks && shownView_ == ViewId::TweakInfo) {
            tweaksView_->Refresh();  // values may have changed in the details
        }
        tweaksView_->Invalidate();
    }
    if (infoView_) {
        ShowWindow(infoView_->hwnd(), view == ViewId::TweakInfo ? SW_SHOWNA : SW_HIDE);
    }
    if (backupsView_) {
        if (view == ViewId::Backups && shownView_ != ViewId::Backups) {
            backupsView_->Show(manager_.BackupFolder());  // reloaded, nothing ticked
        }
        ShowWindow(backupsView_->hwnd(), view == ViewId::Backups ? SW_SHOWNA : SW_HIDE);
    }
    if (profilesView_ && profileInfo_) {
        if (view == ViewId::Profiles && shownView_ == ViewId::ProfileInfo) {
            profilesView_->ShowAgain();  // back from the details: the ticks stay
            if (profilesView_->list().TickedRow() >= 0) {
                PostCommand(Command::ProfileChecked, 0);
            }
        } else if (view == ViewId::Profiles && shownView_ != ViewId::Profiles) {
            profilesView_->Show(*profileStore_);  // reloaded, nothing ticked
        }
        ShowWindow(profilesView_->hwnd(), view == ViewId::Profiles ? SW_SHOWNA : SW_HIDE);
        ShowWindow(profileInfo_->hwnd(), view == ViewId::ProfileInfo ? SW_SHOWNA : SW_HIDE);
    }
    if (tweakSetsView_) {
        if (view == ViewId::TweakSets && shownView_ != ViewId::TweakSets) {
            tweakSetsView_->Show();
        }
        ShowWindow(tweakSetsView_->hwnd(), view == ViewId::TweakSets ? SW_SHOWNA : SW_HIDE);
    }
    SyncStartup(view);
    if (view != shownView_) {
        keyboard_ = Keyboard();
        if (tweaksView_) {
            tweaksView_->SetFocusItem(std::nullopt);
        }
        if (GetFocus() && IsChild(hwnd(), GetFocus()) && !IsWindowVisible(GetFocus())) {
            SetFocus(hwnd());
        }
    }
    shownView_ = view;
    if (actions_) {
        actions_->Show(navigator_.Buttons());
        for (int id : navigator_.Buttons()) {
            actions_->EnableButton(id, navigator_.IsEnabled(id));
        }
    }
    if (status_) {
        status_->SetTitle(restoreProgress_->Active() ? restoreProgress_->Text() : navigator_.Title());
    }
    SyncPanels(viewChanged);
    if (menu_) {
        menu_->Select(navigator_.MenuSelection());
    }
    if (manager_.IsRunning() || runLock_) {
        SetTimer(hwnd(), kRunTimer, kRunTimerMs, nullptr);
    }
}

LRESULT MainFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == inspectMessage_ && inspectMessage_ != 0) {
        const std::string json = ToJson(State());
        COPYDATASTRUCT data{};
        data.dwData = Inspection::kInspectData;
        data.cbData = static_cast<DWORD>(json.size());
        data.lpData = const_cast<char*>(json.data());
        SendMessageW(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd()),
                     reinterpret_cast<LPARAM>(&data));
        return 1;
    }
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id >= Command::Tuning && id <= Command::OnlineHelp) {
                OnCommand(id, static_cast<intptr_t>(lParam));
                return 0;
            }
            if (id == Help::kHelpCommand) {
                return 0;
            }
            break;
        }
        case WM_MOVE:
            // Signed client coordinates: a window left of the screen's origin
            // keeps its menu to the left of it.
            PlacePopups(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            break;
        case WM_CLOSE:
            HideAll();  // Alt+F4 and the taskbar hide; "Exit" ends the program
            return 0;
        case WM_WINDOWPOSCHANGED:
            // Shown by anyone's ShowWindow (the program's start, the tray,
            // a second start): the menu and help pop-ups come with it, once
            // the frame is on screen.
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
                ShowPopups();
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd(), &ps);
            EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_MOUSEWHEEL:
            if (tweaksView_ && navigator_.View() == ViewId::Tweaks) {
                tweaksView_->Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            }
            return 0;
        case WM_TIMER:
            if (wParam == kRunTimer) {
                if (!manager_.IsRunning()) {
                    KillTimer(hwnd(), kRunTimer);
                    runLock_.reset();
                    Sync();
                }
                return 0;
            }
            break;
        case kRestoreProgressMessage:
            ShowRestoreProgress();
            return 0;
        case kStartupReadyMessage:
            FinishStartupJob();
            return 0;
        case kRunMessage: {
            std::unique_ptr<RunNote> note(reinterpret_cast<RunNote*>(lParam));
            if (note->restart) {
                prompts_->OfferRestart(hwnd());
            } else {
                Tell(note->caption, note->text);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (OnKey(static_cast<UINT>(wParam), GetKeyState(VK_SHIFT) < 0)) {
                return 0;
            }
            break;
        default:
            break;
    }
    return Window::Handle(message, wParam, lParam);
}

}  // namespace GUI
