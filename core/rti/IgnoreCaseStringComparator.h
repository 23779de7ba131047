#pragma once
#include <string>
#include <string_view>

namespace RTI {

// Compares wide strings without regard to case, as Windows compares names.
// Returns <0, 0 or >0.
int CompareIgnoreCase(std::wstring_view a, std::wstring_view b) noexcept;
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) noexcept;

// The "less" predicate of maps keyed by names that ignore case (command
// tables, factory registries).
struct IgnoreCaseStringComparator {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept { return CompareIgnoreCase(a, b) < 0; }
};

}  // namespace RTI
