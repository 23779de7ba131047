#pragma once
// Copies of startup files, written so that a crash never leaves half a copy
// under the final name.
#include <string_view>

#include "core/crypto/Md5.h"
#include "core/platform/Platform.h"

namespace StartUp {

// Copies source to target through "<target>.tmp": written, flushed to the
// disk, then moved over target in one step. With createNew, an existing target
// is error 80 and stays as it is (the check and the move are not one step; a
// file made in between is replaced).
[[nodiscard]] Platform::Status CopyFileSafely(std::wstring_view source, std::wstring_view target, bool createNew);

// True when the file exists with this size and digest.
bool FileMatches(std::wstring_view path, uint64_t size, const Crypto::Md5::Digest& digest);

}  // namespace StartUp
