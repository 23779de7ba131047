// The main frame's settings and support panels, which cover the views'
// area as translucent pop-ups over the view that was showing, the
// system-information strip below the action bar, and the restore's progress
// in the title strip.
#include <algorithm>

#include "app/update/BuildSettings.h"
#include "app/version/ProgramVersion.h"
#include "gui/win32/MainFrame.h"

namespace GUI {

void MainFrame::BuildPanels(int stripTop)
{
    const Aqua::Scaler& s = scaler();
    HWND w = hwnd();
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    // The action bar's OK and Cancel serve the panels; they have no buttons of their own.
    RTI::Reference<Settings> settings(new Settings(toolkit(), *parts_.settings));
    if (settings->Create(w, origin.x, origin.y + s.Scale(kTitleHeight), /*ownOk=*/false)) {
        settings_ = settings;
    }
    std::wstring dataFolder = manager_.ConfigurationFolder();
    while (!dataFolder.empty() && dataFolder.back() == L'\\') {
        dataFolder.pop_back();
    }
    const std::wstring help = parts_.helpPage.empty() ? std::wstring(Update::Build::kOnlineHelpPage) : parts_.helpPage;
    RTI::Reference<Support> support(new Support(
        toolkit(), {Version::kProductName, Version::kProgramVersion, help, Update::Build::kHomePage, dataFolder}));
    if (support->Create(w, origin.x, origin.y + s.Scale(kTitleHeight), /*ownButtons=*/false)) {
        support_ = support;
    }
    RTI::Reference<SystemInfo::Strip> strip(
        new SystemInfo::Strip(toolkit(), parts_.summary ? *parts_.summary : ProbedSummaryLines()));
    if (strip->Create(w, {0, stripTop, s.Scale(kClientWidth), s.Scale(kStripHeight)})) {
        strip_ = strip;
    }
    PlacePanels(origin.x, origin.y);
}

void MainFrame::PlacePanels(int x, int y)
{
    // The panels cover the views' area exactly: the title strip and the
    // action bar (with the panels' OK and Cancel) stay in sight.
    const Aqua::Scaler& s = scaler();
    const int rows = std::max(1, static_cast<int>(sections_.size()));
    for (FadingPanel* panel : {static_cast<FadingPanel*>(settings_.Get()), static_cast<FadingPanel*>(support_.Get())}) {
        if (panel) {
            SetWindowPos(panel->hwnd(), nullptr, x, y + s.Scale(kTitleHeight), s.Scale(kClientWidth),
                         s.Scale(SectionWindow::kHeight) * rows, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

FadingPanel* MainFrame::OpenPanel() const
{
    switch (navigator_.View()) {
        case ViewId::Settings:
            return settings_.Get();
        case ViewId::Support:
            return support_.Get();
        default:
            return nullptr;
    }
}

bool MainFrame::PanelCommand(int command, intptr_t parameter)
{
    // A panel posts 5000 when it closes itself; the navigator has already
    // returned to the view beneath it.
    if (command == Command::Tuning && parameter != 0 &&
        ((settings_ && parameter == reinterpret_cast<intptr_t>(settings_->hwnd())) ||
         (support_ && parameter == reinterpret_cast<intptr_t>(support_->hwnd())))) {
        return true;
    }
    FadingPanel* panel = OpenPanel();
    if (panel && (command == Command::Ok || command == Command::Cancel)) {
        // Settings: OK stores every box and reports what could not be saved;
        // Cancel leaves the stored settings as they are.
        (void)panel->CommandHook(command);
    }
    return false;
}

void MainFrame::SyncPanels(bool viewChanged)
{
    const ViewId view = navigator_.View();
    const bool toPanel = view == ViewId::Settings || view == ViewId::Support;
    struct Entry {
        FadingPanel* panel;
        ViewId view;
    };
    for (const Entry& e : {Entry{settings_.Get(), ViewId::Settings}, Entry{support_.Get(), ViewId::Support}}) {
        if (!e.panel) {
            continue;
        }
        const Fade::Phase phase = e.panel->fade().phase();
        const bool open = phase == Fade::Phase::FadingIn || phase == Fade::Phase::Shown;
        if (view == e.view && !open) {
            if (e.panel == settings_.Get()) {
                settings_->Show();  // the boxes as stored now
            } else {
                e.panel->FadeIn();
            }
        } else if (view != e.view && open) {
            // Another panel, the tuning view or the view beneath: a fade;
            // another view chosen from the menu: at once.
            const bool fade = toPanel || view == ViewId::Tuning || !viewChanged;
            if (fade) {
                e.panel->FadeOut();
            } else {
                e.panel->HideNow();
            }
        }
    }
}

void MainFrame::ClosePanelsNow()
{
    if (OpenPanel()) {
        (void)navigator_.Dispatch(Command::Cancel, 0);
        Sync();
    }
    for (FadingPanel* panel : {static_cast<FadingPanel*>(settings_.Get()), static_cast<FadingPanel*>(support_.Get())}) {
        if (panel) {
            panel->HideNow();
        }
    }
}

void MainFrame::ShowRestoreProgress()
{
    if (!status_) {
        return;
    }
    if (restoreProgress_->Active()) {
        lastRestoreProgress_ = restoreProgress_->Text();
        status_->SetTitle(lastRestoreProgress_);
    } else {
        status_->SetTitle(navigator_.Title());
    }
}

}  // namespace GUI
