// Paths beyond the classic 260-character limit: the backend adds the
// extended-length prefix itself, so callers keep passing plain paths.
#include <gtest/gtest.h>

#include <string>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/platform/win32/LongPath.h"
#include "tests/support/Scratch.h"

namespace {

using Platform::Win32::ExtendedPath;
using Platform::Win32::kLongPathThreshold;

TEST(Win32LongPath, ShortPathsStayAsTheyAre)
{
    EXPECT_EQ(ExtendedPath(L"C:\\Windows\\system32\\..\\notepad.exe"), L"C:\\Windows\\system32\\..\\notepad.exe");
    EXPECT_EQ(ExtendedPath(L""), L"");
}

TEST(Win32LongPath, LongDrivePathGetsThePrefixAndIsNormalisedFirst)
{
    const std::wstring level(100, L'a');
    const std::wstring path = L"C:\\" + level + L"/" + level + L"\\.\\skipped\\..\\" + level + L"\\file.txt";
    ASSERT_GE(path.size(), kLongPathThreshold);
    EXPECT_EQ(ExtendedPath(path), L"\\\\?\\C:\\" + level + L"\\" + level + L"\\" + level + L"\\file.txt");
}

TEST(Win32LongPath, LongNetworkPathGetsTheUncPrefix)
{
    const std::wstring path = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(ExtendedPath(path), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'));
}

TEST(Win32LongPath, PrefixedAndRelativePathsAreLeftAlone)
{
    const std::wstring tail(300, L'c');
    EXPECT_EQ(ExtendedPath(L"\\\\?\\C:\\" + tail), L"\\\\?\\C:\\" + tail);
    EXPECT_EQ(ExtendedPath(L"\\\\.\\pipe\\" + tail), L"\\\\.\\pipe\\" + tail);
    EXPECT_EQ(ExtendedPath(L"relative\\" + tail), L"relative\\" + tail);
}

TEST(Win32LongPath, ThresholdIsWhereCreateDirectoryStops)
{
    const std::wstring shortest = L"C:\\" + std::wstring(kLongPathThreshold - 4, L'd');
    EXPECT_EQ(ExtendedPath(shortest), shortest);  // 247 characters
    EXPECT_EQ(ExtendedPath(shortest + L"e"), L"\\\\?\\" + shortest + L"e");
}

class Win32LongPathFiles : public Testing::ScratchTest {};

// A chain of folders well past 260 characters, a file at its end, and every
// operation the helpers use on it, all with plain paths.
TEST_F(Win32LongPathFiles, DeepFolderChainWorksEndToEnd)
{
    Platform::IFileSystem& fs = Fs();
    std::vector<std::wstring> levels;
    std::wstring folder = ScratchFolder();
    for (int i = 0; i < 6; ++i) {
        folder += L"\\" + std::wstring(60, static_cast<wchar_t>(L'k' + i));
        ASSERT_EQ(fs.CreateDirectory(folder), Err::Success) << folder.size();
        levels.push_back(folder);
    }
    ASSERT_GT(folder.size(), 360u);
    EXPECT_EQ(fs.CreateDirectory(folder), Err::AlreadyExists);

    const std::wstring file = folder + L"\\data.bin";
    const std::string bytes = "bytes at the end of a long path";
    {
        Platform::UniqueFile handle;
        ASSERT_EQ(fs.CreateFile(file, Platform::FileAccess::Write, Platform::Disposition::CreateNew, handle.put()),
                  Err::Success);
        uint32_t written = 0;
        ASSERT_EQ(fs.WriteFile(handle.get(), bytes.data(), static_cast<uint32_t>(bytes.size()), &written),
                  Err::Success);
        EXPECT_EQ(written, bytes.size());
        EXPECT_EQ(fs.FlushFile(handle.get()), Err::Success);
    }

    Platform::FileInfo info;
    ASSERT_EQ(fs.GetFileInfo(file, &info), Err::Success);
    EXPECT_EQ(info.size, bytes.size());
    EXPECT_EQ(info.attributes & Platform::FileAttr::Directory, 0u);
    EXPECT_EQ(ReadFile(file), bytes);

    {
        Platform::UniqueFind find;
        Platform::FindData found;
        ASSERT_EQ(fs.FindFirst(folder + L"\\*.bin", &found, find.put()), Err::Success);
        EXPECT_EQ(found.name, L"data.bin");
        EXPECT_EQ(found.size, bytes.size());
        EXPECT_EQ(fs.FindNext(find.get(), &found), Err::NoMoreFiles);
    }

    const std::wstring renamed = folder + L"\\renamed.bin";
    ASSERT_EQ(fs.MoveFile(file, renamed, false), Err::Success);
    EXPECT_EQ(fs.GetFileInfo(file, &info), Err::FileNotFound);
    ASSERT_EQ(fs.SetFileAttributes(renamed, Platform::FileAttr::ReadOnly), Err::Success);
    EXPECT_EQ(fs.DeleteFile(renamed), Err::AccessDenied);
    ASSERT_EQ(fs.SetFileAttributes(renamed, Platform::FileAttr::Normal), Err::Success);
    ASSERT_EQ(fs.DeleteFile(renamed), Err::Success);

    EXPECT_EQ(fs.RemoveDirectory(levels[4]), Err::DirNotEmpty);
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        ASSERT_EQ(fs.RemoveDirectory(*level), Err::Success) << level->size();
    }
    EXPECT_EQ(fs.GetFileInfo(levels[0], &info), Err::FileNotFound);
}

}  // namespace
