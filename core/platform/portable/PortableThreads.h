#pragma once
// Events and threads over the standard library. A thread cannot be
// terminated from outside here: TerminateThread answers 50 and the caller
// falls back to waiting. Named locks are held within this platform object.
#include <mutex>
#include <set>
#include <string>

#include "core/platform/Platform.h"

namespace Platform::Portable {

class PortableThreads final : public IThreads {
public:
    EventHandle CreateEvent(bool manualReset, bool initiallySet) override;
    void CloseEvent(EventHandle event) override;
    void SetEvent(EventHandle event) override;
    void ResetEvent(EventHandle event) override;
    Status WaitEvent(EventHandle event, uint32_t milliseconds) override;
    bool IsEventSet(EventHandle event) override;
    // Null when no thread could be started.
    ThreadHandle StartThread(std::function<void()> body) override;
    Status WaitThread(ThreadHandle thread, uint32_t milliseconds) override;
    Status TerminateThread(ThreadHandle thread) override;
    void CloseThread(ThreadHandle thread) override;
    void Sleep(uint32_t milliseconds) override;
    Status AcquireNamedLock(std::wstring_view name, LockHandle* out) override;
    void ReleaseNamedLock(LockHandle lock) override;

private:
    std::mutex locksMutex_;
    // Names compare exactly, as Windows compares object names.
    std::set<std::wstring, std::less<>> heldLocks_;
};

}  // namespace Platform::Portable
