#pragma once
// The portable backend's clock: the real time until a test sets it, so that
// file times and CurrentTime are predictable where a test needs them to be.
#include <atomic>
#include <cstdint>

namespace Platform::Portable {

class Clock {
public:
    // Seconds since 1970-01-01 UTC.
    int64_t Now() const;
    // FILETIME units (100 ns since 1601-01-01 UTC).
    uint64_t NowFileTime() const;
    void Set(int64_t unixSeconds);
    void Advance(int64_t seconds);
    // Back to the real time.
    void Release();

    static constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

private:
    std::atomic<bool> fixed_{false};
    std::atomic<int64_t> seconds_{0};
};

}  // namespace Platform::Portable
