// The analysis of a synthetic catalogue over the real registry, for the
// Windows builds run under Wine: 2,000 tweaks of four registry items each (a
// DWORD and a string to set, a value and a key to delete), half of them in
// effect, without a tracer. Prints the median time of an analysis and the time
// per registry item, and stops with an error when the analysis finds other
// than the thousand tweaks not in effect.
//
// It works below the scratch key HKCU\Software\CorvaneBench\<random>, removed
// at the end.
//
// Usage: corvane_wine_analyse_bench [ROUNDS]. The figure is the median of
// ROUNDS analyses (default 5).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/wine/Timing.h"
#include "core/platform/Handles.h"
#include "core/platform/Platform.h"
#include "core/xml/XmlDocument.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"

namespace {

constexpr int kTweaks = 2000;
constexpr int kItemsPerTweak = 4;
constexpr wchar_t kParentKey[] = L"Software\\CorvaneBench";

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "analysis benchmark: %s failed\n", what);
    std::exit(1);
}

// 16 hexadecimal digits, so that two runs never share a scratch key.
std::wstring RandomName()
{
    std::random_device device;
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 rng((static_cast<uint64_t>(device()) << 32) ^ now);
    const uint64_t value = rng();
    wchar_t text[17];
    std::swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Removes a key below HKCU with everything below it; a missing key is fine.
void DeleteTree(const std::wstring& path)
{
    auto& reg = Platform::Current().Registry();
    std::function<void(Platform::KeyHandle, const std::wstring&)> remove = [&](Platform::KeyHandle parent,
                                                                               const std::wstring& name) {
        {
            Platform::UniqueKey key;
            if (reg.OpenKey(parent, name, Platform::KeyAccess::Change, key.put()) != 0) {
                return;
            }
            std::wstring child;
            while (reg.EnumKey(key.get(), 0, &child) == 0) {
                remove(key.get(), child);
            }
        }
        (void)reg.DeleteKey(parent, name);
    };
    remove(Platform::CurrentUser(), path);
}

// The scratch key of one run, removed with everything below it at the end.
class ScratchKey {
public:
    ScratchKey() : path_(std::wstring(kParentKey) + L"\\" + RandomName()) {}
    ~ScratchKey()
    {
        DeleteTree(path_);
        // Fails, as it should, while another run still has its key there.
        (void)Platform::Current().Registry().DeleteKey(Platform::CurrentUser(), kParentKey);
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

Platform::UniqueKey CreateKey(const std::wstring& path)
{
    Platform::UniqueKey key;
    bool created = false;
    if (Platform::Current().Registry().CreateKey(Platform::CurrentUser(), path, key.put(), &created) != 0) {
        Fail("creating a key");
    }
    return key;
}

void SetDword(Platform::KeyHandle key, const std::wstring& name, uint32_t v)
{
    const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    if (Platform::Current().Registry().SetValue(key, name, Platform::RegType::Dword, bytes, sizeof bytes) != 0) {
        Fail("writing a value");
    }
}

// Every tweak's key holds a few other values; the odd tweaks are not in
// effect (another count, a value and a key still to delete).
void FillRegistry(const std::wstring& base)
{
    for (int i = 0; i < kTweaks; ++i) {
        const std::wstring path = base + L"\\T" + std::to_wstring(i);
        const Platform::UniqueKey key = CreateKey(path);
        SetDword(key.get(), L"Count", i % 2 == 0 ? 1u : 2u);
        const uint8_t text[] = {'x', 0, 0, 0};  // "x" in UTF-16 with its NUL
        if (Platform::Current().Registry().SetValue(key.get(), L"Name", Platform::RegType::Sz, text, sizeof text) !=
            0) {
            Fail("writing a value");
        }
        for (int extra = 0; extra < 4; ++extra) {
            SetDword(key.get(), L"Other" + std::to_wstring(extra), static_cast<uint32_t>(extra));
        }
        if (i % 2 != 0) {
            SetDword(key.get(), L"Obsolete", 1);
            SetDword(CreateKey(path + L"\\Cache").get(), L"c", 1);
        }
    }
}

std::wstring Catalogue(const std::wstring& base)
{
    std::wstring xml = L"<Tweaks><Category n=\"Bench\">";
    for (int i = 0; i < kTweaks; ++i) {
        const std::wstring head = L"<Key parent=\"HKCU\" path=\"" + base + L"\\T" + std::to_wstring(i) + L"\" ";
        xml += L"<Tweak n=\"t" + std::to_wstring(i) + L"\" enabled=\"1\">";
        xml += head + L"valuename=\"Count\" valuetype=\"REG_DWORD\" valueval=\"1\"/>";
        xml += head + L"valuename=\"Name\" valuetype=\"REG_SZ\" valueval=\"x\"/>";
        xml += head + L"action=\"VALUE_DELETE\" valuename=\"Obsolete\"/>";
        xml += head + L"action=\"KEY_DELETE\" keyname=\"Cache\"/>";
        xml += L"</Tweak>";
    }
    return xml + L"</Category></Tweaks>";
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    if (argc > 1) {
        rounds = std::atoi(argv[1]);
        if (rounds < 1) {
            std::fprintf(stderr, "usage: corvane_wine_analyse_bench [ROUNDS]\n");
            return 2;
        }
    }
    Tweaker::SetPacing(Tweaker::Pacing::Off);  // the pauses between items would be all it measures
    int notApplied = 0;
    double ms = 0;
    {
        ScratchKey scratch;
        FillRegistry(scratch.Path());

        Tweaker::Manager manager;
        manager.RegisterFactories();
        manager.SetSystemCodeOverride(10);  // the same system whatever Wine claims to be
        XmlDocument doc;
        std::vector<RTI::Reference<Tweaker::Group>> categories;
        if (!doc.SetDoc(Catalogue(scratch.Path())) || !manager.LoadCategories(doc, &categories) ||
            categories.size() != 1) {
            Fail("loading the catalogue");
        }
        Tweaker::Group& category = *categories[0];
        uint32_t status = 0;
        ms = Bench::MedianMilliseconds(
            rounds, Bench::Round{.work = [&] { status |= category.Analyse(nullptr, nullptr, nullptr); }});
        if (status != 0) {
            Fail("the analysis");
        }
        notApplied = category.CountSelectedNotApplied();
    }
    if (notApplied != kTweaks / 2) {
        std::fprintf(stderr, "analysis benchmark: %d tweaks not in effect, expected %d\n", notApplied, kTweaks / 2);
        return 1;
    }
    std::printf("%-32s %13s %15s\n", "measurement", "median", "per item");
    std::printf("%-32s %10.3f ms %10.3f us\n", "AnalyseCatalogue", ms, ms * 1000.0 / (kTweaks * kItemsPerTweak));
    return 0;
}
