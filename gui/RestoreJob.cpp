#include "gui/RestoreJob.h"

#include <algorithm>

#include "remover/Processor.h"
#include "remover/Reader.h"

namespace GUI {

RestoreJob::RestoreJob(std::wstring lockName) : lockName_(std::move(lockName)) {}

RestoreJob::~RestoreJob()
{
    Wait();
}

bool RestoreJob::Start(std::vector<Remover::BackupPoint> points, RTI::ITracer* tracer, ICommandPoster* poster)
{
    if (running_.load() || thread_) {
        return false;
    }
    if (std::none_of(points.begin(), points.end(), [](const Remover::BackupPoint& p) { return p.ticked; })) {
        return false;
    }
    points_ = std::move(points);
    outcome_ = {};
    lockStatus_ = 0;
    running_ = true;
    thread_.reset(Platform::Current().Threads().StartThread([this, tracer, poster] { Run(tracer, poster); }));
    if (!thread_) {
        running_ = false;
        return false;
    }
    return true;
}

void RestoreJob::Run(RTI::ITracer* tracer, ICommandPoster* poster)
{
    {
        Platform::UniqueNamedLock lock;
        lockStatus_ = lockName_.empty() ? 0 : Tweaker::TakeChangeLock(&lock, lockName_);
        if (lockStatus_ == 0) {
            Remover::Processor processor;
            Remover::Reader reader;
            outcome_ = Remover::RestoreTickedPoints(points_, processor, reader, tracer, nullptr);
        }
    }  // the lock is given up on this thread, before the window hears of the end
    running_ = false;
    if (poster) {
        poster->PostCommand(Command::RestorePoints, kFinished);
    }
}

void RestoreJob::Wait()
{
    thread_.reset();  // closing the thread waits for it to end
}

RestoreMessage RestoreJob::Finish()
{
    Wait();
    if (lockStatus_ != 0) {
        return RestoreRefusedMessage(lockStatus_);
    }
    return RestoreResultMessage(outcome_, points_);
}

}  // namespace GUI
