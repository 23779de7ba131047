#pragma once
// The single-instance decision over the real system: the named mutex, the
// first instance's hand-over window and the show message.
#include <windows.h>

#include "app/corvane/SingleInstance.h"
#include "core/platform/win32/WinHandles.h"

namespace AppShell {

class Win32InstanceSystem final : public IInstanceSystem {
public:
    bool TakeMutex() override;
    bool FindHandOver() override;
    bool AskToShow() override;
    // Milliseconds since this object was made (GetTickCount64 is missing on XP).
    uint64_t NowMs() override { return static_cast<DWORD>(GetTickCount() - base_); }
    void SleepMs(uint32_t milliseconds) override { Sleep(milliseconds); }

private:
    // Held for the life of the process when this is the first instance.
    Platform::Win32::UniqueHandle mutex_;
    HWND handOver_ = nullptr;
    DWORD base_ = GetTickCount();
};

}  // namespace AppShell
