#pragma once
// Conversions between the engine's wide text (std::wstring: UTF-16 on Windows,
// UTF-32 elsewhere) and the byte encodings found in files and the registry.
// Files are UTF-8; registry strings are UTF-16LE.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"

namespace Text {

// Decodes UTF-8. Fails with 1113 (no Unicode translation) on anything that is
// not well-formed UTF-8, as the system's strict conversion does: stray or
// missing continuation bytes, overlong forms, encoded surrogates, lead bytes
// above 0xF4 and code points above 0x10FFFF. A byte-order mark is decoded as
// the character U+FEFF. *out is untouched on failure.
[[nodiscard]] Platform::Status Utf8ToWide(std::string_view utf8, std::wstring* out);

// Encodes as UTF-8 without a byte-order mark. Fails with 1113 on a surrogate
// that is not part of a pair (and, where wide text is UTF-32, on values that
// are not code points). *out is untouched on failure.
[[nodiscard]] Platform::Status WideToUtf8(std::wstring_view wide, std::string* out);

// Decodes UTF-16LE bytes. Never fails: a surrogate that is not part of a pair
// is kept as it is (so that text read from the registry is written back the
// same), and an odd trailing byte is ignored, as the registry ignores it.
std::wstring Utf16LeToWide(std::span<const uint8_t> bytes);

// Encodes as UTF-16LE bytes, without a terminating zero. Unpaired surrogates
// are kept; where wide text is UTF-32, values above 0x10FFFF fail with 1113.
// *out is untouched on failure.
[[nodiscard]] Platform::Status WideToUtf16Le(std::wstring_view wide, std::vector<uint8_t>* out);

}  // namespace Text
