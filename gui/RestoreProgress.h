#pragma once
// How far a restore has come, as the window's title strip shows it while the
// restore runs on its worker. The journal reader reports each point's size
// ('max') and how much of it is undone ('cur'); this sink turns that into
// "Restoring backup point 2 of 3: 45%". It is the restore's own tracer, apart
// from the runs' RunTracer, so the journal's reports never reach the
// sections. Trace is called on the worker, Text on the user-interface thread.
//
//   RestoreProgress progress([&] { PostMessage(window, kProgressMessage, 0, 0); });
//   progress.Start(tickedPoints);  job.Start(points, &progress, poster);
//   on kProgressMessage: title.SetTitle(progress.Text());
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/rti/ITracer.h"

namespace GUI {

class RestoreProgress final : public RTI::ITracer {
public:
    // `changed` is called on the worker when Text() changes.
    explicit RestoreProgress(std::function<void()> changed = {}) : changed_(std::move(changed)) {}

    // Before the worker starts: the number of points to restore.
    void Start(int points);
    // After the worker has ended: nothing shown.
    void Stop() { points_ = 0; }
    bool Active() const { return points_.load() > 0; }

    void Begin(const void*, unsigned) override {}
    void End(const void*, unsigned) override {}
    void Trace(uint32_t code, int32_t first, int32_t second) override;

    // Empty when no restore runs.
    std::wstring Text() const;

private:
    void Set(int point, int percent);

    std::function<void()> changed_;
    std::atomic<int> points_{0};
    std::atomic<int> point_{0};  // 1-based; 0 before the first journal opened
    std::atomic<int> percent_{0};
    int64_t size_ = 0;  // the current journal's size, on the worker only
};

}  // namespace GUI
