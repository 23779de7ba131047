#pragma once
// Whole reads and writes over the platform seam's file handles.
#include <cstddef>
#include <cstdint>

#include "core/platform/Platform.h"

namespace Remover {

// Reads exactly size bytes; -1 when the file ends first.
[[nodiscard]] Platform::Status ReadExactly(Platform::FileHandle file, void* buffer, size_t size);

// Writes all bytes; 29 (write fault) when the system accepts none.
[[nodiscard]] Platform::Status WriteAll(Platform::FileHandle file, const void* bytes, size_t size);

// The file's attributes; Platform::FileAttr::Invalid when it does not exist
// (or cannot be looked at).
uint32_t AttributesOf(std::wstring_view path);

// Whether an error says that a file, folder, key or value is not there (2 or
// 3). Any other error means it could not be looked at, which is no answer:
// neither "gone" nor "there".
constexpr bool IsNotFound(Platform::Status s)
{
    return s == 2 || s == 3;
}

}  // namespace Remover
