// Native builds run over the portable substitute unless a test installs another.
#ifndef _WIN32
#include "core/platform/portable/PortablePlatform.h"

namespace Platform {

IPlatform& DefaultPlatform()
{
    static Portable::PortablePlatform platform;
    return platform;
}

}  // namespace Platform
#endif
