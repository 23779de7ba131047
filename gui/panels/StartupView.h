#pragma once
// The startup programs view: the startup manager's tree with check boxes
// above the details of the selected entry. Unticking an entry disables it
// with its backup, ticking a disabled one puts it back; read-only entries are
// greyed and say why. A change that fails is reported through the toolkit
// and shown above the details; nothing is changed then.
//
//   GUI::StartupView view(toolkit);
//   view.Create(mainWindow, viewsArea);
//   on 5036: view.Open(guard.Catalogue() or a built catalogue, place); show it.
//   after the guard's balloon: view.Reveal(location) for each new entry.
#include <memory>
#include <optional>

#include "core/rti/Reference.h"
#include "gui/PanelPaint.h"
#include "gui/StartupPrograms.h"
#include "gui/aqua/HoverPulse.h"
#include "gui/aqua/win32/Controls.h"

namespace GUI {

class StartupView : public Control {
public:
    static constexpr wchar_t kTitle[] = L"Startup programs";

    explicit StartupView(Aqua::Toolkit& toolkit) : Control(toolkit) {}
    // A child of `parent` (hidden until Open).
    bool Create(HWND parent, Aqua::Rect place);
    // Shows the catalogue with the disabled entries of the snapshot.
    void Open(StartUp::CategoryList roots, StartUp::SnapshotPlace place);
    // While the catalogue is being gathered elsewhere: no rows, only `text`.
    void ShowWorking(std::wstring text);
    bool working() const { return !working_.empty(); }
    // Builds the rows again after the guard found new entries.
    void Refresh();
    // Opens the groups above an entry, selects it and scrolls it into view.
    bool Reveal(std::wstring_view location);

    // What the user does, also for tests: a click on a row's box, a selection.
    void ClickBox(size_t row);
    void SelectRow(size_t row);

    StartupPrograms* model() const { return model_.get(); }
    const std::wstring& message() const { return message_; }
    int scroll() const { return scroll_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged() override { Layout(); }

private:
    StartupViewLayout Layout() const;
    void LayoutChildren();
    void UpdateScroll();
    void ScrollTo(int position);
    void EnsureVisible(size_t row);

    std::unique_ptr<StartupPrograms> model_;
    RTI::Reference<Scrollbar> scrollbar_;
    std::wstring message_;
    std::wstring working_;
    int scroll_ = 0;
};

}  // namespace GUI
