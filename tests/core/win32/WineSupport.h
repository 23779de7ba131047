#pragma once
// For the Windows tests that check how the backend fares under Wine: knowing
// that Wine runs us, and reaching the Linux side (its paths and programs) from
// inside the Windows program, since some set-ups (symbolic links) cannot be
// made from Windows code under Wine.
#include <string>
#include <vector>

#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Testing::Wine {

template <class Fn>
Fn Export(const wchar_t* module, const char* name)
{
    HMODULE m = ::GetModuleHandleW(module);
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(m, name))) : nullptr;
}

inline bool Running()
{
    return Export<void (*)()>(L"ntdll.dll", "wine_get_version") != nullptr;
}

// The Linux path of a Windows path; empty when Wine cannot say.
inline std::string UnixPath(const std::wstring& path)
{
    using Fn = char*(CDECL*)(const wchar_t*);
    const auto toUnix = Export<Fn>(L"kernel32.dll", "wine_get_unix_file_name");
    char* unixPath = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unixPath) {
        return {};
    }
    std::string result(unixPath);
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// Starts a Linux program (Wine starts ELF files like Windows ones); false when
// it cannot be started. Wine gives no process handle for it, so callers wait
// for its effect (WaitUntil).
inline bool RunUnixProgram(const std::wstring& program, const std::vector<std::string>& arguments)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::string& argument : arguments) {
        commandLine += L" \"" + std::wstring(argument.begin(), argument.end()) + L"\"";
    }
    std::wstring image = L"Z:" + program;
    for (wchar_t& c : image) {
        c = c == L'/' ? L'\\' : c;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(image.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    Platform::Win32::UniqueHandle processHandle(process.hProcess);
    Platform::Win32::UniqueHandle threadHandle(process.hThread);
    return true;
}

// Polls a condition for up to ten seconds.
template <class Condition>
bool WaitUntil(Condition condition)
{
    for (int i = 0; i < 200; ++i) {
        if (condition()) {
            return true;
        }
        ::Sleep(50);
    }
    return condition();
}

}  // namespace Testing::Wine
