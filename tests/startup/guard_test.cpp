// The startup guard: its settings, the catalogue built on a worker, and the
// read-only look of each tick.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <set>

#include "startup/Guard.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using Platform::RegistryView;

const std::wstring kSettings = L"Software\\Corvane\\Settings";

class GuardTest : public StartupTest {};

TEST_F(GuardTest, TheGuardsAreOnOnlyForANonZeroDword)
{
    struct Case {
        uint32_t type;
        std::vector<uint8_t> data;
        bool on;
    };
    const Case cases[] = {
        {Platform::RegType::Dword, {1, 0, 0, 0}, true},  {Platform::RegType::Dword, {0, 0, 0, 1}, true},
        {Platform::RegType::Dword, {0, 0, 0, 0}, false}, {Platform::RegType::Sz, Testing::StringBytes(L"1"), false},
        {Platform::RegType::Binary, {1}, false},
    };
    EXPECT_FALSE(StartUp::ReadGuardSettings(kSettings).startupGuard) << "missing";
    for (const Case& c : cases) {
        Set(Platform::CurrentUser(), kSettings, L"EnableStartUpGuard", c.type, c.data);
        Set(Platform::CurrentUser(), kSettings, L"EnableBrowserGuard", c.type, c.data);
        const StartUp::GuardSettings settings = StartUp::ReadGuardSettings(kSettings);
        EXPECT_EQ(settings.startupGuard, c.on);
        EXPECT_EQ(settings.browserGuard, c.on);
    }
}

TEST_F(GuardTest, TheWorkerBuildsTheCatalogueAndSwitchingOffEmptiesIt)
{
    SetText(Platform::CurrentUser(), kRun, L"App", L"app.exe");
    StartUp::Guard guard(Place());
    EXPECT_TRUE(guard.Catalogue().empty());
    ASSERT_EQ(guard.SetEnabled(true), Err::Success);
    ASSERT_EQ(guard.WaitUntilReady(Platform::kInfinite), Err::Success);
    EXPECT_TRUE(guard.IsReady());
    EXPECT_TRUE(Exists(Place().FilesFolder()));
    EXPECT_EQ(Entry(guard.Catalogue(), L"HKCU\\" + kRun + L", App").entry->Name(), L"App");
    ASSERT_EQ(guard.SetEnabled(false), Err::Success);
    EXPECT_TRUE(guard.Catalogue().empty());
    EXPECT_TRUE(guard.Tick().empty());
}

TEST_F(GuardTest, ATickReportsWhatAppearedAndChangesNothing)
{
    SetText(Platform::CurrentUser(), kRun, L"Old", L"old.exe");
    WriteFile(kUserStartup + L"\\old.exe", "MZ" + std::string(70, 'o'));
    Portable().Time().Set(1700000000);
    StartUp::Guard guard(Place());
    ASSERT_EQ(guard.SetEnabled(true), Err::Success);
    ASSERT_EQ(guard.WaitUntilReady(Platform::kInfinite), Err::Success);
    EXPECT_TRUE(guard.Tick().empty()) << "nothing changed";

    Portable().Time().Set(1700000030);
    SetText(Platform::CurrentUser(), kRun, L"New", L"new.exe");
    SetText(Platform::LocalMachine(), kRun, L"New32", L"new32.exe", RegistryView::Wow32);
    SetText(Platform::CurrentUser(), kRun + L"Once", L"Once", L"once.exe");
    WriteFile(kUserStartup + L"\\new.lnk", "link");
    std::set<std::wstring> appeared;
    for (const StartUp::ListedEntry& listed : guard.Tick()) {
        appeared.insert(listed.entry->Location());
    }
    const std::set<std::wstring> expected = {
        L"HKCU\\" + kRun + L", New",
        L"HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run, New32",
        L"HKCU\\" + kRun + L"Once, Once",
        kUserStartup + L"\\new.lnk",
    };
    EXPECT_EQ(appeared, expected);
    EXPECT_TRUE(guard.Tick().empty()) << "reported once";
    EXPECT_EQ(Get(Platform::CurrentUser(), kRun, L"New", nullptr, nullptr), Err::Success);
    EXPECT_TRUE(Exists(kUserStartup + L"\\new.lnk"));
}

}  // namespace
#endif
