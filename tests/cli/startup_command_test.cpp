// corvane-cli startup list / disable / restore, in-process over the portable
// platform: what the listing says per entry, and the exit codes of changes.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/ShellFolders.h"
#include "tests/cli/CliFixture.h"
#include "tweaker/ChangeLock.h"

namespace {

using namespace CliTesting;
using Platform::Portable::Operation;

const std::wstring kRun = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kRunLocation = L"HKCU\\" + kRun + L", Updater";
const std::wstring kWinlogon = L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon, Shell";

class StartupCommandTest : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        Portable().System().SetSpecialFolder(Sys::Csidl::Startup, PathOf(L"Startup"));
        Portable().System().SetSpecialFolder(Sys::Csidl::CommonStartup, PathOf(L"Common Startup"));
        WriteFile(PathOf(L"Startup\\tray.exe"), "MZ" + std::string(80, 't'));
        WriteFile(PathOf(L"Programs\\updater.exe"), "MZ" + std::string(80, 'u'));
        Portable().System().SetFileVersion(PathOf(L"Programs\\updater.exe"),
                                           {L"Keeps things new", L"Updater \"Co\"", L"Updater", L"2.0"});
        SetValue(Platform::CurrentUser(), kRun, L"Updater", L"\"" + PathOf(L"Programs\\updater.exe") + L"\" -bg");
        SetValue(Platform::LocalMachine(), L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"Shell",
                 L"explorer.exe");
        Portable().System().AddService({L"Spooler", L"Print Spooler", L"C:\\WINDOWS\\spoolsv.exe", false}, 2);
    }
    void SetValue(Platform::KeyHandle root, const std::wstring& path, const std::wstring& name,
                  const std::wstring& text)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(root, path, key.put(), &created), Err::Success);
        const std::vector<uint8_t> data = Testing::StringBytes(text);
        ASSERT_EQ(Reg().SetValue(key.get(), name, Platform::RegType::Sz, data.data(), data.size()), Err::Success);
    }
    bool RunValueExists()
    {
        Platform::UniqueKey key;
        return Reg().OpenKey(Platform::CurrentUser(), kRun, Platform::KeyAccess::Read, key.put()) == Err::Success &&
               Reg().QueryValue(key.get(), L"Updater", nullptr, nullptr) == Err::Success;
    }
};

TEST_F(StartupCommandTest, ListTellsPerEntryWhatItIsWhereAndInWhichState)
{
    const Result json = Run({L"startup", L"list", L"--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const std::wstring expected =
        L"    \"category\": \"Registry 'Run' keys / User 'Run' key\",\n"
        L"    \"name\": \"Updater\",\n"
        L"    \"location\": \"HKCU\\\\SOFTWARE\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run, Updater\",\n";
    EXPECT_NE(json.out.find(expected), std::wstring::npos) << json.out;
    EXPECT_NE(json.out.find(L"\"description\": \"Keeps things new\",\n    \"company\": \"Updater \\\"Co\\\"\",\n"
                            L"    \"view\": 64,\n    \"windowsState\": \"enabled\",\n    \"present\": true,\n"
                            L"    \"backup\": false,\n    \"readOnly\": false,\n    \"readOnlyReason\": \"\"\n"),
              std::wstring::npos)
        << json.out;
    EXPECT_NE(json.out.find(L"\"location\": \"" + ReplaceAll(kWinlogon, L"\\", L"\\\\") + L"\""), std::wstring::npos);
    EXPECT_NE(json.out.find(L"\"readOnly\": true"), std::wstring::npos);

    const Result text = Run({L"startup", L"list"});
    ASSERT_EQ(text.code, 0);
    EXPECT_NE(text.out.find(L"  " + kRunLocation + L"\n    Updater: \""), std::wstring::npos) << text.out;
    EXPECT_NE(text.out.find(L"    Keeps things new (Updater \"Co\")\n    64-bit view; Windows: enabled; present\n"),
              std::wstring::npos)
        << text.out;
}

TEST_F(StartupCommandTest, DisableAndRestoreGiveBackWhatWasThere)
{
    const std::wstring file = PathOf(L"Startup\\tray.exe");
    const std::string content = ReadFile(file);
    // The location is matched without regard to case.
    Result result =
        Run({L"startup", L"disable", L"hkcu\\software\\microsoft\\windows\\currentversion\\run, updater", file});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(Exists(file));
    result = Run({L"startup", L"list", L"--json"});
    EXPECT_NE(result.out.find(L"\"present\": false,\n    \"backup\": true"), std::wstring::npos) << result.out;

    result = Run({L"startup", L"restore", kRunLocation, file});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_TRUE(RunValueExists());
    EXPECT_EQ(ReadFile(file), content);
    EXPECT_EQ(Run({L"startup", L"restore", file}).code, 2) << "nothing left to restore";
}

TEST_F(StartupCommandTest, UnknownOrReadOnlyEntriesChangeNothingAndFailuresReportTheWindowsError)
{
    struct Case {
        std::vector<std::wstring> args;
        int code;
        std::wstring message;
    };
    const Case cases[] = {
        {{L"startup", L"disable", kRunLocation, L"HKCU\\nowhere, x"}, 2, L"no startup entry \"HKCU\\nowhere, x\""},
        {{L"startup", L"disable", kRunLocation, kWinlogon}, 2, L"is read-only here"},
        {{L"startup", L"disable", L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Spooler"}, 2, L"Services console"},
        {{L"startup", L"restore", kRunLocation}, 2, L"no disabled startup entry"},
        {{L"startup", L"disable"}, 2, L"startup disable needs at least one startup entry"},
        {{L"startup", L"remove", kRunLocation}, 2, L"unknown startup command \"remove\""},
    };
    for (const Case& c : cases) {
        const Result result = Run(c.args);
        EXPECT_EQ(result.code, c.code);
        EXPECT_NE(result.err.find(c.message), std::wstring::npos) << result.err;
        EXPECT_TRUE(RunValueExists());
    }

    Portable().Faults().FailWhen(Operation::DeleteValue, L"HKCU\\" + kRun, Err::AccessDenied);
    Result result = Run({L"startup", L"disable", kRunLocation});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find(L"cannot disable " + kRunLocation + L": "), std::wstring::npos) << result.err;
    EXPECT_NE(result.err.find(L"error 5"), std::wstring::npos) << result.err;
    EXPECT_TRUE(RunValueExists());
    Portable().Faults().Clear();

    Platform::UniqueNamedLock held;
    ASSERT_EQ(Tweaker::TakeChangeLock(&held, settings_.lockName), 0u);
    EXPECT_EQ(Run({L"startup", L"disable", kRunLocation}).code, 1);
    EXPECT_TRUE(RunValueExists());
}

}  // namespace
#endif
