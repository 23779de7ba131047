#pragma once
// The built-in catalogue chain: an enciphered resource of type "BINARY" turned
// into the UTF-8 text of a tweak file.
#include <cstdint>
#include <string>
#include <string_view>

namespace Resources {

inline constexpr std::wstring_view kBuiltInCatalogue = L"TWEAKSDB";

// Finds the resource `name` (type "BINARY") and deciphers it (see
// CatalogueFormat.h). On success `text` holds the payload as UTF-8 bytes.
// 1814 when the resource is missing, -1 when it is shorter than the
// header; `text` is then untouched.
[[nodiscard]] uint32_t ReadCatalogueResource(std::string& text, std::wstring_view name = kBuiltInCatalogue);

}  // namespace Resources
