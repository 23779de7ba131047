#pragma once
// GUI::BackupsView: the backup points newest first, each with its date and
// time, a check box and a "Changes..." link that opens the point: the view
// then lists what restoring it undoes, under a "Back to backup points" link.
//
// The main window creates it as a child of its views' area and drives it:
//   view.CreateView(mainHwnd, area);
//   view.Show(manager.BackupFolder());       // the backups view's show
//   WM_COMMAND 5023 / 5024 from the view     // no point / some point ticked
//   5017: view.StartRestore(tracer, poster)  // then no input until
//   5017 with lParam RestoreJob::kFinished: RestoreMessage m = view.EndRestore();
//   5018: ask DeleteQuestion(view.Points()); on OK: UserMessage m = view.DeleteTicked();
#include <string>

#include "gui/BackupMessages.h"
#include "gui/BackupsList.h"
#include "gui/RestoreJob.h"
#include "gui/win32/RowsView.h"

namespace GUI {

class BackupsView : public RowsView {
public:
    static constexpr uint32_t kSecondLineColour = 0xFFA5A5A5;
    static constexpr uint32_t kLinkColour = 0xFF0074FF;
    static constexpr const wchar_t* kBackText = L"Back to backup points";

    explicit BackupsView(Aqua::Toolkit& toolkit) : RowsView(toolkit) {}
    // Reloads the points (ticks cleared, no point open) and shows the view.
    void Show(const std::wstring& backupFolder);
    const BackupsList& list() const { return list_; }
    std::vector<Remover::BackupPoint> Points() const { return list_.Points(); }

    // Starts restoring the ticked points on the worker; the view takes no
    // clicks until EndRestore. False when nothing is ticked or one runs.
    bool StartRestore(RTI::ITracer* tracer, ICommandPoster* poster);
    bool restoring() const { return job_.Running() || busy_; }
    // After 5017 with kFinished: what to tell the user.
    RestoreMessage EndRestore();
    // Deletes the ticked points, reloads, and gives the message naming the
    // points that stayed (an empty text when all went).
    UserMessage DeleteTicked();

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    int ContentHeight() const override;
    void OnClick(int x, int y) override;
    void OnLayout() override;

private:
    void PaintPoints(Aqua::DrawList& list, Aqua::Rect size);
    void PaintChanges(Aqua::DrawList& list, Aqua::Rect size);

    BackupsList list_;
    std::wstring folder_;
    RestoreJob job_;
    bool busy_ = false;
};

}  // namespace GUI
