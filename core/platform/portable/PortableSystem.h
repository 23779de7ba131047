#pragma once
// The system report of the portable backend: folders, environment, shell
// folders, version and shell version are whatever the test configures;
// shell links are small files of our own format on the portable disk.
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "core/platform/portable/Clock.h"
#include "core/platform/portable/Faults.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform::Portable {

class PortableSystem final : public ISystem {
public:
    // Defaults: Windows in C:\WINDOWS, Windows 10 (10.0.19045, workstation),
    // shell 6.0, and the usual environment variables pointing below C:\.
    PortableSystem(IFileSystem& files, FaultInjector& faults, Clock& clock);

    std::wstring WindowsDirectory() override;
    std::wstring SystemDirectory() override;
    std::wstring ExpandEnvironmentStrings(std::wstring_view text) override;
    std::wstring GetSpecialFolder(int csidl) override;
    Status SaveShellLink(std::wstring_view linkPath, const ShellLink& link) override;
    Status LoadShellLink(std::wstring_view linkPath, ShellLink* out) override;
    VersionInfo GetVersion() override;
    uint32_t GetShellVersion() override;
    int64_t CurrentTime() override;
    std::wstring ProgramPath() override;
    std::wstring UserAccount() override;
    bool IsElevated() override;
    Status RegisterTask(std::wstring_view name, std::wstring_view definition) override;
    Status DeleteTask(std::wstring_view name) override;
    Status QueryTask(std::wstring_view name, std::wstring* definition) override;
    bool Is64BitWindows() override;
    // The texts SetFileVersion gave the file; 2 when the file is missing,
    // 1813 when it was given none.
    Status GetFileVersion(std::wstring_view path, FileVersion* out) override;
    // The services AddService gave with an automatic start, by name.
    Status ListAutoStartServices(std::vector<ServiceListing>* out) override;
    // The registered tasks as "\name", by name.
    Status ListTasks(std::vector<TaskListing>* out) override;

    // The Windows folder also answers CSIDL 36 and the system folder CSIDL 37,
    // unless SetSpecialFolder gave them another path.
    void SetWindowsDirectory(std::wstring path);
    void SetSystemDirectory(std::wstring path);
    // An empty value removes the variable.
    void SetEnvironmentVariable(const std::wstring& name, std::wstring value);
    // An empty path makes the shell answer nothing for that folder.
    void SetSpecialFolder(int csidl, std::wstring path);
    void SetVersion(const VersionInfo& version);
    void SetShellVersion(uint32_t version);
    // Defaults: "C:\Program Files\Corvane\Corvane.exe", "MACHINE\User", not elevated.
    void SetProgramPath(std::wstring path);
    void SetUserAccount(std::wstring account);
    void SetElevated(bool elevated);
    // 64-bit Windows by default.
    void Set64BitWindows(bool is64Bit);
    // The version resource a program file answers with, in place of reading
    // one from the file's bytes.
    void SetFileVersion(const std::wstring& path, FileVersion version);
    // A service the manager knows, with its start type (2 automatic, 3 on
    // demand, 4 disabled); one of the same name is replaced.
    void AddService(const ServiceListing& service, uint32_t startType);

private:
    IFileSystem& files_;
    FaultInjector& faults_;
    Clock& clock_;
    std::mutex mutex_;
    std::wstring windows_ = L"C:\\WINDOWS";
    std::wstring system_ = L"C:\\WINDOWS\\system32";
    std::map<std::wstring, std::wstring, RTI::IgnoreCaseStringComparator> environment_;
    std::map<int, std::wstring> folders_;
    VersionInfo version_;
    uint32_t shellVersion_ = 6u << 16;
    std::wstring programPath_ = L"C:\\Program Files\\Corvane\\Corvane.exe";
    std::wstring userAccount_ = L"MACHINE\\User";
    bool elevated_ = false;
    // Tasks live in the object by name (faults attach to
    // Operation::RegisterTask and the others, path = the task's name).
    std::map<std::wstring, std::wstring, RTI::IgnoreCaseStringComparator> tasks_;
    bool is64Bit_ = true;
    std::map<std::wstring, FileVersion, RTI::IgnoreCaseStringComparator> versions_;
    struct Service {
        ServiceListing listing;
        uint32_t startType = 0;
    };
    std::map<std::wstring, Service, RTI::IgnoreCaseStringComparator> services_;
};

}  // namespace Platform::Portable
