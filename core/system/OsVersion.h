#pragma once
// The operating system's version as a code that rises with the release order
// (tweak files compare it) and as display text.
#include <string>

#include "core/platform/Platform.h"

namespace Sys {

namespace OsCode {
constexpr int Unknown = 0;
constexpr int Win32s = 1;
constexpr int Windows95 = 2;
constexpr int Windows98 = 3;
constexpr int WindowsMe = 4;
constexpr int WindowsNt4 = 5;  // NT 4.0 and earlier
constexpr int Windows2000 = 6;
constexpr int WindowsXp = 7;
constexpr int WindowsServer2003 = 8;
constexpr int WindowsVista = 9;
constexpr int Windows7 = 10;
constexpr int Windows8 = 11;
constexpr int Windows81 = 12;
constexpr int Windows10 = 13;
constexpr int Windows11 = 14;  // and any later NT version
}  // namespace OsCode

// The code of a version report. NT 10.0 is Windows 11 from build 22000 on;
// any NT version after 10.0 counts as the newest known one, so a newer
// Windows keeps the tweaks meant for it. Versions between known ones (5.3,
// 6.4 to 9.x) and other platforms' unknown versions are 0.
int OsVersionCode(const Platform::VersionInfo& version);

// The running system's code, computed once and cached (0 is not cached: it is
// computed again on the next call).
int GetOsVersionCode();

// The running system's name, edition and service pack with its build, as the
// system summary shows it, e.g. "Microsoft Windows XP Professional, Service
// Pack 3 (Build 2600)". Computed once and cached; never fails (missing registry
// data only shortens it).
std::wstring GetOsDisplayName();

}  // namespace Sys
