#pragma once
#include "core/platform/Platform.h"

namespace Platform::Win32 {

// Events and threads over the kernel's own objects; the handles handed out are
// the Windows handles themselves, so that window code may wait on them too.
class Win32Threads final : public IThreads {
public:
    EventHandle CreateEvent(bool manualReset, bool initiallySet) override;
    void CloseEvent(EventHandle event) override;
    void SetEvent(EventHandle event) override;
    void ResetEvent(EventHandle event) override;
    Status WaitEvent(EventHandle event, uint32_t milliseconds) override;
    bool IsEventSet(EventHandle event) override;
    ThreadHandle StartThread(std::function<void()> body) override;
    Status WaitThread(ThreadHandle thread, uint32_t milliseconds) override;
    Status TerminateThread(ThreadHandle thread) override;
    void CloseThread(ThreadHandle thread) override;
    void Sleep(uint32_t milliseconds) override;
    // A named mutex of the session, taken with a zero wait.
    Status AcquireNamedLock(std::wstring_view name, LockHandle* out) override;
    void ReleaseNamedLock(LockHandle lock) override;
};

}  // namespace Platform::Win32
