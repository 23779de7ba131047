#include "gui/aqua/Scale.h"

#include <cstdlib>

namespace GUI::Aqua {

int Scaler::Scale(int px) const
{
    const long long product = static_cast<long long>(px) * dpi_;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

int Scaler::ArtPercent() const
{
    int best = 100;
    int bestDistance = -1;
    for (int percent : {100, 150, 200}) {
        // Compare in DPI units: percent p corresponds to 96 * p / 100.
        const int distance = std::abs(dpi_ * 100 - kBaseDpi * percent);
        if (bestDistance < 0 || distance <= bestDistance) {
            best = percent;
            bestDistance = distance;
        }
    }
    return best;
}

std::wstring Scaler::ArtName(std::wstring_view name) const
{
    std::wstring result(name);
    const int percent = ArtPercent();
    if (percent != 100) {
        result += L'.';
        result += std::to_wstring(percent);
    }
    return result;
}

}  // namespace GUI::Aqua
