#pragma once
// The bytes of a resource embedded in the program: module resources on
// Windows, the linked-in table on native builds.
#include <cstdint>
#include <span>
#include <string_view>

namespace Resources {

inline constexpr std::wstring_view kBinaryType = L"BINARY";

// Finds the resource `name` of type `type` in the program. Names and types
// compare without regard to case, as Windows compares them. On success `bytes`
// views memory that lives as long as the program. 1814 when the program has no
// such resource, whether the name or the whole type is missing, so that both
// builds answer alike; `bytes` is then untouched.
[[nodiscard]] uint32_t FindResourceBytes(std::wstring_view name, std::wstring_view type,
                                         std::span<const uint8_t>& bytes);

}  // namespace Resources
