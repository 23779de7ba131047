// Behaviour every backend of the platform seam must show. Written only
// against IPlatform, it runs natively over the portable substitute and, in
// the Windows builds, under Wine over the real API, so that the substitute
// cannot drift from what Windows does.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/platform/Platform.h"
#include "tests/support/Scratch.h"

namespace {

using namespace Platform;
using Testing::StringBytes;

std::wstring Repeat(wchar_t c, size_t n)
{
    return std::wstring(n, c);
}

// ------------------------------------------------------------------ registry

class RegistryContract : public Testing::ScratchTest {
protected:
    Status Set(KeyHandle key, std::wstring_view name, uint32_t type, const std::vector<uint8_t>& data)
    {
        return Reg().SetValue(key, name, type, data.data(), data.size());
    }
    std::set<std::wstring> SubkeyNames(KeyHandle key)
    {
        std::set<std::wstring> names;
        std::wstring name;
        for (uint32_t i = 0; Reg().EnumKey(key, i, &name) == Err::Success; ++i) {
            names.insert(name);
        }
        return names;
    }
    std::set<std::wstring> ValueNames(KeyHandle key)
    {
        std::set<std::wstring> names;
        std::wstring name;
        uint32_t type = 0;
        for (uint32_t i = 0; Reg().EnumValue(key, i, &name, &type) == Err::Success; ++i) {
            names.insert(name);
        }
        return names;
    }
};

TEST_F(RegistryContract, CreateKeyMakesEveryMissingLevel)
{
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"a\\b\\c", key.put(), &created), Err::Success);
    EXPECT_TRUE(created);
    EXPECT_TRUE(KeyExists(L"a"));
    EXPECT_TRUE(KeyExists(L"a\\b"));
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"a\\b\\c", key.put(), &created), Err::Success);
    EXPECT_FALSE(created) << "the second create opens the existing key";
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"a\\b\\d", key.put(), &created), Err::Success);
    EXPECT_TRUE(created) << "created tells about the last level";
}

TEST_F(RegistryContract, OpeningAMissingKeyGives2AndLeavesTheHandleAlone)
{
    KeyHandle key = nullptr;
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), L"missing", KeyAccess::Read, &key), Err::FileNotFound);
    EXPECT_EQ(Reg().OpenKey(ScratchKey(), L"missing\\deeper", KeyAccess::Change, &key), Err::FileNotFound);
    EXPECT_EQ(key, nullptr);
}

TEST_F(RegistryContract, PathsRefuseALeadingBackslashButTakeATrailingOne)
{
    UniqueKey key;
    bool created = false;
    EXPECT_EQ(Reg().CreateKey(ScratchKey(), L"\\lead", key.put(), &created), 161u);
    EXPECT_EQ(Reg().OpenKey(ScratchRoot(), L"\\" + ScratchKeyPath(), KeyAccess::Read, key.put()), 161u);
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"trail\\", key.put(), &created), Err::Success);
    EXPECT_TRUE(KeyExists(L"trail"));
    EXPECT_EQ(Reg().OpenKey(ScratchRoot(), ScratchKeyPath() + L"\\trail\\", KeyAccess::Read, key.put()), Err::Success);
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"x\\\\y", key.put(), &created), Err::Success);
    EXPECT_TRUE(KeyExists(L"x\\y")) << "a doubled backslash inside separates once";
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"\\trail"), 161u);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"trail\\"), Err::Success);
}

TEST_F(RegistryContract, KeyNamesIgnoreCaseAndKeepTheirSpelling)
{
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"MixedCase", key.put(), &created), Err::Success);
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"MIXEDCASE", key.put(), &created), Err::Success);
    EXPECT_FALSE(created);
    EXPECT_TRUE(KeyExists(L"mixedcase"));
    EXPECT_EQ(SubkeyNames(ScratchKey()), std::set<std::wstring>{L"MixedCase"});
}

TEST_F(RegistryContract, OverwritingAValueKeepsTheStoredSpelling)
{
    ASSERT_EQ(Set(ScratchKey(), L"MiXed", RegType::Dword, {1, 0, 0, 0}), Err::Success);
    ASSERT_EQ(Set(ScratchKey(), L"mixed", RegType::Sz, StringBytes(L"new")), Err::Success);
    std::wstring name;
    uint32_t type = 0;
    ASSERT_EQ(Reg().EnumValue(ScratchKey(), 0, &name, &type), Err::Success);
    EXPECT_EQ(name, L"MiXed");
    EXPECT_EQ(type, RegType::Sz);
    EXPECT_EQ(Reg().EnumValue(ScratchKey(), 1, &name, &type), Err::NoMoreItems);
    std::vector<uint8_t> data;
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"MIXED", &type, &data), Err::Success);
    EXPECT_EQ(data, StringBytes(L"new"));
}

TEST_F(RegistryContract, EnumerationListsEverythingThenAnswers259)
{
    for (const wchar_t* n : {L"b", L"A", L"c1", L"D"}) {
        WriteDword(n, L"v", 1);
        WriteDword(L"", n, 2);
    }
    const std::set<std::wstring> expected{L"b", L"A", L"c1", L"D"};
    EXPECT_EQ(SubkeyNames(ScratchKey()), expected);
    EXPECT_EQ(ValueNames(ScratchKey()), expected);
    std::wstring name = L"untouched";
    uint32_t type = 77;
    EXPECT_EQ(Reg().EnumKey(ScratchKey(), 4, &name), Err::NoMoreItems);
    EXPECT_EQ(Reg().EnumValue(ScratchKey(), 4, &name, &type), Err::NoMoreItems);
    EXPECT_EQ(name, L"untouched");
    EXPECT_EQ(type, 77u);
}

TEST_F(RegistryContract, SubkeysAreListedInAlphabeticalOrder)
{
    // Both Windows and Wine keep subkeys sorted; letters only, where the two
    // agree on the order.
    for (const wchar_t* n : {L"delta", L"Bravo", L"alpha", L"Charlie"}) {
        WriteDword(n, L"v", 1);
    }
    std::vector<std::wstring> names;
    std::wstring name;
    for (uint32_t i = 0; Reg().EnumKey(ScratchKey(), i, &name) == Err::Success; ++i) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"alpha", L"Bravo", L"Charlie", L"delta"}));
}

TEST_F(RegistryContract, KeyInfoCountsAndMeasures)
{
    WriteDword(L"sub", L"x", 1);
    WriteDword(L"longer-name", L"x", 1);
    WriteValue(L"", L"v", RegType::Binary, std::vector<uint8_t>(300, 7));
    WriteValue(L"", L"value-name", RegType::Binary, std::vector<uint8_t>(3, 7));
    KeyInfo info;
    ASSERT_EQ(Reg().QueryKeyInfo(ScratchKey(), &info), Err::Success);
    EXPECT_EQ(info.subkeys, 2u);
    EXPECT_EQ(info.values, 2u);
    EXPECT_EQ(info.maxSubkeyNameLength, 11u);
    EXPECT_EQ(info.maxValueNameLength, 10u);
    EXPECT_EQ(info.maxValueDataLength, 300u);
    EXPECT_NE(info.lastWriteTime, 0u);
}

TEST_F(RegistryContract, MissingValuesGive2AndTheDefaultValueIsAValueLikeAnyOther)
{
    uint32_t type = 99;
    std::vector<uint8_t> data{1, 2, 3};
    EXPECT_EQ(Reg().QueryValue(ScratchKey(), L"missing", &type, &data), Err::FileNotFound);
    EXPECT_EQ(Reg().QueryValue(ScratchKey(), L"", &type, &data), Err::FileNotFound);
    EXPECT_EQ(type, 99u) << "out-parameters stay untouched on failure";
    EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Reg().DeleteValue(ScratchKey(), L"missing"), Err::FileNotFound);
    ASSERT_EQ(Set(ScratchKey(), L"", RegType::Sz, StringBytes(L"default")), Err::Success);
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"", &type, &data), Err::Success);
    EXPECT_EQ(data, StringBytes(L"default"));
    EXPECT_EQ(Reg().DeleteValue(ScratchKey(), L""), Err::Success);
    EXPECT_EQ(Reg().QueryValue(ScratchKey(), L"", &type, &data), Err::FileNotFound);
}

TEST_F(RegistryContract, ValuesKeepTypeAndBytesWhateverTheyAre)
{
    ASSERT_EQ(Set(ScratchKey(), L"empty", RegType::Binary, {}), Err::Success);
    ASSERT_EQ(Set(ScratchKey(), L"odd", 0x12345, {9, 8, 7}), Err::Success);
    ASSERT_EQ(Set(ScratchKey(), L"multi", RegType::MultiSz, StringBytes(std::wstring(L"a\0b\0", 4))), Err::Success);
    uint32_t type = 0;
    std::vector<uint8_t> data{1};
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"empty", &type, &data), Err::Success);
    EXPECT_EQ(type, RegType::Binary);
    EXPECT_TRUE(data.empty());
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"odd", &type, &data), Err::Success);
    EXPECT_EQ(type, 0x12345u);
    EXPECT_EQ(data, (std::vector<uint8_t>{9, 8, 7}));
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"multi", &type, &data), Err::Success);
    EXPECT_EQ(data.size(), 10u);
}

TEST_F(RegistryContract, ValuesOfSeveralMegabytesRoundTrip)
{
    std::vector<uint8_t> big(5u << 20);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<uint8_t>(i * 131 + (i >> 12));
    }
    ASSERT_EQ(Set(ScratchKey(), L"big", RegType::Binary, big), Err::Success);
    uint32_t type = 0;
    std::vector<uint8_t> back;
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"big", &type, &back), Err::Success);
    EXPECT_TRUE(back == big);
    KeyInfo info;
    ASSERT_EQ(Reg().QueryKeyInfo(ScratchKey(), &info), Err::Success);
    EXPECT_EQ(info.maxValueDataLength, big.size());
}

TEST_F(RegistryContract, ValueNamesReach16383Characters)
{
    const std::wstring longest = Repeat(L'v', 16383);
    ASSERT_EQ(Set(ScratchKey(), longest, RegType::Dword, {1, 0, 0, 0}), Err::Success);
    std::wstring name;
    uint32_t type = 0;
    ASSERT_EQ(Reg().EnumValue(ScratchKey(), 0, &name, &type), Err::Success);
    EXPECT_EQ(name, longest);
    std::vector<uint8_t> data;
    EXPECT_EQ(Reg().QueryValue(ScratchKey(), longest, &type, &data), Err::Success);
    EXPECT_EQ(Set(ScratchKey(), longest + L"v", RegType::Dword, {1, 0, 0, 0}), Err::InvalidParameter);
    EXPECT_EQ(Reg().DeleteValue(ScratchKey(), longest), Err::Success);
}

TEST_F(RegistryContract, KeyNamesReach255Characters)
{
    const std::wstring longest = Repeat(L'k', 255);
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), longest + L"\\below", key.put(), &created), Err::Success);
    std::wstring name;
    ASSERT_EQ(Reg().EnumKey(ScratchKey(), 0, &name), Err::Success);
    EXPECT_EQ(name, longest);
    KeyInfo info;
    ASSERT_EQ(Reg().QueryKeyInfo(ScratchKey(), &info), Err::Success);
    EXPECT_EQ(info.maxSubkeyNameLength, 255u);
    EXPECT_TRUE(KeyExists(longest + L"\\below"));
}

TEST_F(RegistryContract, DeleteKeyRemovesOnlyKeysWithoutSubkeys)
{
    WriteDword(L"parent\\child", L"v", 1);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"parent"), Err::AccessDenied);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"missing"), Err::FileNotFound);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"parent\\CHILD"), Err::Success) << "values do not hold a key back";
    EXPECT_FALSE(KeyExists(L"parent\\child"));
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"parent"), Err::Success);
    EXPECT_FALSE(KeyExists(L"parent"));
}

TEST_F(RegistryContract, AnEmptySubkeyNeverDeletesTheKeyOfTheHandle)
{
    // Windows alone would delete the handle's own key; the seam refuses, so
    // that a name that went missing cannot take its parent with it.
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"self", key.put(), &created), Err::Success);
    EXPECT_EQ(Reg().DeleteKey(key.get(), L""), Err::InvalidParameter);
    EXPECT_TRUE(KeyExists(L"self"));
}

TEST_F(RegistryContract, HandlesOfADeletedKeyAnswer1018)
{
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"gone", key.put(), &created), Err::Success);
    ASSERT_EQ(Reg().DeleteKey(ScratchKey(), L"gone"), Err::Success);
    KeyInfo info;
    std::wstring name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    UniqueKey other;
    EXPECT_EQ(Reg().QueryKeyInfo(key.get(), &info), Err::KeyDeleted);
    EXPECT_EQ(Reg().EnumKey(key.get(), 0, &name), Err::KeyDeleted);
    EXPECT_EQ(Reg().EnumValue(key.get(), 0, &name, &type), Err::KeyDeleted);
    EXPECT_EQ(Reg().QueryValue(key.get(), L"x", &type, &data), Err::KeyDeleted);
    EXPECT_EQ(Set(key.get(), L"x", RegType::Dword, {1, 0, 0, 0}), Err::KeyDeleted);
    EXPECT_EQ(Reg().DeleteValue(key.get(), L"x"), Err::KeyDeleted);
    EXPECT_EQ(Reg().CreateKey(key.get(), L"sub", other.put(), &created), Err::KeyDeleted);
    EXPECT_EQ(Reg().OpenKey(key.get(), L"sub", KeyAccess::Read, other.put()), Err::KeyDeleted);
    EXPECT_EQ(Reg().CloseKey(key.release()), Err::Success);
}

TEST_F(RegistryContract, AReadHandleRefusesChanges)
{
    WriteDword(L"ro", L"v", 1);
    UniqueKey key;
    ASSERT_EQ(Reg().OpenKey(ScratchKey(), L"ro", KeyAccess::Read, key.put()), Err::Success);
    EXPECT_EQ(Set(key.get(), L"v", RegType::Dword, {2, 0, 0, 0}), Err::AccessDenied);
    EXPECT_EQ(Reg().DeleteValue(key.get(), L"v"), Err::AccessDenied);
    std::vector<uint8_t> data;
    uint32_t type = 0;
    ASSERT_EQ(Reg().QueryValue(key.get(), L"v", &type, &data), Err::Success);
    EXPECT_EQ(data, (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(RegistryContract, ClosingARootDoesNothing)
{
    EXPECT_EQ(Reg().CloseKey(CurrentUser()), Err::Success);
    UniqueKey key;
    EXPECT_EQ(Reg().OpenKey(CurrentUser(), ScratchKeyPath(), KeyAccess::Read, key.put()), Err::Success);
    EXPECT_EQ(Reg().OpenKey(Users(), L".DEFAULT", KeyAccess::Read, key.put()), Err::Success);
}

// 64-bit Windows keeps the machine's software keys of 32-bit programs apart,
// under Software\WOW6432Node, and keys opened below a key of that view stay
// in it.
TEST_F(RegistryContract, The32BitViewKeepsMachineSoftwareUnderWow6432Node)
{
    if (!Os().System().Is64BitWindows()) {
        GTEST_SKIP() << "one registry view only";
    }
    const std::wstring leaf = ScratchKeyPath().substr(ScratchKeyPath().rfind(L'\\') + 1);
    const std::wstring path = L"Software\\CorvaneTests\\" + leaf;
    const std::wstring wowPath = L"Software\\WOW6432Node\\CorvaneTests\\" + leaf;
    ScopeExit cleanup([&] {
        (void)Testing::DeleteTree(LocalMachine(), wowPath);
        (void)Testing::DeleteTree(LocalMachine(), path);
    });
    UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKeyInView(LocalMachine(), path, RegistryView::Wow32, key.put(), &created), Err::Success);
    UniqueKey below;
    ASSERT_EQ(Reg().CreateKey(key.get(), L"below", below.put(), &created), Err::Success);
    UniqueKey check;
    EXPECT_EQ(Reg().OpenKey(LocalMachine(), wowPath + L"\\below", KeyAccess::Read, check.put()), Err::Success);
    EXPECT_EQ(Reg().OpenKeyInView(LocalMachine(), path + L"\\below", KeyAccess::Read, RegistryView::Wow32, check.put()),
              Err::Success);
    EXPECT_EQ(Reg().OpenKey(LocalMachine(), path, KeyAccess::Read, check.put()), Err::FileNotFound);
    EXPECT_EQ(Reg().OpenKeyInView(LocalMachine(), path, KeyAccess::Read, RegistryView::Native, check.put()),
              Err::FileNotFound);
}

// --------------------------------------------------------------------- files

class FileContract : public Testing::ScratchTest {
protected:
    Status Open(const std::wstring& path, FileAccess access, Disposition disposition, UniqueFile* file)
    {
        return Fs().CreateFile(path, access, disposition, file->put());
    }
    Status Write(FileHandle file, std::string_view bytes)
    {
        uint32_t written = 0;
        Status s = Fs().WriteFile(file, bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
        return s ? s : (written == bytes.size() ? Err::Success : Err::WriteFault);
    }
    std::string Read(FileHandle file, uint32_t size)
    {
        std::string bytes(size, '\0');
        uint32_t read = 0;
        EXPECT_EQ(Fs().ReadFile(file, bytes.data(), size, &read), Err::Success);
        bytes.resize(read);
        return bytes;
    }
    uint32_t Attributes(const std::wstring& path)
    {
        FileInfo info;
        return Fs().GetFileInfo(path, &info) == Err::Success ? info.attributes : FileAttr::Invalid;
    }
    // Names found by a pattern under the scratch folder, "." and ".." included.
    std::set<std::wstring> Find(std::wstring_view pattern, Status* status = nullptr)
    {
        std::set<std::wstring> names;
        UniqueFind find;
        FindData data;
        Status s = Fs().FindFirst(PathOf(pattern), &data, find.put());
        if (status) {
            *status = s;
        }
        while (s == Err::Success) {
            names.insert(data.name);
            s = Fs().FindNext(find.get(), &data);
        }
        EXPECT_TRUE(s == Err::NoMoreFiles || !find) << "a search ends with 18, got " << s;
        return names;
    }
};

TEST_F(FileContract, DispositionsCreateReplaceAndRefuseAsWindowsDoes)
{
    const std::wstring path = PathOf(L"f.txt");
    UniqueFile file;
    ASSERT_EQ(Open(path, FileAccess::Write, Disposition::CreateNew, &file), Err::Success);
    ASSERT_EQ(Write(file.get(), "first"), Err::Success);
    file.reset();
    EXPECT_EQ(Open(path, FileAccess::Write, Disposition::CreateNew, &file), Err::FileExists);
    EXPECT_EQ(ReadFile(path), "first");

    ASSERT_EQ(Open(path, FileAccess::ReadWrite, Disposition::OpenExisting, &file), Err::Success);
    EXPECT_EQ(Read(file.get(), 100), "first") << "opening keeps the content";
    file.reset();

    ASSERT_EQ(Open(path, FileAccess::Write, Disposition::CreateAlways, &file), Err::Success);
    uint64_t size = 99;
    EXPECT_EQ(Fs().GetFileSize(file.get(), &size), Err::Success);
    EXPECT_EQ(size, 0u) << "create-always replaces the content";
    ASSERT_EQ(Write(file.get(), "second"), Err::Success);
    file.reset();

    ASSERT_EQ(Open(path, FileAccess::Write, Disposition::TruncateExisting, &file), Err::Success);
    file.reset();
    EXPECT_EQ(ReadFile(path), "");

    EXPECT_EQ(Open(PathOf(L"none"), FileAccess::Read, Disposition::OpenExisting, &file), Err::FileNotFound);
    EXPECT_EQ(Open(PathOf(L"none"), FileAccess::Write, Disposition::TruncateExisting, &file), Err::FileNotFound);
    EXPECT_EQ(Open(PathOf(L"no\\none"), FileAccess::Read, Disposition::OpenExisting, &file), Err::PathNotFound);
    EXPECT_EQ(Open(PathOf(L"no\\none"), FileAccess::Write, Disposition::CreateAlways, &file), Err::PathNotFound);
    EXPECT_FALSE(Exists(PathOf(L"none"))) << "failed opens create nothing";
}

TEST_F(FileContract, AFolderCannotBeOpenedAsAFile)
{
    MakeFolder(PathOf(L"dir"));
    UniqueFile file;
    EXPECT_EQ(Open(PathOf(L"dir"), FileAccess::Read, Disposition::OpenExisting, &file), Err::AccessDenied);
    EXPECT_EQ(Open(PathOf(L"dir"), FileAccess::Write, Disposition::CreateAlways, &file), Err::AccessDenied);
}

TEST_F(FileContract, ReadWriteSeekAndSize)
{
    UniqueFile file;
    ASSERT_EQ(Open(PathOf(L"rw.bin"), FileAccess::ReadWrite, Disposition::CreateAlways, &file), Err::Success);
    ASSERT_EQ(Write(file.get(), "hello world"), Err::Success);
    uint64_t pos = 0;
    ASSERT_EQ(Fs().Seek(file.get(), 6, SeekOrigin::Begin, &pos), Err::Success);
    EXPECT_EQ(pos, 6u);
    EXPECT_EQ(Read(file.get(), 5), "world");
    EXPECT_EQ(Read(file.get(), 5), "") << "reading at the end reads nothing and succeeds";
    ASSERT_EQ(Fs().Seek(file.get(), -5, SeekOrigin::End, &pos), Err::Success);
    EXPECT_EQ(pos, 6u);
    ASSERT_EQ(Fs().Seek(file.get(), -6, SeekOrigin::Current, &pos), Err::Success);
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(Read(file.get(), 5), "hello");
    EXPECT_EQ(Fs().Seek(file.get(), -100, SeekOrigin::Current, &pos), 131u);
    ASSERT_EQ(Fs().Seek(file.get(), 0, SeekOrigin::Current, &pos), Err::Success);
    EXPECT_EQ(pos, 5u) << "a refused seek leaves the position";
    uint64_t size = 0;
    ASSERT_EQ(Fs().GetFileSize(file.get(), &size), Err::Success);
    EXPECT_EQ(size, 11u);
}

TEST_F(FileContract, WritingBeyondTheEndFillsTheGapWithZeros)
{
    UniqueFile file;
    ASSERT_EQ(Open(PathOf(L"gap.bin"), FileAccess::ReadWrite, Disposition::CreateAlways, &file), Err::Success);
    ASSERT_EQ(Write(file.get(), "ab"), Err::Success);
    ASSERT_EQ(Fs().Seek(file.get(), 10, SeekOrigin::Begin, nullptr), Err::Success);
    ASSERT_EQ(Write(file.get(), "z"), Err::Success);
    file.reset();
    EXPECT_EQ(ReadFile(PathOf(L"gap.bin")), std::string("ab\0\0\0\0\0\0\0\0z", 11));
}

TEST_F(FileContract, SetEndOfFileCutsAndExtendsAtThePosition)
{
    UniqueFile file;
    ASSERT_EQ(Open(PathOf(L"eof.bin"), FileAccess::ReadWrite, Disposition::CreateAlways, &file), Err::Success);
    ASSERT_EQ(Write(file.get(), "0123456789"), Err::Success);
    ASSERT_EQ(Fs().Seek(file.get(), 4, SeekOrigin::Begin, nullptr), Err::Success);
    ASSERT_EQ(Fs().SetEndOfFile(file.get()), Err::Success);
    uint64_t size = 0;
    ASSERT_EQ(Fs().GetFileSize(file.get(), &size), Err::Success);
    EXPECT_EQ(size, 4u);
    ASSERT_EQ(Fs().Seek(file.get(), 6, SeekOrigin::Begin, nullptr), Err::Success);
    ASSERT_EQ(Fs().SetEndOfFile(file.get()), Err::Success);
    EXPECT_EQ(Fs().FlushFile(file.get()), Err::Success);
    file.reset();
    EXPECT_EQ(ReadFile(PathOf(L"eof.bin")), std::string("0123\0\0", 6));
}

TEST_F(FileContract, HandlesKeepToTheirAccess)
{
    WriteFile(PathOf(L"a.bin"), "data");
    UniqueFile reader;
    UniqueFile writer;
    ASSERT_EQ(Open(PathOf(L"a.bin"), FileAccess::Read, Disposition::OpenExisting, &reader), Err::Success);
    EXPECT_EQ(Write(reader.get(), "x"), Err::AccessDenied);
    ASSERT_EQ(Open(PathOf(L"a.bin"), FileAccess::Write, Disposition::OpenExisting, &writer), Err::Success);
    char c = 0;
    uint32_t read = 0;
    EXPECT_EQ(Fs().ReadFile(writer.get(), &c, 1, &read), Err::AccessDenied);
    // Files are shared for reading and writing: both handles work at once.
    ASSERT_EQ(Write(writer.get(), "DA"), Err::Success);
    EXPECT_EQ(Read(reader.get(), 4), "DAta");
}

TEST_F(FileContract, ReadOnlyFilesCannotBeDeletedUntilTheAttributeGoes)
{
    const std::wstring path = PathOf(L"ro.txt");
    WriteFile(path, "x");
    EXPECT_EQ(Attributes(path) & (FileAttr::Directory | FileAttr::ReadOnly), 0u);
    ASSERT_EQ(Fs().SetFileAttributes(path, FileAttr::ReadOnly | FileAttr::Hidden), Err::Success);
    EXPECT_EQ(Attributes(path) & (FileAttr::ReadOnly | FileAttr::Hidden), FileAttr::ReadOnly | FileAttr::Hidden);
    EXPECT_EQ(Fs().DeleteFile(path), Err::AccessDenied);
    EXPECT_TRUE(Exists(path));
    ASSERT_EQ(Fs().SetFileAttributes(path, FileAttr::Normal), Err::Success);
    EXPECT_EQ(Attributes(path) & (FileAttr::ReadOnly | FileAttr::Hidden), 0u);
    EXPECT_EQ(Fs().DeleteFile(path), Err::Success);
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(Fs().SetFileAttributes(path, FileAttr::Normal), Err::FileNotFound);
}

TEST_F(FileContract, FileInfoReportsKindSizeAndTimes)
{
    WriteFile(PathOf(L"sized.bin"), std::string(1234, 'x'));
    MakeFolder(PathOf(L"folder"));
    FileInfo info;
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"sized.bin"), &info), Err::Success);
    EXPECT_EQ(info.size, 1234u);
    EXPECT_EQ(info.attributes & FileAttr::Directory, 0u);
    EXPECT_NE(info.lastWriteTime, 0u);
    EXPECT_NE(info.creationTime, 0u);
    ASSERT_EQ(Fs().GetFileInfo(PathOf(L"folder"), &info), Err::Success);
    EXPECT_NE(info.attributes & FileAttr::Directory, 0u);
    ASSERT_EQ(Fs().GetFileInfo(ScratchFolder() + L"\\folder\\", &info), Err::Success) << "a folder with a backslash";
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"missing"), &info), Err::FileNotFound);
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"missing\\x"), &info), Err::PathNotFound);
    EXPECT_EQ(Fs().GetFileInfo(PathOf(L"sized.bin\\x"), &info), Err::PathNotFound);
}

TEST_F(FileContract, PathsIgnoreCaseAndTakeForwardSlashes)
{
    WriteFile(PathOf(L"Dir\\Name.TXT"), "x");
    std::wstring other = PathOf(L"dIR/nAME.txt");
    EXPECT_TRUE(Exists(other));
    EXPECT_EQ(ReadFile(other), "x");
    EXPECT_EQ(Find(L"dir\\*.txt"), std::set<std::wstring>{L"Name.TXT"}) << "names keep their spelling";
}

TEST_F(FileContract, DeleteFileRefusesFoldersAndMissingFiles)
{
    MakeFolder(PathOf(L"dir"));
    EXPECT_EQ(Fs().DeleteFile(PathOf(L"dir")), Err::AccessDenied);
    EXPECT_EQ(Fs().DeleteFile(PathOf(L"missing")), Err::FileNotFound);
    EXPECT_EQ(Fs().DeleteFile(PathOf(L"missing\\x")), Err::PathNotFound);
}

TEST_F(FileContract, AnOpenFileCannotBeDeletedOrMoved)
{
    WriteFile(PathOf(L"open.txt"), "x");
    UniqueFile file;
    ASSERT_EQ(Open(PathOf(L"open.txt"), FileAccess::Read, Disposition::OpenExisting, &file), Err::Success);
    EXPECT_EQ(Fs().DeleteFile(PathOf(L"open.txt")), Err::SharingViolation);
    EXPECT_EQ(Fs().MoveFile(PathOf(L"open.txt"), PathOf(L"moved.txt"), false), Err::SharingViolation);
    file.reset();
    EXPECT_EQ(Fs().DeleteFile(PathOf(L"open.txt")), Err::Success);
}

TEST_F(FileContract, FoldersAreCreatedOnceAndRemovedWhenEmpty)
{
    ASSERT_EQ(Fs().CreateDirectory(PathOf(L"d")), Err::Success);
    EXPECT_EQ(Fs().CreateDirectory(PathOf(L"d")), Err::AlreadyExists);
    EXPECT_EQ(Fs().CreateDirectory(PathOf(L"D\\")), Err::AlreadyExists);
    EXPECT_EQ(Fs().CreateDirectory(PathOf(L"no\\d")), Err::PathNotFound);
    WriteFile(PathOf(L"d\\f"), "x");
    EXPECT_EQ(Fs().CreateDirectory(PathOf(L"d\\f")), Err::AlreadyExists) << "a file holds the name";
    EXPECT_EQ(Fs().RemoveDirectory(PathOf(L"d")), Err::DirNotEmpty);
    EXPECT_EQ(Fs().RemoveDirectory(PathOf(L"d\\f")), Err::DirectoryName);
    EXPECT_EQ(Fs().RemoveDirectory(PathOf(L"missing")), Err::FileNotFound);
    ASSERT_EQ(Fs().DeleteFile(PathOf(L"d\\f")), Err::Success);
    EXPECT_EQ(Fs().RemoveDirectory(PathOf(L"d")), Err::Success);
    EXPECT_FALSE(Exists(PathOf(L"d")));
}

TEST_F(FileContract, MoveFileRenamesAndReplacesOnlyWhenAsked)
{
    WriteFile(PathOf(L"a.txt"), "A");
    WriteFile(PathOf(L"b.txt"), "B");
    EXPECT_EQ(Fs().MoveFile(PathOf(L"a.txt"), PathOf(L"b.txt"), false), Err::AlreadyExists);
    EXPECT_EQ(ReadFile(PathOf(L"b.txt")), "B");
    ASSERT_EQ(Fs().MoveFile(PathOf(L"a.txt"), PathOf(L"b.txt"), true), Err::Success);
    EXPECT_EQ(ReadFile(PathOf(L"b.txt")), "A");
    EXPECT_FALSE(Exists(PathOf(L"a.txt")));
    ASSERT_EQ(Fs().MoveFile(PathOf(L"b.txt"), PathOf(L"c.txt"), false), Err::Success);
    EXPECT_EQ(ReadFile(PathOf(L"c.txt")), "A");
    EXPECT_EQ(Fs().MoveFile(PathOf(L"missing"), PathOf(L"x"), false), Err::FileNotFound);
    EXPECT_EQ(Fs().MoveFile(PathOf(L"c.txt"), PathOf(L"no\\x"), false), Err::PathNotFound);
    EXPECT_TRUE(Exists(PathOf(L"c.txt")));
}

TEST_F(FileContract, MoveFileMovesAFolderWithItsContent)
{
    WriteFile(PathOf(L"src\\inner\\f.txt"), "content");
    MakeFolder(PathOf(L"dst"));
    ASSERT_EQ(Fs().MoveFile(PathOf(L"src"), PathOf(L"dst\\moved"), false), Err::Success);
    EXPECT_EQ(ReadFile(PathOf(L"dst\\moved\\inner\\f.txt")), "content");
    EXPECT_FALSE(Exists(PathOf(L"src")));
    MakeFolder(PathOf(L"other"));
    EXPECT_EQ(Fs().MoveFile(PathOf(L"other"), PathOf(L"dst\\moved"), true), Err::AccessDenied)
        << "a folder never replaces another";
}

TEST_F(FileContract, FindListsDotEntriesAndMatchesLongNamesOnly)
{
    for (const wchar_t* name : {L"a.html", L"b.htm", L"C.HTM", L"noext", L"x", L"longfilename.text"}) {
        WriteFile(PathOf(name), "");
    }
    MakeFolder(PathOf(L"sub.htm"));
    EXPECT_EQ(Find(L"*"), (std::set<std::wstring>{L".", L"..", L"a.html", L"b.htm", L"C.HTM", L"noext", L"x",
                                                  L"longfilename.text", L"sub.htm"}));
    // Short names ("A~1.HTM") must never make "*.htm" catch ".html" files.
    EXPECT_EQ(Find(L"*.htm"), (std::set<std::wstring>{L"b.htm", L"C.HTM", L"sub.htm"}));
    EXPECT_EQ(Find(L"*.tex"), std::set<std::wstring>{});
    EXPECT_EQ(Find(L"*.*").count(L"noext"), 1u) << "*.* also matches names without a dot";
    EXPECT_EQ(Find(L"?"), (std::set<std::wstring>{L".", L"x"}));
    EXPECT_EQ(Find(L"a.*"), std::set<std::wstring>{L"a.html"});
    EXPECT_EQ(Find(L"NOEXT"), std::set<std::wstring>{L"noext"}) << "a plain name finds that entry";
}

TEST_F(FileContract, FindReportsAttributesAndSizes)
{
    WriteFile(PathOf(L"five.bin"), "12345");
    MakeFolder(PathOf(L"folder"));
    UniqueFind find;
    FindData data;
    ASSERT_EQ(Fs().FindFirst(PathOf(L"f*"), &data, find.put()), Err::Success);
    std::vector<FindData> found{data};
    while (Fs().FindNext(find.get(), &data) == Err::Success) {
        found.push_back(data);
    }
    ASSERT_EQ(found.size(), 2u);
    for (const FindData& entry : found) {
        if (entry.name == L"five.bin") {
            EXPECT_EQ(entry.size, 5u);
            EXPECT_EQ(entry.attributes & FileAttr::Directory, 0u);
            EXPECT_NE(entry.lastWriteTime, 0u);
        } else {
            EXPECT_EQ(entry.name, L"folder");
            EXPECT_NE(entry.attributes & FileAttr::Directory, 0u);
        }
    }
}

TEST_F(FileContract, FindFailsWith2WhenNothingMatchesAnd3WhenTheFolderIsMissing)
{
    Status status = Err::Success;
    EXPECT_TRUE(Find(L"*.none", &status).empty());
    EXPECT_EQ(status, Err::FileNotFound);
    Find(L"missing\\*", &status);
    EXPECT_EQ(status, Err::PathNotFound);
    FindData data;
    FindHandle find = nullptr;
    EXPECT_EQ(Fs().FindFirst(ScratchFolder() + L"\\", &data, &find), Err::FileNotFound);
}

TEST_F(FileContract, PathsLongerThan260CharactersWork)
{
    std::wstring folder = ScratchFolder();
    for (int i = 0; i < 3; ++i) {
        folder += L"\\" + Repeat(static_cast<wchar_t>(L'a' + i), 100);
        ASSERT_EQ(Fs().CreateDirectory(folder), Err::Success);
    }
    const std::wstring path = folder + L"\\" + Repeat(L'f', 200) + L".txt";
    ASSERT_GT(path.size(), 500u);
    WriteFile(path, "deep");
    EXPECT_EQ(ReadFile(path), "deep");
    UniqueFind find;
    FindData data;
    ASSERT_EQ(Fs().FindFirst(folder + L"\\*.txt", &data, find.put()), Err::Success);
    EXPECT_EQ(data.name.size(), 204u);
    find.reset();
    ASSERT_EQ(Fs().MoveFile(path, folder + L"\\short.txt", false), Err::Success);
    EXPECT_EQ(Fs().DeleteFile(folder + L"\\short.txt"), Err::Success);
}

// ------------------------------------------------------------ wildcard match

TEST(WildcardMatchContract, StarAndQuestionMarkWithoutRegardToCase)
{
    EXPECT_TRUE(WildcardMatch(L"page.HTM", L"*.htm"));
    EXPECT_FALSE(WildcardMatch(L"page.html", L"*.htm"));
    EXPECT_TRUE(WildcardMatch(L"page.html", L"*.htm*"));
    EXPECT_TRUE(WildcardMatch(L"abc", L"a?c"));
    EXPECT_FALSE(WildcardMatch(L"ac", L"a?c"));
    EXPECT_FALSE(WildcardMatch(L"", L"?"));
    EXPECT_TRUE(WildcardMatch(L"", L"*"));
    EXPECT_TRUE(WildcardMatch(L"", L""));
    EXPECT_FALSE(WildcardMatch(L"a", L""));
    EXPECT_TRUE(WildcardMatch(L"aXXbYYc", L"a*b*c"));
    EXPECT_TRUE(WildcardMatch(L"ab", L"a*b"));
    EXPECT_FALSE(WildcardMatch(L"abx", L"a*b"));
    EXPECT_TRUE(WildcardMatch(L"abab", L"*ab"));
    EXPECT_TRUE(WildcardMatch(L"Thumbs.db", L"THUMBS.DB"));
}

TEST(WildcardMatchContract, StarDotStarMatchesNamesWithoutADot)
{
    EXPECT_TRUE(WildcardMatch(L"noext", L"*.*"));
    EXPECT_TRUE(WildcardMatch(L"a.b.c", L"*.*"));
    EXPECT_FALSE(WildcardMatch(L"noext", L"*.?*"));
}

TEST(WildcardMatchContract, ManyStarsDoNotTakeExponentialTime)
{
    const std::wstring name(20000, L'a');
    std::wstring pattern;
    for (int i = 0; i < 50; ++i) {
        pattern += L"*a";
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WildcardMatch(name, pattern + L"*b"));
    EXPECT_TRUE(WildcardMatch(name, pattern + L"*"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// ------------------------------------------------------- events and threads

class ThreadContract : public ::testing::Test {
protected:
    static IThreads& Th() { return Platform::Current().Threads(); }
};

TEST_F(ThreadContract, ManualResetEventsStaySetUntilReset)
{
    UniqueEvent event(Th().CreateEvent(true, false));
    ASSERT_TRUE(event);
    EXPECT_FALSE(Th().IsEventSet(event.get()));
    EXPECT_EQ(Th().WaitEvent(event.get(), 0), kWaitTimeout);
    Th().SetEvent(event.get());
    EXPECT_EQ(Th().WaitEvent(event.get(), 0), Err::Success);
    EXPECT_EQ(Th().WaitEvent(event.get(), 0), Err::Success);
    EXPECT_TRUE(Th().IsEventSet(event.get()));
    Th().ResetEvent(event.get());
    EXPECT_EQ(Th().WaitEvent(event.get(), 10), kWaitTimeout);
}

TEST_F(ThreadContract, AutoResetEventsResetOnTheWaitThatSeesThem)
{
    UniqueEvent event(Th().CreateEvent(false, true));
    ASSERT_TRUE(event);
    EXPECT_TRUE(Th().IsEventSet(event.get())) << "looking does not reset";
    EXPECT_TRUE(Th().IsEventSet(event.get()));
    EXPECT_EQ(Th().WaitEvent(event.get(), 0), Err::Success);
    EXPECT_FALSE(Th().IsEventSet(event.get()));
    EXPECT_EQ(Th().WaitEvent(event.get(), 0), kWaitTimeout);
}

TEST_F(ThreadContract, TimedWaitsLastAboutTheirTime)
{
    UniqueEvent event(Th().CreateEvent(true, false));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Th().WaitEvent(event.get(), 50), kWaitTimeout);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(40));
    EXPECT_LT(waited, std::chrono::seconds(5));
}

TEST_F(ThreadContract, AThreadRunsItsBodyAndCanBeWaitedFor)
{
    UniqueEvent go(Th().CreateEvent(true, false));
    UniqueEvent done(Th().CreateEvent(true, false));
    std::atomic<int> ran{0};
    EventHandle goHandle = go.get();
    EventHandle doneHandle = done.get();
    UniqueThread thread(Th().StartThread([&, goHandle, doneHandle] {
        ASSERT_EQ(Th().WaitEvent(goHandle, 10000), Err::Success);
        ran = 1;
        Th().SetEvent(doneHandle);
    }));
    ASSERT_TRUE(thread);
    EXPECT_EQ(Th().WaitThread(thread.get(), 20), kWaitTimeout) << "still waiting for the go";
    EXPECT_EQ(ran.load(), 0);
    Th().SetEvent(go.get());
    EXPECT_EQ(Th().WaitEvent(done.get(), 10000), Err::Success);
    EXPECT_EQ(Th().WaitThread(thread.get(), 10000), Err::Success);
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(Th().WaitThread(thread.get(), 0), Err::Success) << "an ended thread stays ended";
}

TEST_F(ThreadContract, ClosingAThreadWaitsForItsEnd)
{
    std::atomic<bool> finished{false};
    ThreadHandle thread = Th().StartThread([&] {
        Th().Sleep(30);
        finished = true;
    });
    ASSERT_NE(thread, nullptr);
    Th().CloseThread(thread);
    EXPECT_TRUE(finished.load());
}

TEST_F(ThreadContract, SleepSleeps)
{
    const auto start = std::chrono::steady_clock::now();
    Th().Sleep(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
}

// ------------------------------------------------------------- named locks

class NamedLockContract : public ThreadContract {
protected:
    // Names of their own, so that no other program's lock interferes.
    static constexpr std::wstring_view kName = L"Local\\CorvaneTests.Lock.A";
    static constexpr std::wstring_view kOtherName = L"Local\\CorvaneTests.Lock.B";

    static Status Take(std::wstring_view name, UniqueNamedLock* lock)
    {
        LockHandle handle = nullptr;
        const Status s = Th().AcquireNamedLock(name, &handle);
        if (s == Err::Success) {
            lock->reset(handle);
        }
        return s;
    }
};

TEST_F(NamedLockContract, OneHolderAtATimeAndTheHolderItselfIsRefused)
{
    UniqueNamedLock first;
    ASSERT_EQ(Take(kName, &first), Err::Success);
    ASSERT_TRUE(first);
    LockHandle untouched = reinterpret_cast<LockHandle>(uintptr_t{1});
    EXPECT_EQ(Th().AcquireNamedLock(kName, &untouched), Err::AlreadyExists) << "the same thread may not take it twice";
    EXPECT_EQ(untouched, reinterpret_cast<LockHandle>(uintptr_t{1}));

    UniqueNamedLock other;
    EXPECT_EQ(Take(kOtherName, &other), Err::Success) << "names are independent";

    first.reset();
    UniqueNamedLock again;
    EXPECT_EQ(Take(kName, &again), Err::Success) << "released locks can be taken again";
}

TEST_F(NamedLockContract, AnotherThreadIsRefusedWhileTheLockIsHeld)
{
    UniqueNamedLock held;
    ASSERT_EQ(Take(kName, &held), Err::Success);
    Status whileHeld = Err::Success;
    Status afterRelease = Err::InvalidFunction;
    UniqueEvent released(Th().CreateEvent(true, false));
    UniqueEvent tried(Th().CreateEvent(true, false));
    EventHandle releasedHandle = released.get();
    EventHandle triedHandle = tried.get();
    UniqueThread thread(Th().StartThread([&, releasedHandle, triedHandle] {
        UniqueNamedLock lock;
        whileHeld = Take(kName, &lock);
        Th().SetEvent(triedHandle);
        if (Th().WaitEvent(releasedHandle, 10000) == Err::Success) {
            afterRelease = Take(kName, &lock);
        }
        // Released here, on the thread that took it.
    }));
    ASSERT_TRUE(thread);
    ASSERT_EQ(Th().WaitEvent(tried.get(), 10000), Err::Success);
    held.reset();
    Th().SetEvent(released.get());
    ASSERT_EQ(Th().WaitThread(thread.get(), 10000), Err::Success);
    EXPECT_EQ(whileHeld, Err::AlreadyExists);
    EXPECT_EQ(afterRelease, Err::Success);
    UniqueNamedLock last;
    EXPECT_EQ(Take(kName, &last), Err::Success) << "the other thread released it";
}

TEST_F(NamedLockContract, AnEmptyNameIsRefused)
{
    LockHandle handle = nullptr;
    EXPECT_EQ(Th().AcquireNamedLock(L"", &handle), Err::InvalidParameter);
    EXPECT_EQ(handle, nullptr);
}

#ifdef _WIN32
// Windows gives a lock whose holding thread ended without releasing to the
// next taker, so that a command line that crashed never blocks the program.
TEST_F(NamedLockContract, ALockWhoseHolderEndedIsFreeAgain)
{
    LockHandle abandoned = nullptr;
    UniqueThread thread(Th().StartThread([&] { ASSERT_EQ(Th().AcquireNamedLock(kName, &abandoned), Err::Success); }));
    ASSERT_TRUE(thread);
    ASSERT_EQ(Th().WaitThread(thread.get(), 10000), Err::Success);
    UniqueNamedLock next;
    EXPECT_EQ(Take(kName, &next), Err::Success);
    next.reset();
    Th().ReleaseNamedLock(abandoned);  // only closes the ended thread's handle
}
#endif

}  // namespace
