#pragma once
// The restore of the ticked backup points on a worker thread, so that the
// window stays alive: the worker holds the change lock for the whole
// restore (and releases it itself, as Windows wants of a mutex), reports its
// progress to the window as the tracer, and when it has ended posts
// (Command::RestorePoints, kFinished) to the user-interface thread. The
// engine's retries of files in use run on the worker too. The window takes
// no input from Start until that command arrives, then calls Finish.
//
//   RestoreJob job;
//   job.Start(list.Points(), &windowTracer, &poster);   // on 5017
//   ...                                                  // 5017 with kFinished:
//   RestoreMessage message = job.Finish();
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/ITracer.h"
#include "gui/BackupMessages.h"
#include "gui/Commands.h"
#include "remover/BackupPoints.h"
#include "tweaker/ChangeLock.h"

namespace GUI {

class RestoreJob {
public:
    // The parameter of the command posted when the restore has ended.
    static constexpr intptr_t kFinished = 1;

    explicit RestoreJob(std::wstring lockName = std::wstring(Tweaker::kChangeLockName));
    // Waits for a running restore: a restore is never cut off half-way.
    ~RestoreJob();
    RestoreJob(const RestoreJob&) = delete;
    RestoreJob& operator=(const RestoreJob&) = delete;

    // Starts restoring the ticked points of `points`. False, doing nothing,
    // while a restore runs or when no point is ticked.
    bool Start(std::vector<Remover::BackupPoint> points, RTI::ITracer* tracer, ICommandPoster* poster);
    bool Running() const { return running_.load(); }
    // Waits for the worker (shutdown and tests).
    void Wait();
    // After the posted command: waits for the worker to be gone, and gives
    // what to tell the user. The job can start again afterwards.
    RestoreMessage Finish();
    // The outcome of the last restore (valid after Finish).
    const Remover::RestoreOutcome& Outcome() const { return outcome_; }
    // 0, or the error of taking the lock (183: another program holds it).
    uint32_t LockStatus() const { return lockStatus_; }

private:
    void Run(RTI::ITracer* tracer, ICommandPoster* poster);

    std::wstring lockName_;
    std::vector<Remover::BackupPoint> points_;
    Remover::RestoreOutcome outcome_;
    uint32_t lockStatus_ = 0;
    std::atomic<bool> running_{false};
    Platform::UniqueThread thread_;
};

}  // namespace GUI
