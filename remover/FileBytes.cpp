#include "remover/FileBytes.h"

#include <algorithm>

#include "core/platform/Errors.h"

namespace Remover {
namespace {
constexpr size_t kMaxChunk = size_t{1} << 24;
}

Platform::Status ReadExactly(Platform::FileHandle file, void* buffer, size_t size)
{
    auto& files = Platform::Current().Files();
    auto* out = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const auto chunk = static_cast<uint32_t>(std::min(size, kMaxChunk));
        uint32_t got = 0;
        if (Platform::Status s = files.ReadFile(file, out, chunk, &got)) {
            return s;
        }
        if (got == 0) {
            return Err::BadFormat;
        }
        out += got;
        size -= got;
    }
    return Err::Success;
}

Platform::Status WriteAll(Platform::FileHandle file, const void* bytes, size_t size)
{
    auto& files = Platform::Current().Files();
    const auto* in = static_cast<const uint8_t*>(bytes);
    while (size > 0) {
        const auto chunk = static_cast<uint32_t>(std::min(size, kMaxChunk));
        uint32_t wrote = 0;
        if (Platform::Status s = files.WriteFile(file, in, chunk, &wrote)) {
            return s;
        }
        if (wrote == 0) {
            return Err::WriteFault;
        }
        in += wrote;
        size -= wrote;
    }
    return Err::Success;
}

uint32_t AttributesOf(std::wstring_view path)
{
    Platform::FileInfo info;
    if (Platform::Current().Files().GetFileInfo(path, &info) != 0) {
        return Platform::FileAttr::Invalid;
    }
    return info.attributes;
}

}  // namespace Remover
