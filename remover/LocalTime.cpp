#include "remover/LocalTime.h"

#include <ctime>

namespace Remover {

std::optional<LocalTime> ToLocalTime(uint64_t fileTime)
{
    constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
    constexpr uint64_t kTicksPerSecond = 10000000ull;
    if (fileTime < kUnixEpochAsFileTime) {
        return std::nullopt;
    }
    const uint64_t seconds = (fileTime - kUnixEpochAsFileTime) / kTicksPerSecond;
    // 32-bit time_t and the C libraries' own limits (year 3000 on Windows).
    if (seconds > 32503680000ull || static_cast<uint64_t>(static_cast<std::time_t>(seconds)) != seconds) {
        return std::nullopt;
    }
    const auto t = static_cast<std::time_t>(seconds);
    std::tm parts{};
#ifdef _WIN32
    if (localtime_s(&parts, &t) != 0) {
        return std::nullopt;
    }
#else
    if (localtime_r(&t, &parts) == nullptr) {
        return std::nullopt;
    }
#endif
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min};
}

}  // namespace Remover
