#include "core/platform/win32/LongPath.h"

#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The system's full form of a path; empty when it refuses.
std::wstring FullPath(const std::wstring& path)
{
    std::wstring full(path.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) {
            return {};
        }
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);  // n counts the terminating null when the buffer was short
    }
}

}  // namespace

std::wstring ExtendedPath(std::wstring_view path)
{
    if (path.size() < kLongPathThreshold || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) {
        return std::wstring(path);
    }
    const bool drivePath = path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]);
    const bool uncPath = IsSeparator(path[0]) && IsSeparator(path[1]);
    if (!drivePath && !uncPath) {
        return std::wstring(path);  // relative: callers pass full paths
    }
    const std::wstring full = FullPath(std::wstring(path));
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') {
        return L"\\\\?\\" + full;
    }
    if (StartsWith(full, L"\\\\") && !StartsWith(full, L"\\\\?\\") && !StartsWith(full, L"\\\\.\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return full.empty() ? std::wstring(path) : full;
}

}  // namespace Platform::Win32
