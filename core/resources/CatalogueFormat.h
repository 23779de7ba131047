#pragma once
// The stored form of an enciphered tweak file (the built-in catalogue and any
// other set shipped the same way): through the cipher stream keyed with
// "MORNINGDEWS", a 256-byte header whose last four bytes hold the payload
// length n (little-endian), then n bytes of UTF-8 text, padded to a whole
// number of 16-byte blocks. The other header bytes carry nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Resources {

inline constexpr std::string_view kCatalogueKey = "MORNINGDEWS";
inline constexpr size_t kCatalogueHeaderSize = 256;
inline constexpr size_t kCatalogueLengthOffset = 252;

// Builds the stored form of `payload`. The unused header bytes and the padding
// are zero, so the same input always gives the same bytes. 87 for a payload
// longer than 4 GiB - 1 or a key the cipher refuses; `stored` is then untouched.
[[nodiscard]] uint32_t EncipherCatalogue(std::string_view payload, std::string& stored,
                                         std::string_view key = kCatalogueKey);

// Reads the stored form back. A payload length beyond the data delivers the
// complete blocks there are (the caller's parser then fails on the text); data
// shorter than the header gives -1. 87 for a key the cipher refuses. `text` is
// untouched on failure.
[[nodiscard]] uint32_t DecipherCatalogue(std::string_view stored, std::string& text,
                                         std::string_view key = kCatalogueKey);

}  // namespace Resources
