// Recursive file helpers and folder links on the real file system. Under
// Wine a Linux symbolic link stands in for a junction: Wine shows it as a
// folder carrying FILE_ATTRIBUTE_REPARSE_POINT, which is what the helpers go by.
#include <gtest/gtest.h>

#include <string>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/Files.h"
#include "tests/core/system_test_support.h"
#include "tests/core/win32/WineSupport.h"

namespace {

using Sys::Recursive;

class SystemJunction : public Testing::SystemTest {
protected:
    // Waits up to five seconds for the link to be there (or gone).
    bool AwaitLink(bool present)
    {
        for (int i = 0; i < 100; ++i) {
            if (Exists(PathOf(L"clean\\link")) == present) {
                return true;
            }
            Os().Threads().Sleep(50);
        }
        return false;
    }
};

TEST_F(SystemJunction, CleaningAFolderNeverReachesThroughALinkInside)
{
    if (!Testing::Wine::Running()) {
        GTEST_SKIP() << "the link is made from the Linux side, which only Wine offers";
    }
    MakeFolder(PathOf(L"outside"));
    MakeFolder(PathOf(L"clean\\sub"));
    WriteFile(PathOf(L"outside\\precious.tmp"), "keep me");
    WriteFile(PathOf(L"clean\\a.tmp"), "x");
    WriteFile(PathOf(L"clean\\sub\\b.tmp"), "x");
    const std::string unixFolder = Testing::Wine::UnixPath(ScratchFolder());
    ASSERT_FALSE(unixFolder.empty());
    // Only Linux removes the link itself; Windows calls would reach the target.
    const Platform::ScopeExit unlink([&] {
        (void)Testing::Wine::RunUnixProgram(L"/bin/rm", {unixFolder + "/clean/link"});
        EXPECT_TRUE(AwaitLink(false)) << "the link outlived the test";
    });
    // Wine cannot wait for a Linux process; the link shows when it is done.
    (void)Testing::Wine::RunUnixProgram(L"/bin/ln", {"-s", unixFolder + "/outside", unixFolder + "/clean/link"});
    ASSERT_TRUE(AwaitLink(true));
    Platform::FileInfo info;
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"clean\\link"), &info), Err::Success);
    ASSERT_TRUE(info.attributes & Platform::FileAttr::ReparsePoint);
    ASSERT_TRUE(Exists(PathOf(L"clean\\link\\precious.tmp")));

    EXPECT_FALSE(Sys::FileExists(PathOf(L"clean"), L"precious.tmp", Recursive::Yes, nullptr));
    EXPECT_TRUE(Sys::FilesEmpty(PathOf(L"clean"), L"precious.tmp", Recursive::Yes, nullptr));
    EXPECT_TRUE(Sys::FolderExists(PathOf(L"clean"), L"link", Recursive::No, nullptr));
    Testing::CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteFiles(PathOf(L"clean"), L"*", Recursive::Yes, Sys::Wipe::Yes, &tracer, nullptr), Err::Success);
    EXPECT_EQ(tracer.Count(RTI::TraceCode::FileRemoved), 2);
    EXPECT_EQ(ReadFile(PathOf(L"outside\\precious.tmp")), "keep me");
}

}  // namespace
