// Folders, environment, shell links and error mapping of the Windows backend.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/win32/Win32System.h"
#include "core/platform/win32/WindowsApi.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "tests/support/Scratch.h"

namespace {

using Platform::Win32::StatusFromHresult;

constexpr int kCsidlAppData = 26;
constexpr int kCsidlWindows = 36;
constexpr int kCsidlSystem = 37;

Platform::ISystem& System()
{
    return Platform::Current().System();
}

TEST(Win32System, SpecialFoldersAgreeWithTheSystemCalls)
{
    const std::wstring windows = System().WindowsDirectory();
    const std::wstring system = System().SystemDirectory();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows[1], L':');
    EXPECT_TRUE(RTI::EqualsIgnoreCase(System().GetSpecialFolder(kCsidlWindows), windows));
    EXPECT_TRUE(RTI::EqualsIgnoreCase(System().GetSpecialFolder(kCsidlSystem), system));
    EXPECT_FALSE(System().GetSpecialFolder(kCsidlAppData).empty());
    EXPECT_TRUE(System().GetSpecialFolder(0x7F).empty());
}

TEST(Win32System, ExpansionHasNoLengthLimit)
{
    const std::wstring longValue(5000, L'x');
    ASSERT_TRUE(::SetEnvironmentVariableW(L"CORVANE_LONG_VARIABLE", longValue.c_str()));
    const std::wstring expanded = System().ExpandEnvironmentStrings(L"[%CORVANE_LONG_VARIABLE%]%CORVANE_UNSET_NAME%");
    ::SetEnvironmentVariableW(L"CORVANE_LONG_VARIABLE", nullptr);
    EXPECT_EQ(expanded, L"[" + longValue + L"]%CORVANE_UNSET_NAME%");
    EXPECT_EQ(System().ExpandEnvironmentStrings(L""), L"");
}

TEST(Win32System, VersionAndTimeAreSane)
{
    const Platform::VersionInfo version = System().GetVersion();
    EXPECT_EQ(version.platformId, 2u);
    EXPECT_GE(version.major, 5u);
    EXPECT_TRUE(version.extended);
    EXPECT_GE(System().GetShellVersion(), 5u << 16);
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    EXPECT_LE(std::abs(System().CurrentTime() - now), 2);
}

TEST(Win32System, ProgramsAnswerWithTheirVersionTexts)
{
    Platform::FileVersion version;
    ASSERT_EQ(System().GetFileVersion(System().SystemDirectory() + L"\\kernel32.dll", &version), 0u);
    EXPECT_FALSE(version.description.empty());
    EXPECT_EQ(System().GetFileVersion(System().SystemDirectory() + L"\\corvane-missing.exe", &version), 2u);
#ifdef _WIN64
    EXPECT_TRUE(System().Is64BitWindows());
#endif
}

TEST(Win32System, AutomaticServicesAreListedByName)
{
    std::vector<Platform::ServiceListing> services;
    ASSERT_EQ(System().ListAutoStartServices(&services), Err::Success);
    for (const Platform::ServiceListing& service : services) {
        EXPECT_FALSE(service.name.empty());
    }
}

// Where the Task Scheduler answers, a task registered here is listed with its
// definition in the root folder (under Wine, read from the Tasks folder).
TEST(Win32System, TasksOfEveryFolderAreListedWithTheirDefinitions)
{
    const std::wstring name = L"CorvaneListTest";
    const std::wstring definition =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task version=\"1.2\" "
        L"xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\"><Triggers><LogonTrigger/></Triggers>"
        L"<Actions><Exec><Command>C:\\corvane-test.exe</Command></Exec></Actions></Task>";
    const Platform::Status registered = System().RegisterTask(name, definition);
    if (registered != Err::Success) {
        GTEST_SKIP() << "the Task Scheduler answers " << registered;
    }
    std::vector<Platform::TaskListing> tasks;
    const Platform::Status listed = System().ListTasks(&tasks);
    (void)System().DeleteTask(name);
    ASSERT_EQ(listed, Err::Success);
    bool found = false;
    for (const Platform::TaskListing& task : tasks) {
        if (task.path == L"\\" + name) {
            found = true;
            // Wine keeps neither triggers nor actions of a definition.
            EXPECT_NE(task.definition.find(L"<Task"), std::wstring::npos);
        }
    }
    EXPECT_TRUE(found);
}

TEST(Win32System, HresultsBecomeWindowsErrors)
{
    EXPECT_EQ(StatusFromHresult(S_OK), Err::Success);
    EXPECT_EQ(StatusFromHresult(S_FALSE), Err::Success);
    EXPECT_EQ(StatusFromHresult(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)), Err::AccessDenied);
    EXPECT_EQ(StatusFromHresult(STG_E_FILENOTFOUND), Err::FileNotFound);
    EXPECT_EQ(StatusFromHresult(STG_E_PATHNOTFOUND), Err::PathNotFound);
    EXPECT_EQ(StatusFromHresult(E_OUTOFMEMORY), 14u);  // ERROR_OUTOFMEMORY, wrapped
    EXPECT_EQ(StatusFromHresult(E_NOTIMPL), static_cast<Platform::Status>(E_NOTIMPL));
    EXPECT_EQ(StatusFromHresult(E_INVALIDARG), Err::InvalidParameter);
    EXPECT_EQ(StatusFromHresult(E_FAIL), static_cast<Platform::Status>(E_FAIL));
}

class Win32ShellLinks : public Testing::ScratchTest {
protected:
    Platform::ShellLink Sample() const
    {
        Platform::ShellLink link;
        link.target = System().SystemDirectory() + L"\\notepad.exe";
        link.arguments = L"/p \"some file.txt\"";
        link.workingDirectory = ScratchFolder();
        link.description = L"A link made by the tests";
        link.iconPath = System().SystemDirectory() + L"\\shell32.dll";
        link.iconIndex = 3;
        return link;
    }
    void ExpectSame(const Platform::ShellLink& got, const Platform::ShellLink& want)
    {
        EXPECT_TRUE(RTI::EqualsIgnoreCase(got.target, want.target))
            << std::string(got.target.begin(), got.target.end());
        EXPECT_EQ(got.arguments, want.arguments);
        EXPECT_TRUE(RTI::EqualsIgnoreCase(got.workingDirectory, want.workingDirectory));
        EXPECT_EQ(got.description, want.description);
        EXPECT_TRUE(RTI::EqualsIgnoreCase(got.iconPath, want.iconPath));
        EXPECT_EQ(got.iconIndex, want.iconIndex);
    }
};

TEST_F(Win32ShellLinks, SaveAndLoadRoundTrip)
{
    const std::wstring path = PathOf(L"sample.lnk");
    const Platform::ShellLink link = Sample();
    ASSERT_EQ(System().SaveShellLink(path, link), Err::Success);
    Platform::ShellLink loaded;
    ASSERT_EQ(System().LoadShellLink(path, &loaded), Err::Success);
    ExpectSame(loaded, link);
}

TEST_F(Win32ShellLinks, MissingLinkFailsAndLeavesTheOutputAlone)
{
    Platform::ShellLink loaded;
    loaded.description = L"untouched";
    const Platform::Status status = System().LoadShellLink(PathOf(L"missing.lnk"), &loaded);
    EXPECT_NE(status, Err::Success);
    EXPECT_EQ(loaded.description, L"untouched");
}

// A thread that already runs COM in the other apartment model keeps it, and
// COM started for a call is ended after it, so the thread's state is as before.
TEST_F(Win32ShellLinks, WorkOnThreadsWithAndWithoutCom)
{
    const std::wstring path = PathOf(L"threads.lnk");
    const Platform::ShellLink link = Sample();
    Platform::Status multiThreaded = Err::InvalidFunction;
    HRESULT afterwards = E_FAIL;
    std::thread([&] {
        const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        multiThreaded = System().SaveShellLink(path, link);
        if (SUCCEEDED(hr)) {
            ::CoUninitialize();
        }
    }).join();
    EXPECT_EQ(multiThreaded, Err::Success);

    Platform::ShellLink loaded;
    Platform::Status plain = Err::InvalidFunction;
    std::thread([&] {
        plain = System().LoadShellLink(path, &loaded);
        // S_OK, not S_FALSE: the call above left no COM behind on this thread.
        afterwards = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards)) {
            ::CoUninitialize();
        }
    }).join();
    EXPECT_EQ(plain, Err::Success);
    EXPECT_EQ(afterwards, S_OK);
    ExpectSame(loaded, link);
}

}  // namespace
