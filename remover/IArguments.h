#pragma once
#include "core/rti/Dynamic.h"

namespace Remover {

// The arguments of a journal command. Each command names its own as its
// nested Parameters and accepts nothing else.
class IArguments : public RTI::Dynamic {};

}  // namespace Remover
