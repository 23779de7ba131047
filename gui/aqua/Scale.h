#pragma once
// The one scale function every metric goes through, and the choice of art for
// a scale. A window keeps its own Scaler and replaces it when its DPI changes.
#include <string>
#include <string_view>

namespace GUI::Aqua {

class Scaler {
public:
    static constexpr int kBaseDpi = 96;

    explicit Scaler(int dpi = kBaseDpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

    int dpi() const { return dpi_; }
    // `px` pixels at 100% in pixels at this scale, rounded half away from zero;
    // exactly `px` at 96 DPI.
    int Scale(int px) const;
    // The drawn art nearest this scale: 100, 150 or 200 (a tie takes the larger).
    int ArtPercent() const;
    // The resource name of an image at ArtPercent(): "AQUA.X" at 100%,
    // "AQUA.X.150" or "AQUA.X.200" otherwise.
    std::wstring ArtName(std::wstring_view name) const;
    // Font sizes in points are scaled by the same factor.
    double FontFactor() const { return static_cast<double>(dpi_) / kBaseDpi; }

    bool operator==(const Scaler&) const = default;

private:
    int dpi_;
};

}  // namespace GUI::Aqua
