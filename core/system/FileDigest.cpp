#include "core/system/FileDigest.h"

#include <memory>

#include "core/platform/Handles.h"
#include "core/system/Options.h"

namespace Sys {

Platform::Status DigestFile(std::wstring_view path, Crypto::Md5::Digest* digest, Platform::EventHandle cancel)
{
    constexpr uint32_t kBlock = 32768;
    auto& files = Platform::Current().Files();
    Platform::UniqueFile file;
    if (files.CreateFile(path, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, file.put()) != 0) {
        return Err::BadFormat;
    }
    const auto buffer = std::make_unique<uint8_t[]>(kBlock);
    Crypto::Md5 md5;
    for (;;) {
        if (IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        uint32_t read = 0;
        if (Platform::Status status = files.ReadFile(file.get(), buffer.get(), kBlock, &read); status != 0) {
            return status;
        }
        if (read == 0) {
            break;
        }
        md5.Update(buffer.get(), read);
    }
    *digest = md5.Final();
    return 0;
}

}  // namespace Sys
