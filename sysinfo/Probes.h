#pragma once
// The facts of the system summary, probed through the platform seam.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "sysinfo/DiskIdentity.h"

namespace SysInfo {

// The installed memory; nothing when the system cannot say.
std::optional<uint64_t> ProbeMemory();

// "1023.47 MB of RAM": bytes / 1048576 with two decimals, rounded half up,
// always with a point whatever the user's locale.
std::wstring FormatMemory(uint64_t bytes);

// The adapter flagged primary, else the first one attached to the desktop,
// else the first one; mirroring drivers never. Empty when there is none.
std::wstring ChooseDisplayAdapter(const std::vector<Platform::DisplayDevice>& devices);
std::wstring ProbeDisplayAdapter();

// The identity of one disk ("\\.\PhysicalDrive<index>"), opened for queries
// only: the storage property query first, the SMART identity as a fallback.
std::optional<DiskIdentity> ProbeDisk(uint32_t index);

// Disks 0 to count - 1 that answer, in order.
std::vector<DiskIdentity> ProbeDisks(uint32_t count = 4);

}  // namespace SysInfo
