#pragma once
#include "core/platform/Platform.h"
#include "core/platform/win32/Win32FileSystem.h"
#include "core/platform/win32/Win32Hardware.h"
#include "core/platform/win32/Win32Registry.h"
#include "core/platform/win32/Win32System.h"
#include "core/platform/win32/Win32Threads.h"

namespace Platform::Win32 {

// The real Windows API behind the seam. It holds no state of its own, so one
// instance serves the whole process from any thread.
class Win32Platform final : public IPlatform {
public:
    IRegistry& Registry() override { return registry_; }
    IFileSystem& Files() override { return files_; }
    ISystem& System() override { return system_; }
    IThreads& Threads() override { return threads_; }
    IHardware& Hardware() override { return hardware_; }

private:
    Win32Registry registry_;
    Win32FileSystem files_;
    Win32System system_;
    Win32Threads threads_;
    Win32Hardware hardware_;
};

}  // namespace Platform::Win32
