// What the inspection hook answers: the window's state as it is drawn.
#include "gui/win32/MainFrame.h"

namespace GUI {

namespace {

const wchar_t* ViewName(ViewId view)
{
    switch (view) {
        case ViewId::Tuning:
            return L"tuning";
        case ViewId::Tweaks:
            return L"tweaks";
        case ViewId::TweakInfo:
            return L"details";
        case ViewId::Backups:
            return L"backups";
        case ViewId::Profiles:
            return L"profiles";
        case ViewId::ProfileInfo:
            return L"profile";
        case ViewId::TweakSets:
            return L"tweaksets";
        case ViewId::Settings:
            return L"settings";
        case ViewId::Support:
            return L"support";
        case ViewId::Startup:
            return L"startup";
    }
    return L"";
}

wchar_t CellLetter(Cell cell)
{
    switch (cell) {
        case Cell::Green:
            return L'g';
        case Cell::Yellow:
            return L'y';
        case Cell::Red:
            return L'r';
        case Cell::Gray:
            break;
    }
    return L'G';
}

// The centre of `part` (client coordinates of `child`) in the frame's client
// area; reachable only when the child is shown and the centre is inside it.
ClickPoint CentreIn(HWND frame, HWND child, const Aqua::Rect& part)
{
    ClickPoint p;
    RECT client{};
    if (!child || !IsWindowVisible(child) || !GetClientRect(child, &client)) {
        return p;
    }
    POINT centre{part.x + part.width / 2, part.y + part.height / 2};
    // Not covered by one of the child's own children (the filter box).
    if (part.width <= 0 || part.height <= 0 || !PtInRect(&client, centre) ||
        ChildWindowFromPointEx(child, centre, CWP_SKIPINVISIBLE) != child) {
        return p;
    }
    MapWindowPoints(child, frame, &centre, 1);
    p.x = centre.x;
    p.y = centre.y;
    p.reachable = true;
    return p;
}

}  // namespace

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
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd(), caption, static_cast<int>(std::size(caption)));
    s.caption = caption;
    s.title = navigator_.Title();
    s.helpTopic = navigator_.HelpTopic();
    s.menu = navigator_.MenuSelection();
    s.visible = IsWindowVisible(hwnd()) != FALSE;
    s.running = manager_.IsRunning();
    for (int id : navigator_.Buttons()) {
        s.buttons.push_back({id, ButtonCaption(id), navigator_.IsEnabled(id)});
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
        const size_t index = s.sections.size();
        if (v.customizeActive && index < sectionWindows_.size()) {
            const SectionWindow& window = *sectionWindows_[index];
            state.customize = CentreIn(hwnd(), window.hwnd(), window.CustomizeRect());
        }
        s.sections.push_back(state);
        s.analysed = (s.analysed || s.sections.size() == 1) && v.mode == SectionMode::Analysed;
    }
    if (navigator_.View() == ViewId::Tweaks || navigator_.View() == ViewId::TweakInfo) {
        s.filter = tweaksView_->list().Filter();
        for (const TweakRow& row : tweaksView_->list().Rows()) {
            s.rows.push_back({row.name, row.selected, row.twoState, row.switchOn, !row.notApplied, row.noAccess});
            RowPoints points;
            if (navigator_.View() == ViewId::Tweaks) {
                points.selectBox = CentreIn(hwnd(), tweaksView_->hwnd(), tweaksView_->Place(row.selectBox));
                if (row.twoState) {
                    points.switchBox = CentreIn(hwnd(), tweaksView_->hwnd(), tweaksView_->Place(row.switchBox));
                }
            }
            s.rowPoints.push_back(points);
        }
    }
    if (navigator_.View() == ViewId::Backups && backupsView_) {
        for (const BackupRow& row : backupsView_->list().Rows()) {
            s.rows.push_back({row.name, row.point.ticked, false, false, false, false});
        }
    }
    if ((navigator_.View() == ViewId::Profiles || navigator_.View() == ViewId::ProfileInfo) && profilesView_) {
        for (const ProfileRow& row : profilesView_->list().Rows()) {
            s.rows.push_back({row.profile->name, row.profile->checked, false, false, false, false});
        }
    }
    if (navigator_.View() == ViewId::ProfileInfo && profileInfo_) {
        s.details = profileInfo_->text();
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
    if (const FadingPanel* panel = OpenPanel()) {
        s.panel = navigator_.View() == ViewId::Settings ? L"settings" : L"support";
        s.panelOpacity = panel->Opacity();
    }
    if (strip_) {
        if (const SummaryLine* line = strip_->summary().Current()) {
            s.strip = line->label + L" " + line->value;
        }
    }
    if (restoreProgress_->Active()) {
        s.progress = restoreProgress_->Text();
    }
    FillStartupState(s);
    s.prompts = promptLog_;
    return s;
}

}  // namespace GUI
