// The Windows file backend where Windows differs from a plain file system:
// the System32 redirection of 32-bit processes, 8.3 short names in
// wildcard searches, and folder links (Linux symbolic links under Wine).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"
#include "tests/core/win32/WineSupport.h"
#include "tests/support/Scratch.h"

namespace {

using Platform::FileAccess;
using Platform::FindData;
using Platform::UniqueFile;
using Platform::UniqueFind;

constexpr uint16_t kMachineI386 = 0x14C;
constexpr uint16_t kMachineAmd64 = 0x8664;

// The machine field of a PE file's header read from its first 4 KB; 0 when
// the bytes are not a PE file.
uint16_t MachineOf(const std::vector<uint8_t>& head)
{
    if (head.size() < 0x40 || head[0] != 'M' || head[1] != 'Z') {
        return 0;
    }
    const uint32_t pe = head[0x3C] | (head[0x3D] << 8) | (head[0x3E] << 16) | (static_cast<uint32_t>(head[0x3F]) << 24);
    if (pe + 6 > head.size() || head[pe] != 'P' || head[pe + 1] != 'E') {
        return 0;
    }
    return static_cast<uint16_t>(head[pe + 4] | (head[pe + 5] << 8));
}

std::vector<uint8_t> HeadThroughBackend(const std::wstring& path)
{
    Platform::IFileSystem& fs = Platform::Current().Files();
    UniqueFile file;
    if (fs.CreateFile(path, FileAccess::Read, Platform::Disposition::OpenExisting, file.put()) != Err::Success) {
        return {};
    }
    std::vector<uint8_t> head(4096);
    uint32_t read = 0;
    if (fs.ReadFile(file.get(), head.data(), static_cast<uint32_t>(head.size()), &read) != Err::Success) {
        return {};
    }
    head.resize(read);
    return head;
}

std::vector<uint8_t> HeadThroughPlainApi(const std::wstring& path)
{
    Platform::Win32::UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<uint8_t> head(4096);
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) {
        return {};
    }
    head.resize(read);
    return head;
}

// A file item aimed at System32 must act on the real System32: the 64-bit
// kernel32.dll there, not the 32-bit one in SysWOW64. Around the call only:
// the same thread's plain calls are redirected again right after.
TEST(Win32FileRedirection, System32IsTheRealOneAndOnlyDuringTheCall)
{
    const std::wstring kernel = Platform::Current().System().SystemDirectory() + L"\\kernel32.dll";
    const bool process64 = sizeof(void*) == 8;
    const bool windows64 = process64 || Platform::Win32::RunsUnderWow64();
    const uint16_t real = windows64 ? kMachineAmd64 : kMachineI386;
    const uint16_t redirected = process64 ? kMachineAmd64 : kMachineI386;

    EXPECT_EQ(MachineOf(HeadThroughBackend(kernel)), real);
    EXPECT_EQ(MachineOf(HeadThroughPlainApi(kernel)), redirected);
    Platform::FileInfo info;
    ASSERT_EQ(Platform::Current().Files().GetFileInfo(kernel, &info), Err::Success);
    EXPECT_EQ(MachineOf(HeadThroughPlainApi(kernel)), redirected);
}

// The pause keeps the thread's last error, so a failed call reports its own.
TEST(Win32FileRedirection, FailuresKeepTheirErrorCode)
{
    Platform::FileInfo info;
    const std::wstring system = Platform::Current().System().SystemDirectory();
    EXPECT_EQ(Platform::Current().Files().GetFileInfo(system + L"\\no-such-file.corvane", &info), Err::FileNotFound);
    EXPECT_EQ(Platform::Current().Files().GetFileInfo(system + L"\\no-such-folder\\file", &info), Err::PathNotFound);
}

class Win32Files : public Testing::ScratchTest {
protected:
    std::vector<std::wstring> Find(const std::wstring& pattern, Platform::Status* first = nullptr)
    {
        std::vector<std::wstring> names;
        UniqueFind find;
        FindData data;
        Platform::Status s = Fs().FindFirst(pattern, &data, find.put());
        if (first) {
            *first = s;
        }
        while (s == Err::Success) {
            names.push_back(data.name);
            s = Fs().FindNext(find.get(), &data);
        }
        EXPECT_TRUE(s == Err::NoMoreFiles || s == Err::FileNotFound || s == Err::PathNotFound) << s;
        return names;
    }
};

// "*.htm" also matches "page.html" through its short name "PAGE~1.HTM" when
// the system keeps short names; only long names count here.
TEST_F(Win32Files, WildcardsMatchLongNamesOnly)
{
    WriteFile(PathOf(L"page.htm"), "a");
    WriteFile(PathOf(L"page.html"), "b");
    WriteFile(PathOf(L"longername.txt"), "c");
    EXPECT_EQ(Find(PathOf(L"*.htm")), std::vector<std::wstring>{L"page.htm"});
    EXPECT_EQ(Find(PathOf(L"LONGER*.TXT")), std::vector<std::wstring>{L"longername.txt"});

    // A short-name form finds nothing, as no long name matches it.
    Platform::Status first = 0;
    EXPECT_TRUE(Find(PathOf(L"LONGER~1.TXT"), &first).empty());
    EXPECT_EQ(first, Err::FileNotFound);
    EXPECT_EQ(Find(PathOf(L"missing\\*"), &first).size(), 0u);
    EXPECT_EQ(first, Err::PathNotFound);
}

// A path spelled with 8.3 names comes back in its long form, as the startup
// manager compares folders.
TEST_F(Win32Files, LongPathNamesReplaceShortNames)
{
    const std::wstring longFile = PathOf(L"A long folder name\\a long file name.txt");
    WriteFile(longFile, "x");
    std::wstring shortFile(1024, L'\0');
    const DWORD n = ::GetShortPathNameW(longFile.c_str(), shortFile.data(), static_cast<DWORD>(shortFile.size()));
    ASSERT_GT(n, 0u);
    shortFile.resize(n);
    std::wstring got;
    struct Case {
        std::wstring asked;
        Platform::Status status;
    };
    const Case cases[] = {
        {shortFile, Err::Success},
        {longFile, Err::Success},
        {PathOf(L"A long folder name\\missing.txt"), Err::FileNotFound},
        {PathOf(L"missing\\missing.txt"), Err::FileNotFound},
    };
    for (const Case& c : cases) {
        got.clear();
        EXPECT_EQ(Fs().GetLongPathName(c.asked, &got), c.status);
        if (c.status == Err::Success) {
            EXPECT_EQ(::lstrcmpiW(got.c_str(), longFile.c_str()), 0);
        }
    }
}

TEST_F(Win32Files, DispositionsGiveTheWindowsErrors)
{
    const std::wstring path = PathOf(L"file.bin");
    UniqueFile file;
    EXPECT_EQ(Fs().CreateFile(path, FileAccess::Read, Platform::Disposition::OpenExisting, file.put()),
              Err::FileNotFound);
    EXPECT_EQ(Fs().CreateFile(path, FileAccess::Write, Platform::Disposition::TruncateExisting, file.put()),
              Err::FileNotFound);
    ASSERT_EQ(Fs().CreateFile(path, FileAccess::ReadWrite, Platform::Disposition::CreateNew, file.put()), Err::Success);
    // Shared for reading and writing: a second handle opens while the first is held.
    UniqueFile second;
    EXPECT_EQ(Fs().CreateFile(path, FileAccess::ReadWrite, Platform::Disposition::OpenExisting, second.put()),
              Err::Success);
    UniqueFile third;
    EXPECT_EQ(Fs().CreateFile(path, FileAccess::Write, Platform::Disposition::CreateNew, third.put()), Err::FileExists);

    uint32_t written = 0;
    ASSERT_EQ(Fs().WriteFile(file.get(), "0123456789", 10, &written), Err::Success);
    uint64_t position = 0;
    ASSERT_EQ(Fs().Seek(file.get(), -4, Platform::SeekOrigin::End, &position), Err::Success);
    EXPECT_EQ(position, 6u);
    ASSERT_EQ(Fs().SetEndOfFile(file.get()), Err::Success);
    uint64_t size = 0;
    ASSERT_EQ(Fs().GetFileSize(second.get(), &size), Err::Success);
    EXPECT_EQ(size, 6u);
    ASSERT_EQ(Fs().Seek(file.get(), 1, Platform::SeekOrigin::Begin, &position), Err::Success);
    char buffer[16] = {};
    uint32_t read = 0;
    ASSERT_EQ(Fs().ReadFile(file.get(), buffer, sizeof(buffer), &read), Err::Success);
    EXPECT_EQ(std::string(buffer, read), "12345");
    ASSERT_EQ(Fs().ReadFile(file.get(), buffer, sizeof(buffer), &read), Err::Success);
    EXPECT_EQ(read, 0u);
    file.reset();
    second.reset();

    ASSERT_EQ(Fs().CreateFile(path, FileAccess::Write, Platform::Disposition::TruncateExisting, file.put()),
              Err::Success);
    ASSERT_EQ(Fs().GetFileSize(file.get(), &size), Err::Success);
    EXPECT_EQ(size, 0u);
}

TEST_F(Win32Files, MoveReplacesOnlyWhenAsked)
{
    WriteFile(PathOf(L"from.txt"), "new");
    WriteFile(PathOf(L"to.txt"), "old");
    EXPECT_EQ(Fs().MoveFile(PathOf(L"from.txt"), PathOf(L"to.txt"), false), Err::AlreadyExists);
    EXPECT_EQ(ReadFile(PathOf(L"to.txt")), "old");
    ASSERT_EQ(Fs().MoveFile(PathOf(L"from.txt"), PathOf(L"to.txt"), true), Err::Success);
    EXPECT_EQ(ReadFile(PathOf(L"to.txt")), "new");
    EXPECT_FALSE(Exists(PathOf(L"from.txt")));
}

// Wine cannot make junctions or symbolic links from the Windows side
// (CreateSymbolicLinkW reports success and makes nothing), but shows a Linux
// symbolic link to a folder as a folder with FILE_ATTRIBUTE_REPARSE_POINT;
// the recursive walks rely on that attribute to stay out of such folders.
TEST_F(Win32Files, LinkedFolderCarriesTheReparsePointAttribute)
{
    if (!Testing::Wine::Running()) {
        GTEST_SKIP() << "the link is made from the Linux side, which only Wine offers";
    }
    MakeFolder(PathOf(L"target"));
    WriteFile(PathOf(L"target\\inside.txt"), "inside");
    const std::string unixFolder = Testing::Wine::UnixPath(ScratchFolder());
    ASSERT_FALSE(unixFolder.empty());
    ASSERT_TRUE(Testing::Wine::RunUnixProgram(L"/bin/ln", {"-s", unixFolder + "/target", unixFolder + "/link"}));
    ASSERT_TRUE(Testing::Wine::WaitUntil([&] { return Exists(PathOf(L"link")); }));
    // Removing the link from the Windows side is no use under Wine: with
    // content in the target, RemoveDirectoryW fails with 145; with an empty
    // target it removes the target and leaves the link. So Linux removes it.
    const Platform::ScopeExit unlink([&] {
        if (Testing::Wine::RunUnixProgram(L"/bin/rm", {unixFolder + "/link"})) {
            (void)Testing::Wine::WaitUntil([&] { return !Exists(PathOf(L"link")); });
        }
    });

    Platform::FileInfo info;
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"link"), &info), Err::Success);
    EXPECT_EQ(info.attributes & (Platform::FileAttr::Directory | Platform::FileAttr::ReparsePoint),
              Platform::FileAttr::Directory | Platform::FileAttr::ReparsePoint);
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"target"), &info), Err::Success);
    EXPECT_EQ(info.attributes & Platform::FileAttr::ReparsePoint, 0u);

    UniqueFind find;
    FindData data;
    ASSERT_EQ(Fs().FindFirst(PathOf(L"li*"), &data, find.put()), Err::Success);
    EXPECT_EQ(data.name, L"link");
    EXPECT_NE(data.attributes & Platform::FileAttr::ReparsePoint, 0u);
    // The link leads to the target's content.
    EXPECT_EQ(ReadFile(PathOf(L"link\\inside.txt")), "inside");
}

}  // namespace
