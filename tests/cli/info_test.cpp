// info [--json]: the system summary, as text and as JSON.
#include <gtest/gtest.h>

#include "app/cli/Arguments.h"
#include "core/system/OsVersion.h"
#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;

TEST(CliInfoArguments, TakesOnlyJson)
{
    EXPECT_EQ(Cli::ParseArguments({L"info", L"--json"}).invocation.command, Cli::Command::Info);
    EXPECT_EQ(Cli::ParseArguments({L"info", L"--backup"}).error, L"unknown option \"--backup\" for info");
    EXPECT_EQ(Cli::ParseArguments({L"info", L"disk"}).error, L"unexpected argument \"disk\" for info");
}

#ifndef _WIN32
using CliInfo = CliTest;

TEST_F(CliInfo, TheSummaryAsTextAndAsJson)
{
    auto& hardware = Portable().Hardware();
    hardware.SetPhysicalMemory(6ull << 30);
    hardware.SetDisplayDevices({{L"\\\\.\\DISPLAY1", L"Second", Platform::DisplayFlag::AttachedToDesktop},
                                {L"\\\\.\\DISPLAY2", L"Main \"GPU\"", Platform::DisplayFlag::PrimaryDevice}});
    const CliTesting::Result json = Run({L"info", L"--json"});
    EXPECT_EQ(json.code, 0);
    EXPECT_EQ(json.err, L"");
    EXPECT_EQ(json.out,
              L"{\n"
              L"  \"system\": {\n"
              L"    \"code\": 13,\n"
              L"    \"name\": \"" +
                  Sys::GetOsDisplayName() +
                  L"\"\n"
                  L"  },\n"
                  L"  \"memory\": {\n"
                  L"    \"bytes\": 6442450944,\n"
                  L"    \"text\": \"6144.00 MB of RAM\"\n"
                  L"  },\n"
                  L"  \"displayAdapter\": \"Main \\\"GPU\\\"\",\n"
                  L"  \"disks\": []\n"
                  L"}\n");

    const CliTesting::Result text = Run({L"info"});
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.out.find(L"Memory:          6144.00 MB of RAM\n"), std::wstring::npos) << text.out;
    EXPECT_NE(text.out.find(L"Display adapter: Main \"GPU\"\n"), std::wstring::npos);
}
#endif

}  // namespace
