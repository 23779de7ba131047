#include "utils/Knobset/document/RenameClock.h"

#include "core/platform/Platform.h"

namespace Knobset {

uint64_t PlatformRenameClock::SecondsSince1970()
{
    const int64_t now = Platform::Current().System().CurrentTime();
    return now < 0 ? 0 : static_cast<uint64_t>(now);
}

void PlatformRenameClock::Wait(uint32_t milliseconds)
{
    Platform::Current().Threads().Sleep(milliseconds);
}

}  // namespace Knobset
