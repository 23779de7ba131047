#pragma once
// Functions that not every supported Windows has (the 32-bit program must still
// start on Windows 2000 and XP), looked up once at run time, and the views of
// the 64-bit system that a 32-bit process needs them for.
#include <string>

#include "core/platform/Platform.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

// True for a 32-bit process on 64-bit Windows.
bool RunsUnderWow64();

// The access flag that selects the 64-bit registry view on 64-bit Windows
// (KEY_WOW64_64KEY), 0 elsewhere: Windows 2000 does not know the flag.
REGSAM RegistryViewFlag();
// The flag for a chosen view: Native as above; Wow32 gives KEY_WOW64_32KEY on
// 64-bit Windows and 0 elsewhere, where there is only one view.
REGSAM RegistryViewFlag(RegistryView view);

// Deletes a key without subkeys in the 64-bit view (RegDeleteKeyExW), or with
// RegDeleteKeyW where that is missing. Returns the Windows error code.
LONG DeleteRegistryKey(HKEY parent, const wchar_t* subKey);

// The real version from ntdll's RtlGetVersion, which no compatibility shim
// rewrites. False when the export is missing or refuses.
bool QueryRtlVersion(OSVERSIONINFOEXW* out);

// Whether an event is set, read without waiting on it (an auto-reset event
// stays set). False when ntdll cannot say; *set is then untouched.
bool QueryEventState(HANDLE event, bool* set);

// The count of a mutex as ntdll reports it: 1 when free, 0 when owned once,
// below 0 when its owner took it again. False when ntdll cannot say; *count
// is then untouched.
bool QueryMutantCount(HANDLE mutex, LONG* count);

// The path of an open file or folder as the system resolves it, from
// GetFinalPathNameByHandleW (Vista and later); ERROR_CALL_NOT_IMPLEMENTED
// where the system lacks it. Returns the Windows error code.
DWORD FinalPathOf(HANDLE file, std::wstring* out);

// A 32-bit process on 64-bit Windows sees SysWOW64 where it names System32.
// While this object lives, file calls of the current thread reach the real
// folders. Redirection is per thread and also redirects DLL loading, so it is
// paused only around single file calls. The thread's last error survives the
// restore, so a caller can read it after the pause has ended.
class FsRedirectionPause {
public:
    FsRedirectionPause() noexcept;
    FsRedirectionPause(const FsRedirectionPause&) = delete;
    FsRedirectionPause& operator=(const FsRedirectionPause&) = delete;
    ~FsRedirectionPause();

private:
    void* previous_ = nullptr;
    bool paused_ = false;
};

}  // namespace Platform::Win32
