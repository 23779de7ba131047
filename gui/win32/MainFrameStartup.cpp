// The startup programs view in the views' area and the startup guard of the
// running program: the guard's timer ticks on this thread, the balloons go
// to the tray, and the view shows the guard's catalogue or, while the guard
// has none, one gathered on a worker with the view saying so meanwhile.
#include "gui/win32/MainFrame.h"

namespace GUI {

namespace {

constexpr wchar_t kGathering[] = L"Looking for the programs that start with Windows...";

const wchar_t* CheckName(StartUp::CheckState check)
{
    switch (check) {
        case StartUp::CheckState::Checked:
            return L"on";
        case StartUp::CheckState::Unchecked:
            return L"off";
        default:
            return L"mixed";
    }
}

}  // namespace

void MainFrame::BuildStartup()
{
    const Aqua::Scaler& s = scaler();
    const int rows = std::max(1, static_cast<int>(sections_.size()));
    RTI::Reference<StartupView> view(new StartupView(toolkit()));
    if (view->Create(hwnd(),
                     {0, s.Scale(kTitleHeight), s.Scale(kClientWidth), s.Scale(SectionWindow::kHeight) * rows})) {
        startupView_ = view;
    }
    RTI::Reference<GuardTicker> ticker(
        new GuardTicker(toolkit(), *guard_,
                        parts_.guardTickMilliseconds ? parts_.guardTickMilliseconds : StartUp::kGuardTickMilliseconds));
    if (ticker->Create()) {
        ticker->onAppeared = [this](const std::vector<StartUp::ListedEntry>& appeared) { OnStartupAppeared(appeared); };
        ticker_ = ticker;
        // A guard switched on before the timer existed starts ticking now.
        guard_->SetStartupGuard(guard_->Guard().IsEnabled());
    }
}

void MainFrame::PlaceStartup(Aqua::Rect views)
{
    if (startupView_) {
        startupView_->SetScale(scaler());
        SetWindowPos(startupView_->hwnd(), nullptr, views.x, views.y, views.width, views.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainFrame::SetStartupGuard(bool enabled)
{
    guard_->SetStartupGuard(enabled);
}

void MainFrame::SyncStartup(ViewId view)
{
    if (!startupView_) {
        return;
    }
    const bool shown = view == ViewId::Startup;
    if (shown && shownView_ != ViewId::Startup) {
        OpenStartup();
    }
    ShowWindow(startupView_->hwnd(), shown ? SW_SHOWNA : SW_HIDE);
    if (shown && shownView_ != ViewId::Startup) {
        SetFocus(startupView_->hwnd());  // arrows and Space act on the list
    }
}

// Each visit shows the list as it is now: the guard's catalogue when it has
// one (its ticks keep it current), otherwise a fresh one from the worker.
void MainFrame::OpenStartup()
{
    StartUp::Guard& guard = guard_->Guard();
    if (guard.IsReady()) {
        // A job still running from an earlier visit ends on its own and is dropped.
        startupView_->Open(guard.Catalogue(), guard.Place());
        RevealNewEntries();
        return;
    }
    if (!startupJob_) {
        startupJob_ = std::make_unique<StartupCatalogueJob>(hwnd(), kStartupReadyMessage);
    }
    startupView_->ShowWorking(kGathering);
}

void MainFrame::FinishStartupJob()
{
    if (!startupJob_) {
        return;  // a job dropped on the way (the guard got ready first)
    }
    StartUp::CategoryList roots = startupJob_->Take();
    startupJob_.reset();
    if (navigator_.View() == ViewId::Startup && startupView_ && startupView_->working()) {
        startupView_->Open(std::move(roots), guard_->Guard().Place());
        RevealNewEntries();
    }
}

void MainFrame::OnStartupAppeared(const std::vector<StartUp::ListedEntry>& appeared)
{
    newEntries_.clear();
    for (const StartUp::ListedEntry& listed : appeared) {
        newEntries_.push_back(listed.entry->Location());
    }
    if (navigator_.View() == ViewId::Startup && startupView_ && !startupView_->working()) {
        startupView_->Refresh();
        RevealNewEntries();
    }
}

void MainFrame::RevealNewEntries()
{
    for (const std::wstring& location : newEntries_) {
        (void)startupView_->Reveal(location);  // the last one stays selected
    }
    newEntries_.clear();
}

void MainFrame::FillStartupState(WindowState& s) const
{
    s.balloons = balloonLog_->shown();
    s.guardWatching = guard_->Guard().IsEnabled() && guard_->Guard().IsReady() && ticker_ && ticker_->running();
    if (navigator_.View() != ViewId::Startup || !startupView_) {
        return;
    }
    s.startupWorking = startupView_->working();
    if (const StartupPrograms* model = startupView_->model()) {
        const std::optional<size_t> selected = model->Selected();
        for (size_t i = 0; i < model->Rows().size(); ++i) {
            const StartupRow& row = model->Rows()[i];
            s.startup.push_back({row.text, row.depth, CheckName(row.check), row.greyed, row.disabled, selected == i});
        }
    }
}

void MainFrame::DestroyStartup()
{
    ticker_ = nullptr;       // no tick after this
    startupJob_.reset();     // waits for the worker
    startupView_ = nullptr;  // before the guard whose catalogue it shows
}

}  // namespace GUI
