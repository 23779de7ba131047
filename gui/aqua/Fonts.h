#pragma once
// Font descriptions as the controls ask for them, and the choice of an
// installed family so that text always draws.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace GUI::Aqua {

enum class FontUnit { Point, Pixel };

enum FontStyle : uint8_t { kRegular = 0, kBold = 1, kUnderline = 2 };

struct FontSpec {
    std::wstring family;
    double size = 10;
    FontUnit unit = FontUnit::Point;
    uint8_t style = kRegular;
    bool operator==(const FontSpec&) const = default;
};

// The families the controls name, and the stand-in for "the system's generic
// sans-serif family".
inline constexpr std::wstring_view kVerdana = L"Verdana";
inline constexpr std::wstring_view kTahoma = L"Tahoma";
inline constexpr std::wstring_view kSansSerif = L"Microsoft Sans Serif";

// The family to create for `requested`, given the installed families in the
// order the system lists them. Tries the requested family, the generic
// sans-serif family, then "Segoe UI", "Arial", "Liberation Sans", "DejaVu Sans",
// and at last the first installed family. Names compare without regard to
// case. Empty only when nothing is installed.
std::wstring ChooseFontFamily(std::wstring_view requested, const std::vector<std::wstring>& installed);

}  // namespace GUI::Aqua
