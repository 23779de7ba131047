#include "core/system/Files.h"

#include <climits>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/system/Folders.h"

namespace Sys {
namespace {

using Platform::Status;
using Platform::FileAttr::Directory;
using Platform::FileAttr::ReparsePoint;

Platform::IFileSystem& Files()
{
    return Platform::Current().Files();
}

bool IsDotEntry(const std::wstring& name)
{
    return name == L"." || name == L"..";
}

// The name part of a pattern; the wildcard match sees names only.
std::wstring_view NamePart(std::wstring_view pattern)
{
    const size_t slash = pattern.rfind(L'\\');
    return slash == std::wstring_view::npos ? pattern : pattern.substr(slash + 1);
}

// The entries of folder\pattern whose long names match the pattern (the real
// search also matches 8.3 short names, so "*.htm" would catch ".html" files).
// Error 2 (nothing matches) and 18 give an empty list and 0. Listing first and
// acting afterwards keeps deletions from disturbing the search.
Status ListEntries(std::wstring_view folder, std::wstring_view pattern, std::vector<Platform::FindData>* entries)
{
    Platform::FindData data;
    Platform::UniqueFind find;
    Status status = Files().FindFirst(JoinPath(folder, pattern), &data, find.put());
    if (status == Err::FileNotFound || status == Err::NoMoreFiles) {
        return 0;
    }
    if (status != 0) {
        return status;
    }
    const std::wstring_view namePattern = NamePart(pattern);
    do {
        if (!IsDotEntry(data.name) && Platform::WildcardMatch(data.name, namePattern)) {
            entries->push_back(std::move(data));
        }
        data = {};
    } while (Files().FindNext(find.get(), &data) == 0);
    return 0;
}

bool IsPlainFile(const Platform::FindData& entry)
{
    return (entry.attributes & Directory) == 0;
}

// Folders a recursive walk may enter.
std::vector<std::wstring> Subfolders(std::wstring_view folder)
{
    std::vector<Platform::FindData> entries;
    (void)ListEntries(folder, L"*", &entries);
    std::vector<std::wstring> folders;
    for (auto& entry : entries) {
        if ((entry.attributes & Directory) && !(entry.attributes & ReparsePoint)) {
            folders.push_back(JoinPath(folder, entry.name));
        }
    }
    return folders;
}

// What was found by a walk that may be cancelled.
enum class Found { Yes, No, Cancelled };

template <class Predicate>
Found FindEntry(std::wstring_view folder, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel,
                Predicate&& wanted)
{
    if (recursive == Recursive::Yes) {
        for (const auto& sub : Subfolders(folder)) {
            if (IsCancelled(cancel)) {
                return Found::Cancelled;
            }
            if (Found f = FindEntry(sub, pattern, recursive, cancel, wanted); f != Found::No) {
                return f;
            }
        }
    }
    std::vector<Platform::FindData> entries;
    (void)ListEntries(folder, pattern, &entries);
    for (const auto& entry : entries) {
        if (IsCancelled(cancel)) {
            return Found::Cancelled;
        }
        if (wanted(entry)) {
            return Found::Yes;
        }
    }
    return Found::No;
}

Status GetPlainFileInfo(std::wstring_view path, Platform::FileInfo* info)
{
    if (Status status = Files().GetFileInfo(path, info); status != 0) {
        return status;
    }
    // Windows refuses to open or delete a folder as a file in the same way.
    return (info->attributes & Directory) ? Status(Err::AccessDenied) : Status(0);
}

// The source of every wipe.
constexpr uint8_t kZeroBlock[4096] = {};

// Overwrites the whole file with zero bytes and makes sure they reach the
// disk before the caller truncates or deletes the file.
Status WipeContent(Platform::FileHandle file, Platform::EventHandle cancel)
{
    uint64_t size = 0;
    if (Status status = Files().GetFileSize(file, &size); status != 0) {
        return status;
    }
    uint64_t position = 0;
    if (Status status = Files().Seek(file, 0, Platform::SeekOrigin::Begin, &position); status != 0) {
        return status;
    }
    for (uint64_t remaining = size; remaining > 0;) {
        if (IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        const auto block = static_cast<uint32_t>(remaining < sizeof kZeroBlock ? remaining : sizeof kZeroBlock);
        uint32_t written = 0;
        if (Status status = Files().WriteFile(file, kZeroBlock, block, &written); status != 0) {
            return status;
        }
        if (written == 0) {
            return Err::WriteFault;
        }
        remaining -= written;
    }
    return Files().FlushFile(file);
}

Status WipeFile(std::wstring_view path, Platform::EventHandle cancel)
{
    Platform::UniqueFile file;
    if (Status status =
            Files().CreateFile(path, Platform::FileAccess::ReadWrite, Platform::Disposition::OpenExisting, file.put());
        status != 0) {
        return status;
    }
    return WipeContent(file.get(), cancel);
}

int32_t TraceSize(uint64_t size)
{
    return size > uint64_t(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(size);
}

}  // namespace

bool FileExists(std::wstring_view folder, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel)
{
    if (pattern.empty()) {
        Platform::FileInfo info;
        return Files().GetFileInfo(folder, &info) == 0 && (info.attributes & Directory) == 0;
    }
    return FindEntry(folder, pattern, recursive, cancel, IsPlainFile) == Found::Yes;
}

bool FolderExists(std::wstring_view path, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel)
{
    if (pattern.empty()) {
        Platform::FileInfo info;
        return Files().GetFileInfo(path, &info) == 0 && (info.attributes & Directory) != 0;
    }
    auto isFolder = [](const Platform::FindData& entry) { return (entry.attributes & Directory) != 0; };
    return FindEntry(path, pattern, recursive, cancel, isFolder) == Found::Yes;
}

Status ClearFile(std::wstring_view path, Wipe wipe, RTI::ITracer* tracer, Platform::EventHandle cancel)
{
    Platform::FileInfo info;
    if (Status status = GetPlainFileInfo(path, &info); status != 0) {
        return status;
    }
    if (Status status = Files().SetFileAttributes(path, Platform::FileAttr::Normal); status != 0) {
        return status;
    }
    Platform::UniqueFile file;
    const auto disposition =
        wipe == Wipe::Yes ? Platform::Disposition::OpenExisting : Platform::Disposition::TruncateExisting;
    if (Status status = Files().CreateFile(path, Platform::FileAccess::ReadWrite, disposition, file.put());
        status != 0) {
        return status;
    }
    if (wipe == Wipe::Yes) {
        if (Status status = WipeContent(file.get(), cancel); status != 0) {
            return status;
        }
        uint64_t position = 0;
        if (Status status = Files().Seek(file.get(), 0, Platform::SeekOrigin::Begin, &position); status != 0) {
            return status;
        }
        if (Status status = Files().SetEndOfFile(file.get()); status != 0) {
            return status;
        }
    }
    RTI::TraceTo(tracer, RTI::TraceCode::FileCleared, 0, 1);
    return 0;
}

Status RemoveFile(std::wstring_view path, Wipe wipe, RTI::ITracer* tracer, Platform::EventHandle cancel)
{
    Platform::FileInfo info;
    if (Status status = GetPlainFileInfo(path, &info); status != 0) {
        return status;
    }
    if (Status status = Files().SetFileAttributes(path, Platform::FileAttr::Normal); status != 0) {
        return status;
    }
    if (wipe == Wipe::Yes) {
        if (Status status = WipeFile(path, cancel); status != 0) {
            return status;
        }
    }
    if (Status status = Files().DeleteFile(path); status != 0) {
        return status;
    }
    RTI::TraceTo(tracer, RTI::TraceCode::FileRemoved, TraceSize(info.size), 1);
    return 0;
}

Status DeleteFiles(std::wstring_view folder, std::wstring_view pattern, Recursive recursive, Wipe wipe,
                   RTI::ITracer* tracer, Platform::EventHandle cancel)
{
    if (folder.empty()) {
        return Err::InvalidParameter;
    }
    Status first = 0;
    if (recursive == Recursive::Yes) {
        for (const auto& sub : Subfolders(folder)) {
            if (IsCancelled(cancel)) {
                return Err::Cancelled;
            }
            const Status status = DeleteFiles(sub, pattern, recursive, wipe, tracer, cancel);
            if (status == Err::Cancelled) {
                return status;
            }
            if (first == 0) {
                first = status;
            }
        }
    }
    std::vector<Platform::FindData> entries;
    if (Status status = ListEntries(folder, pattern, &entries); status != 0) {
        return first != 0 ? first : status;
    }
    for (const auto& entry : entries) {
        if (!IsPlainFile(entry)) {
            continue;
        }
        if (IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        const Status status = RemoveFile(JoinPath(folder, entry.name), wipe, tracer, cancel);
        if (status == Err::Cancelled) {
            return status;
        }
        if (first == 0) {
            first = status;
        }
    }
    return first;
}

bool FilesEmpty(std::wstring_view folder, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel)
{
    std::vector<Platform::FindData> entries;
    (void)ListEntries(folder, pattern, &entries);
    for (const auto& entry : entries) {
        if (IsCancelled(cancel)) {
            return true;
        }
        if (IsPlainFile(entry) && entry.size != 0) {
            return false;
        }
    }
    if (recursive == Recursive::Yes) {
        for (const auto& sub : Subfolders(folder)) {
            if (IsCancelled(cancel)) {
                return true;
            }
            if (!FilesEmpty(sub, pattern, recursive, cancel)) {
                return false;
            }
        }
    }
    return true;
}

bool IsExecutableFile(std::wstring_view path)
{
    Platform::FileInfo info;
    if (GetPlainFileInfo(path, &info) != 0 || info.size < 64) {
        return false;
    }
    Platform::UniqueFile file;
    if (Files().CreateFile(path, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, file.put()) != 0) {
        return false;
    }
    uint8_t header[64];
    uint32_t read = 0;
    return Files().ReadFile(file.get(), header, sizeof header, &read) == 0 && read == sizeof header &&
           header[0] == 'M' && header[1] == 'Z';
}

}  // namespace Sys
