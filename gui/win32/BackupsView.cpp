#include "gui/win32/BackupsView.h"

#include "gui/Commands.h"

namespace GUI {

namespace {

constexpr int kChangeHeight = 36;  // two lines per change in the opened point
constexpr int kHeaderHeight = 48;  // the title and the back link above them
constexpr int kTextLeft = 92;

}  // namespace

void BackupsView::Show(const std::wstring& backupFolder)
{
    folder_ = backupFolder;
    list_.Show(backupFolder, ListWidth());
    ResetScroll();
    Relayout();
    ShowWindow(hwnd(), SW_SHOW);
}

void BackupsView::OnLayout()
{
    list_.SetWidth(ListWidth());
}

int BackupsView::ContentHeight() const
{
    if (list_.OpenRow() >= 0) {
        return kHeaderHeight + kChangeHeight * static_cast<int>(list_.OpenChanges().size());
    }
    return list_.ScrollRange();
}

void BackupsView::OnClick(int x, int y)
{
    if (restoring()) {
        return;
    }
    if (list_.OpenRow() >= 0) {
        if (y < kHeaderHeight && y >= 24) {  // the back link's line
            list_.Close();
            Relayout();
        }
        return;
    }
    const int command = list_.Click(x, y);
    if (list_.OpenRow() >= 0) {
        ResetScroll();
        Relayout();
        return;
    }
    Invalidate();
    if (command != 0) {
        Post(command, reinterpret_cast<LPARAM>(hwnd()));
    }
}

bool BackupsView::StartRestore(RTI::ITracer* tracer, ICommandPoster* poster)
{
    if (!job_.Start(list_.Points(), tracer, poster)) {
        return false;
    }
    busy_ = true;
    Invalidate();
    return true;
}

RestoreMessage BackupsView::EndRestore()
{
    RestoreMessage message = job_.Finish();
    busy_ = false;
    Invalidate();
    return message;
}

UserMessage BackupsView::DeleteTicked()
{
    const std::vector<Remover::BackupPoint> points = list_.Points();
    const std::vector<Remover::DeleteFailure> failures = Remover::DeleteTickedPoints(points);
    Show(folder_);
    return DeleteResultMessage(failures, points);
}

void BackupsView::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    list.Add(Aqua::FillOp{size, 0xFFFFFFFF});
    if (list_.OpenRow() >= 0) {
        PaintChanges(list, size);
    } else {
        PaintPoints(list, size);
    }
}

void BackupsView::PaintPoints(Aqua::DrawList& list, Aqua::Rect size)
{
    for (const BackupRow& row : list_.Rows()) {
        const Aqua::Rect place = Place(row.row);
        if (place.bottom() < 0 || place.y > size.height) {
            continue;
        }
        const int y = row.row.top;
        list.Add(Aqua::FillOp{place, row.background});
        list.Add(Aqua::ImageOp{row.icon, {}, Place(16, y + 8, 32, 32)});
        const int textWidth = row.row.width - kTextLeft - row.link.width - 16;
        list.Add(Aqua::TextOp{Place(kTextLeft, y + 4, textWidth, 16), row.point.dateLabel, TextFont(8, Aqua::kBold),
                              0xFF000000});
        list.Add(Aqua::TextOp{Place(kTextLeft, y + 20, textWidth, 32), row.point.timeLabel + L"   " + row.name,
                              TextFont(8), kSecondLineColour});
        list.Add(Aqua::TextOp{Place(row.link), BackupsList::kLinkText, TextFont(8, Aqua::kUnderline), kLinkColour});
        // Frame 0 unticked, frame 4 ticked; a busy view draws frame 0.
        const int frame = row.point.ticked && !restoring() ? 4 : 0;
        list.Add(Aqua::ImageOp{L"XP.CHECKBOX", {0, 16 * frame, 16, 16}, Place(row.checkBox)});
    }
    if (list_.Rows().empty()) {
        list.Add(Aqua::TextOp{Place(16, 16, ListWidth() - 32, 40),
                              L"There are no backup points. Each tune-up with backups switched on keeps one.",
                              TextFont(8), kSecondLineColour});
    }
}

void BackupsView::PaintChanges(Aqua::DrawList& list, Aqua::Rect /*size*/)
{
    const int width = ListWidth() - kScrollBarWidth - 32;
    list.Add(Aqua::TextOp{Place(16, 4, width, 18), list_.OpenTitle(), TextFont(8, Aqua::kBold), 0xFF000000});
    list.Add(Aqua::TextOp{Place(16, 26, width, 16), kBackText, TextFont(8, Aqua::kUnderline), kLinkColour});
    int y = kHeaderHeight;
    bool odd = false;
    for (const ChangeLine& line : list_.OpenChanges()) {
        list.Add(Aqua::FillOp{Place(0, y, ListWidth() - kScrollBarWidth, kChangeHeight),
                              odd ? BackupsList::kOddColour : 0xFFFFFFFF});
        list.Add(Aqua::TextOp{Place(16, y + 2, width, 16), line.location, TextFont(8),
                              line.problem ? 0xFFC00000 : 0xFF000000, Aqua::TextAlign::Left, true});
        list.Add(Aqua::TextOp{Place(32, y + 18, width - 16, 16), line.undo, TextFont(8),
                              line.problem ? 0xFFC00000 : kSecondLineColour, Aqua::TextAlign::Left, true});
        y += kChangeHeight;
        odd = !odd;
    }
}

}  // namespace GUI
