#pragma once
// The portable substitute of the platform: an in-memory registry and file
// system with Windows behaviour, a configurable system report, and threads
// over the standard library. Native builds use one as their default platform
// (empty registry but HKU\.DEFAULT, an empty drive C:); tests install a fresh
// one per case and drive it through the typed parts below:
//
//   Portable::PortablePlatform os;
//   os.Faults().FailWhen(Operation::DeleteKey, L"HKCU\\Software\\X", Err::AccessDenied);
//   os.Registry().SetProtection(CurrentUser(), L"Software\\Locked", Protection::ReadOnly);
//   os.Files().CreateJunction(L"C:\\a\\link", L"C:\\b");
//   os.System().SetVersion(v); os.Time().Set(1700000000);
#include <string_view>

#include "core/platform/Platform.h"
#include "core/platform/portable/Clock.h"
#include "core/platform/portable/Faults.h"
#include "core/platform/portable/MemoryFileSystem.h"
#include "core/platform/portable/PortableHardware.h"
#include "core/platform/portable/MemoryRegistry.h"
#include "core/platform/portable/PortableSystem.h"
#include "core/platform/portable/PortableThreads.h"

namespace Platform::Portable {

class PortablePlatform final : public IPlatform {
public:
    PortablePlatform();
    ~PortablePlatform() override;
    PortablePlatform(const PortablePlatform&) = delete;
    PortablePlatform& operator=(const PortablePlatform&) = delete;

    MemoryRegistry& Registry() override { return registry_; }
    MemoryFileSystem& Files() override { return files_; }
    PortableSystem& System() override { return system_; }
    PortableThreads& Threads() override { return threads_; }
    PortableHardware& Hardware() override { return hardware_; }

    // Makes chosen operations fail (see Faults.h).
    FaultInjector& Faults() { return faults_; }
    // The time of CurrentTime and of file and key times; real until set.
    Clock& Time() { return clock_; }

    // Reports `version` and stores `productName` where Windows keeps it
    // (HKLM\Software\Microsoft\Windows NT\CurrentVersion, value ProductName);
    // an empty name removes the value.
    [[nodiscard]] Status SetWindowsVersion(const VersionInfo& version, std::wstring_view productName);

private:
    FaultInjector faults_;
    Clock clock_;
    MemoryRegistry registry_;
    MemoryFileSystem files_;
    PortableSystem system_;
    PortableThreads threads_;
    PortableHardware hardware_;
};

}  // namespace Platform::Portable
