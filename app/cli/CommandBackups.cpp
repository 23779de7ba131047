// backups list [--json], backups show POINT [--json], backups find TEXT,
// backups restore POINT..., backups delete POINT...: the journals that
// tune-ups keep in the backup folder. A point is named by its file name (with
// or without ".arch") or by its path.
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"
#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/text/JsonWriter.h"
#include "remover/BackupPoints.h"
#include "remover/DeleteFileW.h"
#include "remover/DeleteRegKey.h"
#include "remover/DeleteRegValue.h"
#include "remover/FinalParent.h"
#include "remover/Format.h"
#include "remover/PointChanges.h"
#include "remover/Processor.h"
#include "remover/RCreateFile.h"
#include "remover/Reader.h"
#include "remover/SetRegKey.h"
#include "remover/SetRegValue.h"

namespace Cli {

using Text::JsonWriter;
namespace {

constexpr std::wstring_view kJournalExtension = L".arch";

std::wstring BackupFolderOf(const Settings& settings)
{
    Tweaker::Manager manager;
    manager.SetFolderName(settings.folderName);
    return manager.BackupFolder();
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool EndsWithJournalExtension(std::wstring_view name)
{
    return name.size() > kJournalExtension.size() &&
           RTI::CompareIgnoreCase(name.substr(name.size() - kJournalExtension.size()), kJournalExtension) == 0;
}

// The journal a POINT argument names: a path when it holds a separator,
// else a name in the backup folder. Empty, after the error was written,
// when there is no such journal.
std::wstring ResolvePoint(const Context& context, const std::wstring& folder, const std::wstring& point)
{
    std::wstring path;
    if (point.find_first_of(L"\\/") != std::wstring::npos) {
        path = point;
    } else {
        path = folder + point;
        if (!EndsWithJournalExtension(point)) {
            path += kJournalExtension;
        }
    }
    Platform::FileInfo info;
    const uint32_t status = Platform::Current().Files().GetFileInfo(path, &info);
    if (status != Err::Success || (info.attributes & Platform::FileAttr::Directory) != 0) {
        context.out.Error(L"no backup point " + Quoted(point) + L" (looked for " + path + L")");
        return {};
    }
    if (!EndsWithJournalExtension(FileNameOf(path))) {
        context.out.Error(L"not a backup point: " + path + L" (journals end in .arch)");
        return {};
    }
    return path;
}

// The journal command a block tag stands for.
std::wstring CommandNameOf(uint8_t tag)
{
    switch (tag) {
        case Remover::DeleteFileW::kTag:
            return L"DelFile";
        case Remover::DeleteRegKey::kTag:
            return L"DelRegKey";
        case Remover::DeleteRegValue::kTag:
            return L"DelRegValue";
        case Remover::SetRegKey::kTag:
            return L"SetRegKey";
        case Remover::SetRegValue::kTag:
            return L"SetRegValue";
        case Remover::RCreateFile::kTag:
            return L"CreateFile";
        default:
            return L"unknown command " + std::to_wstring(tag);
    }
}

// Why a block was not undone, as a person reads it.
std::wstring FailureText(uint32_t error)
{
    switch (error) {
        case Remover::Format::kReplayIncomplete:
            return L"no command of this program records such a change (error -2)";
        case Remover::kFolderMoved:
            return L"a folder on its path now leads somewhere else than when the change was recorded, so nothing "
                   L"was written there";
        default:
            return ErrorText(error);
    }
}

// Every point the arguments name, ticked; nothing when one is unknown.
bool ResolvePoints(const Context& context, std::vector<Remover::BackupPoint>* points)
{
    const std::wstring folder = BackupFolderOf(context.settings);
    bool all = true;
    for (const std::wstring& name : context.invocation.names) {
        Remover::BackupPoint point;
        point.path = ResolvePoint(context, folder, name);
        point.ticked = true;
        if (point.path.empty()) {
            all = false;
            continue;
        }
        bool listed = false;
        for (const Remover::BackupPoint& earlier : *points) {
            listed = listed || RTI::CompareIgnoreCase(earlier.path, point.path) == 0;
        }
        if (!listed) {
            points->push_back(std::move(point));
        }
    }
    if (!all) {
        context.out.Error(L"nothing was done");
    }
    return all;
}

// Restoring and deleting change the system: the lock first, then the points.
int LockAndResolvePoints(const Context& context, Platform::UniqueNamedLock* lock,
                         std::vector<Remover::BackupPoint>* points)
{
    if (const int failed = TakeLock(context, lock)) {
        return failed;
    }
    return ResolvePoints(context, points) ? Exit::Done : Exit::BadUsage;
}

// The labels of a journal named on the command line, which may lie outside
// the backup folder.
Remover::BackupPoint PointAt(const std::wstring& path)
{
    Remover::BackupPoint point;
    point.path = path;
    Platform::FileInfo info;
    if (Platform::Current().Files().GetFileInfo(path, &info) != Err::Success ||
        !Remover::MakeLabels(info.creationTime, &point.dateLabel, &point.timeLabel)) {
        point.dateLabel = L"?";
    }
    return point;
}

const wchar_t* KindName(Remover::PointChange::Kind kind)
{
    using Kind = Remover::PointChange::Kind;
    switch (kind) {
        case Kind::ValueBack:
            return L"value back";
        case Kind::ValueRemoved:
            return L"value deleted";
        case Kind::KeyBack:
            return L"key back";
        case Kind::KeyRemoved:
            return L"key deleted";
        case Kind::FileBack:
            return L"file back";
        case Kind::FileRemoved:
            return L"file deleted";
    }
    return L"";
}

void WriteChangeJson(JsonWriter& json, const Remover::PointChange& change)
{
    using Kind = Remover::PointChange::Kind;
    json.BeginObject();
    json.Key(L"change").Number(int64_t(change.index) + 1);
    json.Key(L"kind").String(KindName(change.kind));
    json.Key(L"location").String(change.Location());
    json.Key(L"undo").String(change.Undo());
    if (change.kind == Kind::FileBack || change.kind == Kind::FileRemoved) {
        json.Key(L"file").String(change.filePath);
    } else {
        json.Key(L"root").String(change.rootName);
        json.Key(L"key").String(change.keyPath);
    }
    if (change.kind == Kind::ValueBack || change.kind == Kind::ValueRemoved) {
        json.Key(L"value").String(change.valueName);
    }
    if (change.kind == Kind::ValueBack) {
        json.Key(L"type").String(Remover::RegistryTypeName(change.valueType));
        json.Key(L"data").String(Remover::DataText(change.valueType, change.data));
    }
    if (change.kind == Kind::KeyBack) {
        json.Key(L"keys").Number(change.subkeys);
        json.Key(L"values").Number(change.values);
    }
    json.EndObject();
}

std::wstring ChangeLine(const Remover::PointChange& change)
{
    return std::to_wstring(change.index + 1) + L". " + change.Location() + L" " + change.Undo();
}

// The parts of a journal that a restore cannot undo, one line each.
std::vector<std::wstring> TroubleLines(const Remover::ReplayReport& report)
{
    std::vector<std::wstring> lines;
    for (const Remover::ReplayReport::DamagedRange& range : report.damaged) {
        lines.push_back(L"bytes " + std::to_wstring(range.begin) + L"\u2013" + std::to_wstring(range.end - 1) +
                        L" of the journal are damaged; the changes recorded there cannot be undone");
    }
    for (auto it = report.failed.rbegin(); it != report.failed.rend(); ++it) {
        lines.push_back(L"change " + std::to_wstring(it->index + 1) + L" (" + CommandNameOf(it->tag) + L", at byte " +
                        std::to_wstring(it->offset) + L") cannot be read: " + FailureText(it->error));
    }
    return lines;
}

}  // namespace

int RunBackupsShow(const Context& context)
{
    const std::wstring folder = BackupFolderOf(context.settings);
    const std::wstring path = ResolvePoint(context, folder, context.invocation.names.front());
    if (path.empty()) {
        return Exit::BadUsage;
    }
    const Remover::BackupPoint point = PointAt(path);
    const Remover::PointContents contents = Remover::ReadPointChanges(path);
    const Remover::ReplayReport& report = contents.report;
    if (contents.status != Err::Success && contents.status != Remover::Format::kReplayIncomplete) {
        context.out.Error(L"cannot read " + path + L": " + ErrorText(contents.status));
        return Exit::Failed;
    }
    const std::vector<std::wstring> trouble = TroubleLines(report);
    if (context.invocation.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key(L"name").String(FileNameOf(path));
        json.Key(L"path").String(path);
        json.Key(L"date").String(point.dateLabel);
        json.Key(L"time").String(point.timeLabel);
        json.Key(L"complete").Bool(report.Complete());
        json.Key(L"changes").BeginArray();
        for (const Remover::PointChange& change : contents.changes) {
            WriteChangeJson(json, change);
        }
        json.EndArray();
        json.Key(L"problems").BeginArray();
        for (const std::wstring& line : trouble) {
            json.String(line);
        }
        json.EndArray();
        json.Key(L"endsInIncompleteChange").Bool(report.tornTail);
        json.EndObject();
        context.out.Text(json.Take());
    } else {
        context.out.Line(L"Backup point " + FileNameOf(path) + L"  " + point.dateLabel + L" " + point.timeLabel);
        if (contents.changes.empty()) {
            context.out.Line(L"It records no change that a restore would undo.");
        } else {
            const size_t n = contents.changes.size();
            context.out.Line(L"Restoring it undoes " + std::to_wstring(n) +
                             (n == 1 ? L" change:" : L" changes, the last one first:"));
            for (const Remover::PointChange& change : contents.changes) {
                context.out.Line(L"  " + ChangeLine(change));
            }
        }
        if (report.tornTail) {
            context.out.Line(L"The journal ends in an incomplete change at byte " + std::to_wstring(report.tornOffset) +
                             L"; that change was never made.");
        }
    }
    for (const std::wstring& line : trouble) {
        context.out.Error(path + L": " + line);
    }
    return report.Complete() ? Exit::Done : Exit::Failed;
}

int RunBackupsFind(const Context& context)
{
    const std::wstring& text = context.invocation.names.front();
    if (text.empty()) {
        context.out.Error(L"backups find needs a text that is not empty");
        return Exit::BadUsage;
    }
    const std::wstring folder = BackupFolderOf(context.settings);
    const std::vector<Remover::PointMatch> matches = Remover::FindInPoints(Remover::ListBackupPoints(folder), text);
    if (matches.empty()) {
        context.out.Line(L"No backup point in " + folder + L" records a change of " + Quoted(text));
        return Exit::Done;
    }
    for (const Remover::PointMatch& match : matches) {
        context.out.Line(FileNameOf(match.point.path) + L"  " + match.point.dateLabel + L" " + match.point.timeLabel);
        for (const Remover::PointChange& change : match.changes) {
            context.out.Line(L"  " + ChangeLine(change));
        }
    }
    return Exit::Done;
}

int RunBackupsList(const Context& context)
{
    const std::wstring folder = BackupFolderOf(context.settings);
    const std::vector<Remover::BackupPoint> points = Remover::NewestFirst(Remover::ListBackupPoints(folder));
    if (context.invocation.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key(L"folder").String(folder);
        json.Key(L"points").BeginArray();
        for (const Remover::BackupPoint& point : points) {
            json.BeginObject();
            json.Key(L"name").String(FileNameOf(point.path));
            json.Key(L"path").String(point.path);
            json.Key(L"date").String(point.dateLabel);
            json.Key(L"time").String(point.timeLabel);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        context.out.Text(json.Take());
        return Exit::Done;
    }
    if (points.empty()) {
        context.out.Line(L"No backup points in " + folder);
        return Exit::Done;
    }
    context.out.Line(L"Backup points in " + folder + L":");
    for (const Remover::BackupPoint& point : points) {
        context.out.Line(L"  " + FileNameOf(point.path) + L"  " + point.dateLabel + L" " + point.timeLabel);
    }
    return Exit::Done;
}

int RunBackupsRestore(const Context& context)
{
    Platform::UniqueNamedLock lock;
    std::vector<Remover::BackupPoint> points;
    if (const int failed = LockAndResolvePoints(context, &lock, &points)) {
        return failed;
    }
    Remover::Processor processor;
    Remover::Reader reader;
    // Newest first, so that several runs come back to the state before the oldest.
    const Remover::RestoreOutcome outcome = Remover::RestoreTickedPoints(points, processor, reader, nullptr, nullptr);
    for (const Remover::PointRestore& point : outcome.points) {
        const Remover::ReplayReport& report = point.report;
        if (point.status != Err::Success && report.blocks == 0 && report.failed.empty()) {
            context.out.Error(L"cannot restore " + point.path + L": " + ErrorText(point.status));
            continue;
        }
        context.out.Line(L"Restored " + FileNameOf(point.path) + L": " + std::to_wstring(report.restored) + L" of " +
                         std::to_wstring(report.blocks) +
                         (report.damaged.empty() ? L" changes undone" : L" readable changes undone"));
        for (const Remover::ReplayReport::DamagedRange& range : report.damaged) {
            context.out.Error(point.path + L": bytes " + std::to_wstring(range.begin) + L"\u2013" +
                              std::to_wstring(range.end - 1) +
                              L" of the journal are damaged; the changes recorded there were not undone");
        }
        for (const Remover::ReplayReport::Failure& failure : report.failed) {
            context.out.Error(point.path + L": change " + std::to_wstring(failure.index + 1) + L" (" +
                              CommandNameOf(failure.tag) + L", at byte " + std::to_wstring(failure.offset) +
                              L") could not be undone: " + FailureText(failure.error));
        }
        if (report.tornTail) {
            context.out.Line(point.path + L": the journal ends in an incomplete change at byte " +
                             std::to_wstring(report.tornOffset) + L"; that change was never made");
        }
        if (point.status != Err::Success && report.Complete()) {
            context.out.Error(L"cannot restore " + point.path + L": " + ErrorText(point.status));
        }
    }
    if (!outcome.Complete()) {
        context.out.Error(outcome.cancelled ? L"the restore was stopped" : L"restoring is incomplete");
        return Exit::Failed;
    }
    context.out.Line(L"Restoring complete");
    context.out.Line(L"A restart of Windows may be needed for the changes to take effect.");
    return Exit::Done;
}

int RunBackupsDelete(const Context& context)
{
    Platform::UniqueNamedLock lock;
    std::vector<Remover::BackupPoint> points;
    if (const int failed = LockAndResolvePoints(context, &lock, &points)) {
        return failed;
    }
    const std::vector<Remover::DeleteFailure> failures = Remover::DeleteTickedPoints(points);
    for (const Remover::BackupPoint& point : points) {
        bool failed = false;
        for (const Remover::DeleteFailure& failure : failures) {
            if (failure.path == point.path) {
                context.out.Error(L"cannot delete " + point.path + L": " + ErrorText(failure.error));
                failed = true;
            }
        }
        if (!failed) {
            context.out.Line(L"Deleted " + FileNameOf(point.path));
        }
    }
    return failures.empty() ? Exit::Done : Exit::Failed;
}

}  // namespace Cli
