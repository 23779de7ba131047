#pragma once
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace Platform {

// Reads a whole file through the current platform. Error 2 when missing.
[[nodiscard]] Status ReadWholeFile(std::wstring_view path, std::string* bytes);
// Writes a whole file, replacing any existing one.
[[nodiscard]] Status WriteWholeFile(std::wstring_view path, std::string_view bytes);

}  // namespace Platform
