#include <gtest/gtest.h>

#include <string>

#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"
#include "core/system/Shortcuts.h"
#include "tests/core/system_test_support.h"

namespace {

// Shortcuts go into a shell folder; the tests put theirs into a folder of
// their own below AppData and remove it afterwards.
class SystemShortcuts : public Testing::SystemTest {
protected:
    void SetUp() override
    {
        Testing::SystemTest::SetUp();
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, ScratchFolder() + L"\\AppData");
#endif
        const std::wstring appData = Sys::GetShellFolder(Sys::Csidl::AppData);
        ASSERT_FALSE(appData.empty());
        const std::wstring scratchName = ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
        subfolder_ = L"CorvaneTests-" + scratchName;
        folder_ = Sys::JoinPath(appData, subfolder_);
    }
    void TearDown() override
    {
        (void)Testing::DeleteFolderTree(folder_);
        Testing::SystemTest::TearDown();
    }

    std::wstring subfolder_;  // below AppData
    std::wstring folder_;     // its full path
};

TEST_F(SystemShortcuts, CreateAndReadRoundTrip)
{
    Platform::ShellLink link;
    link.target = ScratchFolder() + L"\\Program.exe";
    link.arguments = L"/quiet";
    link.workingDirectory = ScratchFolder();
    link.description = L"A test shortcut";
    link.iconPath = ScratchFolder() + L"\\Program.exe";
    link.iconIndex = 1;
    WriteFile(link.target, "MZ");
    // Two missing folder levels in front of the link.
    ASSERT_EQ(Sys::CreateShortcut(link, subfolder_ + L"\\Group\\My Program", Sys::Csidl::AppData), 0u);
    const std::wstring path = folder_ + L"\\Group\\My Program.lnk";
    EXPECT_TRUE(Exists(path));
    std::wstring target;
    ASSERT_TRUE(Sys::ReadShortcutTarget(path, &target));
    EXPECT_TRUE(RTI::EqualsIgnoreCase(target, link.target)) << target;
}

TEST_F(SystemShortcuts, ReadingAMissingOrBrokenShortcutFails)
{
    std::wstring target = L"untouched";
    EXPECT_FALSE(Sys::ReadShortcutTarget(folder_ + L"\\missing.lnk", &target));
    MakeFolder(folder_);
    WriteFile(folder_ + L"\\broken.lnk", "not a shortcut");
    EXPECT_FALSE(Sys::ReadShortcutTarget(folder_ + L"\\broken.lnk", &target));
    EXPECT_EQ(target, L"untouched");
}

#ifndef _WIN32
TEST_F(SystemShortcuts, AShortcutWithoutTargetReadsAsNone)
{
    ASSERT_EQ(Sys::CreateShortcut(Platform::ShellLink{}, subfolder_ + L"\\Empty", Sys::Csidl::AppData), 0u);
    std::wstring target;
    EXPECT_FALSE(Sys::ReadShortcutTarget(folder_ + L"\\Empty.lnk", &target));
}

TEST_F(SystemShortcuts, FolderCreationFailureGivesMinusOne)
{
    Portable().Faults().FailWhen(Platform::Portable::Operation::CreateDirectory, folder_, Err::AccessDenied);
    Platform::ShellLink link;
    link.target = L"C:\\x.exe";
    EXPECT_EQ(Sys::CreateShortcut(link, subfolder_ + L"\\Link", Sys::Csidl::AppData), Err::BadFormat);
}

TEST_F(SystemShortcuts, AnUnknownShellFolderGivesMinusOne)
{
    Platform::ShellLink link;
    link.target = L"C:\\x.exe";
    EXPECT_EQ(Sys::CreateShortcut(link, L"Link", 0x7777), Err::BadFormat);
}

TEST_F(SystemShortcuts, SavingFailureIsPassedOn)
{
    Portable().Faults().FailWhen(Platform::Portable::Operation::SaveShellLink, folder_ + L"\\Link.lnk", Err::DiskFull);
    Platform::ShellLink link;
    link.target = L"C:\\x.exe";
    EXPECT_EQ(Sys::CreateShortcut(link, subfolder_ + L"\\Link", Sys::Csidl::AppData), Err::DiskFull);
}
#endif

}  // namespace
