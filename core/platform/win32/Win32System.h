#pragma once
#include "core/platform/Platform.h"

namespace Platform::Win32 {

// Folders, environment, shell links and version of the running Windows.
class Win32System final : public ISystem {
public:
    std::wstring WindowsDirectory() override;
    std::wstring SystemDirectory() override;
    std::wstring ExpandEnvironmentStrings(std::wstring_view text) override;
    std::wstring GetSpecialFolder(int csidl) override;
    // Shell links go through the shell's own link object; COM is started on
    // the calling thread for the call when the thread has none.
    [[nodiscard]] Status SaveShellLink(std::wstring_view linkPath, const ShellLink& link) override;
    [[nodiscard]] Status LoadShellLink(std::wstring_view linkPath, ShellLink* out) override;
    // The true version (RtlGetVersion), which no compatibility layer rewrites;
    // then the extended, then the basic answer of GetVersionExW.
    VersionInfo GetVersion() override;
    uint32_t GetShellVersion() override;
    int64_t CurrentTime() override;
    std::wstring ProgramPath() override;
    // From the process token's user, as the account database names it.
    std::wstring UserAccount() override;
    bool IsElevated() override;
    // Through the Task Scheduler's COM objects; COM is started on the calling
    // thread for the call when the thread has none.
    [[nodiscard]] Status RegisterTask(std::wstring_view name, std::wstring_view definition) override;
    [[nodiscard]] Status DeleteTask(std::wstring_view name) override;
    [[nodiscard]] Status QueryTask(std::wstring_view name, std::wstring* definition) override;
    bool Is64BitWindows() override;
    // Through the version library (GetFileVersionInfoW, VerQueryValueW).
    [[nodiscard]] Status GetFileVersion(std::wstring_view path, FileVersion* out) override;
    // Through the service control manager (Win32Services.cpp).
    [[nodiscard]] Status ListAutoStartServices(std::vector<ServiceListing>* out) override;
    // Through the Task Scheduler's COM objects, folder by folder.
    [[nodiscard]] Status ListTasks(std::vector<TaskListing>* out) override;
};

// A COM result as a Windows error code: the Win32 code it wraps where it wraps
// one, else the HRESULT itself (never 0 for a failure).
Status StatusFromHresult(long hr);

}  // namespace Platform::Win32
