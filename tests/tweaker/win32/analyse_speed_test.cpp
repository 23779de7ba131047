// The analysis of a synthetic catalogue over the real registry (under Wine in
// CI): 2,000 tweaks of four registry items each below the scratch key. It
// checks the results and prints the time per registry item; the time is a
// measurement, not a condition.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;

using AnalyseSpeedTest = TweakerTest;

TEST_F(AnalyseSpeedTest, TwoThousandTweaksOfFourRegistryItems)
{
    constexpr int kTweaks = 2000;
    std::wstring xml = L"<Tweaks><Category n=\"Bench\">";
    for (int i = 0; i < kTweaks; ++i) {
        const std::wstring sub = L"T" + std::to_wstring(i);
        WriteDword(sub, L"Count", i % 2 == 0 ? 1u : 2u);
        WriteString(sub, L"Name", L"x");
        for (int extra = 0; extra < 4; ++extra) {
            WriteDword(sub, L"Other" + std::to_wstring(extra), extra);
        }
        if (i % 2 != 0) {
            WriteDword(sub, L"Obsolete", 1);
            WriteDword(sub + L"\\Cache", L"c", 1);
        }
        const std::wstring head = L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\\" + sub + L"\" ";
        xml += L"<Tweak n=\"t" + std::to_wstring(i) + L"\" enabled=\"1\">";
        xml += head + L"valuename=\"Count\" valuetype=\"REG_DWORD\" valueval=\"1\"/>";
        xml += head + L"valuename=\"Name\" valuetype=\"REG_SZ\" valueval=\"x\"/>";
        xml += head + L"action=\"VALUE_DELETE\" valuename=\"Obsolete\"/>";
        xml += head + L"action=\"KEY_DELETE\" keyname=\"Cache\"/>";
        xml += L"</Tweak>";
    }
    xml += L"</Category></Tweaks>";
    Tweaker::Manager manager;
    auto category = LoadTweaks(manager, xml).at(0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(category->Analyse(nullptr, nullptr, nullptr), 0u);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(category->CountSelectedNotApplied(), kTweaks / 2);
    const double perItem =
        std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(kTweaks * 4);
    std::cout << "analysis over the real registry: " << perItem << " us per registry item\n";
    RecordProperty("us_per_item", std::to_string(perItem));
}

}  // namespace
