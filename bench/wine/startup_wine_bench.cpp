// Building and enumerating the whole autostart catalogue over the real Windows
// registry, for the Windows builds run under Wine: first the machine as it is
// (the baseline), then with 1,000 values in the user's Run key and 1,000
// browser helper objects of the user whose classes are registered under
// HKCU\Software\Classes; those are removed at the end. Prints the median
// time of a build.
//
// Usage: corvane_wine_startup_bench [ROUNDS] (default 5).
#include <cstdio>
#include <cstdlib>

#include "bench/StartupWorkload.h"
#include "bench/wine/Timing.h"
#include "startup/Catalogue.h"

namespace {

size_t BuildAndCount()
{
    StartUp::CategoryList roots;
    StartUp::BuildCatalogue(roots);
    return StartUp::ListEntries(roots).size();
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    if (argc > 1) {
        rounds = std::atoi(argv[1]);
        if (rounds < 1) {
            std::fprintf(stderr, "usage: corvane_wine_startup_bench [ROUNDS]\n");
            return 2;
        }
    }
    size_t entries = 0;
    const double baseline = Bench::MedianMilliseconds(rounds, {[] {}, [&] { entries = BuildAndCount(); }});
    Bench::Report("catalogue, machine as it is (" + std::to_string(entries) + " entries)", baseline, 0);
    Bench::FillStartup(Platform::CurrentUser(), L"Software\\Classes");
    const double filled = Bench::MedianMilliseconds(rounds, {[] {}, [&] { entries = BuildAndCount(); }});
    Bench::ClearStartup(Platform::CurrentUser(), L"Software\\Classes");
    Bench::Report("catalogue, +1,000 Run, +1,000 classes (" + std::to_string(entries) + " entries)", filled, 0);
    return 0;
}
