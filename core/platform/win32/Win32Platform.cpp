#include "core/platform/win32/Win32Platform.h"

#ifdef _WIN32
namespace Platform {

IPlatform& DefaultPlatform()
{
    // Never destroyed: handle owners in other static objects may still close
    // through it while the program exits.
    static Win32::Win32Platform* const platform = new Win32::Win32Platform();
    return *platform;
}

}  // namespace Platform
#endif
