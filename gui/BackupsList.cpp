#include "gui/BackupsList.h"

#include <algorithm>

#include "gui/Commands.h"

namespace GUI {

namespace {

// Row geometry of a backup point: the image at (16, y + 8), 32 x 32; the
// check box at the image's width + 34, between the image and the text (at
// 92); the link at the right end of the first line.
constexpr int kImageSize = 32;
constexpr int kCheckBoxLeft = kImageSize + 34;
constexpr int kCheckBoxTop = 15;
constexpr int kCheckBoxSize = 16;
constexpr int kLinkWidth = 70;
constexpr int kLinkHeight = 16;

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

void BackupsList::Show(const std::wstring& backupFolder, int width)
{
    folder_ = backupFolder;
    width_ = width;
    scroll_ = 0;
    open_ = -1;
    changes_.clear();
    rows_.clear();
    for (Remover::BackupPoint& point : Remover::NewestFirst(Remover::ListBackupPoints(backupFolder))) {
        BackupRow row;
        row.name = FileNameOf(point.path);
        point.ticked = false;
        row.point = std::move(point);
        rows_.push_back(std::move(row));
    }
    Layout();
}

void BackupsList::SetWidth(int width)
{
    width_ = width;
    Layout();
}

void BackupsList::Layout()
{
    const int rowWidth = std::max(0, width_ - kScrollBarWidth);
    for (size_t i = 0; i < rows_.size(); ++i) {
        BackupRow& row = rows_[i];
        const int y = static_cast<int>(i) * kRowHeight;
        const bool odd = i % 2 == 1;
        row.icon = odd ? L"AQUA.MENU.BACKUPODD" : L"AQUA.MENU.BACKUP";
        row.background = odd ? kOddColour : 0xFFFFFFFF;
        row.row = {0, y, rowWidth, kRowHeight};
        row.checkBox = {kCheckBoxLeft, y + kCheckBoxTop, kCheckBoxSize, kCheckBoxSize};
        row.link = {std::max(0, rowWidth - kLinkWidth - 8), y + 4, kLinkWidth, kLinkHeight};
    }
}

void BackupsList::SetScroll(int position)
{
    scroll_ = std::clamp(position, 0, std::max(0, ScrollRange() - kRowHeight));
}

Hit BackupsList::HitTest(int x, int y) const
{
    const int listY = y + scroll_;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const BackupRow& row = rows_[i];
        if (!row.row.Contains(x, listY)) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (row.checkBox.Contains(x, listY)) {
            return {index, RowPart::Select};
        }
        if (row.link.Contains(x, listY)) {
            return {index, RowPart::Link};
        }
        return {index, RowPart::Row};
    }
    return {};
}

int BackupsList::Click(int x, int y)
{
    const Hit hit = HitTest(x, y);
    if (hit.part == RowPart::Link) {
        Open(hit.row);
        return 0;
    }
    if (hit.part == RowPart::Select) {
        SetTicked(hit.row, !rows_[static_cast<size_t>(hit.row)].point.ticked);
    }
    if (hit.part == RowPart::None) {
        return 0;
    }
    return AnyTicked() ? Command::PointChecked : Command::NoPointChecked;
}

void BackupsList::SetTicked(int row, bool ticked)
{
    if (row >= 0 && static_cast<size_t>(row) < rows_.size()) {
        rows_[static_cast<size_t>(row)].point.ticked = ticked;
    }
}

std::vector<Remover::BackupPoint> BackupsList::Points() const
{
    std::vector<Remover::BackupPoint> points;
    for (const BackupRow& row : rows_) {
        points.push_back(row.point);
    }
    return points;
}

bool BackupsList::AnyTicked() const
{
    return std::any_of(rows_.begin(), rows_.end(), [](const BackupRow& r) { return r.point.ticked; });
}

void BackupsList::Open(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= rows_.size()) {
        return;
    }
    open_ = row;
    changes_ = DescribeChanges(Remover::ReadPointChanges(rows_[static_cast<size_t>(row)].point.path));
}

std::wstring BackupsList::OpenTitle() const
{
    if (open_ < 0) {
        return {};
    }
    const BackupRow& row = rows_[static_cast<size_t>(open_)];
    return L"Backup point of " + row.point.dateLabel + L" " + row.point.timeLabel + L" (" + row.name + L")";
}

std::vector<ChangeLine> DescribeChanges(const Remover::PointContents& contents)
{
    std::vector<ChangeLine> lines;
    const Remover::ReplayReport& report = contents.report;
    if (contents.status != 0 && contents.status != 0xFFFFFFFEu && report.blocks == 0) {
        lines.push_back({L"The journal cannot be read",
                         L"(error " + std::to_wstring(static_cast<int32_t>(contents.status)) + L")", true});
        return lines;
    }
    for (const Remover::PointChange& change : contents.changes) {
        lines.push_back({change.Location(), change.Undo(), false});
    }
    for (const Remover::ReplayReport::DamagedRange& range : report.damaged) {
        lines.push_back(
            {L"Bytes " + std::to_wstring(range.begin) + L"\u2013" + std::to_wstring(range.end - 1) + L" of the journal",
             L"are damaged: the changes recorded there cannot be undone", true});
    }
    for (const Remover::ReplayReport::Failure& failure : report.failed) {
        lines.push_back(
            {L"Change " + std::to_wstring(failure.index + 1), L"cannot be read: a restore cannot undo it", true});
    }
    if (lines.empty()) {
        lines.push_back({L"No change", L"is recorded in this backup point", false});
    }
    return lines;
}

}  // namespace GUI
