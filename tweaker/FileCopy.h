#pragma once
#include <string_view>

#include "core/platform/Platform.h"

namespace Tweaker {

// Copies a file's content to a new file (error 80 when the target exists),
// testing the cancel event before each block (1223). A target left partly
// written is removed.
[[nodiscard]] Platform::Status CopyFileContent(std::wstring_view source, std::wstring_view target,
                                               Platform::EventHandle cancel);

}  // namespace Tweaker
