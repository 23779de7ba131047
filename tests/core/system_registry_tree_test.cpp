#include <gtest/gtest.h>

#include <string>

#include "core/system/RegistryTree.h"
#include "tests/core/system_test_support.h"

namespace {

using Platform::KeyAccess;
using Platform::UniqueKey;
using Testing::CountingTracer;
namespace Code = RTI::TraceCode;

class SystemRegistryTree : public Testing::SystemTest {
protected:
    // Tree\{v1, v2, Sub1\{v3, Deep\{}}, Sub2\{v4}}: four keys, four values.
    void MakeTree()
    {
        WriteString(L"Tree", L"v1", L"one");
        WriteDword(L"Tree", L"v2", 2);
        WriteString(L"Tree\\Sub1", L"v3", L"three");
        UniqueKey deep;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"Tree\\Sub1\\Deep", deep.put(), &created), 0u);
        WriteString(L"Tree\\Sub2", L"v4", L"four");
    }

    UniqueKey Open(std::wstring_view subKey)
    {
        UniqueKey key;
        EXPECT_EQ(Reg().OpenKey(ScratchKey(), subKey, KeyAccess::Change, key.put()), 0u) << "opening a test key";
        return key;
    }
};

TEST_F(SystemRegistryTree, DeleteKeyTreeRemovesEveryLevelAndReportsEachValueAndKey)
{
    MakeTree();
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree", &tracer), 0u);
    EXPECT_FALSE(KeyExists(L"Tree"));
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 4);
    EXPECT_EQ(tracer.Count(Code::KeyRemoved), 4);
    EXPECT_EQ(tracer.SumOfFirsts(Code::KeyRemoved), 0);
}

TEST_F(SystemRegistryTree, DeleteKeyTreeWorksBelowAPathAndWithoutTracer)
{
    MakeTree();
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree\\Sub1", nullptr), 0u);
    EXPECT_FALSE(KeyExists(L"Tree\\Sub1"));
    EXPECT_TRUE(KeyExists(L"Tree\\Sub2"));
}

TEST_F(SystemRegistryTree, DeleteKeyTreeOfAMissingKeyReturnsTheOpenError)
{
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Missing", &tracer), Err::FileNotFound);
    EXPECT_EQ(tracer.Count(Code::KeyRemoved), 0);
}

// An empty subkey would name the parent itself.
TEST_F(SystemRegistryTree, DeleteKeyTreeRefusesAnEmptySubkey)
{
    WriteString(L"", L"keep", L"me");
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"", nullptr), Err::InvalidParameter);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"", L"keep", &type, &data), 0u);
}

TEST_F(SystemRegistryTree, DeleteKeyTreeHandlesTheLongestNames)
{
    const std::wstring keyName(255, L'k');
    const std::wstring valueName(16383, L'v');
    WriteString(L"Long\\" + keyName, valueName, L"x");
    WriteString(L"Long\\" + keyName, L"{645FF040-5081-101B-9F08-00AA002F954E}", L"x");
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Long", &tracer), 0u);
    EXPECT_FALSE(KeyExists(L"Long"));
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 2);
    EXPECT_EQ(tracer.Count(Code::KeyRemoved), 2);
}

TEST_F(SystemRegistryTree, ClearValueKeepsTheTypeAndEmptiesTheData)
{
    WriteDword(L"K", L"Number", 7);
    WriteString(L"K", L"Text", L"hello");
    CountingTracer tracer;
    UniqueKey key = Open(L"K");
    EXPECT_EQ(Sys::ClearValue(key.get(), L"number", &tracer), 0u);  // names ignore case
    EXPECT_EQ(Sys::ClearValue(key.get(), L"Text", &tracer), 0u);
    EXPECT_EQ(tracer.Count(Code::ValueCleared), 2);
    uint32_t type = 0;
    std::vector<uint8_t> data{1};
    ASSERT_EQ(ReadValue(L"K", L"Number", &type, &data), 0u);
    EXPECT_EQ(type, Platform::RegType::Dword);
    EXPECT_TRUE(data.empty());
    ASSERT_EQ(ReadValue(L"K", L"Text", &type, &data), 0u);
    EXPECT_EQ(type, Platform::RegType::Sz);
    EXPECT_TRUE(data.empty());
}

TEST_F(SystemRegistryTree, ClearValueOfAMissingValueReturnsTheQueryErrorAndCreatesNothing)
{
    WriteDword(L"K", L"Other", 7);
    CountingTracer tracer;
    UniqueKey key = Open(L"K");
    EXPECT_EQ(Sys::ClearValue(key.get(), L"Missing", &tracer), Err::FileNotFound);
    EXPECT_EQ(tracer.Count(Code::ValueCleared), 0);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"K", L"Missing", &type, &data), Err::FileNotFound);
}

TEST_F(SystemRegistryTree, DeleteValueReportsOnlyWhatWasDeleted)
{
    WriteDword(L"K", L"Gone", 1);
    CountingTracer tracer;
    UniqueKey key = Open(L"K");
    EXPECT_EQ(Sys::DeleteValue(key.get(), L"Gone", &tracer), 0u);
    EXPECT_EQ(Sys::DeleteValue(key.get(), L"Gone", &tracer), Err::FileNotFound);
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 1);
}

TEST_F(SystemRegistryTree, CountValuesCountsBelowTheKeyButNotItsOwnValues)
{
    MakeTree();
    EXPECT_EQ(Sys::CountValues(Open(L"Tree"), Sys::Recursive::No, nullptr), 2u);  // Sub1 and Sub2
    WriteString(L"Tree\\Sub1\\Deep", L"v5", L"five");
    EXPECT_EQ(Sys::CountValues(Open(L"Tree"), Sys::Recursive::No, nullptr), 2u);
    EXPECT_EQ(Sys::CountValues(Open(L"Tree"), Sys::Recursive::Yes, nullptr), 3u);
    EXPECT_EQ(Sys::CountValues(Open(L"Tree\\Sub2"), Sys::Recursive::Yes, nullptr), 0u);
    EXPECT_EQ(Sys::CountValues(UniqueKey(), Sys::Recursive::Yes, nullptr), 0u);
}

TEST_F(SystemRegistryTree, CountValuesYieldsZeroWhenCancelled)
{
    MakeTree();
    auto cancel = SetEvent();
    EXPECT_EQ(Sys::CountValues(Open(L"Tree"), Sys::Recursive::Yes, cancel.get()), 0u);
}

TEST_F(SystemRegistryTree, DeleteValuesDeletesOnlyMatchingNamesAtEveryDepth)
{
    WriteString(L"R", L"Run", L"a");
    WriteString(L"R", L"RunOnce", L"b");
    WriteString(L"R\\Sub", L"run", L"c");
    WriteString(L"R\\Sub\\Deeper", L"Run", L"d");
    WriteString(L"R\\Sub\\Deeper", L"Keep", L"e");
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteValues(ScratchRoot(), ScratchKeyPath() + L"\\R",
                                Sys::NamePattern(L"^Run$", Sys::MatchCase::Ignore), Sys::Recursive::Yes, &tracer),
              0u);
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 3);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"R", L"RunOnce", &type, &data), 0u);
    EXPECT_EQ(ReadValue(L"R\\Sub\\Deeper", L"Keep", &type, &data), 0u);
    EXPECT_EQ(ReadValue(L"R\\Sub", L"run", &type, &data), Err::FileNotFound);
}

TEST_F(SystemRegistryTree, DeleteValuesWithoutRecursionLeavesSubkeysAlone)
{
    WriteString(L"R", L"a", L"1");
    WriteString(L"R", L"", L"default");
    WriteString(L"R\\Sub", L"b", L"2");
    EXPECT_EQ(Sys::DeleteValues(ScratchRoot(), ScratchKeyPath() + L"\\R", Sys::NamePattern::MatchAll(),
                                Sys::Recursive::No, nullptr),
              0u);
    Platform::KeyInfo info;
    EXPECT_EQ(Reg().QueryKeyInfo(Open(L"R").get(), &info), 0u);
    EXPECT_EQ(info.values, 0u);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"R\\Sub", L"b", &type, &data), 0u);
    EXPECT_EQ(Sys::DeleteValues(ScratchRoot(), ScratchKeyPath() + L"\\Missing", Sys::NamePattern::MatchAll(),
                                Sys::Recursive::No, nullptr),
              Err::FileNotFound);
}

#ifndef _WIN32
using Platform::Portable::Operation;
using Platform::Portable::Protection;

// Windows refuses to delete a key that still has subkeys, so a subkey that
// cannot be opened makes its parent's deletion fail after everything else
// below went.
TEST_F(SystemRegistryTree, DeleteKeyTreeIgnoresAChildsFailureAndThenFailsOnTheParent)
{
    MakeTree();
    ASSERT_EQ(Portable().Registry().SetProtection(ScratchKey(), L"Tree\\Sub1", Protection::NoAccess), 0u);
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree", &tracer), Err::AccessDenied);
    EXPECT_TRUE(KeyExists(L"Tree"));
    EXPECT_FALSE(KeyExists(L"Tree\\Sub2"));
    EXPECT_EQ(tracer.Count(Code::KeyRemoved), 1);    // Sub2
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 3);  // v1, v2 and v4
    Platform::KeyInfo info;
    EXPECT_EQ(Reg().QueryKeyInfo(Open(L"Tree").get(), &info), 0u);
    EXPECT_EQ(info.values, 0u);
    EXPECT_EQ(info.subkeys, 1u);
}

TEST_F(SystemRegistryTree, DeleteKeyTreeReportsOnlyValuesThatWereDeleted)
{
    MakeTree();
    Portable().Faults().FailWhen(
        Operation::DeleteValue, [](const Platform::Portable::FaultSubject& s) { return s.name == L"v1"; },
        Err::AccessDenied);
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree\\Sub2", &tracer), 0u);
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree", &tracer), 0u);  // a value never keeps its key
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 3);
    EXPECT_EQ(tracer.Count(Code::KeyRemoved), 4);
}

TEST_F(SystemRegistryTree, DeleteKeyTreeStopsWhenTheKeyCannotBeOpenedOrRead)
{
    MakeTree();
    Portable().Faults().FailWhen(Operation::QueryKeyInfo, ScratchKeyFullPath() + L"\\Tree", Err::AccessDenied, 1);
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree", nullptr), Err::AccessDenied);
    EXPECT_TRUE(KeyExists(L"Tree\\Sub1\\Deep"));
    ASSERT_EQ(Portable().Registry().SetProtection(ScratchKey(), L"Tree", Protection::ReadOnly), 0u);
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree", nullptr), Err::AccessDenied);
    EXPECT_TRUE(KeyExists(L"Tree\\Sub1\\Deep"));
}

TEST_F(SystemRegistryTree, DeleteValuesGoesOnAfterAFailureAndReturnsIt)
{
    WriteString(L"R", L"a", L"1");
    WriteString(L"R", L"b", L"2");
    WriteString(L"R", L"c", L"3");
    Portable().Faults().FailWhen(
        Operation::DeleteValue, [](const Platform::Portable::FaultSubject& s) { return s.name == L"b"; },
        Err::AccessDenied);
    CountingTracer tracer;
    EXPECT_EQ(Sys::DeleteValues(ScratchRoot(), ScratchKeyPath() + L"\\R", Sys::NamePattern::MatchAll(),
                                Sys::Recursive::No, &tracer),
              Err::AccessDenied);
    EXPECT_EQ(tracer.Count(Code::ValueRemoved), 2);
}

TEST_F(SystemRegistryTree, CountValuesSkipsSubkeysThatCannotBeOpened)
{
    MakeTree();
    ASSERT_EQ(Portable().Registry().SetProtection(ScratchKey(), L"Tree\\Sub2", Protection::NoAccess), 0u);
    EXPECT_EQ(Sys::CountValues(Open(L"Tree"), Sys::Recursive::Yes, nullptr), 1u);
}

TEST_F(SystemRegistryTree, HelpersLeaveNoKeyOpen)
{
    MakeTree();
    const size_t before = Portable().Registry().OpenHandleCount();
    (void)Sys::CountValues(Open(L"Tree"), Sys::Recursive::Yes, nullptr);
    EXPECT_EQ(
        Sys::DeleteValues(ScratchRoot(), ScratchKeyPath(), Sys::NamePattern::MatchAll(), Sys::Recursive::Yes, nullptr),
        0u);
    EXPECT_EQ(Sys::DeleteKeyTree(ScratchKey(), L"Tree", nullptr), 0u);
    EXPECT_EQ(Portable().Registry().OpenHandleCount(), before);
}
#endif

}  // namespace
