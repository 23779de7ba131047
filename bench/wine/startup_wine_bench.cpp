// Building and enumerating the whole autostart catalogue over the real Windows
// registry, for the Windows builds run under Wine: first the machine as it is
// (the baseline), then with 1,000 values in the user's Run key and 1,000
// browser helper objects of the user whose classes are registered under
// HKCU\Software\Classes; those are removed at the end. Prints the median
// time of a build, then the 1,000 class lookups alone, each walked from the
// root as they once were (the baseline) against the enumeration's CLSID keys
// opened once.
//
// Usage: corvane_wine_startup_bench [ROUNDS] (default 5).
#include <cstdio>
#include <cstdlib>

#include "bench/StartupWorkload.h"
#include "bench/wine/Timing.h"
#include "core/platform/Handles.h"
#include "startup/Catalogue.h"
#include "startup/Class.h"

namespace {

size_t BuildAndCount()
{
    StartUp::CategoryList roots;
    StartUp::BuildCatalogue(roots);
    return StartUp::ListEntries(roots).size();
}

// A class's name and server read by whole paths from HKCR, two walks from the
// root per class.
void LookUpFromRoot(const std::wstring& clsid)
{
    auto& reg = Platform::Current().Registry();
    for (const std::wstring& path : {L"CLSID\\" + clsid, L"CLSID\\" + clsid + L"\\InprocServer32"}) {
        Platform::UniqueKey key;
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (reg.OpenKeyInView(Platform::ClassesRoot(), path, Platform::KeyAccess::Read, Platform::RegistryView::Native,
                              key.put()) == 0) {
            (void)reg.QueryValue(key.get(), L"", &type, &data);
        }
    }
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
    const std::vector<double> lookups =
        Bench::MedianMilliseconds(rounds, {{[] {},
                                            [] {
                                                for (int i = 0; i < Bench::kStartupEntries; ++i) {
                                                    LookUpFromRoot(Bench::BenchClsid(i));
                                                }
                                            }},
                                           {[] {},
                                            [] {
                                                StartUp::ClassKeys keys;
                                                for (int i = 0; i < Bench::kStartupEntries; ++i) {
                                                    const StartUp::Class found(Bench::BenchClsid(i), &keys);
                                                }
                                            }}});
    Bench::ClearStartup(Platform::CurrentUser(), L"Software\\Classes");
    Bench::Report("catalogue, +1,000 Run, +1,000 classes (" + std::to_string(entries) + " entries)", filled, 0);
    Bench::Report("1,000 class lookups, each from the root (baseline)", lookups[0], 0);
    Bench::Report("1,000 class lookups, CLSID keys opened once", lookups[1], 0);
    return 0;
}
