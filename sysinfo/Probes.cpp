#include "sysinfo/Probes.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"

namespace SysInfo {
namespace {

// Far more than any descriptor with its texts; a larger size is not believed.
constexpr uint32_t kDescriptorLimit = 64 * 1024;
constexpr uint32_t kDescriptorFirstTry = 1024;

Platform::IHardware& Hardware()
{
    return Platform::Current().Hardware();
}

// One request with a zero-filled answer buffer; the bytes the device
// returned, or nothing when it refused.
std::optional<std::vector<uint8_t>> Ask(Platform::DeviceHandle device, uint32_t code,
                                        const std::vector<uint8_t>& request, uint32_t answerSize)
{
    std::vector<uint8_t> answer(answerSize, 0);
    uint32_t returned = 0;
    if (Hardware().DeviceControl(device, code, request.data(), static_cast<uint32_t>(request.size()), answer.data(),
                                 answerSize, &returned) != Err::Success) {
        return std::nullopt;
    }
    answer.resize(std::min(returned, answerSize));
    return answer;
}

std::optional<DiskIdentity> AskDescriptor(Platform::DeviceHandle device)
{
    uint32_t size = kDescriptorFirstTry;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto answer = Ask(device, ControlCode::StorageQueryProperty, DeviceDescriptorQuery(), size);
        if (!answer) {
            return std::nullopt;
        }
        const uint32_t needed = DescriptorSize(answer->data(), answer->size());
        if (needed <= size || needed > kDescriptorLimit) {
            return ParseDeviceDescriptor(answer->data(), answer->size());
        }
        size = needed;
    }
    return std::nullopt;
}

std::optional<DiskIdentity> AskSmartIdentity(Platform::DeviceHandle device)
{
    const auto version =
        Ask(device, ControlCode::SmartGetVersion, std::vector<uint8_t>(kVersionParamsSize, 0), kVersionParamsSize);
    const std::optional<uint8_t> map = version ? ParseIdeDeviceMap(version->data(), version->size()) : std::nullopt;
    if (!map || *map == 0) {
        return std::nullopt;
    }
    const auto answer =
        Ask(device, ControlCode::SmartReceiveDriveData, IdentifyRequest(IdentifyCommand(*map)), kCommandOutSize);
    return answer ? ParseIdentifyAnswer(answer->data(), answer->size()) : std::nullopt;
}

}  // namespace

std::optional<uint64_t> ProbeMemory()
{
    uint64_t bytes = 0;
    if (Hardware().QueryPhysicalMemory(&bytes) != Err::Success) {
        return std::nullopt;
    }
    return bytes;
}

std::wstring FormatMemory(uint64_t bytes)
{
    constexpr uint64_t kMegabyte = 1048576;
    uint64_t whole = bytes / kMegabyte;
    uint64_t hundredths = ((bytes % kMegabyte) * 100 + kMegabyte / 2) / kMegabyte;
    if (hundredths == 100) {
        ++whole;
        hundredths = 0;
    }
    return std::to_wstring(whole) + (hundredths < 10 ? L".0" : L".") + std::to_wstring(hundredths) + L" MB of RAM";
}

std::wstring ChooseDisplayAdapter(const std::vector<Platform::DisplayDevice>& devices)
{
    const Platform::DisplayDevice* chosen = nullptr;
    for (const uint32_t wanted : {Platform::DisplayFlag::PrimaryDevice, Platform::DisplayFlag::AttachedToDesktop, 0u}) {
        for (const Platform::DisplayDevice& device : devices) {
            if (chosen == nullptr && (device.flags & Platform::DisplayFlag::MirroringDriver) == 0 &&
                (device.flags & wanted) == wanted && !device.description.empty()) {
                chosen = &device;
            }
        }
    }
    return chosen ? chosen->description : std::wstring();
}

std::wstring ProbeDisplayAdapter()
{
    std::vector<Platform::DisplayDevice> devices;
    Platform::DisplayDevice device;
    for (uint32_t index = 0; index < 64 && Hardware().EnumDisplayDevice(index, &device) == Err::Success; ++index) {
        devices.push_back(device);
    }
    return ChooseDisplayAdapter(devices);
}

std::optional<DiskIdentity> ProbeDisk(uint32_t index)
{
    Platform::UniqueDevice device;
    if (Hardware().OpenDevice(L"\\\\.\\PhysicalDrive" + std::to_wstring(index), device.put()) != Err::Success) {
        return std::nullopt;
    }
    if (auto disk = AskDescriptor(device.get())) {
        return disk;
    }
    return AskSmartIdentity(device.get());
}

std::vector<DiskIdentity> ProbeDisks(uint32_t count)
{
    std::vector<DiskIdentity> disks;
    for (uint32_t index = 0; index < count; ++index) {
        if (auto disk = ProbeDisk(index)) {
            disks.push_back(std::move(*disk));
        }
    }
    return disks;
}

}  // namespace SysInfo
