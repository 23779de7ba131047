#include "gui/win32/MainFrame.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "app/update/BuildSettings.h"
#include "gui/Inspection.h"
#include "tweaker/ChangeLock.h"

namespace GUI {

namespace {

constexpr UINT kRunMessage = WM_APP + 17;   // lParam: a RunNote to show
constexpr UINT_PTR kRunTimer = 17;          // watches a run's end
constexpr int kRunTimerMs = 100;

// A message the worker asks for, shown on the user-interface thread.
struct RunNote {
    bool restart = false;
    std::wstring caption;
    std::wstring text;
};

// The one main frame of this thread, for the keyboard hook.
thread_local MainFrame* tKeyboardFrame = nullptr;

const wchar_t* ViewName(ViewId view)
{
    switch (view) {
        case ViewId::Tuning: return L"tuning";
        case ViewId::Tweaks: return L"tweaks";
        case ViewId::TweakInfo: return L"details";
        case ViewId::Backups: return L"backups";
        case ViewId::Profiles: return L"profiles";
        case ViewId::ProfileInfo: return L"profile";
        case ViewId::TweakSets: return L"tweaksets";
        case ViewId::Settings: return L"settings";
        case ViewId::Support: return L"support";
    }
    return L"";
}

const wchar_t* Caption(int id)
{
    switch (id) {
        case 5000: return L"Tuning";
        case 5001: return L"Analyse";
        case 5002: return L"Settings";
        case 5004: return L"Exit";
        case 5007: return L"Back";
        case 5008: return L"OK";
        case 5010: return L"Cancel";
        case 5011: return L"Pause";
        case 5012: return L"Resume";
        case 5013: return L"Abort";
        case 5015: return L"Tune Up!";
        case 5017: return L"Restore Point(s)";
        case 5018: return L"Delete Point(s)";
        case 5021: return L"Back to tweaks list";
        case 5022: return L"Back";
        case 5026: return L"Set";
        case 5027: return L"Delete";
        case 5028: return L"Save";
        case 5033: return L"Back to profiles list";
        case 5038: return L"Path to my tweaks";
        default: return L"";
    }
}

wchar_t CellLetter(Cell cell)
{
    switch (cell) {
        case Cell::Green: return L'g';
        case Cell::Yellow: return L'y';
        case Cell::Red: return L'r';
        case Cell::Gray: break;
    }
    return L'G';
}

// The views that come with the backups, profiles, tweak-sets, settings and
// support views; until those exist, their commands leave the window as it is.
bool BelongsToOtherViews(int command)
{
    switch (command) {
        case Command::Settings:
        case Command::Support:
        case Command::Backups:
        case Command::RestorePoints:
        case Command::DeletePoints:
        case Command::NoPointChecked:
        case Command::PointChecked:
        case Command::Profiles:
        case Command::SetProfiles:
        case Command::DeleteProfiles:
        case Command::SaveProfile:
        case Command::NoProfileChecked:
        case Command::ProfileChecked:
        case Command::ShowProfile:
        case Command::BackToProfiles:
        case Command::TweakSets:
        case Command::UserTweaksPath:
            return true;
        default:
            return false;
    }
}

}  // namespace

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
    runTracer_ = std::make_unique<RunTracer>(&manager_, sections_, static_cast<ICommandPoster&>(*this));
    tracer_ = std::make_unique<Tracer>(*this);
    // Navigation refreshes; only the end of an analysis marks sections analysed.
    manager_.SetRefreshOnly(true);
    inspectMessage_ = RegisterWindowMessageW(Inspection::kInspectMessage);
}

MainFrame::~MainFrame()
{

    if (manager_.IsRunning()) {
        manager_.StopRun();
    }
    manager_.SetRunMessages(nullptr);
    if (keyHook_) {
        UnhookWindowsHookEx(keyHook_);
    }
    if (tKeyboardFrame == this) {
        tKeyboardFrame = nullptr;
    }
    if (hwnd()) {
        KillTimer(hwnd(), kRunTimer);
        // Notes the worker posted and nobody showed.
        MSG msg;
        while (PeekMessageW(&msg, hwnd(), kRunMessage, kRunMessage, PM_REMOVE)) {
            delete reinterpret_cast<RunNote*>(msg.lParam);
        }
    }
    // The children go before the sections they draw.
    sectionWindows_.clear();
    infoView_ = nullptr;
    tweaksView_ = nullptr;
    if (hwnd()) {
        DestroyWindow(hwnd());
    }
}

DWORD MainFrame::Create(const std::wstring& title, int x, int y)
{
    const int rows = std::max(1, static_cast<int>(sections_.size()));
    const int clientHeight = kTitleHeight + SectionWindow::kHeight * rows + kActionsHeight;
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
    Build();
    if (!actions_ || !status_ || !tweaksView_ || !infoView_ || !menu_ || !help_) {
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
            actions->AddButton(id, Caption(id));
        }
        actions_ = actions;
    }
    RTI::Reference<TweaksView> tweaks(new TweaksView(toolkit(), *this));
    if (tweaks->Create(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        tweaksView_ = tweaks;
    }
    RTI::Reference<TweakInfoView> info(new TweakInfoView(toolkit(), details_, [this] { return !RefuseWhileRunning(); }));
    if (info->Create(w, {0, viewsTop, s.Scale(kClientWidth), viewsHeight})) {
        infoView_ = info;
    }
    Sync();
    ShowHelpTopic(navigator_.HelpTopic());
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
    if (menu_) {
        ShowWindow(menu_->hwnd(), SW_SHOWNA);
    }
    if (help_) {
        ShowWindow(help_->hwnd(), SW_SHOWNA);
    }
    RECT client{};
    GetClientRect(w, &client);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    PlacePopups(origin.x, origin.y);
    SetForegroundWindow(w);
    SetFocus(w);
    if (!keyHook_) {
        tKeyboardFrame = this;
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
}

// ------------------------------------------------------------ dispatching

void MainFrame::OnCommand(int command, intptr_t parameter)
{
    if (BelongsToOtherViews(command)) {
        return;
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
    const ViewId view = navigator_.View();
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
        status_->SetTitle(navigator_.Title());
    }
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

// ------------------------------------------------------------ the host

SectionMode MainFrame::FirstSectionMode()
{
    return sections_.empty() ? SectionMode::NotAnalysed : sections_.front()->Mode();
}

std::wstring MainFrame::LoadProblemText()
{
    std::wstring text;
    for (const Tweaker::LoadProblem& problem : manager_.LoadProblems()) {
        text += problem.where + L": " + problem.text;
        if (problem.status != 0) {
            text += L" (error " + std::to_wstring(problem.status) + L")";
        }
        text += L"\n";
    }
    return text.empty() ? L"No tweak file could be read." : text;
}

int MainFrame::CountSelectedNotApplied()
{
    int count = 0;
    for (const auto& category : manager_.Categories()) {
        count += category->CountSelectedNotApplied();
    }
    return count;
}

uint32_t MainFrame::StartAnalysis()
{
    manager_.StartAnalysis(tracer_.get());
    SetTimer(hwnd(), kRunTimer, kRunTimerMs, nullptr);
    return 0;
}

uint32_t MainFrame::StartTuneUp()
{
    lastPreview_ = Tweaker::PreviewTuneUp(manager_);
    if (!prompts_->ConfirmTuneUp(hwnd(), lastPreview_)) {
        return ERROR_CANCELLED;
    }
    Platform::UniqueNamedLock lock;
    if (!TakeLock(&lock)) {
        return ERROR_BUSY;
    }
    const bool journal = parts_.backupEnabled && parts_.backupEnabled();
    if (const uint32_t s = manager_.StartTuneUp(tracer_.get(), journal)) {
        return s;  // the engine has told the user why
    }
    runLock_ = std::move(lock);
    SetTimer(hwnd(), kRunTimer, kRunTimerMs, nullptr);
    return 0;
}

void MainFrame::CaptureAll()
{
    for (const auto& section : sections_) {
        section->CaptureFigures();
    }
    RepaintSections();
}

void MainFrame::RecomputeAll()
{
    if (manager_.IsRunning()) {
        return;
    }
    manager_.RecomputeAll();
    CaptureAll();
}

bool MainFrame::Ask(const std::wstring& caption, const std::wstring& text)
{
    promptLog_.push_back(caption);
    return prompts_->Ask(hwnd(), caption, text);
}

void MainFrame::Tell(const std::wstring& caption, const std::wstring& text)
{
    promptLog_.push_back(caption);
    prompts_->Tell(hwnd(), caption, text, MB_ICONWARNING);
}

std::wstring MainFrame::OpenTweaks(intptr_t parameter)
{
    RTI::Reference<Tweaker::Group> category;
    for (const auto& c : manager_.Categories()) {
        if (reinterpret_cast<intptr_t>(c.Get()) == parameter) {
            category = c;
        }
    }
    if (!category) {
        return L"";
    }
    // The rows respond only once the category's state is read, and nothing
    // but this thread writes what the view draws afterwards.
    if (!manager_.IsRunning()) {
        manager_.StartAnalysis(nullptr);
        (void)manager_.WaitForRun(INFINITE);
        CaptureAll();
    }
    tweaksView_->Show(category);
    return category->GetName();
}

bool MainFrame::OpenDetails(intptr_t parameter)
{
    for (const TweakRow& row : tweaksView_->list().Rows()) {
        if (reinterpret_cast<intptr_t>(row.tweak.Get()) == parameter) {
            details_.Show(row.tweak);
            infoView_->Rebuild();
            return details_.EditsValues();
        }
    }
    details_ = TweakDetails();
    infoView_->Rebuild();
    return false;
}

bool MainFrame::ApplyDetails()
{
    Platform::UniqueNamedLock lock;
    if (!TakeLock(&lock)) {
        return false;
    }
    std::wstring refused;
    const uint32_t s = details_.Ok(manager_, &refused);
    if (!refused.empty()) {
        Tell(L"Tweak Details", refused);
        return false;
    }
    if (s != 0) {
        Tell(L"Tweak Details", L"The values could not be saved in Config.xml (error " + std::to_wstring(s) + L").");
        return false;
    }
    RecomputeAll();
    return true;
}

void MainFrame::Perform(int)
{
    // Restoring and deleting points, profiles and the user's tweak file are
    // the commands of their own views; OnCommand keeps them from the navigator.
}

void MainFrame::ShowHelpTopic(const std::wstring& topic)
{
    if (!help_) {
        return;
    }
    const auto found = tips_.find(topic);
    help_->SetText(found == tips_.end() ? std::wstring() : found->second);
    help_->Invalidate();
    help_->tip()->Invalidate();
}

void MainFrame::PostCommand(int command, intptr_t parameter)
{
    PostMessageW(hwnd(), WM_COMMAND, static_cast<WPARAM>(command), static_cast<LPARAM>(parameter));
}

void MainFrame::Warn(const std::wstring& caption, const std::wstring& text)
{
    if (GetCurrentThreadId() == uiThread_) {
        Tell(caption, text);
        return;
    }
    auto* note = new RunNote{false, caption, text};
    if (!PostMessageW(hwnd(), kRunMessage, 0, reinterpret_cast<LPARAM>(note))) {
        delete note;
    }
}

void MainFrame::OfferRestart()
{
    if (GetCurrentThreadId() == uiThread_) {
        prompts_->OfferRestart(hwnd());
        return;
    }
    auto* note = new RunNote{true, L"", L""};
    if (!PostMessageW(hwnd(), kRunMessage, 0, reinterpret_cast<LPARAM>(note))) {
        delete note;
    }
}

bool MainFrame::TakeLock(Platform::UniqueNamedLock* lock)
{
    if (Tweaker::TakeChangeLock(lock, parts_.lockName) == 0) {
        return true;
    }
    Tell(Navigator::kBusyCaption,
         L"Another Corvane program is changing tweaks or backup points now. Try again when it has finished.");
    return false;
}

bool MainFrame::RefuseWhileRunning()
{
    if (!manager_.IsRunning()) {
        return false;
    }
    Tell(Navigator::kBusyCaption, Navigator::kBusyText);
    return true;
}

void MainFrame::ToggleSelection(int row)
{
    if (RefuseWhileRunning()) {
        return;
    }
    Platform::UniqueNamedLock lock;
    if (!TakeLock(&lock)) {
        return;
    }
    if (const uint32_t s = tweaksView_->list().ToggleSelection(row, manager_)) {
        Tell(L"Corvane", L"The selection could not be saved in Config.xml (error " + std::to_wstring(s) + L").");
    }
    CaptureAll();
    tweaksView_->Refresh();
}

void MainFrame::ToggleSwitch(int row)
{
    if (RefuseWhileRunning()) {
        return;
    }
    Platform::UniqueNamedLock lock;
    if (!TakeLock(&lock)) {
        return;
    }
    if (const uint32_t s = tweaksView_->list().ToggleSwitch(row, manager_)) {
        Tell(L"Corvane", L"The setting could not be saved in Config.xml (error " + std::to_wstring(s) + L").");
    }
    CaptureAll();
    tweaksView_->Refresh();
}

void MainFrame::OpenDetails(int row)
{
    const auto& rows = tweaksView_->list().Rows();
    if (row >= 0 && row < static_cast<int>(rows.size())) {
        OnCommand(Command::ShowDetails, reinterpret_cast<intptr_t>(rows[row].tweak.Get()));
    }
}

void MainFrame::ViewKey(UINT key)
{
    (void)OnKey(key, GetKeyState(VK_SHIFT) < 0);
}

void MainFrame::OpenOnlineHelp()
{
    const std::wstring url = parts_.helpPage.empty() ? std::wstring(Update::Build::kOnlineHelpPage) : parts_.helpPage;
    if (url.rfind(L"https://", 0) != 0) {
        Tell(L"Online help", L"This build of Corvane has no online help page.");
        return;
    }
    DWORD error = 0;
    if (parts_.openUrl) {
        error = parts_.openUrl(url);
    } else {
        // The shell opens the address in the user's browser; no command line is built here.
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        error = result > 32 ? 0 : static_cast<DWORD>(result);
    }
    if (error != 0) {
        Tell(L"Online help", L"The online help page " + url + L" could not be opened (error " + std::to_wstring(error) + L").");
    }
}

// ------------------------------------------------------------ keyboard

bool MainFrame::OnKey(UINT vk, bool shift)
{
    Key key;
    switch (vk) {
        case VK_TAB: key = shift ? Key::ShiftTab : Key::Tab; break;
        case VK_SPACE: key = Key::Space; break;
        case VK_RETURN: key = Key::Enter; break;
        case VK_ESCAPE: key = Key::Escape; break;
        case VK_F5: key = Key::F5; break;
        default: return false;
    }
    std::vector<int> enabled;
    for (int id : navigator_.Buttons()) {
        if (navigator_.IsEnabled(id)) {
            enabled.push_back(id);
        }
    }
    static const std::vector<TweakRow> kNoRows;
    const std::vector<TweakRow>& rows =
        navigator_.View() == ViewId::Tweaks && tweaksView_ ? tweaksView_->list().Rows() : kNoRows;
    const KeyResult result = keyboard_.Press(key, enabled, rows);
    // Show where the focus is now.
    const std::vector<FocusItem> order = Keyboard::Order(enabled, rows);
    const int focus = keyboard_.FocusIndex();
    if (focus >= 0 && focus < static_cast<int>(order.size())) {
        const FocusItem item = order[focus];
        if (item.kind == FocusItem::Kind::Button) {
            if (Button* button = actions_->ButtonOf(item.id)) {
                SetFocus(button->hwnd());
            }
            tweaksView_->SetFocusItem(std::nullopt);
        } else {
            SetFocus(hwnd());
            tweaksView_->SetFocusItem(item);
        }
    }
    switch (result.kind) {
        case KeyResult::Kind::Command:
            OnCommand(result.command, result.parameter);
            break;
        case KeyResult::Kind::ToggleSelect:
            ToggleSelection(result.row);
            break;
        case KeyResult::Kind::ToggleSwitch:
            ToggleSwitch(result.row);
            break;
        case KeyResult::Kind::None:
            break;
    }
    return true;
}

LRESULT CALLBACK MainFrame::KeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    MainFrame* frame = tKeyboardFrame;
    const bool down = (lParam & (1LL << 31)) == 0;
    if (code == HC_ACTION && down && frame && frame->hwnd() && GetActiveWindow() == frame->hwnd() &&
        IsWindowEnabled(frame->hwnd())) {
        const UINT vk = static_cast<UINT>(wParam);
        wchar_t cls[16] = {};
        GetClassNameW(GetFocus(), cls, 16);
        const bool inEdit = _wcsicmp(cls, L"Edit") == 0;
        // In an edit box Space and Enter type; Tab, Esc and F5 still move on.
        const bool ours = vk == VK_TAB || vk == VK_ESCAPE || vk == VK_F5 || (!inEdit && (vk == VK_SPACE || vk == VK_RETURN));
        if (ours && frame->OnKey(vk, GetKeyState(VK_SHIFT) < 0)) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// ------------------------------------------------------------ inspection

void MainFrame::RepaintSections() const
{
    for (const auto& section : sectionWindows_) {
        InvalidateRect(section->hwnd(), nullptr, FALSE);
    }
}

WindowState MainFrame::State() const
{
    WindowState s;
    s.view = ViewName(navigator_.View());
    s.title = navigator_.Title();
    s.helpTopic = navigator_.HelpTopic();
    s.menu = navigator_.MenuSelection();
    s.visible = IsWindowVisible(hwnd()) != FALSE;
    s.running = manager_.IsRunning();
    for (int id : navigator_.Buttons()) {
        s.buttons.push_back({id, Caption(id), navigator_.IsEnabled(id)});
    }
    for (const auto& section : sections_) {
        const SectionView v = section->View();
        SectionState state;
        state.name = v.name;
        state.mode = static_cast<int>(v.mode);
        state.status = v.status;
        state.summary = v.summary;
        state.litCells = v.litCells;
        for (Cell cell : v.cells) {
            state.cells += CellLetter(cell);
        }
        state.grey = v.grey;
        s.sections.push_back(state);
    }
    if (navigator_.View() == ViewId::Tweaks || navigator_.View() == ViewId::TweakInfo) {
        s.filter = tweaksView_->list().Filter();
        for (const TweakRow& row : tweaksView_->list().Rows()) {
            s.rows.push_back({row.name, row.selected, row.twoState, row.switchOn, !row.notApplied, row.noAccess});
        }
    }
    if (navigator_.View() == ViewId::TweakInfo) {
        s.details = details_.Text();
        s.detailLines = details_.ChangeLines();
        for (const ValueEditor& e : const_cast<TweakDetails&>(details_).Editors()) {
            s.editors.push_back({e.range, e.text, e.captions, e.ticked});
        }
    }
    for (const Tweaker::TweakChange& change : lastPreview_) {
        PreviewState p{change.category, change.name, {}};
        for (const Tweaker::ItemChange& item : change.items) {
            p.lines.push_back(Tweaker::ChangeLine(item));
        }
        s.preview.push_back(std::move(p));
    }
    s.prompts = promptLog_;
    return s;
}

}  // namespace GUI
