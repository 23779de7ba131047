#include <gtest/gtest.h>

#include <string>

#include "core/system/OsVersion.h"
#include "tests/core/system_test_support.h"

namespace {

using Platform::VersionInfo;
namespace Code = Sys::OsCode;

VersionInfo Version(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build, std::wstring servicePack = {},
                    uint8_t productType = 1, uint16_t suiteMask = 0)
{
    VersionInfo v;
    v.platformId = platformId;
    v.major = major;
    v.minor = minor;
    v.build = build;
    v.servicePack = std::move(servicePack);
    v.productType = productType;
    v.suiteMask = suiteMask;
    return v;
}

VersionInfo Nt(uint32_t major, uint32_t minor, uint32_t build, std::wstring servicePack = {}, uint8_t productType = 1,
               uint16_t suiteMask = 0)
{
    return Version(2, major, minor, build, std::move(servicePack), productType, suiteMask);
}

TEST(SystemOsVersionCode, EveryKnownVersionHasItsCode)
{
    const std::pair<VersionInfo, int> cases[] = {
        {Version(0, 3, 10, 0), Code::Win32s},       {Version(1, 4, 0, 950), Code::Windows95},
        {Version(1, 4, 10, 1998), Code::Windows98}, {Version(1, 4, 90, 3000), Code::WindowsMe},
        {Nt(3, 51, 1057), Code::WindowsNt4},        {Nt(4, 0, 1381), Code::WindowsNt4},
        {Nt(5, 0, 2195), Code::Windows2000},        {Nt(5, 1, 2600), Code::WindowsXp},
        {Nt(5, 2, 3790), Code::WindowsServer2003},  {Nt(6, 0, 6002), Code::WindowsVista},
        {Nt(6, 1, 7601), Code::Windows7},           {Nt(6, 2, 9200), Code::Windows8},
        {Nt(6, 3, 9600), Code::Windows81},          {Nt(10, 0, 19045), Code::Windows10},
        {Nt(10, 0, 21999), Code::Windows10},        {Nt(10, 0, 22000), Code::Windows11},
        {Nt(10, 0, 22631), Code::Windows11},        {Nt(10, 1, 0), Code::Windows11},
        {Nt(11, 0, 30000), Code::Windows11},
    };
    for (const auto& [version, code] : cases) {
        EXPECT_EQ(Sys::OsVersionCode(version), code)
            << version.platformId << " " << version.major << "." << version.minor << "." << version.build;
    }
}

TEST(SystemOsVersionCode, VersionsBetweenKnownOnesAreUnknown)
{
    EXPECT_EQ(Sys::OsVersionCode(Version(1, 4, 20, 0)), Code::Unknown);
    EXPECT_EQ(Sys::OsVersionCode(Version(1, 5, 0, 0)), Code::Unknown);
    EXPECT_EQ(Sys::OsVersionCode(Nt(5, 3, 0)), Code::Unknown);
    EXPECT_EQ(Sys::OsVersionCode(Nt(6, 4, 9841)), Code::Unknown);
    EXPECT_EQ(Sys::OsVersionCode(Version(3, 10, 0, 0)), Code::Unknown);
}

class SystemOsVersion : public Testing::SystemTest {};

// Under Wine the report is whatever Wine claims to be; the code and the name
// must agree with it.
TEST_F(SystemOsVersion, TheRunningSystemIsRecognised)
{
    const VersionInfo v = Os().System().GetVersion();
    const int code = Sys::GetOsVersionCode();
    EXPECT_EQ(code, Sys::OsVersionCode(v));
    EXPECT_NE(code, Code::Unknown);
    const std::wstring name = Sys::GetOsDisplayName();
    EXPECT_NE(name.find(L"(Build " + std::to_wstring(v.build & 0xFFFF) + L")"), std::wstring::npos) << name;
    EXPECT_NE(name.find(L"Windows"), std::wstring::npos) << name;
}

#ifndef _WIN32
class SystemOsDisplayName : public Testing::SystemTest {
protected:
    std::wstring NameOf(const VersionInfo& v, std::wstring_view productName = {})
    {
        EXPECT_EQ(Portable().SetWindowsVersion(v, productName), 0u);
        Sys::ResetSystemCachesForTesting();
        return Sys::GetOsDisplayName();
    }
    void MakeMachineKey(std::wstring_view path)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(Platform::LocalMachine(), path, key.put(), &created), 0u);
    }
    void WriteMachineText(std::wstring_view path, std::wstring_view name, std::wstring_view text)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(Platform::LocalMachine(), path, key.put(), &created), 0u);
        const auto bytes = Testing::StringBytes(text);
        ASSERT_EQ(Reg().SetValue(key.get(), name, Platform::RegType::Sz, bytes.data(), bytes.size()), 0u);
    }
};

TEST_F(SystemOsDisplayName, ModernWindowsTakesTheProductNameAndTheBuild)
{
    EXPECT_EQ(NameOf(Nt(6, 1, 7601, L"Service Pack 1"), L"Windows 7 Ultimate"),
              L"Windows 7 Ultimate, Service Pack 1 (Build 7601)");
    EXPECT_EQ(NameOf(Nt(6, 2, 9200), L"Windows 8 Pro"), L"Windows 8 Pro, (Build 9200)");
    EXPECT_EQ(NameOf(Nt(6, 3, 9600), L"Windows 8.1 Pro"), L"Windows 8.1 Pro, (Build 9600)");
    EXPECT_EQ(NameOf(Nt(10, 0, 19045), L"Windows 10 Pro"), L"Windows 10 Pro, (Build 19045)");
}

// Windows 11 still stores "Windows 10" in ProductName.
TEST_F(SystemOsDisplayName, Windows11IsCalledSoWhateverTheRegistrySays)
{
    EXPECT_EQ(NameOf(Nt(10, 0, 22631), L"Windows 10 Pro"), L"Windows 11 Pro, (Build 22631)");
    EXPECT_EQ(NameOf(Nt(11, 0, 30000), L"Windows 10 Enterprise"), L"Windows 11 Enterprise, (Build 30000)");
    EXPECT_EQ(NameOf(Nt(10, 0, 22631), L"Windows 11 Home"), L"Windows 11 Home, (Build 22631)");
}

// The name is never empty: without ProductName the version names itself.
TEST_F(SystemOsDisplayName, AMissingProductNameIsReplacedByTheVersionsName)
{
    EXPECT_EQ(NameOf(Nt(6, 0, 6002, L"Service Pack 2")), L"Windows Vista, Service Pack 2 (Build 6002)");
    EXPECT_EQ(NameOf(Nt(6, 3, 9600)), L"Windows 8.1, (Build 9600)");
    EXPECT_EQ(NameOf(Nt(10, 0, 22631)), L"Windows 11, (Build 22631)");
}

TEST_F(SystemOsDisplayName, UnknownVersionsKeepTheBuildSuffix)
{
    EXPECT_EQ(NameOf(Nt(5, 3, 4000)), L"Unknown OS, (Build 4000)");
}

TEST_F(SystemOsDisplayName, WindowsNineXUsesTheReleaseLetterAndTheLowBuildBits)
{
    EXPECT_EQ(NameOf(Version(1, 4, 0, 0x04000457, L" C")), L"Microsoft Windows 95 OSR2,  C (Build 1111)");
    EXPECT_EQ(NameOf(Version(1, 4, 0, 0x040003B6)), L"Microsoft Windows 95, (Build 950)");
    EXPECT_EQ(NameOf(Version(1, 4, 10, 0x040A08AE, L" A")), L"Microsoft Windows 98 SE,  A (Build 2222)");
    EXPECT_EQ(NameOf(Version(1, 4, 90, 3000)), L"Microsoft Windows Millennium Edition, (Build 3000)");
    EXPECT_EQ(NameOf(Version(0, 1, 30, 0)), L"Microsoft Win32s, (Build 0)");
}

TEST_F(SystemOsDisplayName, NtFourServicePack6aNeedsTheHotfixKey)
{
    const VersionInfo v = Nt(4, 0, 1381, L"Service Pack 6");
    EXPECT_EQ(NameOf(v), L"Microsoft Windows NT Workstation 4.0, Service Pack 6 (Build 1381)");
    MakeMachineKey(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
    EXPECT_EQ(NameOf(v), L"Microsoft Windows NT Workstation 4.0, Service Pack 6a (Build 1381)");
}

TEST_F(SystemOsDisplayName, NtFourEditions)
{
    EXPECT_EQ(NameOf(Nt(4, 0, 1381, L"Service Pack 3", 3, 0x0002)),
              L"Microsoft Windows NT Server 4.0, Enterprise Edition, Service Pack 3 (Build 1381)");
    EXPECT_EQ(NameOf(Nt(4, 0, 1381, L"", 3)), L"Microsoft Windows NT Server 4.0, (Build 1381)");
    EXPECT_EQ(NameOf(Nt(4, 0, 1381, L"", 2)), L"Microsoft Windows NT, (Build 1381)");
    // NT 3.x workstation gets neither edition nor suffix.
    EXPECT_EQ(NameOf(Nt(3, 51, 1057)), L"Microsoft Windows NT");
}

TEST_F(SystemOsDisplayName, NtFourWithoutExtendedInformationReadsTheProductType)
{
    VersionInfo v = Nt(4, 0, 1381, L"Service Pack 3");
    v.extended = false;
    EXPECT_EQ(NameOf(v), L"Microsoft Windows NT, Service Pack 3 (Build 1381)");
    WriteMachineText(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType", L"LanmanNT");
    EXPECT_EQ(NameOf(v), L"Microsoft Windows NT Server 4.0 , Service Pack 3 (Build 1381)");
    WriteMachineText(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType", L"WinNT");
    EXPECT_EQ(NameOf(v), L"Microsoft Windows NT Workstation 4.0 , Service Pack 3 (Build 1381)");
    WriteMachineText(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType", L"SERVERNT");
    EXPECT_EQ(NameOf(v), L"Microsoft Windows NT Advanced Server 4.0 , Service Pack 3 (Build 1381)");
}

TEST_F(SystemOsDisplayName, Windows2000Editions)
{
    EXPECT_EQ(NameOf(Nt(5, 0, 2195, L"Service Pack 4", 3, 0x0082)),
              L"Microsoft Windows 2000 Datacenter Server, Service Pack 4 (Build 2195)");
    EXPECT_EQ(NameOf(Nt(5, 0, 2195, L"", 3, 0x0002)), L"Microsoft Windows 2000 Advanced Server, (Build 2195)");
    EXPECT_EQ(NameOf(Nt(5, 0, 2195, L"", 3)), L"Microsoft Windows 2000 Server, (Build 2195)");
    EXPECT_EQ(NameOf(Nt(5, 0, 2195, L"", 1)), L"Microsoft Windows 2000 Professional, (Build 2195)");
    EXPECT_EQ(NameOf(Nt(5, 0, 2195, L"", 1, 0x0200)), L"Microsoft Windows 2000 Home Edition, (Build 2195)");
    EXPECT_EQ(NameOf(Nt(5, 0, 2195, L"", 2)), L"Microsoft Windows 2000, (Build 2195)");
}

TEST_F(SystemOsDisplayName, WindowsXpEditions)
{
    EXPECT_EQ(NameOf(Nt(5, 1, 2600, L"Service Pack 3")),
              L"Microsoft Windows XP Professional, Service Pack 3 (Build 2600)");
    EXPECT_EQ(NameOf(Nt(5, 1, 2600, L"", 1, 0x0200)), L"Microsoft Windows XP Home Edition, (Build 2600)");
    EXPECT_EQ(NameOf(Nt(5, 1, 2600, L"", 3)), L"Microsoft Windows XP, (Build 2600)");
}

TEST_F(SystemOsDisplayName, Server2003Editions)
{
    const std::wstring family = L"Microsoft Windows Server 2003 family,";
    EXPECT_EQ(NameOf(Nt(5, 2, 3790, L"", 3, 0x0080)), family + L" Datacenter Edition, (Build 3790)");
    EXPECT_EQ(NameOf(Nt(5, 2, 3790, L"", 3, 0x0002)), family + L" Enterprise Edition, (Build 3790)");
    EXPECT_EQ(NameOf(Nt(5, 2, 3790, L"", 3, 0x0400)), family + L" Web Edition, (Build 3790)");
    EXPECT_EQ(NameOf(Nt(5, 2, 3790, L"", 3, 0x0410)), family + L" Standard Edition, (Build 3790)");
    EXPECT_EQ(NameOf(Nt(5, 2, 3790, L"", 1, 0x0200)), family + L" Home Edition, (Build 3790)");
    EXPECT_EQ(NameOf(Nt(5, 2, 3790, L"", 2)), family + L" Professional, (Build 3790)");
}

class SystemOsVersionCache : public Testing::SystemTest {};

TEST_F(SystemOsVersionCache, KnownCodesAreCachedButUnknownOnesAreNot)
{
    Portable().System().SetVersion(Nt(5, 3, 0));
    EXPECT_EQ(Sys::GetOsVersionCode(), Code::Unknown);
    Portable().System().SetVersion(Nt(6, 1, 7601));
    EXPECT_EQ(Sys::GetOsVersionCode(), Code::Windows7);
    Portable().System().SetVersion(Nt(6, 0, 6002));
    EXPECT_EQ(Sys::GetOsVersionCode(), Code::Windows7);
}

TEST_F(SystemOsVersionCache, TheDisplayNameIsComputedOnce)
{
    ASSERT_EQ(Portable().SetWindowsVersion(Nt(10, 0, 19045), L"Windows 10 Pro"), 0u);
    const std::wstring first = Sys::GetOsDisplayName();
    ASSERT_EQ(Portable().SetWindowsVersion(Nt(10, 0, 19045), L"Windows 10 Home"), 0u);
    EXPECT_EQ(Sys::GetOsDisplayName(), first);
}
#endif

}  // namespace
