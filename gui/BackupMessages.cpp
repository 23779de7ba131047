#include "gui/BackupMessages.h"

#include "remover/FinalParent.h"
#include "remover/Format.h"

namespace GUI {

namespace {

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring LabelOf(const std::wstring& path, const std::vector<Remover::BackupPoint>& points)
{
    for (const Remover::BackupPoint& point : points) {
        if (point.path == path) {
            return PointLabel(point);
        }
    }
    return FileNameOf(path);
}

std::wstring Count(size_t n, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// The distinct reasons of one point's failures, joined.
std::wstring ReasonsOf(const Remover::ReplayReport& report)
{
    std::vector<std::wstring> reasons;
    auto add = [&](std::wstring reason) {
        for (const std::wstring& r : reasons) {
            if (r == reason) {
                return;
            }
        }
        reasons.push_back(std::move(reason));
    };
    if (!report.damaged.empty()) {
        add(L"part of the journal is damaged");
    }
    for (const Remover::ReplayReport::Failure& failure : report.failed) {
        add(ReasonText(failure.error));
    }
    std::wstring text;
    for (const std::wstring& r : reasons) {
        text += (text.empty() ? L"" : L"; ") + r;
    }
    return text;
}

}  // namespace

std::wstring PointLabel(const Remover::BackupPoint& point)
{
    const std::wstring name = FileNameOf(point.path);
    if (point.dateLabel.empty()) {
        return name;
    }
    return point.dateLabel + L" " + point.timeLabel + L" (" + name + L")";
}

std::wstring ReasonText(uint32_t error)
{
    switch (error) {
        case 2:
        case 3:
            return L"it is no longer there";
        case 5:
            return L"access was denied";
        case 32:
        case 33:
            return L"it is in use by another program";
        case 112:
            return L"the disk is full";
        case 183:
            return L"another Corvane program is changing the system";
        case 1223:
            return L"it was cancelled";
        case Remover::kFolderMoved:
            return L"a folder on its path now leads somewhere else";
        case Remover::Format::kReplayIncomplete:
            return L"the journal records a change this program does not know";
        case 0xFFFFFFFFu:
            return L"the journal is damaged or not a journal";
        default:
            return L"error " + std::to_wstring(error);
    }
}

RestoreMessage RestoreResultMessage(const Remover::RestoreOutcome& outcome,
                                    const std::vector<Remover::BackupPoint>& points)
{
    RestoreMessage result;
    result.message.caption = kBackupsCaption;
    uint32_t undone = 0;
    for (const Remover::PointRestore& point : outcome.points) {
        undone += point.report.restored;
    }
    result.offerRestart = undone > 0;
    if (outcome.Complete()) {
        result.message.text = kRestoringComplete;
        return result;
    }
    std::wstring text = outcome.cancelled ? L"Restoring was stopped." : L"Restoring is incomplete.";
    for (const Remover::PointRestore& point : outcome.points) {
        const Remover::ReplayReport& report = point.report;
        const std::wstring label = LabelOf(point.path, points);
        if (point.status == 0) {
            text += L"\n" + label + L": all " + Count(report.restored, L"change", L"changes") + L" undone.";
            continue;
        }
        if (point.status != Remover::Format::kReplayIncomplete && report.blocks == 0) {
            text += L"\n" + label + L": nothing was undone: " + ReasonText(point.status) + L".";
            continue;
        }
        const size_t notUndone = report.failed.size();
        text += L"\n" + label + L": " + Count(report.restored, L"change", L"changes") + L" undone, " +
                std::to_wstring(notUndone) + L" could not be undone";
        if (!report.damaged.empty()) {
            text += L" and a damaged part of the journal was skipped";
        }
        const std::wstring reasons = ReasonsOf(report);
        text += reasons.empty() ? L"." : L" (" + reasons + L").";
    }
    result.message.text = text;
    return result;
}

RestoreMessage RestoreRefusedMessage(uint32_t status)
{
    RestoreMessage result;
    result.message.caption = kBackupsCaption;
    result.message.text = L"Nothing was restored: " + ReasonText(status) + L". Try again when it has finished.";
    return result;
}

UserMessage DeleteQuestion(const std::vector<Remover::BackupPoint>& points)
{
    UserMessage question;
    question.caption = kBackupsCaption;
    size_t ticked = 0;
    std::wstring list;
    for (const Remover::BackupPoint& point : points) {
        if (point.ticked) {
            ++ticked;
            list += L"\n" + PointLabel(point);
        }
    }
    question.text = L"Delete " + Count(ticked, L"backup point", L"backup points") +
                    L"? The changes recorded there can no longer be undone." + list;
    return question;
}

UserMessage DeleteResultMessage(const std::vector<Remover::DeleteFailure>& failures,
                                const std::vector<Remover::BackupPoint>& points)
{
    UserMessage message;
    if (failures.empty()) {
        return message;
    }
    message.caption = kBackupsCaption;
    message.text = failures.size() == 1 ? L"This backup point could not be deleted:"
                                        : L"These backup points could not be deleted:";
    for (const Remover::DeleteFailure& failure : failures) {
        message.text += L"\n" + LabelOf(failure.path, points) + L": " + ReasonText(failure.error) + L".";
    }
    return message;
}

}  // namespace GUI
