// Building a 2,000-tweak catalogue over the real Windows API, for the Windows
// builds run under Wine: decipher the built-in set, parse it, build the
// model, merge "Silver" and "Gold", with Config.xml read from the real
// application-data folder (under the folder name "CorvaneBench", removed at
// the end). Prints the median time of a load.
//
// Usage: corvane_wine_catalogue_bench [ROUNDS] (default 9).
#include <cstdio>
#include <cstdlib>

#include "bench/CatalogueWorkload.h"
#include "bench/wine/Timing.h"
#include "core/platform/Platform.h"
#include "tweaker/Manager.h"

namespace {

constexpr int kTweaks = 2000;
constexpr wchar_t kFolderName[] = L"CorvaneBench";

void RemoveConfiguration(const Tweaker::Manager& manager)
{
    auto& files = Platform::Current().Files();
    (void)files.DeleteFile(manager.ConfigurationPath());
    (void)files.RemoveDirectory(manager.ConfigurationFolder());
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 9;
    if (argc > 1) {
        rounds = std::atoi(argv[1]);
        if (rounds < 1) {
            std::fprintf(stderr, "usage: corvane_wine_catalogue_bench [ROUNDS]\n");
            return 2;
        }
    }
    Bench::SyntheticSets sets(kTweaks);
    bool whole = true;
    Tweaker::Manager last;
    const double ms = Bench::MedianMilliseconds(rounds, Bench::Round{[] {}, [&] {
                                                                          Tweaker::Manager manager;
                                                                          manager.SetTweakSetSource(&sets);
                                                                          whole = whole &&
                                                                                  manager.LoadCatalogue(kFolderName) &&
                                                                                  manager.CountTweaks() == kTweaks;
                                                                      }});
    last.SetFolderName(kFolderName);
    RemoveConfiguration(last);
    if (!whole) {
        std::fprintf(stderr, "catalogue benchmark: the catalogue did not load whole\n");
        return 1;
    }
    Bench::Report("catalogue load, 2000 tweaks", ms, 0);
    return 0;
}
