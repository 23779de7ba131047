#pragma once
// The file format of shell links on the portable disk: a signature, then the
// text fields as counted UTF-16 strings and the icon index. Only the portable
// backend writes and reads it; Windows builds use real .lnk files.
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace Platform::Portable {

std::string EncodeShellLink(const ShellLink& link);
// False for anything that is not a whole link of this format.
bool DecodeShellLink(std::string_view bytes, ShellLink* out);

}  // namespace Platform::Portable
