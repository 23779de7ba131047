#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

#include "core/crypto/Md5.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/FileDigest.h"
#include "core/system/Files.h"
#include "core/system/Folders.h"
#include "core/system/InUseRetry.h"
#include "tests/core/system_test_support.h"

namespace {

using Sys::Recursive;
using Sys::Wipe;
using Testing::CountingTracer;
namespace Code = RTI::TraceCode;

class SystemFiles : public Testing::SystemTest {
protected:
    uint32_t Attributes(std::wstring_view path)
    {
        Platform::FileInfo info;
        return Fs().GetFileInfo(path, &info) == 0 ? info.attributes : Platform::FileAttr::Invalid;
    }
    uint64_t Size(std::wstring_view path)
    {
        Platform::FileInfo info;
        EXPECT_EQ(Fs().GetFileInfo(path, &info), 0u);
        return info.size;
    }
    // Writes a file below the scratch folder, creating its folders first.
    void Put(std::wstring_view relative, std::string_view bytes)
    {
        const std::wstring path = PathOf(relative);
        if (size_t slash = path.rfind(L'\\'); slash != std::wstring::npos) {
            MakeFolder(path.substr(0, slash));
        }
        WriteFile(path, bytes);
    }
    void MakeReadOnly(std::wstring_view path)
    {
        ASSERT_EQ(Fs().SetFileAttributes(path, Platform::FileAttr::ReadOnly | Platform::FileAttr::Hidden), 0u);
    }
};

// ------------------------------------------------------------------ folders

TEST_F(SystemFiles, CreateFolderPathCreatesEveryLevelAndAcceptsExistingOnes)
{
    const std::wstring path = PathOf(L"one\\two\\three");
    EXPECT_EQ(Sys::CreateFolderPath(path), 0u);
    EXPECT_TRUE(Attributes(path) & Platform::FileAttr::Directory);
    EXPECT_EQ(Sys::CreateFolderPath(path), 0u);
    EXPECT_EQ(Sys::CreateFolderPath(path + L"\\"), 0u);
}

TEST_F(SystemFiles, CreateFolderPathFailsOnAFileInTheWay)
{
    Put(L"file", "x");
    EXPECT_NE(Sys::CreateFolderPath(PathOf(L"file")), 0u);
    EXPECT_NE(Sys::CreateFolderPath(PathOf(L"file\\below")), 0u);
}

TEST_F(SystemFiles, CreateParentFoldersStopsBeforeTheFileNameAndSkipsRepeatedBackslashes)
{
    const std::wstring file = ScratchFolder() + L"\\a\\\\b\\file.txt";
    EXPECT_EQ(Sys::CreateParentFolders(file), 0u);
    EXPECT_TRUE(Attributes(PathOf(L"a\\b")) & Platform::FileAttr::Directory);
    EXPECT_EQ(Attributes(PathOf(L"a\\b\\file.txt")), Platform::FileAttr::Invalid);
    EXPECT_EQ(Sys::CreateParentFolders(L"no-backslash.txt"), 0u);
}

TEST(SystemFolders, JoinPathNeverDoublesABackslash)
{
    EXPECT_EQ(Sys::JoinPath(L"C:\\dir", L"x"), L"C:\\dir\\x");
    EXPECT_EQ(Sys::JoinPath(L"C:\\", L"x"), L"C:\\x");
    EXPECT_EQ(Sys::JoinPath(L"", L"x"), L"x");
}

// ---------------------------------------------------------------- searches

TEST_F(SystemFiles, FileExistsWithoutPatternTestsThePathItself)
{
    Put(L"f.txt", "x");
    EXPECT_TRUE(Sys::FileExists(PathOf(L"f.txt"), L"", Recursive::No, nullptr));
    EXPECT_FALSE(Sys::FileExists(ScratchFolder(), L"", Recursive::No, nullptr));
    EXPECT_FALSE(Sys::FileExists(PathOf(L"missing"), L"", Recursive::No, nullptr));
}

TEST_F(SystemFiles, FileExistsIgnoresFoldersThatMatch)
{
    MakeFolder(PathOf(L"old.arch"));
    EXPECT_FALSE(Sys::FileExists(ScratchFolder(), L"*.arch", Recursive::No, nullptr));
    Put(L"123.arch", "");
    EXPECT_TRUE(Sys::FileExists(ScratchFolder(), L"*.arch", Recursive::No, nullptr));
    EXPECT_TRUE(Sys::FileExists(ScratchFolder() + L"\\", L"*.ARCH", Recursive::No, nullptr));
}

TEST_F(SystemFiles, FileExistsSearchesSubfoldersOnlyWhenRecursive)
{
    Put(L"x\\y\\deep.log", "x");
    EXPECT_FALSE(Sys::FileExists(ScratchFolder(), L"*.log", Recursive::No, nullptr));
    EXPECT_TRUE(Sys::FileExists(ScratchFolder(), L"*.log", Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::FileExists(PathOf(L"missing"), L"*.log", Recursive::Yes, nullptr));
    auto cancel = SetEvent();
    EXPECT_FALSE(Sys::FileExists(ScratchFolder(), L"*.log", Recursive::Yes, cancel.get()));
}

// "*.htm" must not catch ".html" files, whatever the short names say.
TEST_F(SystemFiles, WildcardsMatchLongNamesOnly)
{
    Put(L"page.html", "x");
    EXPECT_FALSE(Sys::FileExists(ScratchFolder(), L"*.htm", Recursive::No, nullptr));
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*.htm", Recursive::No, Wipe::No, nullptr, nullptr), 0u);
    EXPECT_TRUE(Exists(PathOf(L"page.html")));
}

TEST_F(SystemFiles, FolderExistsMatchesSubfolderNames)
{
    MakeFolder(PathOf(L"a\\Cache"));
    Put(L"CacheFile", "x");
    EXPECT_TRUE(Sys::FolderExists(ScratchFolder(), L"", Recursive::No, nullptr));
    EXPECT_FALSE(Sys::FolderExists(PathOf(L"CacheFile"), L"", Recursive::No, nullptr));
    EXPECT_FALSE(Sys::FolderExists(ScratchFolder(), L"Cache*", Recursive::No, nullptr));
    EXPECT_TRUE(Sys::FolderExists(ScratchFolder(), L"cache", Recursive::Yes, nullptr));
    EXPECT_TRUE(Sys::FolderExists(PathOf(L"a"), L"C?che", Recursive::No, nullptr));
}

TEST_F(SystemFiles, FilesEmptyLooksAtMatchingFilesAndThenBelow)
{
    Put(L"a.tmp", "");
    Put(L"b.txt", "data");
    Put(L"sub\\c.tmp", "");
    EXPECT_TRUE(Sys::FilesEmpty(ScratchFolder(), L"*.tmp", Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::FilesEmpty(ScratchFolder(), L"*", Recursive::No, nullptr));
    Put(L"sub\\deeper\\d.tmp", "data");
    EXPECT_TRUE(Sys::FilesEmpty(ScratchFolder(), L"*.tmp", Recursive::No, nullptr));
    EXPECT_FALSE(Sys::FilesEmpty(ScratchFolder(), L"*.tmp", Recursive::Yes, nullptr));
    auto cancel = SetEvent();
    EXPECT_TRUE(Sys::FilesEmpty(ScratchFolder(), L"*.tmp", Recursive::Yes, cancel.get()));
}

// ----------------------------------------------------------------- removal

TEST_F(SystemFiles, ClearFileEmptiesAReadOnlyFileAndClearsItsAttributes)
{
    const std::wstring path = PathOf(L"locked.txt");
    WriteFile(path, "content");
    MakeReadOnly(path);
    CountingTracer tracer;
    EXPECT_EQ(Sys::ClearFile(path, Wipe::No, &tracer, nullptr), 0u);
    EXPECT_EQ(Size(path), 0u);
    EXPECT_EQ(Attributes(path) & (Platform::FileAttr::ReadOnly | Platform::FileAttr::Hidden), 0u);
    EXPECT_EQ(tracer.Count(Code::FileCleared), 1);
}

TEST_F(SystemFiles, ClearFileWithWipeEndsEmpty)
{
    const std::wstring path = PathOf(L"secret.bin");
    WriteFile(path, std::string(10000, 's'));
    EXPECT_EQ(Sys::ClearFile(path, Wipe::Yes, nullptr, nullptr), 0u);
    EXPECT_EQ(Size(path), 0u);
}

TEST_F(SystemFiles, ClearFileStopsBeforeTheFirstBlockWhenCancelled)
{
    const std::wstring path = PathOf(L"secret.bin");
    WriteFile(path, std::string(10000, 's'));
    auto cancel = SetEvent();
    CountingTracer tracer;
    EXPECT_EQ(Sys::ClearFile(path, Wipe::Yes, &tracer, cancel.get()), Err::Cancelled);
    EXPECT_EQ(ReadFile(path), std::string(10000, 's'));
    EXPECT_EQ(tracer.Count(Code::FileCleared), 0);
}

TEST_F(SystemFiles, ClearFileOfAMissingFileOrAFolderFails)
{
    EXPECT_EQ(Sys::ClearFile(PathOf(L"missing"), Wipe::No, nullptr, nullptr), Err::FileNotFound);
    EXPECT_NE(Sys::ClearFile(ScratchFolder(), Wipe::No, nullptr, nullptr), 0u);
}

TEST_F(SystemFiles, RemoveFileDeletesAReadOnlyFileAndReportsItsSize)
{
    const std::wstring path = PathOf(L"gone.txt");
    WriteFile(path, std::string(1234, 'x'));
    MakeReadOnly(path);
    CountingTracer tracer;
    EXPECT_EQ(Sys::RemoveFile(path, Wipe::Yes, &tracer, nullptr), 0u);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(tracer.Count(Code::FileRemoved), 1);
    EXPECT_EQ(tracer.SumOfFirsts(Code::FileRemoved), 1234);
    EXPECT_EQ(Sys::RemoveFile(path, Wipe::No, &tracer, nullptr), Err::FileNotFound);
    EXPECT_EQ(tracer.Count(Code::FileRemoved), 1);
}

TEST_F(SystemFiles, DeleteFilesNeedsAFolder)
{
    EXPECT_EQ(Sys::DeleteFiles(L"", L"*", Recursive::Yes, Wipe::No, nullptr, nullptr), Err::InvalidParameter);
}

TEST_F(SystemFiles, DeleteFilesRemovesMatchingFilesAtEveryDepthButNoFolders)
{
    Put(L"a.tmp", "1");
    Put(L"keep.txt", "2");
    Put(L"s\\b.tmp", "33");
    Put(L"s\\t\\c.TMP", "444");
    MakeFolder(PathOf(L"folder.tmp"));
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*.tmp", Recursive::Yes, Wipe::No, &tracer, nullptr), 0u);
    EXPECT_FALSE(Exists(PathOf(L"a.tmp")));
    EXPECT_FALSE(Exists(PathOf(L"s\\b.tmp")));
    EXPECT_FALSE(Exists(PathOf(L"s\\t\\c.TMP")));
    EXPECT_TRUE(Exists(PathOf(L"keep.txt")));
    EXPECT_TRUE(Exists(PathOf(L"folder.tmp")));
    EXPECT_EQ(tracer.Count(Code::FileRemoved), 3);
    EXPECT_EQ(tracer.SumOfFirsts(Code::FileRemoved), 6);
}

TEST_F(SystemFiles, DeleteFilesWithoutRecursionStaysInTheFolder)
{
    Put(L"a.tmp", "1");
    Put(L"s\\b.tmp", "2");
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*.tmp", Recursive::No, Wipe::No, nullptr, nullptr), 0u);
    EXPECT_FALSE(Exists(PathOf(L"a.tmp")));
    EXPECT_TRUE(Exists(PathOf(L"s\\b.tmp")));
}

TEST_F(SystemFiles, DeleteFilesReturnsCancelledAndKeepsTheFiles)
{
    Put(L"a.tmp", "1");
    auto cancel = SetEvent();
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*.tmp", Recursive::Yes, Wipe::No, nullptr, cancel.get()),
              Err::Cancelled);
    EXPECT_TRUE(Exists(PathOf(L"a.tmp")));
}

TEST_F(SystemFiles, IsExecutableFileNeedsSixtyFourBytesStartingWithMz)
{
    Put(L"good.exe", "MZ" + std::string(62, '\0'));
    Put(L"short.exe", "MZ" + std::string(61, '\0'));
    Put(L"text.exe", "ZM" + std::string(100, '\0'));
    EXPECT_TRUE(Sys::IsExecutableFile(PathOf(L"good.exe")));
    EXPECT_FALSE(Sys::IsExecutableFile(PathOf(L"short.exe")));
    EXPECT_FALSE(Sys::IsExecutableFile(PathOf(L"text.exe")));
    EXPECT_FALSE(Sys::IsExecutableFile(PathOf(L"missing.exe")));
    EXPECT_FALSE(Sys::IsExecutableFile(ScratchFolder()));
}

// ------------------------------------------------------------------ digest

TEST_F(SystemFiles, DigestFileMatchesTheDigestOfTheBytes)
{
    std::string bytes(100000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = char(i * 31 + (i >> 9));
    }
    Put(L"data.bin", bytes);
    Crypto::Md5::Digest digest{};
    ASSERT_EQ(Sys::DigestFile(PathOf(L"data.bin"), &digest, nullptr), 0u);
    EXPECT_EQ(digest, Crypto::Md5::Of(bytes.data(), bytes.size()));

    Put(L"abc.txt", "abc");
    ASSERT_EQ(Sys::DigestFile(PathOf(L"abc.txt"), &digest, nullptr), 0u);
    EXPECT_EQ(Crypto::DigestToHex(digest), L"900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(SystemFiles, DigestFileFailuresLeaveTheDigestAlone)
{
    Crypto::Md5::Digest digest{};
    digest[0] = 0x42;
    EXPECT_EQ(Sys::DigestFile(PathOf(L"missing"), &digest, nullptr), Err::BadFormat);
    Put(L"abc.txt", "abc");
    auto cancel = SetEvent();
    EXPECT_EQ(Sys::DigestFile(PathOf(L"abc.txt"), &digest, cancel.get()), Err::Cancelled);
    EXPECT_EQ(digest[0], 0x42);
}

#ifndef _WIN32
using Platform::Portable::FaultSubject;
using Platform::Portable::Operation;
using Platform::Portable::Protection;

// Counts the calls of one operation on one path without failing any.
struct CallCounter {
    std::shared_ptr<int> calls = std::make_shared<int>(0);
    Platform::Portable::FaultPredicate On(std::wstring path) const
    {
        return [calls = calls, path](const FaultSubject& s) {
            if (RTI::EqualsIgnoreCase(s.path, path)) {
                ++*calls;
            }
            return false;
        };
    }
};

// 10000 bytes are wiped as 4096 + 4096 + 1808: three writes, the third of
// which still fits the file (a failed flush leaves the wiped, untruncated file).
TEST_F(SystemFiles, ClearFileWipesInBlocksOf4096Bytes)
{
    const std::wstring path = PathOf(L"secret.bin");
    WriteFile(path, std::string(10000, 's'));
    CallCounter writes;
    Portable().Faults().FailWhen(Operation::WriteFile, writes.On(path), 0);
    Portable().Faults().FailWhen(Operation::FlushFile, path, Err::WriteFault, 1);
    EXPECT_EQ(Sys::ClearFile(path, Wipe::Yes, nullptr, nullptr), Err::WriteFault);
    EXPECT_EQ(*writes.calls, 3);
    EXPECT_EQ(ReadFile(path), std::string(10000, '\0'));

    EXPECT_EQ(Sys::ClearFile(path, Wipe::Yes, nullptr, nullptr), 0u);
    EXPECT_EQ(*writes.calls, 6);
    EXPECT_EQ(Size(path), 0u);
}

TEST_F(SystemFiles, ClearFileStopsAtTheBlockWhereItFails)
{
    const std::wstring path = PathOf(L"secret.bin");
    WriteFile(path, std::string(10000, 's'));
    auto calls = std::make_shared<int>(0);
    Portable().Faults().FailWhen(
        Operation::WriteFile, [calls](const FaultSubject&) { return ++*calls == 3; }, Err::DiskFull);
    EXPECT_EQ(Sys::ClearFile(path, Wipe::Yes, nullptr, nullptr), Err::DiskFull);
    EXPECT_EQ(ReadFile(path), std::string(8192, '\0') + std::string(1808, 's'));
}

TEST_F(SystemFiles, RemoveFileWipesBeforeDeleting)
{
    const std::wstring path = PathOf(L"gone.bin");
    WriteFile(path, std::string(5000, 's'));
    CallCounter writes;
    Portable().Faults().FailWhen(Operation::WriteFile, writes.On(path), 0);
    Portable().Faults().FailWhen(Operation::DeleteFile, path, Err::SharingViolation, 1);
    EXPECT_EQ(Sys::RemoveFile(path, Wipe::Yes, nullptr, nullptr), Err::SharingViolation);
    EXPECT_EQ(*writes.calls, 2);
    EXPECT_EQ(ReadFile(path), std::string(5000, '\0'));
}

TEST_F(SystemFiles, RemoveFileWithoutWipeWritesNothing)
{
    const std::wstring path = PathOf(L"gone.bin");
    WriteFile(path, std::string(5000, 's'));
    CallCounter writes;
    Portable().Faults().FailWhen(Operation::WriteFile, writes.On(path), 0);
    EXPECT_EQ(Sys::RemoveFile(path, Wipe::No, nullptr, nullptr), 0u);
    EXPECT_EQ(*writes.calls, 0);
}

// A cleanup must never reach outside its folder through a junction.
TEST_F(SystemFiles, RecursiveWalksNeverEnterAJunction)
{
    Put(L"outside\\precious.tmp", "keep me");
    Put(L"clean\\a.tmp", "x");
    Put(L"clean\\sub\\b.tmp", "x");
    ASSERT_EQ(Portable().Files().CreateJunction(PathOf(L"clean\\link"), PathOf(L"outside")), 0u);
    ASSERT_TRUE(Exists(PathOf(L"clean\\link\\precious.tmp")));

    EXPECT_FALSE(Sys::FileExists(PathOf(L"clean\\sub"), L"precious.tmp", Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::FileExists(PathOf(L"clean"), L"precious.tmp", Recursive::Yes, nullptr));
    EXPECT_FALSE(Sys::FolderExists(PathOf(L"clean"), L"outside", Recursive::Yes, nullptr));
    EXPECT_TRUE(Sys::FolderExists(PathOf(L"clean"), L"link", Recursive::No, nullptr));
    Put(L"clean\\empty.tmp", "");
    EXPECT_FALSE(Sys::FilesEmpty(PathOf(L"clean"), L"*.tmp", Recursive::Yes, nullptr));
    EXPECT_EQ(Sys::DeleteFiles(PathOf(L"clean"), L"a.tmp", Recursive::Yes, Wipe::No, nullptr, nullptr), 0u);
    EXPECT_TRUE(Sys::FilesEmpty(PathOf(L"clean"), L"*.tmp", Recursive::No, nullptr));

    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteFiles(PathOf(L"clean"), L"*", Recursive::Yes, Wipe::Yes, &tracer, nullptr), 0u);
    EXPECT_EQ(tracer.Count(Code::FileRemoved), 2);  // sub\b.tmp and empty.tmp
    EXPECT_EQ(ReadFile(PathOf(L"outside\\precious.tmp")), "keep me");
}

TEST_F(SystemFiles, DeleteFilesTriesEveryFileAndReturnsTheFirstFailure)
{
    Put(L"a.tmp", "1");
    Put(L"b.tmp", "2");
    Put(L"c.tmp", "3");
    ASSERT_EQ(Portable().Files().SetProtection(PathOf(L"b.tmp"), Protection::ReadOnly), 0u);
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*.tmp", Recursive::No, Wipe::No, &tracer, nullptr),
              Err::AccessDenied);
    EXPECT_FALSE(Exists(PathOf(L"a.tmp")));
    EXPECT_TRUE(Exists(PathOf(L"b.tmp")));
    EXPECT_FALSE(Exists(PathOf(L"c.tmp")));
    EXPECT_EQ(tracer.Count(Code::FileRemoved), 2);
}

TEST_F(SystemFiles, DeleteFilesPassesOnAFailureBelowAndStillCleansTheFolder)
{
    Put(L"s\\locked.tmp", "1");
    Put(L"top.tmp", "2");
    Portable().Faults().FailWhen(Operation::DeleteFile, PathOf(L"s\\locked.tmp"), Err::SharingViolation);
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*.tmp", Recursive::Yes, Wipe::No, nullptr, nullptr),
              Err::SharingViolation);
    EXPECT_FALSE(Exists(PathOf(L"top.tmp")));
}

TEST_F(SystemFiles, DeleteFilesOfAFolderThatCannotBeListedFails)
{
    Put(L"s\\a.tmp", "1");
    ASSERT_EQ(Portable().Files().SetProtection(PathOf(L"s"), Protection::NoAccess), 0u);
    EXPECT_EQ(Sys::DeleteFiles(PathOf(L"s"), L"*.tmp", Recursive::No, Wipe::No, nullptr, nullptr), Err::AccessDenied);
    EXPECT_EQ(Sys::DeleteFiles(PathOf(L"missing"), L"*.tmp", Recursive::No, Wipe::No, nullptr, nullptr),
              Err::PathNotFound);
}

TEST_F(SystemFiles, CreateFolderPathFromTheDriveRoot)
{
    EXPECT_EQ(Sys::CreateFolderPath(L"C:\\Level1\\Level2"), 0u);
    EXPECT_TRUE(Attributes(L"C:\\Level1\\Level2") & Platform::FileAttr::Directory);
    EXPECT_EQ(Sys::CreateFolderPath(L"C:\\Level1\\Level2"), 0u);
    Portable().Files().AddShare(L"\\\\server\\share");
    EXPECT_EQ(Sys::CreateFolderPath(L"\\\\server\\share\\dir\\sub"), 0u);
    EXPECT_TRUE(Attributes(L"\\\\server\\share\\dir\\sub") & Platform::FileAttr::Directory);
}

TEST_F(SystemFiles, CreateFolderPathReturnsTheFirstRealError)
{
    Portable().Faults().FailWhen(Operation::CreateDirectory, PathOf(L"a"), Err::AccessDenied);
    EXPECT_EQ(Sys::CreateFolderPath(PathOf(L"a\\b")), Err::AccessDenied);
}

TEST_F(SystemFiles, DigestFilePassesOnAReadError)
{
    Put(L"data.bin", std::string(70000, 'd'));
    auto calls = std::make_shared<int>(0);
    Portable().Faults().FailWhen(
        Operation::ReadFile, [calls](const FaultSubject&) { return ++*calls == 2; }, Err::ReadFault);
    Crypto::Md5::Digest digest{};
    EXPECT_EQ(Sys::DigestFile(PathOf(L"data.bin"), &digest, nullptr), Err::ReadFault);
}

TEST_F(SystemFiles, FileHelpersLeaveNothingOpen)
{
    Put(L"s\\a.tmp", "1");
    Put(L"b.exe", "MZ" + std::string(100, 'x'));
    Crypto::Md5::Digest digest{};
    (void)Sys::FileExists(ScratchFolder(), L"*.none", Recursive::Yes, nullptr);
    (void)Sys::FilesEmpty(ScratchFolder(), L"*", Recursive::Yes, nullptr);
    (void)Sys::IsExecutableFile(PathOf(L"b.exe"));
    EXPECT_EQ(Sys::DigestFile(PathOf(L"b.exe"), &digest, nullptr), 0u);
    EXPECT_EQ(Sys::ClearFile(PathOf(L"b.exe"), Wipe::Yes, nullptr, nullptr), 0u);
    EXPECT_EQ(Sys::DeleteFiles(ScratchFolder(), L"*", Recursive::Yes, Wipe::Yes, nullptr, nullptr), 0u);
    EXPECT_EQ(Portable().Files().OpenHandleCount(), 0u);
}
#endif

// A file another program holds is tried again a bounded number of times;
// any other result, and a cancel, end the tries at once.
TEST(RetryWhileInUse, TriesAgainOnlyWhileTheFileIsInUseAndNoLongerThanTheWaitsAllow)
{
    int calls = 0;
    auto busyTimes = [&calls](int busy, Platform::Status busyError) {
        calls = 0;
        return [&calls, busy, busyError] { return ++calls <= busy ? busyError : Err::Success; };
    };
    EXPECT_EQ(Sys::RetryWhileInUse(nullptr, busyTimes(2, Err::SharingViolation)), Err::Success);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(Sys::RetryWhileInUse(nullptr, busyTimes(1, Err::LockViolation)), Err::Success);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Sys::RetryWhileInUse(nullptr, busyTimes(1, Err::AccessDenied)), Err::AccessDenied);
    EXPECT_EQ(calls, 1) << "only a file in use is worth waiting for";

    EXPECT_EQ(Sys::RetryWhileInUse(nullptr, busyTimes(1000, Err::SharingViolation)), Err::SharingViolation);
    EXPECT_EQ(calls, static_cast<int>(std::size(Sys::kInUseWaits)) + 1);
}

TEST(RetryWhileInUse, ACancelSetWhileTheFileIsInUseEndsTheTries)
{
    auto& threads = Platform::Current().Threads();
    Platform::UniqueEvent cancel(threads.CreateEvent(true, false));
    int calls = 0;
    const auto step = [&] {
        ++calls;
        threads.SetEvent(cancel.get());
        return Err::SharingViolation;
    };
    EXPECT_EQ(Sys::RetryWhileInUse(cancel.get(), step), Err::Cancelled);
    EXPECT_EQ(calls, 1);
}

}  // namespace
