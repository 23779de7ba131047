#include "gui/aqua/ActionsLayout.h"

#include <algorithm>

namespace GUI::Aqua {

std::vector<Rect> LayoutActions(int barWidth, int barHeight, const std::vector<PreferredSize>& buttons,
                                const Scaler& scaler)
{
    std::vector<Rect> places;
    const int n = static_cast<int>(buttons.size());
    if (n == 0) {
        return places;
    }
    const int gap = scaler.Scale(10);
    long long preferred = 0;
    for (const PreferredSize& b : buttons) {
        preferred += std::max(0, b.width);
    }
    const long long room = std::max(0LL, static_cast<long long>(barWidth) - static_cast<long long>(gap) * (n + 1));
    const int top = (barHeight - scaler.Scale(30)) / 2;
    int x = gap;
    for (const PreferredSize& b : buttons) {
        const long long own = std::max(0, b.width);
        long long width;
        if (preferred <= room) {
            width = own + (room - preferred) / n;
        } else {
            width = preferred > 0 ? own * room / preferred : 0;
        }
        places.push_back({x, top, static_cast<int>(width), b.height});
        x += static_cast<int>(width) + gap;
    }
    return places;
}

}  // namespace GUI::Aqua
