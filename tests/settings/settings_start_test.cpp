// Settings at start and the view's Read: defaults on a clean registry, values
// of other types kept as they are, the startup guard switched only by a
// REG_DWORD, and a start that never changes the user's desktop or files.
#include "app/settings/UserTweaksFile.h"
#include "tests/settings/SettingsFixture.h"

namespace Testing {
namespace {

using AppSettings::AtStart;
using AppSettings::Options;

TEST_F(SettingsTest, FirstStartOnACleanRegistryWritesTheDefaultsAndCopiesTheStarterFile)
{
    const AppSettings::StartState start = AtStart(env_);

    EXPECT_EQ(StoredDword(L"EnableBackup"), 1);
    EXPECT_EQ(StoredDword(L"ShowAtDesktop"), 0);
    EXPECT_EQ(StoredDword(L"AnalyseAtLaunch"), 1);
    EXPECT_EQ(StoredDword(L"EnableStartUpGuard"), 0);
    EXPECT_EQ(StoredDword(L"EnableBrowserGuard"), 0);
    Options expected;
    EXPECT_EQ(start.options, expected);

    // A full path the user can save, as REG_SZ, with the starter file there.
    const std::wstring tweaks = Sys::JoinPath(DataFolder(), L"tweaks.xml");
    EXPECT_EQ(start.userTweaksPath, tweaks);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(ReadValue(L"Corvane", L"UserTweaksPath", &type, &data), Err::Success);
    EXPECT_EQ(type, Platform::RegType::Sz);
    EXPECT_EQ(ReadFile(tweaks), kStarter);

    EXPECT_TRUE(guard_.calls.empty()) << "a value just written as 0 leaves the guard off";
    EXPECT_FALSE(AppSettings::DesktopShortcutPresent(env_)) << "start-up creates no shortcut";
    EXPECT_FALSE(AppSettings::ValueExists(env_.where.runKey, env_.where.runValue));
}

TEST_F(SettingsTest, FirstStartFindsAShortcutToTheProgramUnderAnyName)
{
    MakeShortcut(L"My own name " + env_.where.taskPrefix, env_.programPath);
    EXPECT_TRUE(AtStart(env_).options.showAtDesktop);
    EXPECT_EQ(StoredDword(L"ShowAtDesktop"), 1);
}

TEST_F(SettingsTest, StartAndReadNeverCreateOrDeleteTheShortcut)
{
    struct Case {
        uint32_t stored;
        bool shortcut;
    };
    for (const Case c : {Case{0, true}, Case{1, false}}) {
        SCOPED_TRACE(c.stored);
        WriteDword(L"Corvane\\Settings", L"ShowAtDesktop", c.stored);
        if (c.shortcut) {
            MakeShortcut(env_.where.shortcutName, env_.programPath);
        }
        EXPECT_EQ(AtStart(env_).options.showAtDesktop, c.stored != 0);
        EXPECT_EQ(AppSettings::Read(env_).showAtDesktop, c.stored != 0);
        EXPECT_EQ(AppSettings::DesktopShortcutPresent(env_), c.shortcut);
        EXPECT_EQ(StoredDword(L"ShowAtDesktop"), c.stored);
        for (const std::wstring& shortcut : extraShortcuts_) {
            (void)Fs().DeleteFile(shortcut);
        }
        extraShortcuts_.clear();
    }
}

TEST_F(SettingsTest, AValueOfAnotherTypeKeepsItsDefaultAndIsNotOverwritten)
{
    struct Case {
        const wchar_t* name;
        bool Options::*member;
    };
    const Case cases[] = {
        {L"EnableBackup", &Options::enableBackup},
        {L"ShowAtDesktop", &Options::showAtDesktop},
        {L"AnalyseAtLaunch", &Options::analyseAtLaunch},
        {L"EnableStartUpGuard", &Options::enableStartUpGuard},
        {L"EnableBrowserGuard", &Options::enableBrowserGuard},
    };
    const std::vector<uint8_t> stored = StringBytes(L"1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (void)DeleteTree(ScratchRoot(), ScratchKeyPath() + L"\\Corvane");
        guard_.calls.clear();
        WriteValue(L"Corvane\\Settings", c.name, Platform::RegType::Sz, stored);

        const AppSettings::StartState start = AtStart(env_);
        EXPECT_EQ(start.options.*c.member, Options().*c.member) << "the default, in memory only";
        uint32_t type = 0;
        std::vector<uint8_t> data;
        ASSERT_EQ(Stored(c.name, &type, &data), Err::Success);
        EXPECT_EQ(type, Platform::RegType::Sz);
        EXPECT_EQ(data, stored);
        EXPECT_TRUE(guard_.calls.empty());
        EXPECT_FALSE(AppSettings::Read(env_).*c.member) << "unreadable: unticked";

        Options chosen;
        chosen.*c.member = true;
        EXPECT_EQ(AppSettings::Apply(env_, chosen).Message(), L"");
        EXPECT_EQ(StoredDword(c.name), 1) << "Apply stores the choice as a REG_DWORD";
    }
}

TEST_F(SettingsTest, TheStartupGuardIsSwitchedOnlyByAStoredDword)
{
    struct Case {
        uint32_t type;
        std::vector<uint8_t> data;
        std::vector<bool> calls;
    };
    const Case cases[] = {
        {Platform::RegType::Dword, {1, 0, 0, 0}, {true}},
        {Platform::RegType::Dword, {0, 0, 0, 0}, {false}},
        {Platform::RegType::Sz, StringBytes(L"1"), {}},
        {Platform::RegType::Binary, {1}, {}},
    };
    for (const Case& c : cases) {
        guard_.calls.clear();
        WriteValue(L"Corvane\\Settings", L"EnableStartUpGuard", c.type, c.data);
        (void)AtStart(env_);
        EXPECT_EQ(guard_.calls, c.calls) << "type " << c.type;
    }
}

TEST_F(SettingsTest, AnExistingTweakPathIsKeptAndTheStarterFileIsCopiedOnlyOnce)
{
    const std::wstring tweaks = Sys::JoinPath(DataFolder(), L"tweaks.xml");
    EXPECT_EQ(AtStart(env_).userTweaksPath, tweaks);
    ASSERT_EQ(Fs().DeleteFile(tweaks), Err::Success);
    EXPECT_EQ(AtStart(env_).userTweaksPath, tweaks);
    EXPECT_FALSE(Exists(tweaks)) << "a later start does not copy it again";

    WriteString(L"Corvane", L"UserTweaksPath", PathOf(L"mine.xml"));
    EXPECT_EQ(AtStart(env_).userTweaksPath, PathOf(L"mine.xml"));
    WriteString(L"Corvane", L"UserTweaksPath", L"");
    EXPECT_EQ(AtStart(env_).userTweaksPath, L"") << "an empty value stays empty";
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(ReadValue(L"Corvane", L"UserTweaksPath", &type, &data), Err::Success);
    EXPECT_EQ(data, StringBytes(L""));
}

TEST_F(SettingsTest, TheStarterFileNeverReplacesAFileOfTheUser)
{
    const std::wstring tweaks = Sys::JoinPath(DataFolder(), L"tweaks.xml");
    WriteFile(tweaks, "<Tweaks/>");
    EXPECT_EQ(AtStart(env_).userTweaksPath, tweaks);
    EXPECT_EQ(ReadFile(tweaks), "<Tweaks/>");
    EXPECT_EQ(AppSettings::CopyToNewFile(env_.starterTweaksPath, tweaks), Err::FileExists);
}

TEST_F(SettingsTest, BackupIsOffOnlyForAStoredDwordZero)
{
    struct Case {
        uint32_t type;
        std::vector<uint8_t> data;
        bool enabled;
    };
    const Case cases[] = {
        {Platform::RegType::None, {}, true},  // missing
        {Platform::RegType::Dword, {0, 0, 0, 0}, false},
        {Platform::RegType::Dword, {1, 0, 0, 0}, true},
        {Platform::RegType::Sz, StringBytes(L"0"), true},
    };
    for (const Case& c : cases) {
        if (c.type == Platform::RegType::None) {
            EXPECT_TRUE(AppSettings::BackupEnabled(env_.where));
            continue;
        }
        WriteValue(L"Corvane\\Settings", L"EnableBackup", c.type, c.data);
        EXPECT_EQ(AppSettings::BackupEnabled(env_.where), c.enabled) << "type " << c.type;
    }
}

#ifndef _WIN32
// Paths longer than any fixed buffer of the system's old limits stay whole.
TEST_F(SettingsTest, LongPathsAreKeptWhole)
{
    const std::wstring part(100, L'a');
    const std::wstring deep = L"C:\\Users\\User\\AppData\\Roaming\\" + part + L"\\" + part + L"\\" + part;
    Portable().System().SetSpecialFolder(Sys::Csidl::AppData, deep);
    MakeFolder(deep);
    Sys::ResetSystemCachesForTesting();
    env_.programPath = PathOf(std::wstring(140, L'p') + L"\\" + std::wstring(140, L'q') + L"\\Corvane.exe");
    WriteFile(env_.programPath, "MZ");

    const std::wstring tweaks = deep + L"\\" + env_.where.dataFolder + L"\\tweaks.xml";
    EXPECT_EQ(AtStart(env_).userTweaksPath, tweaks);
    EXPECT_EQ(ReadFile(tweaks), kStarter);

    Options chosen;
    chosen.loadAtStartup = true;
    chosen.showAtDesktop = true;
    EXPECT_EQ(AppSettings::Apply(env_, chosen).Message(), L"");
    EXPECT_EQ(AppSettings::ReadString(env_.where.runKey, L"Corvane"), L"\"" + env_.programPath + L"\"");
    EXPECT_TRUE(AppSettings::DesktopShortcutPresent(env_));
}
#endif

}  // namespace
}  // namespace Testing
