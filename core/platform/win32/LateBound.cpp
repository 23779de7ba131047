#include "core/platform/win32/LateBound.h"

namespace Platform::Win32 {

namespace {

// GetProcAddress hands out a generic function pointer; going through
// void(*)() keeps the cast to the real signature free of warnings.
template <class Fn>
Fn Lookup(const wchar_t* module, const char* name)
{
    HMODULE m = ::GetModuleHandleW(module);
    if (!m) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(m, name)));
}

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
using RegDeleteKeyExWFn = LONG(WINAPI*)(HKEY, const wchar_t*, REGSAM, DWORD);
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using NtQueryEventFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
using NtQueryMutantFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
using GetFinalPathNameByHandleWFn = DWORD(WINAPI*)(HANDLE, wchar_t*, DWORD, DWORD);
using Wow64DisableFn = BOOL(WINAPI*)(void**);
using Wow64RevertFn = BOOL(WINAPI*)(void*);

// The answer of NtQueryEvent for its information class 0.
struct EventBasicInformation {
    int type;
    LONG state;
};
constexpr int kEventBasicInformation = 0;

// The answer of NtQueryMutant for its information class 0.
struct MutantBasicInformation {
    LONG currentCount;
    BOOLEAN ownedByCaller;
    BOOLEAN abandonedState;
};
constexpr int kMutantBasicInformation = 0;

struct Wow64Redirection {
    Wow64DisableFn disable = nullptr;
    Wow64RevertFn revert = nullptr;
};

const Wow64Redirection& Redirection()
{
    static const Wow64Redirection functions = [] {
        Wow64Redirection f;
        if (RunsUnderWow64()) {
            f.disable = Lookup<Wow64DisableFn>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
            f.revert = Lookup<Wow64RevertFn>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
            if (!f.disable || !f.revert) {
                f = {};
            }
        }
        return f;
    }();
    return functions;
}

}  // namespace

bool RunsUnderWow64()
{
#ifdef _WIN64
    return false;
#else
    static const bool wow64 = [] {
        const auto isWow64 = Lookup<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
        BOOL result = FALSE;
        return isWow64 && isWow64(::GetCurrentProcess(), &result) && result;
    }();
    return wow64;
#endif
}

REGSAM RegistryViewFlag()
{
#ifdef _WIN64
    return KEY_WOW64_64KEY;
#else
    return RunsUnderWow64() ? KEY_WOW64_64KEY : 0;
#endif
}

REGSAM RegistryViewFlag(RegistryView view)
{
    if (view == RegistryView::Native) {
        return RegistryViewFlag();
    }
#ifdef _WIN64
    return KEY_WOW64_32KEY;
#else
    return RunsUnderWow64() ? KEY_WOW64_32KEY : 0;
#endif
}

LONG DeleteRegistryKey(HKEY parent, const wchar_t* subKey)
{
    static const auto deleteKeyEx = Lookup<RegDeleteKeyExWFn>(L"advapi32.dll", "RegDeleteKeyExW");
    if (deleteKeyEx) {
        return deleteKeyEx(parent, subKey, RegistryViewFlag(), 0);
    }
    return ::RegDeleteKeyW(parent, subKey);
}

bool QueryRtlVersion(OSVERSIONINFOEXW* out)
{
    static const auto rtlGetVersion = Lookup<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion");
    if (!rtlGetVersion) {
        return false;
    }
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (rtlGetVersion(&info) != 0) {
        return false;
    }
    *out = info;
    return true;
}

bool QueryEventState(HANDLE event, bool* set)
{
    static const auto ntQueryEvent = Lookup<NtQueryEventFn>(L"ntdll.dll", "NtQueryEvent");
    EventBasicInformation info{};
    if (!ntQueryEvent || ntQueryEvent(event, kEventBasicInformation, &info, sizeof(info), nullptr) != 0) {
        return false;
    }
    *set = info.state != 0;
    return true;
}

DWORD FinalPathOf(HANDLE file, std::wstring* out)
{
    static const auto getFinalPath =
        Lookup<GetFinalPathNameByHandleWFn>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    if (!getFinalPath) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS
        const DWORD length = getFinalPath(file, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        if (length == 0) {
            const DWORD error = ::GetLastError();
            return error != 0 ? error : ERROR_INVALID_FUNCTION;
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            *out = std::move(buffer);
            return ERROR_SUCCESS;
        }
        buffer.assign(length + 1, L'\0');  // the size asked for, its terminating zero included
    }
}

bool QueryMutantCount(HANDLE mutex, LONG* count)
{
    static const auto ntQueryMutant = Lookup<NtQueryMutantFn>(L"ntdll.dll", "NtQueryMutant");
    MutantBasicInformation info{};
    if (!ntQueryMutant || ntQueryMutant(mutex, kMutantBasicInformation, &info, sizeof(info), nullptr) != 0) {
        return false;
    }
    *count = info.currentCount;
    return true;
}

FsRedirectionPause::FsRedirectionPause() noexcept
{
    const Wow64Redirection& f = Redirection();
    if (f.disable) {
        const DWORD error = ::GetLastError();
        paused_ = f.disable(&previous_) != FALSE;
        ::SetLastError(error);
    }
}

FsRedirectionPause::~FsRedirectionPause()
{
    if (paused_) {
        const DWORD error = ::GetLastError();
        Redirection().revert(previous_);
        ::SetLastError(error);
    }
}

}  // namespace Platform::Win32
