// One key with 1,000, 10,000 and 100,000 values emptied by a KEY_VALUES_CLEAR
// tweak with a backup journal, then restored, over the in-memory portable
// registry. Journalling and restoring must grow linearly with the number of
// values: compare the times per value ("per_value") of the three sizes, which
// a quadratic walk would multiply by ten from one size to the next.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/platform/Handles.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/Caches.h"
#include "core/xml/XmlDocument.h"
#include "remover/Format.h"
#include "remover/Processor.h"
#include "remover/Reader.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"

namespace {

const wchar_t* const kKeyPath = L"Software\\CorvaneBench\\Big";

void FillKey(int values)
{
    auto& reg = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    (void)reg.CreateKey(Platform::CurrentUser(), kKeyPath, key.put(), &created);
    for (int i = 0; i < values; ++i) {
        const uint8_t bytes[4] = {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16), 1};
        (void)reg.SetValue(key.get(), L"Value" + std::to_wstring(i), Platform::RegType::Dword, bytes, 4);
    }
}

void BM_JournalAndRestoreOneBigKey(benchmark::State& state)
{
    const int values = static_cast<int>(state.range(0));
    auto platform = std::make_unique<Platform::Portable::PortablePlatform>();
    Platform::IPlatform* previous = Platform::Install(platform.get());
    Sys::ResetSystemCachesForTesting();
    Tweaker::SetPacing(Tweaker::Pacing::Off);
    {
        Tweaker::Manager manager;
        manager.RegisterFactories();
        XmlDocument doc;
        const std::wstring xml = L"<Tweaks><Category n=\"Bench\"><Tweak n=\"clear\" enabled=\"1\">"
                                 L"<Key parent=\"HKCU\" path=\"Software\\CorvaneBench\" keyname=\"Big\" "
                                 L"action=\"KEY_VALUES_CLEAR\"/></Tweak></Category></Tweaks>";
        std::vector<RTI::Reference<Tweaker::Group>> categories;
        if (!doc.SetDoc(xml) || !manager.LoadCategories(doc, &categories) || categories.empty()) {
            state.SkipWithError("catalogue does not load");
        }
        for (auto _ : state) {
            state.PauseTiming();
            FillKey(values);
            Tweaker::Group& category = *categories.at(0);
            (void)category.Analyse(nullptr, nullptr, nullptr);
            state.ResumeTiming();

            Remover::Processor journal;
            if (journal.Open(L"C:\\Backup", Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength)) {
                state.SkipWithError("the journal does not open");
                break;
            }
            const std::wstring path = journal.GetWriter().JournalPath();
            (void)category.Apply(nullptr, nullptr, nullptr, &journal);
            (void)journal.Close();
            Remover::Processor restore;
            (void)restore.RegisterCommands();
            Remover::Reader reader;
            Remover::ReplayReport report;
            if (reader.Replay(path, Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength, restore,
                              nullptr, nullptr, &report) != 0 ||
                report.restored != static_cast<uint32_t>(values)) {
                state.SkipWithError("the restore did not undo every value");
            }
        }
        state.counters["per_value"] = benchmark::Counter(
            values, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }
    Sys::ResetSystemCachesForTesting();
    Platform::Install(previous);
    Tweaker::SetPacing(Tweaker::Pacing::On);
}
BENCHMARK(BM_JournalAndRestoreOneBigKey)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("values")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
