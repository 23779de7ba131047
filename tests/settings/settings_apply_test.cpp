// The Settings view's Apply: every box stored and read back, failures named
// in one message, the desktop shortcut changed only with its box, the guard
// switched with its box, and "Load at Windows startup" pointing at the
// running program.
#include <cwchar>

#include "app/settings/StartWithWindows.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "tests/settings/SettingsFixture.h"

#ifndef _WIN32
#include "core/platform/portable/Faults.h"
#endif

namespace Testing {
namespace {

using AppSettings::Apply;
using AppSettings::Options;

TEST_F(SettingsTest, ApplyStoresEveryBoxAsADwordAndReadShowsItBack)
{
    (void)AppSettings::AtStart(env_);
    for (const bool on : {true, false}) {
        Options chosen;
        chosen.enableBackup = on;
        chosen.loadAtStartup = on;
        chosen.showAtDesktop = on;
        chosen.analyseAtLaunch = on;
        chosen.enableStartUpGuard = on;
        chosen.enableBrowserGuard = on;
        EXPECT_EQ(Apply(env_, chosen).Message(), L"");
        EXPECT_EQ(AppSettings::Read(env_), chosen);
        for (const wchar_t* name :
             {L"EnableBackup", L"ShowAtDesktop", L"AnalyseAtLaunch", L"EnableStartUpGuard", L"EnableBrowserGuard"}) {
            EXPECT_EQ(StoredDword(name), on ? 1 : 0) << name;
        }
    }
    EXPECT_EQ(guard_.calls, (std::vector<bool>{true, false})) << "the guard follows its box at once";
}

TEST_F(SettingsTest, TheRunValueIsTheQuotedPathOfTheRunningProgramAndUntickingRemovesIt)
{
    env_.elevated = false;
    Options chosen;
    chosen.loadAtStartup = true;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(ReadValue(L"Run", L"Corvane", &type, &data), Err::Success);
    EXPECT_EQ(type, Platform::RegType::Sz);
    EXPECT_EQ(data, StringBytes(L"\"" + env_.programPath + L"\"")) << "characters x 2 + 2 bytes";
    EXPECT_TRUE(AppSettings::Read(env_).loadAtStartup);

    chosen.loadAtStartup = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_EQ(ReadValue(L"Run", L"Corvane", &type, &data), Err::FileNotFound);
    EXPECT_FALSE(AppSettings::Read(env_).loadAtStartup);
}

TEST_F(SettingsTest, TheShortcutFollowsTheBoxOnlyWhenTheUserChangesIt)
{
    (void)AppSettings::AtStart(env_);  // ShowAtDesktop 0: no shortcut yet
    const std::wstring other = MakeShortcut(L"Other program " + env_.where.taskPrefix, PathOf(L"other.exe"));
    Options chosen;
    chosen.showAtDesktop = true;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    const std::wstring named = Sys::JoinPath(Desktop(), env_.where.shortcutName + L".lnk");
    Platform::ShellLink link;
    ASSERT_EQ(Os().System().LoadShellLink(named, &link), Err::Success);
    EXPECT_TRUE(RTI::EqualsIgnoreCase(link.target, env_.programPath));
    EXPECT_TRUE(RTI::EqualsIgnoreCase(link.workingDirectory, AppSettings::FolderOf(env_.programPath)));

    // The user removes it by hand; applying the same choice again keeps it so.
    ASSERT_EQ(Fs().DeleteFile(named), Err::Success);
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_FALSE(AppSettings::DesktopShortcutPresent(env_));

    // Unticking removes every shortcut to the program, under any name, and
    // no other shortcut.
    MakeShortcut(env_.where.shortcutName, env_.programPath);
    MakeShortcut(L"Renamed " + env_.where.taskPrefix, env_.programPath);
    chosen.showAtDesktop = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_FALSE(AppSettings::DesktopShortcutPresent(env_));
    EXPECT_TRUE(Exists(other));
}

#ifndef _WIN32
TEST_F(SettingsTest, FailedWritesAreNamedInOneMessage)
{
    using Platform::Portable::FaultSubject;
    using Platform::Portable::Operation;
    struct Case {
        Operation op;
        const wchar_t* value;
        const wchar_t* label;
    };
    const Case cases[] = {
        {Operation::SetValue, L"AnalyseAtLaunch", L"Run the analyse at program launching"},
        {Operation::SetValue, L"EnableBrowserGuard", L"Browser Guard"},
        {Operation::QueryValue, L"EnableBackup", L"Create backup registry"},  // the read-back fails
        {Operation::SetValue, L"Corvane", L"Load at Windows startup"},
    };
    (void)AppSettings::AtStart(env_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::wstring value = c.value;
        Portable().Faults().FailWhen(
            c.op, [&](const FaultSubject& s) { return s.name == value; }, Err::AccessDenied);
        Options chosen;
        chosen.loadAtStartup = true;
        const AppSettings::ApplyResult result = Apply(env_, chosen);
        Portable().Faults().Clear();
        EXPECT_EQ(result.unsaved, std::vector<std::wstring>{c.label});
        EXPECT_EQ(result.Message(), std::wstring(L"Some settings could not be saved.\n\n") + c.label);
    }
}

TEST_F(SettingsTest, AShortcutThatCannotBeMadeIsReported)
{
    (void)AppSettings::AtStart(env_);
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::SaveShellLink, [](auto&) { return true; }, Err::AccessDenied);
    Options chosen;
    chosen.showAtDesktop = true;
    EXPECT_EQ(Apply(env_, chosen).unsaved, std::vector<std::wstring>{L"Show the program at desktop"});
}

// Elevated, the program starts from a logon task instead of the Run value;
// exactly one of the two exists, and unticking removes both.
TEST_F(SettingsTest, ElevatedTheLogonTaskReplacesTheRunValue)
{
    env_.elevated = true;
    Portable().System().SetUserAccount(L"OFFICE\\Ann");
    const std::wstring task = AppSettings::LogonTaskName(env_.where.taskPrefix, L"OFFICE\\Ann");
    Options chosen;
    chosen.loadAtStartup = true;

    env_.elevated = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");  // a Run value from an earlier run without elevation
    env_.elevated = true;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    std::wstring definition;
    ASSERT_EQ(Os().System().QueryTask(task, &definition), Err::Success);
    EXPECT_EQ(definition, AppSettings::LogonTaskDefinition(env_.programPath, L"OFFICE\\Ann"));
    EXPECT_FALSE(AppSettings::ValueExists(env_.where.runKey, L"Corvane"));
    EXPECT_TRUE(AppSettings::Read(env_).loadAtStartup);

    env_.elevated = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_EQ(Os().System().QueryTask(task, nullptr), Err::FileNotFound) << "the Run value replaces the task";
    EXPECT_TRUE(AppSettings::ValueExists(env_.where.runKey, L"Corvane"));

    env_.elevated = true;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    chosen.loadAtStartup = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_EQ(Os().System().QueryTask(task, nullptr), Err::FileNotFound);
    EXPECT_FALSE(AppSettings::ValueExists(env_.where.runKey, L"Corvane"));
    EXPECT_FALSE(AppSettings::Read(env_).loadAtStartup);
}

TEST_F(SettingsTest, ATaskThatCannotBeMadeFallsBackToTheRunValueAndSaysSo)
{
    constexpr Platform::Status kClassNotRegistered = 0x80040154u;  // no Task Scheduler 2.0 (Windows XP)
    env_.elevated = true;
    for (const Platform::Status error : {kClassNotRegistered, Err::AccessDenied}) {
        Portable().Faults().FailWhen(
            Platform::Portable::Operation::RegisterTask, [](auto&) { return true; }, error);
        Options chosen;
        chosen.loadAtStartup = true;
        const AppSettings::ApplyResult result = Apply(env_, chosen);
        Portable().Faults().Clear();
        EXPECT_TRUE(result.unsaved.empty());
        EXPECT_EQ(result.logonTaskError, error);
        EXPECT_NE(result.Message().find(L"(error " + std::to_wstring(error) + L")"), std::wstring::npos);
        EXPECT_EQ(AppSettings::ReadString(env_.where.runKey, L"Corvane"), L"\"" + env_.programPath + L"\"");
        EXPECT_TRUE(AppSettings::Read(env_).loadAtStartup);
    }
}

TEST_F(SettingsTest, TheLogonTaskDefinition)
{
    const std::wstring program = L"C:\\Tools & More\\Corvane <2>\\Corvane.exe";
    const std::wstring xml = AppSettings::LogonTaskDefinition(program, L"OFFICE\\Ann");
    for (const wchar_t* part : {
             L"<LogonTrigger>\n      <Enabled>true</Enabled>\n      <UserId>OFFICE\\Ann</UserId>\n    </LogonTrigger>",
             L"<UserId>OFFICE\\Ann</UserId>\n      <LogonType>InteractiveToken</LogonType>\n"
             L"      <RunLevel>HighestAvailable</RunLevel>",
             L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>",
             L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
             L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>",
             L"<Command>C:\\Tools &amp; More\\Corvane &lt;2&gt;\\Corvane.exe</Command>",
             L"<WorkingDirectory>C:\\Tools &amp; More\\Corvane &lt;2&gt;</WorkingDirectory>",
         }) {
        EXPECT_NE(xml.find(part), std::wstring::npos) << std::string(part, part + std::wcslen(part));
    }
    EXPECT_EQ(AppSettings::LogonTaskName(L"Corvane at logon", L"OFFICE\\Ann"), L"Corvane at logon (OFFICE_Ann)");
    EXPECT_EQ(AppSettings::LogonTaskName(L"Corvane at logon", L"a/b:c*d?e\"f<g>h|i"),
              L"Corvane at logon (a_b_c_d_e_f_g_h_i)");
}
#else
// Wine's scheduler keeps a task but drops its logon trigger and its program,
// so it would never start the program: the task is removed again and the
// program starts from the Run value, which the user is told.
TEST_F(SettingsTest, UnderWineTheLogonTaskFallsBackToTheRunValue)
{
    env_.elevated = true;
    Options chosen;
    chosen.loadAtStartup = true;
    const AppSettings::ApplyResult result = Apply(env_, chosen);
    EXPECT_TRUE(result.unsaved.empty());
    EXPECT_EQ(result.logonTaskError, Err::NotSupported);
    const std::wstring task = AppSettings::LogonTaskName(env_.where.taskPrefix, Os().System().UserAccount());
    EXPECT_EQ(Os().System().QueryTask(task, nullptr), Err::FileNotFound);
    EXPECT_EQ(AppSettings::ReadString(env_.where.runKey, L"Corvane"), L"\"" + env_.programPath + L"\"");
    EXPECT_TRUE(AppSettings::Read(env_).loadAtStartup);
    chosen.loadAtStartup = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_FALSE(AppSettings::Read(env_).loadAtStartup);
}

// A task the scheduler refuses (here: a folder stands where Wine keeps the
// task's file) leaves the program starting from the Run value, and says so.
TEST_F(SettingsTest, ATaskTheSchedulerRefusesFallsBackToTheRunValue)
{
    const std::wstring task = AppSettings::LogonTaskName(env_.where.taskPrefix, Os().System().UserAccount());
    const std::wstring blocker = Os().System().SystemDirectory() + L"\\Tasks\\" + task;
    MakeFolder(blocker);
    env_.elevated = true;
    Options chosen;
    chosen.loadAtStartup = true;
    const AppSettings::ApplyResult result = Apply(env_, chosen);
    (void)Fs().RemoveDirectory(blocker);
    EXPECT_TRUE(result.unsaved.empty());
    EXPECT_NE(result.logonTaskError, Err::Success);
    EXPECT_EQ(AppSettings::ReadString(env_.where.runKey, L"Corvane"), L"\"" + env_.programPath + L"\"");
    EXPECT_TRUE(AppSettings::Read(env_).loadAtStartup);
    chosen.loadAtStartup = false;
    EXPECT_EQ(Apply(env_, chosen).Message(), L"");
    EXPECT_FALSE(AppSettings::Read(env_).loadAtStartup);
}
#endif

}  // namespace
}  // namespace Testing
