#pragma once
// The MD5 digest of a file's content.
#include <string_view>

#include "core/crypto/Md5.h"
#include "core/platform/Errors.h"
#include "core/platform/Platform.h"

namespace Sys {

// Reads the file (shared for reading and writing) in blocks of 32768 bytes and
// digests it. -1 when the file cannot be opened, 1223 when the cancel event is
// set before a block, the read error when a read fails, 0 when *digest holds
// the result. *digest is untouched on failure.
[[nodiscard]] Platform::Status DigestFile(std::wstring_view path, Crypto::Md5::Digest* digest,
                                          Platform::EventHandle cancel);

}  // namespace Sys
