#include "core/platform/portable/PortableHardware.h"

#include <algorithm>
#include <cstring>

#include "core/platform/Errors.h"

namespace Platform::Portable {

Status PortableHardware::QueryPhysicalMemory(uint64_t* totalBytes)
{
    std::lock_guard lock(mutex_);
    if (memory_ == 0) {
        return Err::NotSupported;
    }
    *totalBytes = memory_;
    return Err::Success;
}

Status PortableHardware::EnumDisplayDevice(uint32_t index, DisplayDevice* out)
{
    std::lock_guard lock(mutex_);
    if (index >= displays_.size()) {
        return Err::NoMoreFiles;
    }
    *out = displays_[index];
    return Err::Success;
}

Status PortableHardware::OpenDevice(std::wstring_view path, DeviceHandle* out)
{
    std::lock_guard lock(mutex_);
    const std::wstring name(path);
    if (devices_.find(name) == devices_.end()) {
        return Err::FileNotFound;
    }
    const uintptr_t handle = nextHandle_++;
    open_[handle] = name;
    *out = reinterpret_cast<DeviceHandle>(handle);
    return Err::Success;
}

Status PortableHardware::DeviceControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                                       uint32_t outSize, uint32_t* returned)
{
    DeviceHandler handler;
    DeviceRequest request;
    request.code = code;
    if (in != nullptr) {
        request.input.assign(static_cast<const uint8_t*>(in), static_cast<const uint8_t*>(in) + inSize);
    }
    if (out != nullptr) {
        request.offeredOutput.assign(static_cast<const uint8_t*>(out), static_cast<const uint8_t*>(out) + outSize);
    }
    {
        std::lock_guard lock(mutex_);
        auto it = open_.find(reinterpret_cast<uintptr_t>(device));
        if (it == open_.end()) {
            return Err::InvalidHandle;
        }
        handler = devices_[it->second];
        requests_.emplace_back(it->second, request);
    }
    std::vector<uint8_t> answer;
    const Status s = handler ? handler(request, &answer) : Err::InvalidFunction;
    if (s != Err::Success) {
        return s;
    }
    const size_t n = std::min<size_t>(answer.size(), outSize);
    if (n > 0) {
        std::memcpy(out, answer.data(), n);
    }
    *returned = static_cast<uint32_t>(n);
    return Err::Success;
}

Status PortableHardware::CloseDevice(DeviceHandle device)
{
    std::lock_guard lock(mutex_);
    return open_.erase(reinterpret_cast<uintptr_t>(device)) != 0 ? Err::Success : Err::InvalidHandle;
}

void PortableHardware::SetPhysicalMemory(uint64_t bytes)
{
    std::lock_guard lock(mutex_);
    memory_ = bytes;
}

void PortableHardware::SetDisplayDevices(std::vector<DisplayDevice> devices)
{
    std::lock_guard lock(mutex_);
    displays_ = std::move(devices);
}

void PortableHardware::SetDevice(const std::wstring& path, DeviceHandler handler)
{
    std::lock_guard lock(mutex_);
    devices_[path] = std::move(handler);
}

std::vector<std::pair<std::wstring, DeviceRequest>> PortableHardware::Requests()
{
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t PortableHardware::OpenDevices()
{
    std::lock_guard lock(mutex_);
    return open_.size();
}

}  // namespace Platform::Portable
