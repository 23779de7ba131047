// The Tasks folder of the system, where the Task Scheduler keeps each task's
// definition in a file named by its path. Read where the scheduler's task
// collections are not implemented (Wine answers E_NOTIMPL); on Windows the
// folder is open to administrators only, so the COM listing comes first.
#include "core/platform/win32/Win32TaskFiles.h"

#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

// Far larger than any task definition.
constexpr LONGLONG kMaxDefinitionBytes = 4 * 1024 * 1024;
constexpr int kMaxDepth = 32;

// The text of a definition file: UTF-16 (as the scheduler writes it, with or
// without its byte-order mark) or UTF-8.
bool ReadDefinition(const std::wstring& path, std::wstring* text)
{
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxDefinitionBytes) {
        return false;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return false;
    }
    bytes.resize(read);
    const bool bom16 = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool wide = bom16 || (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0');
    if (wide) {
        const size_t skip = bom16 ? 2 : 0;
        text->assign((bytes.size() - skip) / 2, L'\0');
        for (size_t i = 0; i < text->size(); ++i) {
            (*text)[i] = static_cast<wchar_t>(static_cast<uint8_t>(bytes[skip + 2 * i]) |
                                              (static_cast<uint8_t>(bytes[skip + 2 * i + 1]) << 8));
        }
        return true;
    }
    const bool bom8 = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const char* start = bytes.data() + (bom8 ? 3 : 0);
    const int length = static_cast<int>(bytes.size() - (bom8 ? 3 : 0));
    const int needed = length ? ::MultiByteToWideChar(CP_UTF8, 0, start, length, nullptr, 0) : 0;
    text->assign(static_cast<size_t>(needed), L'\0');
    return needed == 0 || ::MultiByteToWideChar(CP_UTF8, 0, start, length, text->data(), needed) == needed;
}

void ListFolder(const std::wstring& folder, const std::wstring& taskPath, int depth, std::vector<TaskListing>* out)
{
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth < kMaxDepth && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                ListFolder(path, taskPath + L"\\" + name, depth + 1, out);
            }
            continue;
        }
        std::wstring definition;
        if (ReadDefinition(path, &definition)) {
            out->push_back({taskPath + L"\\" + name, std::move(definition)});
        }
    } while (::FindNextFileW(find.get(), &data));
}

}  // namespace

std::vector<TaskListing> ListTaskFiles(const std::wstring& tasksFolder)
{
    std::vector<TaskListing> listed;
    FsRedirectionPause pause;
    ListFolder(tasksFolder, L"", 0, &listed);
    return listed;
}

}  // namespace Platform::Win32
