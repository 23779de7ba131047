#include "core/system/OsVersion.h"

#include <cstdio>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/Caches.h"
#include "core/system/ValueText.h"

namespace Sys {
namespace {

using Platform::VersionInfo;

constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kServer = 3;
constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteBlade = 0x0400;

int NtCode(const VersionInfo& v)
{
    if (v.major <= 4) {
        return OsCode::WindowsNt4;
    }
    if (v.major == 5) {
        return v.minor == 0   ? OsCode::Windows2000
               : v.minor == 1 ? OsCode::WindowsXp
               : v.minor == 2 ? OsCode::WindowsServer2003
                              : OsCode::Unknown;
    }
    if (v.major == 6) {
        return v.minor == 0   ? OsCode::WindowsVista
               : v.minor == 1 ? OsCode::Windows7
               : v.minor == 2 ? OsCode::Windows8
               : v.minor == 3 ? OsCode::Windows81
                              : OsCode::Unknown;
    }
    if (v.major == 10 && v.minor == 0) {
        return v.build < 22000 ? OsCode::Windows10 : OsCode::Windows11;
    }
    return v.major >= 10 ? OsCode::Windows11 : OsCode::Unknown;
}

// The version report and its code; the report is cached only with a known code.
int CurrentCode(VersionInfo* version)
{
    auto& caches = detail::Caches();
    {
        std::lock_guard lock(caches.mutex);
        if (caches.version) {
            if (version) {
                *version = *caches.version;
            }
            return caches.versionCode;
        }
    }
    VersionInfo fresh = Platform::Current().System().GetVersion();
    const int code = OsVersionCode(fresh);
    if (code != OsCode::Unknown) {
        std::lock_guard lock(caches.mutex);
        caches.version = fresh;
        caches.versionCode = code;
    }
    if (version) {
        *version = std::move(fresh);
    }
    return code;
}

// A text value of an HKLM key, empty when it cannot be read.
std::wstring MachineText(const wchar_t* keyPath, const wchar_t* valueName)
{
    auto& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (registry.OpenKey(Platform::LocalMachine(), keyPath, Platform::KeyAccess::Read, key.put()) != 0) {
        return {};
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (registry.QueryValue(key.get(), valueName, &type, &data) != 0 ||
        (type != Platform::RegType::Sz && type != Platform::RegType::ExpandSz)) {
        return {};
    }
    return StringFromRegistryData(data);
}

bool MachineKeyExists(const wchar_t* keyPath)
{
    Platform::UniqueKey key;
    return Platform::Current().Registry().OpenKey(Platform::LocalMachine(), keyPath, Platform::KeyAccess::Read,
                                                  key.put()) == 0;
}

std::wstring Format(const wchar_t* format, auto... args)
{
    wchar_t buffer[64];
    const int n = std::swprintf(buffer, 64, format, args...);
    return n > 0 ? std::wstring(buffer, size_t(n)) : std::wstring();
}

// The second character of the service-pack text, which Windows 9x uses for
// its release letter (" C" for OSR2, " A" for Second Edition).
wchar_t ReleaseLetter(const VersionInfo& v)
{
    return v.servicePack.size() > 1 ? v.servicePack[1] : L'\0';
}

std::wstring NtFourEdition(const VersionInfo& v, bool* skipSuffix)
{
    if (v.extended) {
        if (v.productType == kWorkstation) {
            if (v.major == 3) {
                *skipSuffix = true;
                return {};
            }
            return v.major == 4 ? L" Workstation 4.0" : L"";
        }
        if (v.productType == kServer) {
            return (v.suiteMask & kSuiteEnterprise) ? L" Server 4.0, Enterprise Edition" : L" Server 4.0";
        }
        return {};
    }
    const std::wstring type = MachineText(L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", L"ProductType");
    if (type.empty()) {
        return {};
    }
    std::wstring edition = RTI::EqualsIgnoreCase(type, L"WINNT")      ? L" Workstation"
                           : RTI::EqualsIgnoreCase(type, L"LANMANNT") ? L" Server"
                           : RTI::EqualsIgnoreCase(type, L"SERVERNT") ? L" Advanced Server"
                                                                      : L"";
    return edition + Format(L" %u.%u ", v.major, v.minor);
}

std::wstring Windows2000Edition(const VersionInfo& v)
{
    if (v.productType == kServer) {
        return (v.suiteMask & kSuiteDatacenter)   ? L" Datacenter Server"
               : (v.suiteMask & kSuiteEnterprise) ? L" Advanced Server"
                                                  : L" Server";
    }
    if (v.productType == kWorkstation) {
        return (v.suiteMask & kSuitePersonal) ? L" Home Edition" : L" Professional";
    }
    return {};
}

std::wstring Server2003Edition(const VersionInfo& v)
{
    if (v.productType == kServer) {
        return (v.suiteMask & kSuiteDatacenter)   ? L" Datacenter Edition"
               : (v.suiteMask & kSuiteEnterprise) ? L" Enterprise Edition"
               : v.suiteMask == kSuiteBlade       ? L" Web Edition"
                                                  : L" Standard Edition";
    }
    return (v.suiteMask & kSuitePersonal) ? L" Home Edition" : L" Professional";
}

// Windows 11 still stores "Windows 10" in ProductName. Without the value
// (a damaged or stripped registry) the version's own name stands in, so that
// the name is never empty.
std::wstring ProductName(int code)
{
    std::wstring name = MachineText(L"Software\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName");
    if (name.empty()) {
        switch (code) {
            case OsCode::WindowsVista:
                return L"Windows Vista";
            case OsCode::Windows7:
                return L"Windows 7";
            case OsCode::Windows8:
                return L"Windows 8";
            case OsCode::Windows81:
                return L"Windows 8.1";
            case OsCode::Windows10:
                return L"Windows 10";
            default:
                return L"Windows 11";
        }
    }
    if (code == OsCode::Windows11) {
        if (size_t at = name.find(L"Windows 10"); at != std::wstring::npos) {
            name.replace(at, 10, L"Windows 11");
        }
    }
    return name;
}

std::wstring BuildSuffix(const VersionInfo& v)
{
    const unsigned build = v.build & 0xFFFF;
    if (v.major == 4 && RTI::EqualsIgnoreCase(v.servicePack, L"Service Pack 6")) {
        if (MachineKeyExists(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009")) {
            return Format(L", Service Pack 6a (Build %u)", build);
        }
    }
    if (!v.servicePack.empty()) {
        return L", " + v.servicePack + Format(L" (Build %u)", build);
    }
    return Format(L", (Build %u)", build);
}

std::wstring ComputeDisplayName()
{
    VersionInfo v;
    const int code = CurrentCode(&v);
    bool skipSuffix = false;
    std::wstring name;
    switch (code) {
        case OsCode::Win32s:
            name = L"Microsoft Win32s";
            break;
        case OsCode::Windows95:
            name = L"Microsoft Windows 95";
            if (ReleaseLetter(v) == L'C' || ReleaseLetter(v) == L'B') {
                name += L" OSR2";
            }
            break;
        case OsCode::Windows98:
            name = L"Microsoft Windows 98";
            if (ReleaseLetter(v) == L'A') {
                name += L" SE";
            }
            break;
        case OsCode::WindowsMe:
            name = L"Microsoft Windows Millennium Edition";
            break;
        case OsCode::WindowsNt4:
            name = L"Microsoft Windows NT" + NtFourEdition(v, &skipSuffix);
            break;
        case OsCode::Windows2000:
            name = L"Microsoft Windows 2000" + Windows2000Edition(v);
            break;
        case OsCode::WindowsXp:
            name = L"Microsoft Windows XP";
            if (v.productType == kWorkstation) {
                name += (v.suiteMask & kSuitePersonal) ? L" Home Edition" : L" Professional";
            }
            break;
        case OsCode::WindowsServer2003:
            name = L"Microsoft Windows Server 2003 family," + Server2003Edition(v);
            break;
        case OsCode::WindowsVista:
        case OsCode::Windows7:
        case OsCode::Windows8:
        case OsCode::Windows81:
        case OsCode::Windows10:
        case OsCode::Windows11:
            name = ProductName(code);
            break;
        default:
            name = L"Unknown OS";
            break;
    }
    return skipSuffix ? name : name + BuildSuffix(v);
}

}  // namespace

int OsVersionCode(const VersionInfo& v)
{
    switch (v.platformId) {
        case 0:
            return OsCode::Win32s;
        case 1:
            if (v.major != 4) {
                return OsCode::Unknown;
            }
            return v.minor == 0    ? OsCode::Windows95
                   : v.minor == 10 ? OsCode::Windows98
                   : v.minor == 90 ? OsCode::WindowsMe
                                   : OsCode::Unknown;
        case 2:
            return NtCode(v);
        default:
            return OsCode::Unknown;
    }
}

int GetOsVersionCode()
{
    return CurrentCode(nullptr);
}

std::wstring GetOsDisplayName()
{
    auto& caches = detail::Caches();
    {
        std::lock_guard lock(caches.mutex);
        if (caches.displayName) {
            return *caches.displayName;
        }
    }
    std::wstring name = ComputeDisplayName();
    std::lock_guard lock(caches.mutex);
    caches.displayName = name;
    return name;
}

}  // namespace Sys
