// Building and enumerating the whole autostart catalogue over the in-memory
// registry: an empty machine (the baseline) and one with 1,000 Run values and
// 1,000 browser helper objects whose classes are registered. The goal is well
// under a second per build.
#include <benchmark/benchmark.h>

#include "bench/StartupWorkload.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/Caches.h"
#include "startup/Catalogue.h"

namespace {

void BuildOnce(benchmark::State& state, bool filled)
{
    Platform::Portable::PortablePlatform os;
    Platform::IPlatform* previous = Platform::Install(&os);
    Sys::ResetSystemCachesForTesting();
    if (filled) {
        Bench::FillStartup(Platform::ClassesRoot(), L"");
    }
    size_t entries = 0;
    for (auto _ : state) {
        StartUp::CategoryList roots;
        StartUp::BuildCatalogue(roots);
        entries = StartUp::ListEntries(roots).size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
    Sys::ResetSystemCachesForTesting();
    Platform::Install(previous);
}

void BM_StartupCatalogue_EmptyMachine(benchmark::State& state)
{
    BuildOnce(state, false);
}
void BM_StartupCatalogue_1000Run_1000Classes(benchmark::State& state)
{
    BuildOnce(state, true);
}

}  // namespace

BENCHMARK(BM_StartupCatalogue_EmptyMachine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupCatalogue_1000Run_1000Classes)->Unit(benchmark::kMillisecond);
