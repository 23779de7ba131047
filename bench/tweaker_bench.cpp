// Analysis of a synthetic catalogue: 2,000 tweaks of four registry items each
// (a DWORD and a string to set, a value and a key to delete), over the
// in-memory portable registry, without a tracer. The counter "per_item" is
// the time per registry item. The second run names the values by patterns
// that are expressions, which the analysis must match by walking the key.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/platform/Handles.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/Caches.h"
#include "core/xml/XmlDocument.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"

namespace {

constexpr int kTweaks = 2000;
constexpr int kItemsPerTweak = 4;
const wchar_t* const kBase = L"Software\\CorvaneBench";

void SetDword(Platform::KeyHandle key, const std::wstring& name, uint32_t v)
{
    const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    (void)Platform::Current().Registry().SetValue(key, name, Platform::RegType::Dword, bytes, 4);
}

// Half of the tweaks are in effect; every key also holds a few other values.
void FillRegistry()
{
    auto& reg = Platform::Current().Registry();
    for (int i = 0; i < kTweaks; ++i) {
        Platform::UniqueKey key;
        bool created = false;
        const std::wstring path = std::wstring(kBase) + L"\\T" + std::to_wstring(i);
        (void)reg.CreateKey(Platform::CurrentUser(), path, key.put(), &created);
        SetDword(key.get(), L"Count", i % 2 == 0 ? 1u : 2u);
        const uint8_t text[] = {'x', 0, 0, 0};  // "x" in UTF-16 with its NUL
        (void)reg.SetValue(key.get(), L"Name", Platform::RegType::Sz, text, sizeof text);
        for (int extra = 0; extra < 4; ++extra) {
            SetDword(key.get(), L"Other" + std::to_wstring(extra), extra);
        }
        if (i % 2 != 0) {
            SetDword(key.get(), L"Obsolete", 1);
            Platform::UniqueKey sub;
            (void)reg.CreateKey(key.get(), L"Cache", sub.put(), &created);
        }
    }
}

std::wstring Catalogue(bool patterns)
{
    std::wstring xml = L"<Tweaks><Category n=\"Bench\">";
    for (int i = 0; i < kTweaks; ++i) {
        const std::wstring path = std::wstring(kBase) + L"\\T" + std::to_wstring(i);
        const std::wstring head = L"<Key parent=\"HKCU\" path=\"" + path + L"\" ";
        xml += L"<Tweak n=\"t" + std::to_wstring(i) + L"\" enabled=\"1\">";
        xml +=
            head + L"valuename=\"" + (patterns ? L"Coun." : L"Count") + L"\" valuetype=\"REG_DWORD\" valueval=\"1\"/>";
        xml += head + L"valuename=\"" + (patterns ? L"Nam[e]" : L"Name") + L"\" valuetype=\"REG_SZ\" valueval=\"x\"/>";
        xml += head + L"action=\"VALUE_DELETE\" valuename=\"" + (patterns ? L"Obsolete|Old" : L"Obsolete") + L"\"/>";
        xml += head + L"action=\"KEY_DELETE\" keyname=\"" + (patterns ? L"Cach.*" : L"Cache") + L"\"/>";
        xml += L"</Tweak>";
    }
    return xml + L"</Category></Tweaks>";
}

void BM_AnalyseCatalogue(benchmark::State& state)
{
    auto platform = std::make_unique<Platform::Portable::PortablePlatform>();
    Platform::IPlatform* previous = Platform::Install(platform.get());
    Sys::ResetSystemCachesForTesting();
    Tweaker::SetPacing(Tweaker::Pacing::Off);
    FillRegistry();
    {
        Tweaker::Manager manager;
        manager.RegisterFactories();
        XmlDocument doc;
        if (!doc.SetDoc(Catalogue(state.range(0) != 0))) {
            state.SkipWithError("catalogue does not parse");
        }
        std::vector<RTI::Reference<Tweaker::Group>> categories;
        (void)manager.LoadCategories(doc, &categories);
        Tweaker::Group& category = *categories.at(0);
        for (auto _ : state) {
            benchmark::DoNotOptimize(category.Analyse(nullptr, nullptr, nullptr));
        }
        if (category.GetChildren().size() != static_cast<size_t>(kTweaks) ||
            category.CountSelectedNotApplied() != kTweaks / 2) {
            state.SkipWithError("unexpected analysis results");
        }
        state.counters["per_item"] = benchmark::Counter(
            kTweaks * kItemsPerTweak, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }
    Sys::ResetSystemCachesForTesting();
    Platform::Install(previous);
    Tweaker::SetPacing(Tweaker::Pacing::On);
}
BENCHMARK(BM_AnalyseCatalogue)->Arg(0)->Arg(1)->ArgName("patterns")->Unit(benchmark::kMillisecond);

}  // namespace
