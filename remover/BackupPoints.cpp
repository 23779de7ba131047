#include "remover/BackupPoints.h"

#include <algorithm>
#include <cstdio>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "remover/Format.h"
#include "remover/JournalNames.h"
#include "remover/LocalTime.h"

namespace Remover {

bool MakeLabels(uint64_t creationTime, std::wstring* dateLabel, std::wstring* timeLabel)
{
    const auto local = ToLocalTime(creationTime);
    if (!local) {
        return false;
    }
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%04d.%02d.%02d", local->year, local->month, local->day);
    *dateLabel = text;
    std::swprintf(text, std::size(text), L"%d:%02d", local->hour, local->minute);
    *timeLabel = text;
    return true;
}

std::vector<BackupPoint> ListBackupPoints(std::wstring_view backupFolder)
{
    std::vector<BackupPoint> points;
    std::wstring folder(backupFolder);
    if (folder.empty()) {
        return points;
    }
    if (folder.back() != L'\\') {
        folder.push_back(L'\\');
    }
    auto& files = Platform::Current().Files();
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (files.FindFirst(folder + std::wstring(kJournalPattern), &entry, find.put()) != 0) {
        return points;
    }
    do {
        if (entry.attributes & Platform::FileAttr::Directory) {
            continue;
        }
        BackupPoint point;
        point.path = folder + entry.name;
        Platform::UniqueFile file;
        Platform::FileInfo info;
        if (files.CreateFile(point.path, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, file.put()) !=
                0 ||
            files.GetFileInfo(point.path, &info) != 0 ||
            !MakeLabels(info.creationTime, &point.dateLabel, &point.timeLabel)) {
            continue;
        }
        points.push_back(std::move(point));
    } while (files.FindNext(find.get(), &entry) == 0);
    return points;
}

std::vector<std::wstring> TickedPaths(const std::vector<BackupPoint>& points)
{
    std::vector<std::wstring> paths;
    for (const BackupPoint& point : points) {
        if (point.ticked) {
            paths.push_back(point.path);
        }
    }
    return paths;
}

namespace {

int64_t NumberOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    const auto number = JournalNumber(slash == std::wstring::npos ? path : path.substr(slash + 1));
    return number ? static_cast<int64_t>(*number) : -1;
}

}  // namespace

std::vector<std::wstring> NewestFirst(std::vector<std::wstring> paths)
{
    std::stable_sort(paths.begin(), paths.end(),
                     [](const std::wstring& a, const std::wstring& b) { return NumberOf(a) > NumberOf(b); });
    return paths;
}

std::vector<BackupPoint> NewestFirst(std::vector<BackupPoint> points)
{
    std::stable_sort(points.begin(), points.end(),
                     [](const BackupPoint& a, const BackupPoint& b) { return NumberOf(a.path) > NumberOf(b.path); });
    return points;
}

bool RestoreOutcome::Complete() const
{
    if (cancelled) {
        return false;
    }
    return std::all_of(points.begin(), points.end(), [](const PointRestore& p) { return p.status == 0; });
}

RestoreOutcome RestoreTickedPoints(const std::vector<BackupPoint>& points, Processor& processor, Reader& reader,
                                   RTI::ITracer* tracer, Platform::EventHandle cancel)
{
    RestoreOutcome outcome;
    (void)processor.RegisterCommands();
    for (const std::wstring& path : NewestFirst(TickedPaths(points))) {
        PointRestore point;
        point.path = path;
        point.status = reader.Replay(path, Format::kProductHeader, Format::kProductHeaderLength, processor, tracer,
                                     cancel, &point.report);
        outcome.points.push_back(std::move(point));
        if (outcome.points.back().status == Err::Cancelled) {
            outcome.cancelled = true;
            break;
        }
    }
    return outcome;
}

std::vector<DeleteFailure> DeleteTickedPoints(const std::vector<BackupPoint>& points)
{
    auto& files = Platform::Current().Files();
    std::vector<DeleteFailure> failures;
    for (const BackupPoint& point : points) {
        if (!point.ticked) {
            continue;
        }
        Platform::Status s = files.SetFileAttributes(point.path, Platform::FileAttr::Normal);
        if (s == Err::Success) {
            s = files.DeleteFile(point.path);
        }
        if (s != Err::Success) {
            failures.push_back({point.path, s});
        }
    }
    return failures;
}

}  // namespace Remover
