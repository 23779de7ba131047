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

Status WriteWholeFile(std::wstring_view path, std::string_view bytes)
{
    IFileSystem& fs = Current().Files();
    UniqueFile file;
    if (Status s = fs.CreateFile(path, FileAccess::Write, Disposition::CreateAlways, file.put())) {
        return s;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 24));
        uint32_t wrote = 0;
        if (Status s = fs.WriteFile(file.get(), bytes.data() + done, chunk, &wrote)) {
            return s;
        }
        if (wrote == 0) {
            return Err::WriteFault;
        }
        done += wrote;
    }
    return Err::Success;
}

}  // namespace Platform
