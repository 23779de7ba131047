#pragma once
// The hardware report of the portable backend: memory and display adapters
// are whatever the test configures, and each device answers its control
// requests through a handler the test installs (typically replaying buffers
// captured from a real machine).
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform::Portable {

// One control request as the device sees it: the input bytes and the size of
// the output buffer the caller offered (zero-filled or not, as it gave it).
struct DeviceRequest {
    uint32_t code = 0;
    std::vector<uint8_t> input;
    std::vector<uint8_t> offeredOutput;
};

// Fills *output (at most request.offeredOutput.size() bytes are passed on;
// longer answers are cut to that size) and returns 0 or an error.
using DeviceHandler = std::function<Status(const DeviceRequest& request, std::vector<uint8_t>* output)>;

class PortableHardware final : public IHardware {
public:
    Status QueryPhysicalMemory(uint64_t* totalBytes) override;
    Status EnumDisplayDevice(uint32_t index, DisplayDevice* out) override;
    Status OpenDevice(std::wstring_view path, DeviceHandle* out) override;
    Status DeviceControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                         uint32_t outSize, uint32_t* returned) override;
    Status CloseDevice(DeviceHandle device) override;

    // Default: 4 GiB. 0 makes the query fail.
    void SetPhysicalMemory(uint64_t bytes);
    // Default: none.
    void SetDisplayDevices(std::vector<DisplayDevice> devices);
    // A device that opens; without one, opening fails with 2.
    void SetDevice(const std::wstring& path, DeviceHandler handler);
    // Every request made so far, in order, with the path of its device.
    std::vector<std::pair<std::wstring, DeviceRequest>> Requests();
    // Devices still open.
    size_t OpenDevices();

private:
    std::mutex mutex_;
    uint64_t memory_ = 4ull << 30;
    std::vector<DisplayDevice> displays_;
    std::map<std::wstring, DeviceHandler, RTI::IgnoreCaseStringComparator> devices_;
    std::map<uintptr_t, std::wstring> open_;
    uintptr_t nextHandle_ = 1;
    std::vector<std::pair<std::wstring, DeviceRequest>> requests_;
};

}  // namespace Platform::Portable
