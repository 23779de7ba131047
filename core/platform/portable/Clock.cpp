#include "core/platform/portable/Clock.h"

#include <chrono>

namespace Platform::Portable {

int64_t Clock::Now() const
{
    if (fixed_.load()) {
        return seconds_.load();
    }
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

uint64_t Clock::NowFileTime() const
{
    if (fixed_.load()) {
        return kUnixEpochAsFileTime + static_cast<uint64_t>(seconds_.load()) * 10000000ull;
    }
    const auto ticks =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count() /
        100;
    return kUnixEpochAsFileTime + static_cast<uint64_t>(ticks);
}

void Clock::Set(int64_t unixSeconds)
{
    seconds_.store(unixSeconds);
    fixed_.store(true);
}

void Clock::Advance(int64_t seconds)
{
    if (!fixed_.load()) {
        Set(Now());
    }
    seconds_.fetch_add(seconds);
}

void Clock::Release()
{
    fixed_.store(false);
}

}  // namespace Platform::Portable
