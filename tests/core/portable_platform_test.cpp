// What only the portable substitute has or does: fault injection, access
// control in place of security descriptors, junctions, the settable clock,
// the configurable system report, its own shell-link files, and the Windows
// behaviours that Wine (running as root on Linux) does not reproduce.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/platform/portable/ShellLinkFile.h"
#include "tests/support/Scratch.h"

namespace {

using namespace Platform;
using Portable::FaultSubject;
using Portable::Operation;
using Portable::Protection;
using Testing::StringBytes;

constexpr uint64_t kUnixEpoch = 116444736000000000ull;

class PortablePlatformTest : public Testing::ScratchTest {
protected:
    Status SetDword(KeyHandle key, std::wstring_view name, uint32_t v)
    {
        uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
        return Reg().SetValue(key, name, RegType::Dword, b, 4);
    }
    Status Open(const std::wstring& path, FileAccess access, Disposition disposition, UniqueFile* file)
    {
        return Fs().CreateFile(path, access, disposition, file->put());
    }
    std::vector<std::wstring> FindAll(const std::wstring& pattern)
    {
        std::vector<std::wstring> names;
        UniqueFind find;
        FindData data;
        for (Status s = Fs().FindFirst(pattern, &data, find.put()); s == Err::Success;
             s = Fs().FindNext(find.get(), &data)) {
            names.push_back(data.name);
        }
        return names;
    }
};

// ------------------------------------------------------------ fault injection

TEST_F(PortablePlatformTest, AFaultFailsTheChosenNumberOfCallsAndChangesNothing)
{
    Portable().Faults().FailWhen(Operation::SetValue, ScratchKeyFullPath(), Err::DiskFull, 2);
    EXPECT_EQ(SetDword(ScratchKey(), L"v", 1), Err::DiskFull);
    EXPECT_EQ(SetDword(ScratchKey(), L"v", 1), Err::DiskFull);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"", L"v", &type, &data), Err::FileNotFound) << "a failed call writes nothing";
    EXPECT_EQ(SetDword(ScratchKey(), L"v", 1), Err::Success) << "the fault is used up";
}

TEST_F(PortablePlatformTest, AFaultMatchesItsPathWithoutRegardToCaseAndOnlyItsOperation)
{
    WriteDword(L"Target", L"v", 1);
    Portable().Faults().FailWhen(Operation::OpenKey, L"hkcu\\" + ScratchKeyPath() + L"\\TARGET", Err::AccessDenied);
    EXPECT_FALSE(KeyExists(L"target"));
    EXPECT_FALSE(KeyExists(L"Target")) << "every time until cleared";
    EXPECT_TRUE(KeyExists(L"")) << "another path";
    UniqueKey key;
    bool created = false;
    EXPECT_EQ(Reg().CreateKey(ScratchKey(), L"Target", key.put(), &created), Err::Success) << "another operation";
    Portable().Faults().Clear();
    EXPECT_TRUE(KeyExists(L"Target"));
}

TEST_F(PortablePlatformTest, APredicateSeesTheValueNameAndAnyMatchesEveryOperation)
{
    Portable().Faults().FailWhen(
        Operation::Any, [](const FaultSubject& s) { return s.name == L"bad"; }, Err::WriteFault);
    EXPECT_EQ(SetDword(ScratchKey(), L"good", 1), Err::Success);
    EXPECT_EQ(SetDword(ScratchKey(), L"bad", 1), Err::WriteFault);
    EXPECT_EQ(Reg().DeleteValue(ScratchKey(), L"bad"), Err::WriteFault);
}

TEST_F(PortablePlatformTest, FileFaultsSeeThePathOfTheHandle)
{
    const std::wstring path = PathOf(L"f.bin");
    WriteFile(path, "abc");
    Portable().Faults().FailWhen(Operation::ReadFile, path, Err::ReadFault, 1);
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, &bytes), Err::ReadFault);
    EXPECT_EQ(ReadFile(path), "abc");
    Portable().Faults().FailWhen(
        Operation::MoveFile, [](const FaultSubject& s) { return s.path.ends_with(L"f.bin"); }, Err::AccessDenied);
    EXPECT_EQ(Fs().MoveFile(path, PathOf(L"g.bin"), false), Err::AccessDenied);
    EXPECT_TRUE(Exists(path));
}

// ------------------------------------------------------ access control (keys)

TEST_F(PortablePlatformTest, AReadOnlyKeyOpensForReadingOnly)
{
    WriteDword(L"locked\\child", L"v", 1);
    ASSERT_EQ(Portable().Registry().SetProtection(ScratchKey(), L"locked", Protection::ReadOnly), Err::Success);
    UniqueKey key;
    bool created = false;
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), L"locked", KeyAccess::Read, key.put()), Err::Success);
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), L"locked", KeyAccess::Change, key.put()), Err::AccessDenied);
    EXPECT_EQ(Reg().CreateKey(ScratchKey(), L"locked", key.put(), &created), Err::AccessDenied);
    EXPECT_EQ(Reg().CreateKey(ScratchKey(), L"locked\\new\\deeper", key.put(), &created), Err::AccessDenied);
    EXPECT_FALSE(KeyExists(L"locked\\new")) << "a refused create leaves no level behind";
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), L"locked\\child", KeyAccess::Change, key.put()), Err::Success)
        << "only the key itself is protected";
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"locked\\child"), Err::Success);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"locked"), Err::AccessDenied);
}

TEST_F(PortablePlatformTest, ProtectionDoesNotReachHandlesOpenedBefore)
{
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"k", key.put(), &created), Err::Success);
    ASSERT_EQ(Portable().Registry().SetProtection(ScratchKey(), L"k", Protection::NoAccess), Err::Success);
    EXPECT_EQ(SetDword(key.get(), L"v", 1), Err::Success);
    UniqueKey again;
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), L"k", KeyAccess::Read, again.put()), Err::AccessDenied);
    std::wstring name;
    EXPECT_EQ(Reg().EnumKey(ScratchKey(), 0, &name), Err::Success) << "the parent still lists it";
    EXPECT_EQ(Portable().Registry().SetProtection(ScratchKey(), L"missing", Protection::NoAccess), Err::FileNotFound);
}

TEST_F(PortablePlatformTest, CreatingBelowAReadHandleIsRefused)
{
    UniqueKey reader;
    ASSERT_EQ(Reg().OpenKey(ScratchRoot(), ScratchKeyPath(), KeyAccess::Read, reader.put()), Err::Success);
    UniqueKey key;
    bool created = false;
    EXPECT_EQ(Reg().CreateKey(reader.get(), L"new", key.put(), &created), Err::AccessDenied);
}

// ------------------------------------------------------------ registry details

TEST_F(PortablePlatformTest, AFreshRegistryHoldsOnlyTheDefaultUser)
{
    Portable::PortablePlatform fresh;
    std::wstring name;
    EXPECT_EQ(fresh.Registry().EnumKey(Users(), 0, &name), Err::Success);
    EXPECT_EQ(name, L".DEFAULT");
    EXPECT_EQ(fresh.Registry().EnumKey(Users(), 1, &name), Err::NoMoreItems);
    for (KeyHandle root :
         {ClassesRoot(), CurrentUser(), LocalMachine(), PerformanceData(), CurrentConfig(), DynData()}) {
        EXPECT_EQ(fresh.Registry().EnumKey(root, 0, &name), Err::NoMoreItems);
    }
    EXPECT_EQ(fresh.Registry().DeleteKey(Users(), L".DEFAULT\\..\\"), Err::FileNotFound)
        << "\"..\" is a name like any other in the registry";
}

TEST_F(PortablePlatformTest, SubkeysSortByUpperCaseAndValuesKeepTheirOrder)
{
    // Windows' order; Wine sorts by lower case and sorts values too.
    for (const wchar_t* n : {L"b", L"_x", L"A", L"[", L"a1"}) {
        WriteDword(n, L"v", 1);
        WriteDword(L"", n, 1);
    }
    std::vector<std::wstring> keys;
    std::vector<std::wstring> values;
    std::wstring name;
    uint32_t type;
    for (uint32_t i = 0; Reg().EnumKey(ScratchKey(), i, &name) == Err::Success; ++i) {
        keys.push_back(name);
    }
    for (uint32_t i = 0; Reg().EnumValue(ScratchKey(), i, &name, &type) == Err::Success; ++i) {
        values.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"A", L"a1", L"b", L"[", L"_x"}));
    EXPECT_EQ(values, (std::vector<std::wstring>{L"b", L"_x", L"A", L"[", L"a1"}));
}

TEST_F(PortablePlatformTest, KeyNamesLongerThan255AreRefused)
{
    UniqueKey key;
    bool created = false;
    EXPECT_EQ(Reg().CreateKey(ScratchKey(), std::wstring(256, L'k'), key.put(), &created), Err::InvalidParameter);
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), std::wstring(256, L'k'), KeyAccess::Read, key.put()), Err::InvalidParameter);
}

TEST_F(PortablePlatformTest, KeyHandlesAreAllReleased)
{
    const size_t before = Portable().Registry().OpenHandleCount();
    {
        UniqueKey a;
        UniqueKey b;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"x\\y", a.put(), &created), Err::Success);
        ASSERT_EQ(Reg().OpenKey(ScratchKey(), L"x", KeyAccess::Read, b.put()), Err::Success);
        EXPECT_EQ(Portable().Registry().OpenHandleCount(), before + 2);
    }
    EXPECT_EQ(Portable().Registry().OpenHandleCount(), before);
    EXPECT_EQ(Reg().CloseKey(reinterpret_cast<KeyHandle>(this)), Err::InvalidHandle);
}

// ------------------------------------------------------- access control (files)

TEST_F(PortablePlatformTest, ReadOnlyAttributeRefusesWritingAndReplacing)
{
    // Windows refuses these; Wine running as root lets them through.
    const std::wstring path = PathOf(L"ro.txt");
    WriteFile(path, "keep");
    WriteFile(PathOf(L"other.txt"), "other");
    ASSERT_EQ(Fs().SetFileAttributes(path, FileAttr::ReadOnly), Err::Success);
    UniqueFile file;
    EXPECT_EQ(Open(path, FileAccess::Write, Disposition::OpenExisting, &file), Err::AccessDenied);
    EXPECT_EQ(Open(path, FileAccess::Write, Disposition::CreateAlways, &file), Err::AccessDenied);
    EXPECT_EQ(Open(path, FileAccess::Write, Disposition::TruncateExisting, &file), Err::AccessDenied);
    EXPECT_EQ(Fs().MoveFile(PathOf(L"other.txt"), path, true), Err::AccessDenied);
    EXPECT_EQ(Open(path, FileAccess::Read, Disposition::OpenExisting, &file), Err::Success);
    file.reset();
    EXPECT_EQ(ReadFile(path), "keep");
    EXPECT_EQ(Fs().MoveFile(path, PathOf(L"renamed.txt"), false), Err::Success) << "renaming is allowed";
}

TEST_F(PortablePlatformTest, CreateAlwaysRefusesToReplaceHiddenOrSystemFiles)
{
    WriteFile(PathOf(L"h"), "x");
    ASSERT_EQ(Fs().SetFileAttributes(PathOf(L"h"), FileAttr::Hidden), Err::Success);
    UniqueFile file;
    EXPECT_EQ(Open(PathOf(L"h"), FileAccess::Write, Disposition::CreateAlways, &file), Err::AccessDenied);
    EXPECT_EQ(Open(PathOf(L"h"), FileAccess::Write, Disposition::TruncateExisting, &file), Err::Success);
}

TEST_F(PortablePlatformTest, AttributesReportNormalOnlyWhenNothingElseIsSet)
{
    WriteFile(PathOf(L"f"), "x");
    FileInfo info;
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"f"), &info), Err::Success);
    EXPECT_EQ(info.attributes, FileAttr::Archive) << "new files are marked for backup";
    ASSERT_EQ(Fs().SetFileAttributes(PathOf(L"f"), FileAttr::Directory | FileAttr::Normal), Err::Success);
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"f"), &info), Err::Success);
    EXPECT_EQ(info.attributes, FileAttr::Normal) << "the directory bit is not the program's to set";
    ASSERT_EQ(Fs().GetFileInfo(ScratchFolder(), &info), Err::Success);
    EXPECT_EQ(info.attributes, FileAttr::Directory);
}

TEST_F(PortablePlatformTest, ProtectedFilesAndFolders)
{
    WriteFile(PathOf(L"locked\\f.txt"), "x");
    ASSERT_EQ(Portable().Files().SetProtection(PathOf(L"locked\\f.txt"), Protection::ReadOnly), Err::Success);
    UniqueFile file;
    EXPECT_EQ(Open(PathOf(L"locked\\f.txt"), FileAccess::Read, Disposition::OpenExisting, &file), Err::Success);
    EXPECT_EQ(Open(PathOf(L"locked\\f.txt"), FileAccess::ReadWrite, Disposition::OpenExisting, &file),
              Err::AccessDenied);
    EXPECT_EQ(Fs().DeleteFile(PathOf(L"locked\\f.txt")), Err::AccessDenied);
    EXPECT_EQ(Fs().SetFileAttributes(PathOf(L"locked\\f.txt"), FileAttr::Normal), Err::AccessDenied);
    file.reset();

    ASSERT_EQ(Portable().Files().SetProtection(PathOf(L"locked"), Protection::ReadOnly), Err::Success);
    EXPECT_EQ(Open(PathOf(L"locked\\new.txt"), FileAccess::Write, Disposition::CreateNew, &file), Err::AccessDenied);
    EXPECT_EQ(Fs().CreateDirectory(PathOf(L"locked\\sub")), Err::AccessDenied);
    EXPECT_EQ(FindAll(PathOf(L"locked\\*")).size(), 3u) << "a read-only folder lists";

    ASSERT_EQ(Portable().Files().SetProtection(PathOf(L"locked"), Protection::NoAccess), Err::Success);
    FindData data;
    FindHandle find = nullptr;
    EXPECT_EQ(Fs().FindFirst(PathOf(L"locked\\*"), &data, &find), Err::AccessDenied);
    EXPECT_EQ(Fs().RemoveDirectory(PathOf(L"locked")), Err::DirNotEmpty);
}

TEST_F(PortablePlatformTest, AFullDiskRefusesToGrowFiles)
{
    Portable().Files().SetCapacity(100);
    UniqueFile file;
    ASSERT_EQ(Open(PathOf(L"a"), FileAccess::Write, Disposition::CreateAlways, &file), Err::Success);
    std::string block(60, 'x');
    uint32_t written = 0;
    EXPECT_EQ(Fs().WriteFile(file.get(), block.data(), 60, &written), Err::Success);
    EXPECT_EQ(Fs().WriteFile(file.get(), block.data(), 60, &written), Err::DiskFull);
    file.reset();
    ASSERT_EQ(Fs().DeleteFile(PathOf(L"a")), Err::Success);
    WriteFile(PathOf(L"b"), std::string(100, 'y'));
    // A seek far past the end must not try to allocate the gap.
    ASSERT_EQ(Open(PathOf(L"c"), FileAccess::Write, Disposition::CreateAlways, &file), Err::Success);
    ASSERT_EQ(Fs().Seek(file.get(), int64_t{1} << 50, SeekOrigin::Begin, nullptr), Err::Success);
    EXPECT_EQ(Fs().WriteFile(file.get(), "z", 1, &written), Err::DiskFull);
}

TEST_F(PortablePlatformTest, FileAndSearchHandlesAreAllReleased)
{
    WriteFile(PathOf(L"f"), "x");
    EXPECT_EQ(FindAll(PathOf(L"*")).size(), 3u);
    EXPECT_EQ(ReadFile(PathOf(L"f")), "x");
    EXPECT_EQ(Portable().Files().OpenHandleCount(), 0u);
    EXPECT_EQ(Fs().CloseFile(reinterpret_cast<FileHandle>(this)), Err::InvalidHandle);
    FindData data;
    EXPECT_EQ(Fs().FindNext(reinterpret_cast<FindHandle>(this), &data), Err::InvalidHandle);
}

// ------------------------------------------------------------- path handling

TEST_F(PortablePlatformTest, PathsAreNormalisedAsWin32Does)
{
    WriteFile(PathOf(L"dir\\file.txt"), "x");
    for (const std::wstring& path : {PathOf(L"dir\\file.txt."), PathOf(L"dir\\file.txt  "), PathOf(L"dir.\\file.txt"),
                                     PathOf(L"x\\..\\dir\\.\\file.txt"), ScratchFolder() + L"\\\\dir\\\\file.txt",
                                     L"\\\\?\\" + PathOf(L"dir\\file.txt"), L"c:" + PathOf(L"dir\\file.txt").substr(2),
                                     L"C:\\..\\..\\" + PathOf(L"dir\\file.txt").substr(3)}) {
        EXPECT_TRUE(Exists(path)) << std::string(path.begin(), path.end());
    }
}

TEST_F(PortablePlatformTest, BadPathsGiveTheWindowsErrors)
{
    FileInfo info;
    UniqueFile file;
    EXPECT_EQ(Fs().GetFileInfo(L"relative\\x", &info), Err::PathNotFound);
    EXPECT_EQ(Fs().GetFileInfo(L"\\rooted\\x", &info), Err::PathNotFound);
    EXPECT_EQ(Fs().GetFileInfo(L"", &info), Err::PathNotFound);
    EXPECT_EQ(Fs().GetFileInfo(L"Q:\\x", &info), Err::PathNotFound);
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"*.txt"), &info), Err::InvalidName);
    EXPECT_EQ(Open(PathOf(L"a<b"), FileAccess::Write, Disposition::CreateAlways, &file), Err::InvalidName);
    EXPECT_EQ(Open(PathOf(L"a|b"), FileAccess::Write, Disposition::CreateAlways, &file), Err::InvalidName);
    EXPECT_EQ(Open(PathOf(std::wstring(256, L'n')), FileAccess::Write, Disposition::CreateAlways, &file),
              Err::InvalidName);
    EXPECT_EQ(Open(PathOf(L"f.txt\\"), FileAccess::Write, Disposition::CreateAlways, &file), Err::InvalidName);
    FindData data;
    FindHandle find = nullptr;
    EXPECT_EQ(Fs().FindFirst(PathOf(L"*\\x"), &data, &find), Err::InvalidName);
}

TEST_F(PortablePlatformTest, ProgramsAnswerWithTheVersionTextsTheyWereGiven)
{
    WriteFile(PathOf(L"tool.exe"), "MZ");
    WriteFile(PathOf(L"plain.exe"), "MZ");
    Portable().System().SetFileVersion(PathOf(L"TOOL.exe"), {L"A tool", L"Maker", L"Tools", L"1.2"});
    FileVersion version;
    ASSERT_EQ(Os().System().GetFileVersion(PathOf(L"tool.exe"), &version), Err::Success);
    EXPECT_EQ(version.description, L"A tool");
    EXPECT_EQ(version.company, L"Maker");
    EXPECT_EQ(Os().System().GetFileVersion(PathOf(L"plain.exe"), &version), Err::ResourceTypeNotFound);
    EXPECT_EQ(Os().System().GetFileVersion(PathOf(L"gone.exe"), &version), Err::FileNotFound);
    EXPECT_EQ(version.description, L"A tool");
}

TEST_F(PortablePlatformTest, DrivesAndSharesAreSeparateRoots)
{
    EXPECT_EQ(Fs().CreateDirectory(L"D:\\x"), Err::PathNotFound);
    Portable().Files().AddDrive(L'd');
    ASSERT_EQ(Fs().CreateDirectory(L"d:\\x"), Err::Success);
    EXPECT_EQ(FindAll(L"D:\\*"), std::vector<std::wstring>{L"x"}) << "a root lists no dot entries";
    WriteFile(PathOf(L"f.txt"), "x");
    EXPECT_EQ(Fs().MoveFile(PathOf(L"f.txt"), L"D:\\f.txt", false), 17u) << "moves stay on their drive";

    FileInfo info;
    EXPECT_EQ(Fs().GetFileInfo(L"\\\\server\\share\\x", &info), 53u);
    Portable().Files().AddShare(L"\\\\Server\\Share");
    WriteFile(L"\\\\server\\share\\x", "net");
    EXPECT_EQ(ReadFile(L"\\\\?\\UNC\\SERVER\\share\\X"), "net");
}

TEST_F(PortablePlatformTest, RenamingToAnotherSpellingTakesIt)
{
    WriteFile(PathOf(L"name.txt"), "x");
    ASSERT_EQ(Fs().MoveFile(PathOf(L"name.txt"), PathOf(L"NAME.TXT"), false), Err::Success);
    EXPECT_EQ(FindAll(PathOf(L"n*")), std::vector<std::wstring>{L"NAME.TXT"});
}

TEST_F(PortablePlatformTest, SearchesListEntriesSortedAsNtfsDoes)
{
    for (const wchar_t* n : {L"b", L"_u", L"Zed", L"a.txt", L"a"}) {
        WriteFile(PathOf(n), "");
    }
    EXPECT_EQ(FindAll(PathOf(L"*")), (std::vector<std::wstring>{L".", L"..", L"a", L"a.txt", L"b", L"Zed", L"_u"}));
}

// ------------------------------------------------------------------ junctions

TEST_F(PortablePlatformTest, AJunctionLeadsToItsTargetAndGoesByItself)
{
    WriteFile(PathOf(L"target\\inside.txt"), "in");
    MakeFolder(PathOf(L"clean"));
    ASSERT_EQ(Portable().Files().CreateJunction(PathOf(L"clean\\link"), PathOf(L"target")), Err::Success);
    FileInfo info;
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"clean\\link"), &info), Err::Success);
    EXPECT_EQ(info.attributes, FileAttr::Directory | FileAttr::ReparsePoint);
    EXPECT_EQ(ReadFile(PathOf(L"clean\\link\\inside.txt")), "in");
    EXPECT_EQ(FindAll(PathOf(L"clean\\link\\*")), (std::vector<std::wstring>{L".", L"..", L"inside.txt"}));
    UniqueFind find;
    FindData data;
    ASSERT_EQ(Fs().FindFirst(PathOf(L"clean\\*"), &data, find.put()), Err::Success);
    ASSERT_EQ(Fs().FindNext(find.get(), &data), Err::Success);
    ASSERT_EQ(Fs().FindNext(find.get(), &data), Err::Success);
    EXPECT_EQ(data.name, L"link");
    EXPECT_EQ(data.attributes, FileAttr::Directory | FileAttr::ReparsePoint);
    find.reset();

    EXPECT_EQ(Fs().DeleteFile(PathOf(L"clean\\link")), Err::AccessDenied);
    EXPECT_EQ(Fs().RemoveDirectory(PathOf(L"clean\\link")), Err::Success) << "a full target does not hold it";
    EXPECT_EQ(ReadFile(PathOf(L"target\\inside.txt")), "in");
    EXPECT_EQ(Portable().Files().CreateJunction(PathOf(L"clean"), PathOf(L"target")), Err::AlreadyExists);
}

TEST_F(PortablePlatformTest, DanglingAndLoopingJunctionsLeadNowhere)
{
    ASSERT_EQ(Portable().Files().CreateJunction(PathOf(L"dangling"), PathOf(L"nothing")), Err::Success);
    FileInfo info;
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"dangling"), &info), Err::Success);
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"dangling\\x"), &info), Err::PathNotFound);
    ASSERT_EQ(Portable().Files().CreateJunction(PathOf(L"loop"), PathOf(L"loop")), Err::Success);
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"loop\\x"), &info), 1921u);
    ASSERT_EQ(Portable().Files().CreateJunction(PathOf(L"up"), ScratchFolder()), Err::Success);
    EXPECT_TRUE(Exists(PathOf(L"up\\up\\up\\dangling"))) << "a junction to an ancestor is fine to pass through";
}

// -------------------------------------------------------- clock and versions

TEST_F(PortablePlatformTest, TheClockDrivesCurrentTimeAndFileAndKeyTimes)
{
    Portable().Time().Set(1700000000);
    EXPECT_EQ(Os().System().CurrentTime(), 1700000000);
    WriteFile(PathOf(L"t.txt"), "a");
    Portable().Time().Advance(60);
    UniqueFile file;
    ASSERT_EQ(Fs().CreateFile(PathOf(L"t.txt"), FileAccess::Write, Disposition::OpenExisting, file.put()),
              Err::Success);
    uint32_t written = 0;
    ASSERT_EQ(Fs().WriteFile(file.get(), "b", 1, &written), Err::Success);
    file.reset();
    FileInfo info;
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"t.txt"), &info), Err::Success);
    EXPECT_EQ(info.creationTime, kUnixEpoch + 1700000000ull * 10000000ull);
    EXPECT_EQ(info.lastWriteTime, kUnixEpoch + 1700000060ull * 10000000ull);
    EXPECT_EQ(SetDword(ScratchKey(), L"v", 1), Err::Success);
    KeyInfo key;
    ASSERT_EQ(Reg().QueryKeyInfo(ScratchKey(), &key), Err::Success);
    EXPECT_EQ(key.lastWriteTime, info.lastWriteTime);
    Portable().Time().Release();
    EXPECT_GT(Os().System().CurrentTime(), 1700000060);
}

TEST_F(PortablePlatformTest, TheVersionReportIsWhatTheTestSets)
{
    VersionInfo v;
    v.major = 5;
    v.minor = 1;
    v.build = 2600;
    v.servicePack = L"Service Pack 3";
    v.suiteMask = 0x200;
    ASSERT_EQ(Portable().SetWindowsVersion(v, L"Microsoft Windows XP"), Err::Success);
    const VersionInfo got = Os().System().GetVersion();
    EXPECT_EQ(got.major, 5u);
    EXPECT_EQ(got.build, 2600u);
    EXPECT_EQ(got.servicePack, L"Service Pack 3");
    EXPECT_EQ(got.suiteMask, 0x200);
    UniqueKey key;
    ASSERT_EQ(
        Reg().OpenKey(LocalMachine(), L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KeyAccess::Read, key.put()),
        Err::Success);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(Reg().QueryValue(key.get(), L"ProductName", &type, &data), Err::Success);
    EXPECT_EQ(type, RegType::Sz);
    EXPECT_EQ(data, StringBytes(L"Microsoft Windows XP"));
    ASSERT_EQ(Portable().SetWindowsVersion(v, L""), Err::Success);
    EXPECT_EQ(Reg().QueryValue(key.get(), L"ProductName", &type, &data), Err::FileNotFound);

    EXPECT_EQ(Os().System().GetShellVersion(), 6u << 16);
    Portable().System().SetShellVersion((4u << 16) | 71);
    EXPECT_EQ(Os().System().GetShellVersion(), (4u << 16) | 71);
}

// ------------------------------------------------- environment and folders

TEST_F(PortablePlatformTest, EnvironmentStringsExpandAsWindowsExpandsThem)
{
    Portable().System().SetEnvironmentVariable(L"Name", L"value");
    ISystem& sys = Os().System();
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"%NAME%\\x"), L"value\\x");
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"a%name%b%Name%c"), L"avaluebvaluec");
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"%unknown%"), L"%unknown%");
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"%unknown%name%"), L"%unknownvalue") << "the closing % opens again";
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"50% of %name"), L"50% of %name");
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"%%"), L"%%");
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"%SystemRoot%"), L"C:\\WINDOWS");
    Portable().System().SetEnvironmentVariable(L"NAME", L"");
    EXPECT_EQ(sys.ExpandEnvironmentStrings(L"%name%"), L"%name%");
}

TEST_F(PortablePlatformTest, ShellFoldersComeFromTheMapAndTheDirectories)
{
    ISystem& sys = Os().System();
    EXPECT_EQ(sys.GetSpecialFolder(36), L"C:\\WINDOWS");
    EXPECT_EQ(sys.GetSpecialFolder(37), L"C:\\WINDOWS\\system32");
    EXPECT_EQ(sys.GetSpecialFolder(5), L"");
    Portable().System().SetWindowsDirectory(L"D:\\WINNT");
    Portable().System().SetSpecialFolder(5, L"C:\\Docs");
    EXPECT_EQ(sys.WindowsDirectory(), L"D:\\WINNT");
    EXPECT_EQ(sys.GetSpecialFolder(36), L"D:\\WINNT");
    EXPECT_EQ(sys.GetSpecialFolder(5), L"C:\\Docs");
    Portable().System().SetSpecialFolder(37, L"");
    EXPECT_EQ(sys.GetSpecialFolder(37), L"") << "a test can make the shell answer nothing";
}

// ---------------------------------------------------------------- shell links

TEST_F(PortablePlatformTest, ShellLinksRoundTripThroughTheirFiles)
{
    ShellLink link;
    link.target = L"C:\\Program Files\\App\\app.exe";
    link.arguments = L"/quiet \"x y\"";
    link.workingDirectory = L"C:\\Program Files\\App";
    link.description = L"Ünïcode description";
    link.iconPath = L"C:\\icons.dll";
    link.iconIndex = -3;
    const std::wstring path = PathOf(L"App.lnk");
    ASSERT_EQ(Os().System().SaveShellLink(path, link), Err::Success);
    ShellLink back;
    ASSERT_EQ(Os().System().LoadShellLink(path, &back), Err::Success);
    EXPECT_EQ(back.target, link.target);
    EXPECT_EQ(back.arguments, link.arguments);
    EXPECT_EQ(back.workingDirectory, link.workingDirectory);
    EXPECT_EQ(back.description, link.description);
    EXPECT_EQ(back.iconPath, link.iconPath);
    EXPECT_EQ(back.iconIndex, -3);

    link.target = L"C:\\other.exe";
    ASSERT_EQ(Os().System().SaveShellLink(path, link), Err::Success) << "saving overwrites";
    ASSERT_EQ(Os().System().LoadShellLink(path, &back), Err::Success);
    EXPECT_EQ(back.target, L"C:\\other.exe");
    EXPECT_EQ(Os().System().SaveShellLink(PathOf(L"no\\x.lnk"), link), Err::PathNotFound);
}

TEST_F(PortablePlatformTest, LoadingSomethingElseThanALinkFails)
{
    ShellLink back;
    back.target = L"untouched";
    EXPECT_EQ(Os().System().LoadShellLink(PathOf(L"missing.lnk"), &back), Err::FileNotFound);
    WriteFile(PathOf(L"text.lnk"), "not a link at all");
    EXPECT_NE(Os().System().LoadShellLink(PathOf(L"text.lnk"), &back), Err::Success);
    EXPECT_EQ(back.target, L"untouched");
}

TEST(PortableShellLinkFile, EveryTruncationAndCorruptionIsRefusedWithoutHarm)
{
    ShellLink link;
    link.target = L"C:\\t.exe";
    link.description = L"d";
    const std::string bytes = Portable::EncodeShellLink(link);
    ShellLink out;
    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_FALSE(Portable::DecodeShellLink(std::string_view(bytes).substr(0, n), &out)) << n;
    }
    EXPECT_FALSE(Portable::DecodeShellLink(bytes + "x", &out));
    std::string huge = bytes;
    huge[8] = '\xff';  // the target's length
    huge[9] = '\xff';
    huge[10] = '\xff';
    huge[11] = '\x7f';
    EXPECT_FALSE(Portable::DecodeShellLink(huge, &out));
    EXPECT_TRUE(Portable::DecodeShellLink(bytes, &out));
    EXPECT_EQ(out.target, link.target);
}

// -------------------------------------------------------------------- threads

TEST_F(PortablePlatformTest, ThreadsCannotBeTerminatedHere)
{
    IThreads& th = Os().Threads();
    UniqueEvent stop(th.CreateEvent(true, false));
    EventHandle stopHandle = stop.get();
    UniqueThread thread(th.StartThread([&th, stopHandle] { (void)th.WaitEvent(stopHandle, kInfinite); }));
    EXPECT_EQ(th.TerminateThread(thread.get()), Err::NotSupported);
    th.SetEvent(stop.get());
    EXPECT_EQ(th.WaitThread(thread.get(), 10000), Err::Success);
}

TEST_F(PortablePlatformTest, AThreadMayCloseItsOwnHandle)
{
    IThreads& th = Os().Threads();
    UniqueEvent done(th.CreateEvent(true, false));
    EventHandle doneHandle = done.get();
    std::atomic<ThreadHandle> self{nullptr};
    UniqueEvent started(th.CreateEvent(true, false));
    EventHandle startedHandle = started.get();
    ThreadHandle thread = th.StartThread([&th, &self, doneHandle, startedHandle] {
        (void)th.WaitEvent(startedHandle, kInfinite);
        th.CloseThread(self.load());
        th.SetEvent(doneHandle);
    });
    self = thread;
    th.SetEvent(started.get());
    EXPECT_EQ(th.WaitEvent(done.get(), 10000), Err::Success);
}

TEST_F(PortablePlatformTest, TheBackendStaysConsistentUnderConcurrentUse)
{
    // The engine's worker and the window use one platform at once.
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([this, t] {
            const std::wstring key = L"w" + std::to_wstring(t);
            const std::wstring file = PathOf(L"w" + std::to_wstring(t) + L".txt");
            for (int i = 0; i < 200; ++i) {
                UniqueKey k;
                bool created = false;
                if (Reg().CreateKey(ScratchKey(), key + L"\\" + std::to_wstring(i % 5), k.put(), &created) ==
                    Err::Success) {
                    (void)SetDword(k.get(), L"v", static_cast<uint32_t>(i));
                }
                (void)WriteWholeFile(file, std::string(static_cast<size_t>(i), 'x'));
            }
        });
    }
    for (auto& w : workers) {
        w.join();
    }
    KeyInfo info;
    ASSERT_EQ(Reg().QueryKeyInfo(ScratchKey(), &info), Err::Success);
    EXPECT_EQ(info.subkeys, 4u);
    EXPECT_EQ(ReadFile(PathOf(L"w3.txt")).size(), 199u);
    EXPECT_EQ(Portable().Registry().OpenHandleCount(), 1u) << "only the scratch key";
    EXPECT_EQ(Portable().Files().OpenHandleCount(), 0u);
}

}  // namespace

#endif  // _WIN32
