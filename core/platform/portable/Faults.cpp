#include "core/platform/portable/Faults.h"

#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform::Portable {

void FaultInjector::FailWhen(Operation op, FaultPredicate when, Status error, int times)
{
    std::lock_guard lock(mutex_);
    faults_.push_back({op, std::move(when), error, times});
}

void FaultInjector::FailWhen(Operation op, std::wstring_view path, Status error, int times)
{
    FailWhen(
        op, [p = std::wstring(path)](const FaultSubject& s) { return RTI::EqualsIgnoreCase(s.path, p); }, error, times);
}

void FaultInjector::Clear()
{
    std::lock_guard lock(mutex_);
    faults_.clear();
}

Status FaultInjector::Check(Operation op, const FaultSubject& subject)
{
    std::lock_guard lock(mutex_);
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->op != Operation::Any && it->op != op) {
            continue;
        }
        if (it->when && !it->when(subject)) {
            continue;
        }
        const Status error = it->error;
        if (it->remaining > 0 && --it->remaining == 0) {
            faults_.erase(it);
        }
        return error;
    }
    return 0;
}

}  // namespace Platform::Portable
