// The Windows registry backend on the real registry: the 64-bit view for a
// 32-bit process, the rights keys are opened with, and sizes up to the
// system's own limits.
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

using Platform::KeyAccess;
using Platform::UniqueKey;
using Platform::Win32::UniqueHkey;

std::wstring RandomKeyName()
{
    return L"View" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount());
}

LONG OpenDirect(const std::wstring& path, REGSAM view, UniqueHkey* key)
{
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, key->put());
}

// The 32-bit program writes HKLM\Software where Windows reads it: the key
// shows in the 64-bit view, not under Wow6432Node, and is deleted there.
TEST(Win32RegistryView, LocalMachineSoftwareKeysLiveInThe64BitView)
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    const std::wstring path = L"Software\\CorvaneTests\\" + RandomKeyName();
    const Platform::ScopeExit removeParent(
        [&] { (void)reg.DeleteKey(Platform::LocalMachine(), L"Software\\CorvaneTests"); });
    {
        UniqueKey key;
        bool created = false;
        ASSERT_EQ(reg.CreateKey(Platform::LocalMachine(), path, key.put(), &created), Err::Success);
        EXPECT_TRUE(created);
        const uint32_t marker = 0x64;
        ASSERT_EQ(reg.SetValue(key.get(), L"Marker", Platform::RegType::Dword,
                               reinterpret_cast<const uint8_t*>(&marker), sizeof(marker)),
                  Err::Success);
    }
    const Platform::ScopeExit removeKey([&] { (void)reg.DeleteKey(Platform::LocalMachine(), path); });

    UniqueHkey direct;
    ASSERT_EQ(OpenDirect(path, KEY_WOW64_64KEY, &direct), ERROR_SUCCESS);
    DWORD marker = 0;
    DWORD size = sizeof(marker);
    EXPECT_EQ(::RegQueryValueExW(direct.get(), L"Marker", nullptr, nullptr, reinterpret_cast<BYTE*>(&marker), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(marker, 0x64u);
    direct.reset();

    UniqueHkey redirected;
    EXPECT_EQ(OpenDirect(path, KEY_WOW64_32KEY, &redirected), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenDirect(L"Software\\Wow6432Node\\CorvaneTests", KEY_WOW64_64KEY, &redirected), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(reg.DeleteKey(Platform::LocalMachine(), path), Err::Success);
    EXPECT_EQ(OpenDirect(path, KEY_WOW64_64KEY, &direct), ERROR_FILE_NOT_FOUND);
}

// Proves that the test above means something: without the view flag a 32-bit
// process on 64-bit Windows does land under Wow6432Node.
TEST(Win32RegistryView, PlainApiOfA32BitProcessIsRedirected)
{
    if (!Platform::Win32::RunsUnderWow64()) {
        GTEST_SKIP() << "not a 32-bit process on 64-bit Windows";
    }
    const std::wstring path = L"Software\\CorvaneTests\\" + RandomKeyName() + L"_plain";
    UniqueHkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    key.reset();
    UniqueHkey probe;
    EXPECT_EQ(OpenDirect(path, KEY_WOW64_64KEY, &probe), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenDirect(path, KEY_WOW64_32KEY, &probe), ERROR_SUCCESS);
    probe.reset();
    EXPECT_EQ(::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str()), ERROR_SUCCESS);
    (void)::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\CorvaneTests");
}

class Win32Registry : public Testing::ScratchTest {};

TEST_F(Win32Registry, ReadAccessRefusesChanges)
{
    UniqueKey key;
    ASSERT_EQ(Reg().OpenKey(ScratchRoot(), ScratchKeyPath(), KeyAccess::Read, key.put()), Err::Success);
    const uint8_t byte = 1;
    EXPECT_EQ(Reg().SetValue(key.get(), L"Refused", Platform::RegType::Binary, &byte, 1), Err::AccessDenied);
    UniqueKey child;
    bool created = false;
    // Wine checks the rights of the handle for values but not for new subkeys.
    if (!Testing::Wine::Running()) {
        EXPECT_EQ(Reg().CreateKey(key.get(), L"Refused", child.put(), &created), Err::AccessDenied);
    }

    UniqueKey change;
    ASSERT_EQ(Reg().OpenKey(ScratchRoot(), ScratchKeyPath(), KeyAccess::Change, change.put()), Err::Success);
    EXPECT_EQ(Reg().SetValue(change.get(), L"Allowed", Platform::RegType::Binary, &byte, 1), Err::Success);
    EXPECT_EQ(Reg().CreateKey(change.get(), L"Allowed", child.put(), &created), Err::Success);
}

TEST_F(Win32Registry, ClosingAPredefinedRootLeavesItUsable)
{
    EXPECT_EQ(Reg().CloseKey(Platform::CurrentUser()), Err::Success);
    UniqueKey key;
    EXPECT_EQ(Reg().OpenKey(Platform::CurrentUser(), ScratchKeyPath(), KeyAccess::Read, key.put()), Err::Success);
}

TEST_F(Win32Registry, NamesUpToTheSystemLimitsRoundTrip)
{
    const std::wstring longKey(255, L'K');
    const std::wstring longValue(16383, L'V');
    UniqueKey child;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), longKey, child.put(), &created), Err::Success);
    const uint8_t byte = 7;
    ASSERT_EQ(Reg().SetValue(child.get(), longValue, Platform::RegType::Binary, &byte, 1), Err::Success);

    std::wstring name;
    ASSERT_EQ(Reg().EnumKey(ScratchKey(), 0, &name), Err::Success);
    EXPECT_EQ(name, longKey);
    uint32_t type = 0;
    ASSERT_EQ(Reg().EnumValue(child.get(), 0, &name, &type), Err::Success);
    EXPECT_EQ(name, longValue);
    EXPECT_EQ(type, Platform::RegType::Binary);
    EXPECT_EQ(Reg().EnumValue(child.get(), 1, &name, &type), Err::NoMoreItems);

    Platform::KeyInfo info;
    ASSERT_EQ(Reg().QueryKeyInfo(child.get(), &info), Err::Success);
    EXPECT_EQ(info.values, 1u);
    EXPECT_EQ(info.maxValueNameLength, 16383u);
}

// Windows refuses key names beyond 255 characters; Wine takes 256. Whatever
// the system lets exist must enumerate, or a tree could not be deleted.
TEST_F(Win32Registry, EveryExistingKeyNameEnumerates)
{
    const std::wstring overlong(256, L'L');
    UniqueKey child;
    bool created = false;
    if (Reg().CreateKey(ScratchKey(), overlong, child.put(), &created) != Err::Success) {
        GTEST_SKIP() << "the system refuses names this long";
    }
    std::wstring name;
    ASSERT_EQ(Reg().EnumKey(ScratchKey(), 0, &name), Err::Success);
    EXPECT_EQ(name, overlong);
}

// Value data is sized from what the system reports, whatever the size.
TEST_F(Win32Registry, LargeValuesComeBackWhole)
{
    std::vector<uint8_t> big(4 * 1024 * 1024 + 3);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
    }
    ASSERT_EQ(Reg().SetValue(ScratchKey(), L"Big", Platform::RegType::Binary, big.data(), big.size()), Err::Success);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"BIG", &type, &data), Err::Success);
    EXPECT_EQ(type, Platform::RegType::Binary);
    EXPECT_TRUE(data == big);

    // An empty value is zero bytes, not a failure.
    ASSERT_EQ(Reg().SetValue(ScratchKey(), L"Empty", Platform::RegType::Sz, nullptr, 0), Err::Success);
    data.assign(5, 0xEE);
    ASSERT_EQ(Reg().QueryValue(ScratchKey(), L"Empty", &type, &data), Err::Success);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(type, Platform::RegType::Sz);
}

// Performance data reports no size in advance; the query grows its buffer
// until the whole block fits.
TEST(Win32RegistryPerformanceData, GlobalBlockIsReadWhole)
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    uint32_t type = 0;
    std::vector<uint8_t> data;
    const Platform::Status status = reg.QueryValue(Platform::PerformanceData(), L"Global", &type, &data);
    ASSERT_EQ(status, Err::Success);
    ASSERT_GE(data.size(), 8u);
    // A PERF_DATA_BLOCK starts with L"PERF".
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data()), 4), L"PERF");
    EXPECT_EQ(reg.CloseKey(Platform::PerformanceData()), Err::Success);
}

TEST_F(Win32Registry, DeletingAKeyWithSubkeysIsRefused)
{
    UniqueKey child;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchKey(), L"Parent\\Child", child.put(), &created), Err::Success);
    child.reset();
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"Parent"), Err::AccessDenied);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"Parent\\Child"), Err::Success);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"Parent"), Err::Success);
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L"Parent"), Err::FileNotFound);
    // An empty name would name the key itself; it is refused, not obeyed.
    EXPECT_EQ(Reg().DeleteKey(ScratchKey(), L""), Err::InvalidParameter);
    EXPECT_TRUE(KeyExists(L""));
}

}  // namespace
