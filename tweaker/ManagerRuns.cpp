// The analyse and tune-up runs: one worker thread at a time, which reports to
// the tracer, waits at the model's checkpoints while paused, stops at the
// cancel event, and writes the tune-up's journal.
#include <string>

#include "core/platform/Errors.h"
#include "core/system/Folders.h"
#include "remover/Format.h"
#include "tweaker/Manager.h"

namespace Tweaker {
namespace {

constexpr uint32_t kStartWaitMs = 1000;
constexpr uint32_t kStopWaitMs = 5000;
constexpr uint32_t kShutdownWaitMs = 2000;
constexpr uint32_t kTerminatedWaitMs = 5000;

Platform::IThreads& Threads()
{
    return Platform::Current().Threads();
}

void BeginStage(RTI::ITracer* tracer, const void* subject, unsigned stage)
{
    if (tracer) {
        tracer->Begin(subject, stage);
    }
}

void EndStage(RTI::ITracer* tracer, const void* subject, unsigned stage)
{
    if (tracer) {
        tracer->End(subject, stage);
    }
}

// Puts the Manager in front of the model's checkpoints for one run body and
// the previous gate back when the body ends.
class GateScope {
public:
    GateScope(IRunGate* gate, IRunGate** previous) : previous_(previous) { *previous_ = SetRunGate(gate); }
    ~GateScope() { (void)SetRunGate(*previous_); }
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;

private:
    IRunGate** previous_;
};

}  // namespace

Manager::Manager()
    : started_(Threads().CreateEvent(true, false)),
      cancel_(Threads().CreateEvent(true, false)),
      resume_(Threads().CreateEvent(true, true)),
      journal_(new Remover::Processor())
{
}

Manager::~Manager()
{
    EndWorker(kShutdownWaitMs);
}

// ----------------------------------------------------------------- control

void Manager::StartAnalysis(RTI::ITracer* tracer)
{
    if (IsRunning()) {
        return;
    }
    tracer_ = tracer;
    (void)StartWorker(&Manager::AnalysisBody);
}

uint32_t Manager::StartTuneUp(RTI::ITracer* tracer, bool journal)
{
    if (IsRunning()) {
        return Err::BadFormat;  // the running worker owns the journal
    }
    tracer_ = tracer;
    journalFlag_ = journal;
    if (journal) {
        // A tune-up asked to keep a backup never runs without one.
        if (const uint32_t s = OpenJournal()) {
            if (messages_) {
                messages_->Warn(L"Backup failed", L"The tune-up did not start: no backup point could be created in " +
                                                      BackupFolder() + L" (error " + std::to_wstring(s) + L").");
            }
            return s;
        }
    }
    const uint32_t s = StartWorker(&Manager::TuneUpBody);
    if (s != Err::Success && journal_->IsOpen()) {
        (void)journal_->Close();  // nothing was recorded: the empty journal goes
    }
    return s;
}

uint32_t Manager::OpenJournal()
{
    const std::wstring folder = BackupFolder();
    if (folder.empty()) {
        return Err::PathNotFound;
    }
    if (const uint32_t s = Sys::CreateFolderPath(folder)) {
        return s;
    }
    return journal_->Open(folder, Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength);
}

uint32_t Manager::StartWorker(void (Manager::*body)())
{
    if (IsRunning()) {
        return Err::BadFormat;
    }
    worker_.reset();  // a finished worker's handle
    Platform::IThreads& threads = Threads();
    threads.ResetEvent(started_.get());
    threads.ResetEvent(cancel_.get());
    threads.SetEvent(resume_.get());
    paused_ = false;
    outcome_ = RunOutcome{};
    outcome_.tuneUp = body == &Manager::TuneUpBody;
    worker_.reset(threads.StartThread([this, body] { (this->*body)(); }));
    if (!worker_) {
        return Err::NotEnoughMemory;
    }
    // A worker slow to start still runs; the wait only keeps the caller from
    // racing ahead of it.
    (void)threads.WaitEvent(started_.get(), kStartWaitMs);
    return Err::Success;
}

void Manager::PauseRun()
{
    if (IsRunning()) {
        paused_ = true;
        Threads().ResetEvent(resume_.get());
    }
}

void Manager::ResumeRun()
{
    paused_ = false;
    Threads().SetEvent(resume_.get());
}

void Manager::StopRun()
{
    EndWorker(kStopWaitMs);
}

void Manager::EndWorker(uint32_t graceMilliseconds)
{
    if (!worker_) {
        return;
    }
    Platform::IThreads& threads = Threads();
    // A paused worker must wake to see the cancel.
    threads.SetEvent(cancel_.get());
    paused_ = false;
    threads.SetEvent(resume_.get());
    if (threads.WaitThread(worker_.get(), graceMilliseconds) != Err::Success) {
        // Copied while the worker still runs: once it is terminated nothing
        // may allocate or free memory, since it may have died holding the
        // heap's lock. The path is set before the worker starts.
        std::wstring journalPath = journal_->IsOpen() ? journal_->GetWriter().JournalPath() : std::wstring();
        if (threads.TerminateThread(worker_.get()) == Err::Success) {
            (void)threads.WaitThread(worker_.get(), kTerminatedWaitMs);
            // The body could not clean up after itself.
            if (IRunGate* current = SetRunGate(previousGate_); current != this) {
                (void)SetRunGate(current);  // it never got as far as its gate
            }
            outcome_.finished = false;
            outcome_.cancelled = true;
            if (journal_->IsOpen()) {
                // The worker may have stopped inside a block: the journal is
                // cut back to its last complete block rather than sealed with
                // a valid checksum over half a change.
                outcome_.journalPath.swap(journalPath);  // empty before: nothing is freed
                outcome_.journalStatus = journal_->Abandon();
            }
        } else {
            (void)threads.WaitThread(worker_.get(), Platform::kInfinite);  // nothing can end it from outside
        }
    }
    worker_.reset();
}

bool Manager::IsRunning() const
{
    return worker_ && Threads().WaitThread(worker_.get(), 0) != Err::Success;
}

bool Manager::IsPaused() const
{
    return paused_ && IsRunning();
}

uint32_t Manager::WaitForRun(uint32_t milliseconds)
{
    if (!worker_) {
        return Err::Success;
    }
    return Threads().WaitThread(worker_.get(), milliseconds);
}

void Manager::WaitWhilePaused()
{
    (void)Threads().WaitEvent(resume_.get(), Platform::kInfinite);
}

void Manager::RecomputeAll()
{
    const unsigned stage = refreshOnly_ ? RunStage::Refreshed : RunStage::Analysis;
    for (const auto& category : categories_) {
        category->RecomputeResults();
        EndStage(tracer_, category.Get(), stage);
    }
}

void Manager::ClearAnalysed()
{
    for (const auto& category : categories_) {
        category->ClearAnalysed();
    }
}

// ------------------------------------------------------------------ bodies

void Manager::AnalysisBody()
{
    Threads().SetEvent(started_.get());
    GateScope gate(this, &previousGate_);
    const void* catalogue = this;
    BeginStage(tracer_, catalogue, RunStage::Analysis);
    ClearAnalysed();
    bool cancelled = false;
    for (const auto& category : categories_) {
        if (Checkpoint(cancel_.get())) {
            cancelled = true;
            break;
        }
        BeginStage(tracer_, category.Get(), RunStage::AnalysisCategory);
        const uint32_t result = category->Analyse(tracer_, nullptr, cancel_.get());
        EndStage(tracer_, category.Get(), RunStage::AnalysisCategory);
        if (result == Err::Cancelled) {
            cancelled = true;
            break;
        }
    }
    if (cancelled) {
        // The categories finished before the cancel would otherwise look
        // analysed beside those never reached.
        ClearAnalysed();
        EndStage(tracer_, catalogue, RunStage::AnalysisCategory);
    } else {
        EndStage(tracer_, catalogue, RunStage::Analysis);
    }
    outcome_.cancelled = cancelled;
    outcome_.finished = true;
}

void Manager::TuneUpBody()
{
    Threads().SetEvent(started_.get());
    GateScope gate(this, &previousGate_);
    const void* catalogue = this;
    BeginStage(tracer_, catalogue, RunStage::TuneUp);
    ClearAnalysed();
    bool allApplied = true;
    bool cancelled = false;
    for (const auto& category : categories_) {
        if (Checkpoint(cancel_.get())) {
            cancelled = true;
            break;
        }
        BeginStage(tracer_, category.Get(), RunStage::TuneUpCategory);
        // The journal goes to every item; without the backup it is not open
        // and the items record nothing.
        const uint32_t result = category->Apply(tracer_, nullptr, cancel_.get(), journal_.Get());
        if (category->IsNotAllApplied()) {
            allApplied = false;
        }
        EndStage(tracer_, category.Get(), RunStage::TuneUpCategory);
        if (result == Err::Cancelled) {
            cancelled = true;
            break;
        }
    }
    if (cancelled) {
        ClearAnalysed();
    }
    if (journalFlag_ && journal_->IsOpen()) {
        outcome_.journalPath = journal_->GetWriter().JournalPath();
        outcome_.journalStatus = journal_->Close();
    }
    EndStage(tracer_, catalogue, RunStage::TuneUp);
    outcome_.cancelled = cancelled;
    outcome_.allApplied = allApplied;
    outcome_.finished = true;
    if (messages_) {
        if (!allApplied) {
            messages_->Warn(L"Warning!", L"Some selected tweaks were not applied  - check your profile access writes");
        }
        // The changes take effect after a restart, aborted run or not.
        messages_->OfferRestart();
    }
}

}  // namespace Tweaker
