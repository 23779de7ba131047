#pragma once
// Another program often holds a file for a moment (a virus scanner, the
// search indexer, the shell reading a new shortcut). A restore that meets
// such a file tries again for a short while instead of leaving it changed.
#include <functional>

#include "core/platform/Platform.h"

namespace Sys {

// The waits between tries, in milliseconds: about two seconds in all.
inline constexpr uint32_t kInUseWaits[] = {20, 40, 80, 160, 320, 500, 500, 500};

// True for the errors of a file that another program has open.
bool IsInUse(Platform::Status status);

// Runs step until it ends with anything but "in use", waiting between tries
// on the cancel event (nullptr = none); 1223 when that is set. The last
// try's result when the file stays in use.
[[nodiscard]] Platform::Status RetryWhileInUse(Platform::EventHandle cancel, const std::function<Platform::Status()>& step);

}  // namespace Sys
