#pragma once
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace Platform {

// Reads a whole file through the current platform. Error 2 when missing.
[[nodiscard]] Status ReadWholeFile(std::wstring_view path, std::string* bytes);
// Writes a whole file, replacing any existing one.
[[nodiscard]] Status WriteWholeFile(std::wstring_view path, std::string_view bytes);
// Replaces a file's content so that a crash at any moment leaves either the
// old or the new content whole: the bytes go to "<path>.tmp" in the same
// folder, are flushed to the disk, and the temporary file then replaces the
// file in one step. On failure the temporary file is removed and the file is
// as it was.
[[nodiscard]] Status ReplaceWholeFile(std::wstring_view path, std::string_view bytes);

}  // namespace Platform
