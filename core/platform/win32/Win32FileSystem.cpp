#include "core/platform/win32/Win32FileSystem.h"

#include <memory>

#include "core/platform/Errors.h"
#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/LongPath.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

HANDLE ToHandle(FileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

bool IsValid(FileHandle file)
{
    return file && ToHandle(file) != INVALID_HANDLE_VALUE;
}

uint64_t ToUint64(FILETIME t)
{
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

Status LastError()
{
    const DWORD error = ::GetLastError();
    return error != 0 ? static_cast<Status>(error) : Err::InvalidFunction;
}

// A search in progress: the system's handle and the name part of the
// pattern, against which each long name is checked again.
struct FindState {
    UniqueFindHandle handle;
    std::wstring namePattern;
};

FindState* ToState(FindHandle find)
{
    return reinterpret_cast<FindState*>(find);
}

std::wstring_view NamePart(std::wstring_view pattern)
{
    const size_t slash = pattern.find_last_of(L"\\/");
    const std::wstring_view tail = slash == std::wstring_view::npos ? pattern : pattern.substr(slash + 1);
    // "C:*.txt" searches the current folder of drive C.
    return tail.size() >= 2 && tail[1] == L':' ? tail.substr(2) : tail;
}

void Fill(const WIN32_FIND_DATAW& data, FindData* out)
{
    out->name = data.cFileName;
    out->attributes = data.dwFileAttributes;
    out->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    out->lastWriteTime = ToUint64(data.ftLastWriteTime);
}

// Steps on from the entry in data until one whose long name matches.
bool SkipToMatch(FindState& state, WIN32_FIND_DATAW& data)
{
    while (!WildcardMatch(data.cFileName, state.namePattern)) {
        if (!::FindNextFileW(state.handle.get(), &data)) {
            return false;
        }
    }
    return true;
}

}  // namespace

Status Win32FileSystem::GetFileInfo(std::wstring_view path, FileInfo* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    const std::wstring full = ExtendedPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    BOOL ok;
    {
        FsRedirectionPause pause;
        ok = ::GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data);
    }
    if (!ok) {
        return LastError();
    }
    out->attributes = data.dwFileAttributes;
    out->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    out->creationTime = ToUint64(data.ftCreationTime);
    out->lastWriteTime = ToUint64(data.ftLastWriteTime);
    return Err::Success;
}

Status Win32FileSystem::GetFinalPath(std::wstring_view path, std::wstring* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    const std::wstring full = ExtendedPath(path);
    UniqueFileHandle handle;
    {
        FsRedirectionPause pause;
        // No access rights are needed to ask for a name; backup semantics
        // open folders too.
        handle.reset(::CreateFileW(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    }
    if (!handle) {
        return LastError();
    }
    return static_cast<Status>(FinalPathOf(handle.get(), out));
}

Status Win32FileSystem::GetLongPathName(std::wstring_view path, std::wstring* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    const std::wstring asked(path);
    const std::wstring full = ExtendedPath(path);
    const bool prefixed = full.compare(0, 4, L"\\\\?\\") == 0 && asked.compare(0, 4, L"\\\\?\\") != 0;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n;
        {
            FsRedirectionPause pause;
            n = ::GetLongPathNameW(full.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        if (n == 0) {
            return LastError();
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(n);
    }
    // A prefix added here for length goes again: "\\?\UNC\s\x" was "\\s\x".
    if (prefixed) {
        buffer = buffer.compare(0, 8, L"\\\\?\\UNC\\") == 0 ? L"\\" + buffer.substr(7) : buffer.substr(4);
    }
    *out = std::move(buffer);
    return Err::Success;
}

Status Win32FileSystem::SetFileAttributes(std::wstring_view path, uint32_t attributes)
{
    const std::wstring full = ExtendedPath(path);
    FsRedirectionPause pause;
    return ::SetFileAttributesW(full.c_str(), attributes) ? Err::Success : LastError();
}

Status Win32FileSystem::CreateFile(std::wstring_view path, FileAccess access, Disposition disposition, FileHandle* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    DWORD rights = GENERIC_READ | GENERIC_WRITE;
    if (access == FileAccess::Read) {
        rights = GENERIC_READ;
    } else if (access == FileAccess::Write) {
        rights = GENERIC_WRITE;
    }
    DWORD how = OPEN_EXISTING;
    switch (disposition) {
        case Disposition::CreateNew:
            how = CREATE_NEW;
            break;
        case Disposition::CreateAlways:
            how = CREATE_ALWAYS;
            break;
        case Disposition::OpenExisting:
            how = OPEN_EXISTING;
            break;
        case Disposition::TruncateExisting:
            how = TRUNCATE_EXISTING;
            break;
    }
    const std::wstring full = ExtendedPath(path);
    UniqueFileHandle file;
    {
        FsRedirectionPause pause;
        file.reset(::CreateFileW(full.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, how,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!file) {
        return LastError();
    }
    *out = reinterpret_cast<FileHandle>(file.release());
    return Err::Success;
}

Status Win32FileSystem::CloseFile(FileHandle file)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    return ::CloseHandle(ToHandle(file)) ? Err::Success : LastError();
}

Status Win32FileSystem::ReadFile(FileHandle file, void* buffer, uint32_t size, uint32_t* read)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    DWORD got = 0;
    if (!::ReadFile(ToHandle(file), buffer, size, &got, nullptr)) {
        return LastError();
    }
    if (read) {
        *read = got;
    }
    return Err::Success;
}

Status Win32FileSystem::WriteFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* written)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    DWORD put = 0;
    if (!::WriteFile(ToHandle(file), buffer, size, &put, nullptr)) {
        return LastError();
    }
    if (written) {
        *written = put;
    }
    return Err::Success;
}

Status Win32FileSystem::Seek(FileHandle file, int64_t offset, SeekOrigin origin, uint64_t* position)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    DWORD method = FILE_BEGIN;
    if (origin == SeekOrigin::Current) {
        method = FILE_CURRENT;
    } else if (origin == SeekOrigin::End) {
        method = FILE_END;
    }
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER now{};
    if (!::SetFilePointerEx(ToHandle(file), distance, &now, method)) {
        return LastError();
    }
    if (position) {
        *position = static_cast<uint64_t>(now.QuadPart);
    }
    return Err::Success;
}

Status Win32FileSystem::GetFileSize(FileHandle file, uint64_t* size)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    LARGE_INTEGER bytes{};
    if (!::GetFileSizeEx(ToHandle(file), &bytes)) {
        return LastError();
    }
    if (size) {
        *size = static_cast<uint64_t>(bytes.QuadPart);
    }
    return Err::Success;
}

Status Win32FileSystem::SetEndOfFile(FileHandle file)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    return ::SetEndOfFile(ToHandle(file)) ? Err::Success : LastError();
}

Status Win32FileSystem::FlushFile(FileHandle file)
{
    if (!IsValid(file)) {
        return Err::InvalidHandle;
    }
    return ::FlushFileBuffers(ToHandle(file)) ? Err::Success : LastError();
}

Status Win32FileSystem::DeleteFile(std::wstring_view path)
{
    const std::wstring full = ExtendedPath(path);
    FsRedirectionPause pause;
    return ::DeleteFileW(full.c_str()) ? Err::Success : LastError();
}

Status Win32FileSystem::CreateDirectory(std::wstring_view path)
{
    const std::wstring full = ExtendedPath(path);
    FsRedirectionPause pause;
    return ::CreateDirectoryW(full.c_str(), nullptr) ? Err::Success : LastError();
}

Status Win32FileSystem::RemoveDirectory(std::wstring_view path)
{
    const std::wstring full = ExtendedPath(path);
    FsRedirectionPause pause;
    return ::RemoveDirectoryW(full.c_str()) ? Err::Success : LastError();
}

Status Win32FileSystem::MoveFile(std::wstring_view from, std::wstring_view to, bool replaceExisting)
{
    const std::wstring source = ExtendedPath(from);
    const std::wstring target = ExtendedPath(to);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    FsRedirectionPause pause;
    return ::MoveFileExW(source.c_str(), target.c_str(), flags) ? Err::Success : LastError();
}

Status Win32FileSystem::FindFirst(std::wstring_view pattern, FindData* out, FindHandle* find)
{
    if (!out || !find) {
        return Err::InvalidParameter;
    }
    auto state = std::make_unique<FindState>();
    state->namePattern = NamePart(pattern);
    const std::wstring full = ExtendedPath(pattern);
    WIN32_FIND_DATAW data{};
    {
        FsRedirectionPause pause;
        state->handle.reset(::FindFirstFileW(full.c_str(), &data));
    }
    if (!state->handle) {
        return LastError();
    }
    if (!SkipToMatch(*state, data)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_NO_MORE_FILES ? Err::FileNotFound : static_cast<Status>(error);
    }
    Fill(data, out);
    *find = reinterpret_cast<FindHandle>(state.release());
    return Err::Success;
}

Status Win32FileSystem::FindNext(FindHandle find, FindData* out)
{
    if (!find || !out) {
        return Err::InvalidParameter;
    }
    FindState& state = *ToState(find);
    WIN32_FIND_DATAW data{};
    if (!::FindNextFileW(state.handle.get(), &data) || !SkipToMatch(state, data)) {
        return LastError();
    }
    Fill(data, out);
    return Err::Success;
}

Status Win32FileSystem::FindClose(FindHandle find)
{
    if (!find) {
        return Err::InvalidHandle;
    }
    delete ToState(find);
    return Err::Success;
}

}  // namespace Platform::Win32
