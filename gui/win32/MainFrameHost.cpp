// The main frame as the navigator's host and the runs' message sink: runs,
// prompts, the tweaks view's changes under the change lock, online help.
#include "gui/win32/MainFrame.h"

#include <shellapi.h>

#include <algorithm>

#include "app/update/BuildSettings.h"
#include "gui/UserTweaksChoice.h"
#include "gui/win32/UserFileSeam.h"
#include "tweaker/ChangeLock.h"

namespace GUI {

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

void MainFrame::Perform(int command)
{
    if (command == Command::RestorePoints) {
        RestorePoints();
    } else if (command == Command::DeletePoints) {
        DeletePoints();
    } else if (command == Command::UserTweaksPath) {
        SelectUserTweaks();
    } else {
        PerformProfiles(command);
    }
}

void MainFrame::SelectUserTweaks()
{
    if (navigator_.View() != ViewId::TweakSets || !tweakSetsView_) {
        return;
    }
    // The dialog, the failed write's report and the restart message are the
    // chooser's; a cancel keeps the remembered path.
    Win32UserFileSeam seam(hwnd());
    std::wstring chosen;
    if (SelectUserTweaksFile(tweakSetsView_->userTweaksPath(), seam, &chosen) == 0) {
        (void)tweakSetsView_->Load(programFolder_, chosen);  // "Run Knobset" opens the new file
        tweakSetsView_->Show();
    }
}

void MainFrame::PerformProfiles(int command)
{
    if (navigator_.View() != ViewId::Profiles || !profileStore_) {
        return;
    }
    // The store asks and reports through the "Profiles" dialog and its boxes.
    if (command == Command::SetProfiles) {
        if (profileStore_->SetCheckedProfiles() == 0) {
            CaptureAll();  // the sections show the profile's selections
        }
        return;  // the ticks stay, as the user left them
    }
    if (command == Command::DeleteProfiles) {
        (void)profileStore_->DeleteCheckedProfiles();  // failures told by the store
    } else if (command == Command::SaveProfile) {
        (void)profileStore_->SaveCurrentAsProfile();  // a cancel or failure leaves the list
    } else {
        return;
    }
    profilesView_->Show(*profileStore_);
    PostCommand(Command::NoProfileChecked, 0);
}

void MainFrame::RestorePoints()
{
    if (navigator_.View() != ViewId::Backups) {
        return;
    }
    const std::vector<Remover::BackupPoint>& points = backupsView_->Points();
    restoreProgress_->Start(
        static_cast<int>(std::count_if(points.begin(), points.end(), [](const auto& p) { return p.ticked; })));
    // The restore's own progress sink: the journal's reports never reach the sections.
    if (backupsView_->StartRestore(restoreProgress_.get(), this)) {
        Sync();
    } else {
        restoreProgress_->Stop();
    }
}

void MainFrame::FinishRestore()
{
    if (!backupsView_ || !backupsView_->restoring()) {
        return;
    }
    const RestoreMessage message = backupsView_->EndRestore();
    lastRestoreProgress_ = restoreProgress_->Text();
    restoreProgress_->Stop();
    Sync();
    Tell(message.message.caption, message.message.text);
    if (message.offerRestart) {
        prompts_->OfferRestart(hwnd());
    }
    // The restored values are not what the sections last measured.
    if (!manager_.IsRunning()) {
        RecomputeAll();
    }
}

void MainFrame::DeletePoints()
{
    if (navigator_.View() != ViewId::Backups) {
        return;
    }
    const UserMessage question = DeleteQuestion(backupsView_->Points());
    if (!Ask(question.caption, question.text)) {
        return;
    }
    const UserMessage result = backupsView_->DeleteTicked();
    if (!result.text.empty()) {
        Tell(result.caption, result.text);
    }
    PostCommand(Command::NoPointChecked, 0);
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

void MainFrame::OpenRowDetails(int row)
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
        const auto result =
            reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        error = result > 32 ? 0 : static_cast<DWORD>(result);
    }
    if (error != 0) {
        Tell(L"Online help",
             L"The online help page " + url + L" could not be opened (error " + std::to_wstring(error) + L").");
    }
}

}  // namespace GUI
