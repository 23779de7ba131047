#include "app/corvane/StartPosition.h"

#include <algorithm>

namespace AppShell {

namespace {

int Clamp(int wanted, int size, int low, int high)
{
    // The far edge first, then the near one, so that the near edge wins when
    // the window is larger than the area.
    return std::max(low, std::min(wanted, high - size));
}

}  // namespace

ScreenPoint ClampToWorkArea(ScreenPoint wanted, int width, int height, const ScreenRect& workArea)
{
    return {Clamp(wanted.x, width, workArea.left, workArea.right),
            Clamp(wanted.y, height, workArea.top, workArea.bottom)};
}

}  // namespace AppShell
