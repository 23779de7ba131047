#pragma once
// The window tests' message pump: handles this thread's queued messages until
// a condition holds or the time is up. It pumps at least once, so that a time
// of 0 still handles what is queued.
#include <windows.h>

#include <chrono>
#include <functional>

namespace Testing {

inline bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        Sleep(5);
    }
}

// Handles messages for `ms` milliseconds.
inline void PumpMessages(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    (void)PumpMessagesUntil([&] { return std::chrono::steady_clock::now() >= end; }, std::chrono::milliseconds(ms));
}

}  // namespace Testing
