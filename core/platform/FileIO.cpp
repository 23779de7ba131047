#include "core/platform/FileIO.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"

namespace Platform {

Status ReadWholeFile(std::wstring_view path, std::string* bytes)
{
    IFileSystem& fs = Current().Files();
    UniqueFile file;
    if (Status s = fs.CreateFile(path, FileAccess::Read, Disposition::OpenExisting, file.put())) {
        return s;
    }
    uint64_t size = 0;
    if (Status s = fs.GetFileSize(file.get(), &size)) {
        return s;
    }
    if (size > bytes->max_size()) {
        return Err::NotEnoughMemory;
    }
    std::string data(static_cast<size_t>(size), '\0');
    size_t done = 0;
    while (done < data.size()) {
        const auto chunk = static_cast<uint32_t>(std::min<size_t>(data.size() - done, 1u << 24));
        uint32_t got = 0;
        if (Status s = fs.ReadFile(file.get(), data.data() + done, chunk, &got)) {
            return s;
        }
        if (got == 0) {
            return Err::HandleEof;  // the file shrank while being read
        }
        done += got;
    }
    *bytes = std::move(data);
    return Err::Success;
}

namespace {

Status WriteAll(FileHandle file, std::string_view bytes)
{
    IFileSystem& fs = Current().Files();
    size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 24));
        uint32_t wrote = 0;
        if (Status s = fs.WriteFile(file, bytes.data() + done, chunk, &wrote)) {
            return s;
        }
        if (wrote == 0) {
            return Err::WriteFault;
        }
        done += wrote;
    }
    return Err::Success;
}

}  // namespace

Status WriteWholeFile(std::wstring_view path, std::string_view bytes)
{
    UniqueFile file;
    if (Status s = Current().Files().CreateFile(path, FileAccess::Write, Disposition::CreateAlways, file.put())) {
        return s;
    }
    return WriteAll(file.get(), bytes);
}

Status ReplaceWholeFile(std::wstring_view path, std::string_view bytes)
{
    IFileSystem& fs = Current().Files();
    const std::wstring temporary = std::wstring(path) + L".tmp";
    Status status = Err::Success;
    {
        UniqueFile file;
        status = fs.CreateFile(temporary, FileAccess::Write, Disposition::CreateAlways, file.put());
        if (status != Err::Success) {
            return status;
        }
        status = WriteAll(file.get(), bytes);
        if (status == Err::Success) {
            status = fs.FlushFile(file.get());
        }
    }
    if (status == Err::Success) {
        status = fs.MoveFile(temporary, path, true);
    }
    if (status != Err::Success) {
        (void)fs.DeleteFile(temporary);
    }
    return status;
}

}  // namespace Platform
