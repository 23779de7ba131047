#pragma once

namespace RTI {

// Mixed into the item classes (registry key, file and shortcut items) so that
// they reach the system helpers as members. It holds no state and has no
// virtual operations; the helpers themselves are free functions.
class System {
protected:
    System() = default;
    ~System() = default;
};

}  // namespace RTI
