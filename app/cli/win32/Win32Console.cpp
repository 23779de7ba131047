#include "app/cli/win32/Win32Console.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/cli/Utf8Output.h"

namespace Cli {
namespace {

HANDLE HandleOf(Stream stream)
{
    return ::GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

void Win32Console::Write(Stream stream, std::wstring_view text)
{
    const HANDLE handle = HandleOf(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    if (IsConsole(handle)) {
        // The console shows every character whatever its code page.
        while (!text.empty()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 8192));
            if (!::WriteConsoleW(handle, text.data(), chunk, &written, nullptr) || written == 0) {
                return;
            }
            text.remove_prefix(written);
        }
        return;
    }
    const std::string bytes = ToUtf8ForOutput(text);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return;
        }
        done += written;
    }
}

bool Win32Console::IsTerminal(Stream stream) const
{
    return IsConsole(HandleOf(stream));
}

}  // namespace Cli
