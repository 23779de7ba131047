#include "startup/FileCopy.h"

#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/FileDigest.h"

namespace StartUp {

Platform::Status CopyFileSafely(std::wstring_view source, std::wstring_view target, bool createNew)
{
    Platform::IFileSystem& files = Platform::Current().Files();
    Platform::FileInfo existing;
    if (createNew && files.GetFileInfo(target, &existing) == Err::Success) {
        return Err::FileExists;
    }
    Platform::UniqueFile in;
    if (Platform::Status s =
            files.CreateFile(source, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, in.put())) {
        return s;
    }
    const std::wstring temporary = std::wstring(target) + L".tmp";
    Platform::Status status = Err::Success;
    {
        Platform::UniqueFile out;
        if (Platform::Status s = files.CreateFile(temporary, Platform::FileAccess::Write,
                                                  Platform::Disposition::CreateAlways, out.put())) {
            return s;
        }
        std::vector<uint8_t> buffer(65536);
        for (;;) {
            uint32_t read = 0;
            status = files.ReadFile(in.get(), buffer.data(), static_cast<uint32_t>(buffer.size()), &read);
            if (status != Err::Success || read == 0) {
                break;
            }
            uint32_t written = 0;
            status = files.WriteFile(out.get(), buffer.data(), read, &written);
            if (status == Err::Success && written != read) {
                status = Err::WriteFault;
            }
            if (status != Err::Success) {
                break;
            }
        }
        if (status == Err::Success) {
            status = files.FlushFile(out.get());
        }
    }
    if (status == Err::Success) {
        status = files.MoveFile(temporary, target, true);
    }
    if (status != Err::Success) {
        (void)files.DeleteFile(temporary);
    }
    return status;
}

bool FileMatches(std::wstring_view path, uint64_t size, const Crypto::Md5::Digest& digest)
{
    Platform::FileInfo info;
    if (Platform::Current().Files().GetFileInfo(path, &info) != Err::Success || info.size != size ||
        (info.attributes & Platform::FileAttr::Directory)) {
        return false;
    }
    Crypto::Md5::Digest found{};
    return Sys::DigestFile(path, &found, nullptr) == Err::Success && found == digest;
}

}  // namespace StartUp
