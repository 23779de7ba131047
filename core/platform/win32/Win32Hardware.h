#pragma once
#include "core/platform/Platform.h"

namespace Platform::Win32 {

// Memory status, display adapters and device control requests of the running
// Windows. A device handle is the system's file handle of the device.
class Win32Hardware final : public IHardware {
public:
    [[nodiscard]] Status QueryPhysicalMemory(uint64_t* totalBytes) override;
    [[nodiscard]] Status EnumDisplayDevice(uint32_t index, DisplayDevice* out) override;
    [[nodiscard]] Status OpenDevice(std::wstring_view path, DeviceHandle* out) override;
    [[nodiscard]] Status DeviceControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                                       uint32_t outSize, uint32_t* returned) override;
    Status CloseDevice(DeviceHandle device) override;
};

}  // namespace Platform::Win32
