#pragma once
// The settings tests' world: the program's keys and the Run key under the
// scratch key, the program's file in the scratch folder, the tweak-file
// folder under the application-data folder and shortcuts on the desktop
// named after the test. Natively these folders are made on the portable
// disk; under Wine they are the real ones, cleaned up afterwards.
#include <string>
#include <vector>

#include "app/settings/DesktopShortcut.h"
#include "app/settings/Environment.h"
#include "app/settings/RegistryValues.h"
#include "app/settings/Settings.h"
#include "app/settings/StartWithWindows.h"
#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/Caches.h"
#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"
#include "tests/support/Scratch.h"

namespace Testing {

class RecordingGuard final : public AppSettings::IStartupGuard {
public:
    void SetStartupGuard(bool enabled) override { calls.push_back(enabled); }
    std::vector<bool> calls;
};

class SettingsTest : public ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, L"C:\\Users\\User\\AppData\\Roaming");
        Portable().System().SetSpecialFolder(Sys::Csidl::Desktop, L"C:\\Users\\User\\Desktop");
        MakeFolder(L"C:\\Users\\User\\AppData\\Roaming");
        MakeFolder(L"C:\\Users\\User\\Desktop");
#endif
        Sys::ResetSystemCachesForTesting();
        const std::wstring name = ScratchKeyPath().substr(ScratchKeyPath().rfind(L'\\') + 1);
        env_.programPath = PathOf(L"Program Files\\Corvane\\Corvane.exe");
        env_.starterTweaksPath = PathOf(L"Program Files\\Corvane\\tweaks.xml");
        env_.where.programKey = ScratchKeyPath() + L"\\Corvane";
        env_.where.settingsKey = ScratchKeyPath() + L"\\Corvane\\Settings";
        env_.where.runKey = ScratchKeyPath() + L"\\Run";
        env_.where.runValue = L"Corvane";
        env_.where.shortcutName = L"Corvane test " + name;
        env_.where.dataFolder = L"CorvaneTests\\" + name;
        env_.where.taskPrefix = L"Corvane test " + name;
        env_.guard = &guard_;
        // Under Wine the tests run elevated; only the logon-task tests say so.
        env_.elevated = false;
        WriteFile(env_.programPath, "MZ program");
        WriteFile(env_.starterTweaksPath, kStarter);
    }

    void TearDown() override
    {
        for (const std::wstring& shortcut : AppSettings::DesktopShortcutsToProgram(env_)) {
            (void)Fs().DeleteFile(shortcut);
        }
        for (const std::wstring& extra : extraShortcuts_) {
            (void)Fs().DeleteFile(extra);
        }
        const std::wstring data = DataFolder();
        if (!data.empty()) {
            (void)DeleteFolderTree(data);
        }
        const std::wstring task = AppSettings::LogonTaskName(env_.where.taskPrefix, Os().System().UserAccount());
        (void)Os().System().DeleteTask(task);
        ScratchTest::TearDown();
    }

    std::wstring DataFolder() const
    {
        const std::wstring appData = Sys::GetShellFolder(Sys::Csidl::AppData);
        return appData.empty() ? appData : Sys::JoinPath(appData, env_.where.dataFolder);
    }
    std::wstring Desktop() const
    {
        return Sys::GetShellFolder(Sys::Csidl::Desktop);
    }

    // A desktop shortcut of the test's own, removed afterwards.
    std::wstring MakeShortcut(const std::wstring& name, const std::wstring& target)
    {
        Platform::ShellLink link;
        link.target = target;
        const std::wstring path = Sys::JoinPath(Desktop(), name + L".lnk");
        EXPECT_EQ(Os().System().SaveShellLink(path, link), Err::Success);
        extraShortcuts_.push_back(path);
        return path;
    }

    // The settings key's value, as stored.
    Platform::Status Stored(const wchar_t* name, uint32_t* type, std::vector<uint8_t>* data)
    {
        return ReadValue(L"Corvane\\Settings", name, type, data);
    }
    int64_t StoredDword(const wchar_t* name)
    {
        const AppSettings::DwordValue value = AppSettings::ReadDword(env_.where.settingsKey, name);
        return value.IsDword() ? static_cast<int64_t>(value.value) : -1;
    }

    static constexpr const char* kStarter = "<Tweaks>\n  <Category n=\"Filesystem\"/>\n</Tweaks>\n";

    AppSettings::Environment env_;
    RecordingGuard guard_;
    std::vector<std::wstring> extraShortcuts_;
};

}  // namespace Testing
