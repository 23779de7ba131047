#pragma once
// The clock of the duplicate-category rename: the new name carries the time,
// and the validator waits two seconds after each rename so that the next one
// gets another number. Tests hand in a clock that does not wait.
#include <cstdint>

namespace Knobset {

class IRenameClock {
public:
    virtual ~IRenameClock() = default;
    virtual uint64_t SecondsSince1970() = 0;
    virtual void Wait(uint32_t milliseconds) = 0;
};

// The current platform's clock and sleep.
class PlatformRenameClock : public IRenameClock {
public:
    uint64_t SecondsSince1970() override;
    void Wait(uint32_t milliseconds) override;
};

// The platform's clock without the wait, for checking a file that is not
// saved afterwards (the rename numbers stay unique without it).
class NoWaitRenameClock final : public PlatformRenameClock {
public:
    void Wait(uint32_t) override {}
};

}  // namespace Knobset
