#include "core/system/InUseRetry.h"

#include "core/platform/Errors.h"

namespace Sys {

bool IsInUse(Platform::Status status)
{
    return status == Err::SharingViolation || status == Err::LockViolation;
}

Platform::Status RetryWhileInUse(Platform::EventHandle cancel, const std::function<Platform::Status()>& step)
{
    auto& threads = Platform::Current().Threads();
    Platform::Status status = step();
    for (uint32_t wait : kInUseWaits) {
        if (!IsInUse(status)) {
            break;
        }
        if (cancel == nullptr) {
            threads.Sleep(wait);
        } else if (threads.WaitEvent(cancel, wait) == Err::Success) {
            return Err::Cancelled;
        }
        status = step();
    }
    return status;
}

}  // namespace Sys
