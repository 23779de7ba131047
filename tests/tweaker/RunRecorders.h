#pragma once
// Stand-ins for the main window in the run tests: a tracer that records what
// the worker reports, end-of-run messages that record and can hold the
// worker, and probe items whose state the test sets and which can hold the
// worker in the middle of a run. All are safe to use from the worker.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/Factory.h"
#include "core/rti/ITracer.h"
#include "tweaker/IItem.h"
#include "tweaker/IRunMessages.h"

namespace TweakerTesting {

// Opened once by one thread, waited for by another.
class Latch {
public:
    Latch() : event_(Platform::Current().Threads().CreateEvent(true, false)) {}
    void Open() { Platform::Current().Threads().SetEvent(event_.get()); }
    void Wait() { (void)Platform::Current().Threads().WaitEvent(event_.get(), Platform::kInfinite); }
    bool IsOpen() { return Platform::Current().Threads().IsEventSet(event_.get()); }

private:
    Platform::UniqueEvent event_;
};

// "begin 0 A", "end 2", "max 0 3", "done 0 0": the stage and the subject's
// name when the test named it.
class RecordingTracer final : public RTI::ITracer {
public:
    void Name(const void* subject, const std::string& name) { names_[subject] = name; }
    void Begin(const void* subject, unsigned stage) override { Add("begin", subject, stage); }
    void End(const void* subject, unsigned stage) override { Add("end", subject, stage); }
    void Trace(uint32_t code, int32_t first, int32_t second) override
    {
        const char* name = code == RTI::TraceCode::Max ? "max" : code == RTI::TraceCode::Done ? "done" : "?";
        Add(std::string(name) + " " + std::to_string(first) + " " + std::to_string(second));
    }
    std::vector<std::string> Events() const
    {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    void Add(const char* what, const void* subject, unsigned stage)
    {
        std::string event = std::string(what) + " " + std::to_string(stage);
        if (auto it = names_.find(subject); it != names_.end()) {
            event += " " + it->second;
        }
        Add(std::move(event));
    }
    void Add(std::string event)
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }

    std::map<const void*, std::string> names_;  // filled before the run
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

// "Warning!|<text>", "restart". With HoldRestart, OfferRestart opens
// `restartShown` and returns once the test opens `releaseRestart`.
class RecordingMessages final : public Tweaker::IRunMessages {
public:
    void HoldRestart()
    {
        restartShown = std::make_unique<Latch>();
        releaseRestart = std::make_unique<Latch>();
    }
    void Warn(const std::wstring& caption, const std::wstring& text) override { Add(caption + L"|" + text); }
    void OfferRestart() override
    {
        Add(L"restart");
        if (restartShown) {
            restartShown->Open();
            releaseRestart->Wait();
        }
    }
    std::vector<std::wstring> Shown() const
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }

    std::unique_ptr<Latch> restartShown;
    std::unique_ptr<Latch> releaseRestart;

private:
    void Add(std::wstring line)
    {
        std::lock_guard lock(mutex_);
        shown_.push_back(std::move(line));
    }
    mutable std::mutex mutex_;
    std::vector<std::wstring> shown_;
};

// What the test decides for the probe item of one name.
struct ProbeState {
    bool inEffect = false;
    bool applyWorks = true;
    int analysed = 0;
    int applied = 0;
    // When set, the probe's first use opens `reached` and waits for `release`.
    std::unique_ptr<Latch> reached;
    std::unique_ptr<Latch> release;
};

// The probes' states by name. The worker reaches a state only through its
// probe, one at a time, and the test reads it once the run has ended (or
// while the probe holds the worker).
class ProbeBoard {
public:
    ProbeState& operator[](const std::wstring& name) { return states_[name]; }
    // The probe of `name` holds the worker at its first use.
    void Hold(const std::wstring& name)
    {
        ProbeState& state = states_[name];
        state.reached = std::make_unique<Latch>();
        state.release = std::make_unique<Latch>();
    }

private:
    std::map<std::wstring, ProbeState> states_;
};

// Loaded from `<File name="..."/>` when the probe factory replaces File's.
class ProbeItem final : public Tweaker::IItem {
public:
    explicit ProbeItem(ProbeBoard& board) : board_(board) {}
    std::wstring GetTypeName() const override { return L"Probe"; }
    std::wstring GetName() const override { return name_; }
    std::wstring GetPath() const override { return {}; }
    int Load(XmlDocument& reader) override
    {
        name_ = reader.GetAttrib(L"name");
        state_ = &board_[name_];
        return 0;
    }
    bool Analyse() override
    {
        HoldOnce();
        ++state_->analysed;
        return state_->inEffect;
    }
    bool Apply(Remover::Processor*, Platform::EventHandle) override
    {
        HoldOnce();
        ++state_->applied;
        state_->inEffect = state_->inEffect || state_->applyWorks;
        return state_->inEffect;
    }

private:
    void HoldOnce()
    {
        if (state_->reached && !state_->reached->IsOpen()) {
            state_->reached->Open();
            state_->release->Wait();
        }
    }
    ProbeBoard& board_;
    std::wstring name_;
    ProbeState* state_ = nullptr;
};

class ProbeFactory final : public Tweaker::IItem::IFactory {
public:
    explicit ProbeFactory(ProbeBoard& board) : board_(board) {}
    RTI::Reference<Tweaker::IItem> Create() override { return RTI::Reference<Tweaker::IItem>(new ProbeItem(board_)); }

private:
    ProbeBoard& board_;
};

}  // namespace TweakerTesting
