#include "tweaker/FileCopy.h"

#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/Options.h"

namespace Tweaker {
namespace {

constexpr uint32_t kBlock = 64 * 1024;

Platform::Status CopyBlocks(Platform::FileHandle from, Platform::FileHandle to, Platform::EventHandle cancel)
{
    auto& files = Platform::Current().Files();
    std::vector<uint8_t> buffer(kBlock);
    for (;;) {
        if (Sys::IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        uint32_t read = 0;
        if (Platform::Status s = files.ReadFile(from, buffer.data(), kBlock, &read)) {
            return s;
        }
        if (read == 0) {
            return files.FlushFile(to);
        }
        uint32_t written = 0;
        if (Platform::Status s = files.WriteFile(to, buffer.data(), read, &written)) {
            return s;
        }
        if (written != read) {
            return Err::WriteFault;
        }
    }
}

}  // namespace

Platform::Status CopyFileContent(std::wstring_view source, std::wstring_view target, Platform::EventHandle cancel)
{
    auto& files = Platform::Current().Files();
    Platform::UniqueFile from;
    if (Platform::Status s =
            files.CreateFile(source, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, from.put())) {
        return s;
    }
    Platform::UniqueFile to;
    if (Platform::Status s =
            files.CreateFile(target, Platform::FileAccess::Write, Platform::Disposition::CreateNew, to.put())) {
        return s;
    }
    const Platform::Status s = CopyBlocks(from.get(), to.get(), cancel);
    if (s != 0) {
        to.reset();
        (void)files.DeleteFile(target);
    }
    return s;
}

}  // namespace Tweaker
