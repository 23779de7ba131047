#pragma once
// The user's shell folders by their standard identifiers (CSIDL numbers) and
// the shell library's version.
#include <cstdint>
#include <string>

namespace Sys {

namespace Csidl {
constexpr int Desktop = 0;
constexpr int Personal = 5;
constexpr int Startup = 7;
constexpr int MyMusic = 13;
constexpr int CommonStartup = 24;
constexpr int AppData = 26;
constexpr int LocalAppData = 28;
constexpr int InternetCache = 32;
constexpr int Cookies = 33;
constexpr int History = 34;
constexpr int CommonAppData = 35;
constexpr int Windows = 36;
constexpr int System = 37;
constexpr int ProgramFiles = 38;
constexpr int MyPictures = 39;
constexpr int CommonFiles = 43;
}  // namespace Csidl

// (major << 16) | minor of the shell library, 0 when unknown; read once.
uint32_t GetShellVersion();

// The folder for an identifier; empty when nothing answers. The Windows and
// system folders come from the system calls. On a shell older than 5.0 the
// folders it cannot name come from the "Shell Folders" registry values (the
// three keys are opened once and stay open); whenever the registry gives
// nothing, and on newer shells, the shell is asked.
std::wstring GetShellFolder(int csidl);

}  // namespace Sys
