#pragma once
#include <atomic>
#include <cstdint>

#include "core/rti/Manageable.h"

namespace RTI {

// The one implementation of the counting. Objects start at 0 and become owned
// when the first Reference takes them.
class Dynamic : public Manageable {
public:
    Dynamic() = default;
    // A copy is a new object: it does not inherit the references of its source.
    Dynamic(const Dynamic&) : Manageable() {}
    Dynamic& operator=(const Dynamic&) { return *this; }

    uint32_t AddRef() override { return static_cast<uint32_t>(count_.fetch_add(1, std::memory_order_relaxed) + 1); }

    uint32_t Release() override
    {
        // Destruction is decided on the value the atomic decrement produced,
        // so exactly one thread destroys the object. A count already at 0
        // (an object no Reference ever took) is destroyed as it is.
        int32_t now = 0;
        int32_t seen = count_.load(std::memory_order_relaxed);
        if (seen != 0) {
            now = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        }
        if (now != 0) {
            return static_cast<uint32_t>(now);
        }
        delete this;
        return 0;
    }

    uint32_t GetRefCount() override { return static_cast<uint32_t>(count_.load(std::memory_order_relaxed)); }

private:
    std::atomic<int32_t> count_{0};
};

}  // namespace RTI
