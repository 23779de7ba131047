#include "core/platform/win32/Win32Hardware.h"

#include <cwchar>
#include <iterator>

#include "core/platform/Errors.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

Status Win32Hardware::QueryPhysicalMemory(uint64_t* totalBytes)
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!::GlobalMemoryStatusEx(&status)) {
        return ::GetLastError();
    }
    *totalBytes = status.ullTotalPhys;
    return Err::Success;
}

Status Win32Hardware::EnumDisplayDevice(uint32_t index, DisplayDevice* out)
{
    DISPLAY_DEVICEW device{};
    device.cb = sizeof(device);
    if (!::EnumDisplayDevicesW(nullptr, index, &device, 0)) {
        return Err::NoMoreFiles;
    }
    // The fixed-size fields need not end in a null.
    out->name.assign(device.DeviceName, ::wcsnlen(device.DeviceName, std::size(device.DeviceName)));
    out->description.assign(device.DeviceString, ::wcsnlen(device.DeviceString, std::size(device.DeviceString)));
    out->flags = device.StateFlags;
    return Err::Success;
}

Status Win32Hardware::OpenDevice(std::wstring_view path, DeviceHandle* out)
{
    const std::wstring name(path);
    // Access 0: the device answers queries without administrator rights, and
    // nothing on it can be read or written through this handle.
    const HANDLE device =
        ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return ::GetLastError();
    }
    *out = reinterpret_cast<DeviceHandle>(device);
    return Err::Success;
}

Status Win32Hardware::DeviceControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                                    uint32_t outSize, uint32_t* returned)
{
    DWORD bytes = 0;
    const BOOL ok = ::DeviceIoControl(reinterpret_cast<HANDLE>(device), code, const_cast<void*>(in), inSize, out,
                                      outSize, &bytes, nullptr);
    const Status s = ok ? Err::Success : ::GetLastError();
    *returned = bytes;
    return s;
}

Status Win32Hardware::CloseDevice(DeviceHandle device)
{
    return ::CloseHandle(reinterpret_cast<HANDLE>(device)) ? Err::Success : ::GetLastError();
}

}  // namespace Platform::Win32
