#pragma once
// File times in the user's local time, for the labels of backup points. The
// platform seam has no time-zone conversion; the C library's knows the zone
// on every build.
#include <cstdint>
#include <optional>

namespace Remover {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// A FILETIME (100 ns since 1601-01-01 UTC) in local time; nothing when it
// cannot be converted.
std::optional<LocalTime> ToLocalTime(uint64_t fileTime);

}  // namespace Remover
