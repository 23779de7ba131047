#pragma once
// Backup points: the journals in the backup folder, as the backups view and
// the command line list, restore and delete them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"
#include "core/rti/ITracer.h"
#include "remover/Processor.h"
#include "remover/Reader.h"

namespace Remover {

struct BackupPoint {
    std::wstring path;       // the journal file
    std::wstring dateLabel;  // its creation time in local time: "2006.12.07"
    std::wstring timeLabel;  // "9:05": the hour without, the minute with a leading zero
    bool ticked = false;     // chosen by the user
};

// The journals ("*.arch", not folders) in the backup folder, in the order the
// directory listing gives them. A journal that cannot be opened, or whose
// creation time cannot be read or converted, is left out. An empty or
// missing folder lists nothing.
std::vector<BackupPoint> ListBackupPoints(std::wstring_view backupFolder);

// The labels of a creation time (FILETIME units); false when it cannot be
// converted.
bool MakeLabels(uint64_t creationTime, std::wstring* dateLabel, std::wstring* timeLabel);

// The paths of the ticked points, in list order.
std::vector<std::wstring> TickedPaths(const std::vector<BackupPoint>& points);

// Journal paths ordered newest first: by the number in the file name,
// descending; names without a number count as oldest, in the order given.
std::vector<std::wstring> NewestFirst(std::vector<std::wstring> paths);
// The same order for points, as the backups view and `backups list` show them.
std::vector<BackupPoint> NewestFirst(std::vector<BackupPoint> points);

struct PointRestore {
    std::wstring path;
    uint32_t status = 0;  // Reader::Replay's result
    ReplayReport report;
};

struct RestoreOutcome {
    std::vector<PointRestore> points;  // in the order they were replayed
    bool cancelled = false;
    // Every point replayed and every block of each restored.
    bool Complete() const;
};

// Restores the ticked points, newest first, so that changes made by several
// runs come back to the state before the oldest of them. Registers the
// processor's commands first. A point that fails is reported and the next
// one is replayed all the same; a signalled cancel event stops the restore.
RestoreOutcome RestoreTickedPoints(const std::vector<BackupPoint>& points, Processor& processor, Reader& reader,
                                   RTI::ITracer* tracer, Platform::EventHandle cancel);

struct DeleteFailure {
    std::wstring path;
    uint32_t error = 0;
};

// Deletes the ticked points' journals, in list order: their attributes are
// cleared and, when that succeeds, they are deleted. Saved copies stay in the
// copy store. Returns the points that could not be deleted.
std::vector<DeleteFailure> DeleteTickedPoints(const std::vector<BackupPoint>& points);

}  // namespace Remover
