// The version report comes from RtlGetVersion. Under Wine the version a
// program sees follows the registry setting "Version" (per program under
// HKCU\Software\Wine\AppDefaults\<exe>), read when the process starts; so each
// setting is checked in a fresh child process: a copy of this test program
// under its own name, which runs only the probe below and writes what it saw.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"
#include "tests/core/win32/WineSupport.h"
#include "tests/support/Scratch.h"

namespace {

constexpr wchar_t kProbeVariable[] = L"CORVANE_VERSION_PROBE_OUTPUT";
constexpr wchar_t kProbeExe[] = L"corvane_version_probe.exe";

struct WineVersion {
    const wchar_t* setting;
    uint32_t major;
    uint32_t minor;
    uint32_t build;  // 0: any build of that release
    const char* servicePack;
};

constexpr WineVersion kWineVersions[] = {
    {L"win2k", 5, 0, 2195, "Service Pack 4"},
    {L"winxp", 5, 1, 2600, "Service Pack 3"},
    {L"vista", 6, 0, 6002, "Service Pack 2"},
    {L"win7", 6, 1, 7601, "Service Pack 1"},
    {L"win8", 6, 2, 9200, ""},
    {L"win81", 6, 3, 9600, ""},
    {L"win10", 10, 0, 0, ""},
};

std::wstring Environment(const wchar_t* name)
{
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::string Narrow(std::wstring_view text)
{
    return std::string(text.begin(), text.end());
}

std::wstring ModulePath()
{
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// Runs a program with its output discarded; its exit code, or -1.
long RunQuietly(const std::wstring& program, std::wstring commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Platform::Win32::UniqueFileHandle nul(::CreateFileW(
        L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return -1;
    }
    Platform::Win32::UniqueHandle processHandle(process.hProcess);
    Platform::Win32::UniqueHandle threadHandle(process.hThread);
    DWORD code = 0;
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &code)) {
        return -1;
    }
    return static_cast<long>(code);
}

// The child's side: reports the version it sees when the parent asks for it.
TEST(Win32VersionProbe, Report)
{
    const std::wstring output = Environment(kProbeVariable);
    if (output.empty()) {
        GTEST_SKIP() << "runs only as the child of Win32Version tests";
    }
    const Platform::VersionInfo v = Platform::Current().System().GetVersion();
    char text[256];
    std::snprintf(text, sizeof(text), "%u %u %u %u %u %d|%ls", v.platformId, v.major, v.minor, v.build,
                  v.servicePackMajor, v.extended ? 1 : 0, v.servicePack.c_str());
    ASSERT_EQ(Platform::WriteWholeFile(output, text), Err::Success);
}

class Win32Version : public Testing::ScratchTest {};

TEST_F(Win32Version, FollowsTheVersionWineReports)
{
    if (!Testing::Wine::Running()) {
        GTEST_SKIP() << "the reported version can only be chosen under Wine";
    }
    const std::wstring probe = PathOf(kProbeExe);
    ASSERT_TRUE(::CopyFileW(ModulePath().c_str(), probe.c_str(), FALSE));
    const std::wstring output = PathOf(L"version.txt");
    ASSERT_TRUE(::SetEnvironmentVariableW(kProbeVariable, output.c_str()));
    const Platform::ScopeExit clearVariable([] { ::SetEnvironmentVariableW(kProbeVariable, nullptr); });

    const std::wstring settings = std::wstring(L"Software\\Wine\\AppDefaults\\") + kProbeExe;
    const Platform::ScopeExit removeSettings([&] { (void)Testing::DeleteTree(Platform::CurrentUser(), settings); });
    Platform::UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(Platform::CurrentUser(), settings, key.put(), &created), Err::Success);

    for (const WineVersion& expected : kWineVersions) {
        SCOPED_TRACE(testing::Message() << "Wine version setting " << Narrow(expected.setting));
        const std::vector<uint8_t> setting = Testing::StringBytes(expected.setting);
        ASSERT_EQ(Reg().SetValue(key.get(), L"Version", Platform::RegType::Sz, setting.data(), setting.size()),
                  Err::Success);
        (void)Fs().DeleteFile(output);
        ASSERT_EQ(RunQuietly(probe, L"\"" + probe + L"\" --gtest_filter=Win32VersionProbe.Report"), 0);

        std::string report;
        ASSERT_EQ(Platform::ReadWholeFile(output, &report), Err::Success);
        unsigned platform = 0, major = 0, minor = 0, build = 0, spMajor = 0;
        int extended = 0;
        char servicePack[128] = {};
        ASSERT_GE(std::sscanf(report.c_str(), "%u %u %u %u %u %d|%127[^\n]", &platform, &major, &minor, &build,
                              &spMajor, &extended, servicePack),
                  6)
            << report;
        EXPECT_EQ(platform, 2u);
        EXPECT_EQ(major, expected.major);
        EXPECT_EQ(minor, expected.minor);
        if (expected.build != 0) {
            EXPECT_EQ(build, expected.build);
        } else {
            EXPECT_GE(build, 10240u);
        }
        EXPECT_EQ(extended, 1);
        EXPECT_STREQ(servicePack, expected.servicePack);
        EXPECT_EQ(spMajor, expected.servicePack[0] ? static_cast<unsigned>(expected.servicePack[13] - '0') : 0u);
    }
}

}  // namespace
