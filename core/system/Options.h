#pragma once
// Choices shared by the system helpers, spelled out at the call sites.
#include "core/platform/Errors.h"
#include "core/platform/Platform.h"

namespace Sys {

enum class Recursive : bool { No = false, Yes = true };
// Overwrite a file's content with zero bytes before it is emptied or deleted.
enum class Wipe : bool { No = false, Yes = true };

// Long helpers take an optional cancel event (nullptr = none) and test it,
// without waiting, before each unit of work.
inline bool IsCancelled(Platform::EventHandle cancel)
{
    return cancel != nullptr && Platform::Current().Threads().IsEventSet(cancel);
}

}  // namespace Sys
