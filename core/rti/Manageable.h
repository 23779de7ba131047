#pragma once
#include <cstdint>

namespace RTI {

// The root of every polymorphic domain object. Objects carry their own
// reference count and are held only through RTI::Reference.
class Manageable {
public:
    virtual ~Manageable() = default;
    // Returns the count after the increment.
    virtual uint32_t AddRef() = 0;
    // Returns the count after the decrement; 0 when the object was destroyed.
    virtual uint32_t Release() = 0;
    // For diagnostics and tests only: no decision may be taken on it.
    virtual uint32_t GetRefCount() = 0;

protected:
    Manageable() = default;
    Manageable(const Manageable&) = default;
    Manageable& operator=(const Manageable&) = default;
};

}  // namespace RTI
