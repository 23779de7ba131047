#pragma once
// What the backups view tells the user after a restore or a deletion, and
// what it asks before a deletion. The restore's message is the truth:
// "Restoring complete" only when every change of every restored point was
// undone; otherwise the points are named with what could not be undone and
// why. The restart is offered only when something was undone.
#include <cstdint>
#include <string>
#include <vector>

#include "remover/BackupPoints.h"

namespace GUI {

struct UserMessage {
    std::wstring text;
    std::wstring caption;
};

struct RestoreMessage {
    UserMessage message;
    bool offerRestart = false;  // the system's restart prompt after the message
};

inline constexpr const wchar_t* kBackupsCaption = L"Backups";
inline constexpr const wchar_t* kRestoringComplete = L"Restoring complete";

// The point as the list shows it: "2023.11.14 22:13 (1700000000.arch)".
std::wstring PointLabel(const Remover::BackupPoint& point);

// `points` gives the labels of the restored paths.
RestoreMessage RestoreResultMessage(const Remover::RestoreOutcome& outcome,
                                    const std::vector<Remover::BackupPoint>& points);

// A restore that could not start: another program holds the change lock.
RestoreMessage RestoreRefusedMessage(uint32_t status);

// The question before deleting the ticked points (OK / Cancel).
UserMessage DeleteQuestion(const std::vector<Remover::BackupPoint>& points);
// After the deletion: empty text when every point was deleted.
UserMessage DeleteResultMessage(const std::vector<Remover::DeleteFailure>& failures,
                                const std::vector<Remover::BackupPoint>& points);

// Why an operation failed, in words, for the codes a restore or deletion meets.
std::wstring ReasonText(uint32_t error);

}  // namespace GUI
