#pragma once
// A minimal timing harness for the Windows builds, where Google Benchmark is
// not available: each round runs an untimed preparation, the timed work and an
// untimed tidy-up; the median round is reported, being less swayed than the
// mean by a round that met a busy machine.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace Bench {

struct Round {
    std::function<void()> prepare = [] {};
    std::function<void()> work;
    std::function<void()> tidy = [] {};
};

inline double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The medians of the timed parts of `repeats` rounds of each variant, in
// milliseconds. The variants take turns, so that a busy spell of the machine
// falls on all of them alike and their difference stays meaningful.
inline std::vector<double> MedianMilliseconds(int repeats, const std::vector<Round>& variants)
{
    std::vector<std::vector<double>> times(variants.size());
    for (int i = 0; i < repeats; ++i) {
        for (size_t v = 0; v < variants.size(); ++v) {
            variants[v].prepare();
            const auto start = std::chrono::steady_clock::now();
            variants[v].work();
            const auto end = std::chrono::steady_clock::now();
            variants[v].tidy();
            times[v].push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
    }
    std::vector<double> medians;
    for (auto& t : times) {
        medians.push_back(Median(std::move(t)));
    }
    return medians;
}

inline double MedianMilliseconds(int repeats, const Round& round)
{
    return MedianMilliseconds(repeats, std::vector<Round>{round})[0];
}

// One line: name, median in milliseconds, and the rate in MB/s (10^6 bytes)
// when the work has a byte count.
inline void Report(const std::string& name, double milliseconds, double bytes)
{
    if (bytes > 0 && milliseconds > 0) {
        std::printf("%-32s %10.3f ms %10.1f MB/s\n", name.c_str(), milliseconds, bytes / milliseconds / 1000.0);
    } else {
        std::printf("%-32s %10.3f ms %10s\n", name.c_str(), milliseconds, "-");
    }
    std::fflush(stdout);
}

}  // namespace Bench
