#include <gtest/gtest.h>

#include <string>

#include "core/system/ShellFolders.h"
#include "tests/core/system_test_support.h"

namespace {

namespace Csidl = Sys::Csidl;

class SystemShellFolders : public Testing::SystemTest {};

TEST_F(SystemShellFolders, WindowsAndSystemFoldersComeFromTheSystemCalls)
{
    EXPECT_EQ(Sys::GetShellFolder(Csidl::Windows), Os().System().WindowsDirectory());
    EXPECT_EQ(Sys::GetShellFolder(Csidl::System), Os().System().SystemDirectory());
}

TEST_F(SystemShellFolders, TheShellAnswersOnACurrentShell)
{
    EXPECT_GE(Sys::GetShellVersion(), 5u << 16);
    const std::wstring appData = Sys::GetShellFolder(Csidl::AppData);
    EXPECT_EQ(appData, Os().System().GetSpecialFolder(Csidl::AppData));
}

#ifndef _WIN32
class SystemOldShellFolders : public Testing::SystemTest {
protected:
    static constexpr uint32_t kShell472 = (4u << 16) | 72;
    static constexpr const wchar_t* kUserFolders =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

    void SetUp() override
    {
        Testing::SystemTest::SetUp();
        Portable().System().SetShellVersion(kShell472);
        Portable().System().SetSpecialFolder(Csidl::AppData, L"C:\\FromShell\\AppData");
        Portable().System().SetSpecialFolder(Csidl::CommonFiles, L"C:\\FromShell\\Common");
        Portable().System().SetSpecialFolder(Csidl::MyMusic, L"C:\\FromShell\\Music");
    }
    void WriteText(Platform::KeyHandle root, std::wstring_view path, std::wstring_view name, std::wstring_view text)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(root, path, key.put(), &created), 0u);
        const auto bytes = Testing::StringBytes(text);
        ASSERT_EQ(Reg().SetValue(key.get(), name, Platform::RegType::Sz, bytes.data(), bytes.size()), 0u);
    }
};

TEST_F(SystemOldShellFolders, TheRegistryAnswersFirstOnAShellOlderThanFive)
{
    WriteText(Platform::CurrentUser(), kUserFolders, L"AppData", L"C:\\FromRegistry\\AppData");
    WriteText(Platform::LocalMachine(), kUserFolders, L"Common AppData", L"C:\\FromRegistry\\All");
    WriteText(Platform::LocalMachine(), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"CommonFilesDir",
              L"C:\\FromRegistry\\Common");
    EXPECT_EQ(Sys::GetShellVersion(), kShell472);
    EXPECT_EQ(Sys::GetShellFolder(Csidl::AppData), L"C:\\FromRegistry\\AppData");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::CommonAppData), L"C:\\FromRegistry\\All");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::CommonFiles), L"C:\\FromRegistry\\Common");
}

TEST_F(SystemOldShellFolders, TheShellAnswersWhenTheRegistryGivesNothing)
{
    WriteText(Platform::CurrentUser(), kUserFolders, L"My Music", L"");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::MyMusic), L"C:\\FromShell\\Music");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::AppData), L"C:\\FromShell\\AppData");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::CommonFiles), L"C:\\FromShell\\Common");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::Personal), L"");
}

// Identifiers outside the table are always the shell's.
TEST_F(SystemOldShellFolders, OtherIdentifiersAskTheShell)
{
    Portable().System().SetSpecialFolder(0x10, L"C:\\Desktop");
    WriteText(Platform::CurrentUser(), kUserFolders, L"Desktop", L"C:\\FromRegistry\\Desktop");
    EXPECT_EQ(Sys::GetShellFolder(0x10), L"C:\\Desktop");
}

TEST_F(SystemOldShellFolders, TheKeysAreOpenedOnceAndKeptOpen)
{
    WriteText(Platform::CurrentUser(), kUserFolders, L"AppData", L"C:\\FromRegistry\\AppData");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::AppData), L"C:\\FromRegistry\\AppData");
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::OpenKey, [](const auto&) { return true; }, Err::AccessDenied);
    WriteText(Platform::CurrentUser(), kUserFolders, L"Cookies", L"C:\\FromRegistry\\Cookies");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::Cookies), L"C:\\FromRegistry\\Cookies");
}

TEST_F(SystemOldShellFolders, AShellOfVersionFiveIgnoresTheRegistry)
{
    Portable().System().SetShellVersion(5u << 16);
    Sys::ResetSystemCachesForTesting();
    WriteText(Platform::CurrentUser(), kUserFolders, L"AppData", L"C:\\FromRegistry\\AppData");
    EXPECT_EQ(Sys::GetShellFolder(Csidl::AppData), L"C:\\FromShell\\AppData");
}

TEST_F(SystemOldShellFolders, TheShellVersionIsReadOnce)
{
    EXPECT_EQ(Sys::GetShellVersion(), kShell472);
    Portable().System().SetShellVersion(6u << 16);
    EXPECT_EQ(Sys::GetShellVersion(), kShell472);
}
#endif

}  // namespace
