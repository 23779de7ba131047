// Building the catalogue at program start: decipher the built-in set, parse
// it, build the model, merge "Silver" and "Gold", with Config.xml read.
// Baseline in the same run: pugixml parsing the same built-in text (parse
// only: no decipher, no model, no merge).
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "bench/CatalogueWorkload.h"
#include "core/platform/Platform.h"
#include "core/platform/portable/PortablePlatform.h"
#include "tweaker/Manager.h"

namespace {

constexpr int kTweaks = 2000;

void BM_CatalogueLoad(benchmark::State& state)
{
    Platform::Portable::PortablePlatform platform;
    Platform::IPlatform* previous = Platform::Install(&platform);
    Bench::SyntheticSets sets(kTweaks);
    for (auto _ : state) {
        Tweaker::Manager manager;
        manager.SetTweakSetSource(&sets);
        if (!manager.LoadCatalogue(L"CorvaneBench") || manager.CountTweaks() != kTweaks) {
            state.SkipWithError("the catalogue did not load whole");
            break;
        }
        benchmark::DoNotOptimize(manager.Categories().data());
    }
    Platform::Install(previous);
    state.counters["tweaks"] = kTweaks;
}
BENCHMARK(BM_CatalogueLoad)->Unit(benchmark::kMillisecond);

void BM_CatalogueBaselinePugixmlParse(benchmark::State& state)
{
    Bench::SyntheticSets sets(kTweaks);
    const std::string& text = sets.BuiltInText();
    for (auto _ : state) {
        pugi::xml_document document;
        benchmark::DoNotOptimize(document.load_buffer(text.data(), text.size()));
    }
}
BENCHMARK(BM_CatalogueBaselinePugixmlParse)->Unit(benchmark::kMillisecond);

}  // namespace
