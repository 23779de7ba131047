#pragma once
// GUI::BackupsView without its window: the backup points newest first, laid
// out in rows of 50 pixels with a check box and a "Changes..." link, the
// ticks and the command a click sends, and the opened point's changes.
#include <cstdint>
#include <string>
#include <vector>

#include "gui/TweaksList.h"
#include "remover/BackupPoints.h"
#include "remover/PointChanges.h"

namespace GUI {

struct BackupRow {
    Remover::BackupPoint point;
    std::wstring name;  // the journal's file name
    std::wstring icon;  // AQUA.MENU.BACKUP (even rows) or AQUA.MENU.BACKUPODD
    uint32_t background = 0;
    Rect row, checkBox, link;
};

// One line of an opened point: where, and what comes back there.
struct ChangeLine {
    std::wstring location;
    std::wstring undo;
    bool problem = false;  // a part of the journal a restore cannot undo
};

class BackupsList {
public:
    static constexpr int kRowHeight = 50;
    static constexpr int kScrollBarWidth = 17;
    static constexpr uint32_t kOddColour = 0xFFEDF3FE;
    static constexpr const wchar_t* kLinkText = L"Changes...";

    // Lists the points of the backup folder for a view `width` wide: ticks
    // cleared, scrolled to the top, no point open.
    void Show(const std::wstring& backupFolder, int width);
    // Lays the rows out again for a new width; ticks and the open point stay.
    void SetWidth(int width);
    const std::vector<BackupRow>& Rows() const { return rows_; }
    int ScrollRange() const { return kRowHeight * static_cast<int>(rows_.size()); }
    int ScrollPosition() const { return scroll_; }
    void SetScroll(int position);
    Hit HitTest(int x, int y) const;

    // A left-button release at (x, y): the check box toggles its row's tick;
    // the link opens the point. Returns the command to send the main window:
    // 5024 when a row is ticked, else 5023; 0 when the click opened a point
    // or hit nothing.
    int Click(int x, int y);
    void SetTicked(int row, bool ticked);
    std::vector<Remover::BackupPoint> Points() const;
    bool AnyTicked() const;

    // The opened point's changes, in the order a restore undoes them, and
    // what cannot be undone; -1 when none is open.
    void Open(int row);
    void Close() { open_ = -1; }
    int OpenRow() const { return open_; }
    const std::vector<ChangeLine>& OpenChanges() const { return changes_; }
    std::wstring OpenTitle() const;

private:
    void Layout();

    std::wstring folder_;
    int width_ = 0;
    std::vector<BackupRow> rows_;
    int scroll_ = 0;
    int open_ = -1;
    std::vector<ChangeLine> changes_;
};

// The lines of what a point undoes, as the view lists them.
std::vector<ChangeLine> DescribeChanges(const Remover::PointContents& contents);

}  // namespace GUI
