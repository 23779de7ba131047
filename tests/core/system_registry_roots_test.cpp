#include <gtest/gtest.h>

#include "core/system/RegistryRoots.h"
#include "tests/core/system_test_support.h"

namespace {

class SystemRegistryRoots : public Testing::SystemTest {};

TEST_F(SystemRegistryRoots, EveryRootHasItsShortName)
{
    const std::pair<const wchar_t*, Platform::KeyHandle> roots[] = {
        {L"HKLM", Platform::LocalMachine()}, {L"HKCR", Platform::ClassesRoot()},
        {L"HKCU", Platform::CurrentUser()},  {L"HKCC", Platform::CurrentConfig()},
        {L"HKUR", Platform::Users()},        {L"HKPD", Platform::PerformanceData()},
        {L"HKDD", Platform::DynData()},
    };
    for (const auto& [name, root] : roots) {
        EXPECT_EQ(Sys::RootKeyName(root), name);
        EXPECT_EQ(Sys::RootKeyFromName(name), root) << name;
    }
}

TEST_F(SystemRegistryRoots, NamesAreExactAndCaseSensitive)
{
    EXPECT_EQ(Sys::RootKeyFromName(L"hklm"), nullptr);
    EXPECT_EQ(Sys::RootKeyFromName(L"HKU"), nullptr);
    EXPECT_EQ(Sys::RootKeyFromName(L"HKLM "), nullptr);
    EXPECT_EQ(Sys::RootKeyFromName(L".default"), nullptr);
    EXPECT_EQ(Sys::RootKeyFromName(L""), nullptr);
}

TEST_F(SystemRegistryRoots, OtherKeysHaveNoName)
{
    EXPECT_EQ(Sys::RootKeyName(ScratchKey()), L"");
    EXPECT_EQ(Sys::RootKeyName(nullptr), L"");
}

TEST_F(SystemRegistryRoots, DefaultUserKeyIsOpenedOnceAndNamed)
{
    const Platform::KeyHandle first = Sys::RootKeyFromName(L".DEFAULT");
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(Platform::IsPredefinedKey(first));
    EXPECT_EQ(Sys::RootKeyFromName(L".DEFAULT"), first);
    EXPECT_EQ(Sys::RootKeyName(first), L".DEFAULT");
    // It is HKEY_USERS\.DEFAULT with the rights to change it.
    Platform::UniqueKey sub;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(first, L"Software\\CorvaneTests", sub.put(), &created), 0u);
    sub.reset();
    if (created) {
        EXPECT_EQ(Reg().DeleteKey(first, L"Software\\CorvaneTests"), 0u);
    }
}

#ifndef _WIN32
TEST_F(SystemRegistryRoots, AFailedOpenOfTheDefaultUserKeyIsRetried)
{
    Portable().Faults().FailWhen(Platform::Portable::Operation::OpenKey, L"HKU\\.DEFAULT", Err::FileNotFound, 1);
    EXPECT_EQ(Sys::RootKeyFromName(L".DEFAULT"), nullptr);
    EXPECT_EQ(Sys::RootKeyName(nullptr), L"");
    EXPECT_NE(Sys::RootKeyFromName(L".DEFAULT"), nullptr);
}

TEST_F(SystemRegistryRoots, AStandardUserStillReadsTheDefaultUserKey)
{
    bool created = false;
    Platform::KeyHandle made = nullptr;
    ASSERT_EQ(Reg().CreateKey(Platform::Users(), L".DEFAULT\\Software\\Probe", &made, &created), 0u);
    ASSERT_EQ(Reg().SetValue(made, L"Level", Platform::RegType::Dword, reinterpret_cast<const uint8_t*>("\1\0\0\0"), 4),
              0u);
    (void)Reg().CloseKey(made);
    ASSERT_EQ(
        Portable().Registry().SetProtection(Platform::Users(), L".DEFAULT", Platform::Portable::Protection::ReadOnly),
        0u);

    const Platform::KeyHandle root = Sys::RootKeyFromName(L".DEFAULT");
    ASSERT_NE(root, nullptr);
    Platform::UniqueKey key;
    ASSERT_EQ(Reg().OpenKey(root, L"Software\\Probe", Platform::KeyAccess::Read, key.put()), 0u);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(Reg().QueryValue(key.get(), L"Level", &type, &data), 0u);
    EXPECT_EQ(data, (std::vector<uint8_t>{1, 0, 0, 0}));
    // Changing it is refused, not redirected anywhere else.
    EXPECT_EQ(Reg().SetValue(root, L"New", Platform::RegType::Dword, data.data(), data.size()), Err::AccessDenied);
}
#endif

}  // namespace
