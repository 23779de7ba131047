// Native builds run over the portable substitute unless a test installs another.
#ifndef _WIN32
#include "core/platform/portable/PortablePlatform.h"

namespace Platform {

IPlatform& DefaultPlatform()
{
    // Never destroyed: handles held by other statics may still be closed
    // through it while the program exits.
    static auto* platform = new Portable::PortablePlatform();
    return *platform;
}

}  // namespace Platform
#endif
