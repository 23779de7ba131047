#include "gui/RestoreProgress.h"

#include <algorithm>

namespace GUI {

void RestoreProgress::Start(int points)
{
    point_ = 0;
    percent_ = 0;
    size_ = 0;
    points_ = std::max(points, 1);
}

void RestoreProgress::Set(int point, int percent)
{
    const bool same = point_.exchange(point) == point && percent_.exchange(percent) == percent;
    if (!same && changed_) {
        changed_();
    }
}

void RestoreProgress::Trace(uint32_t code, int32_t first, int32_t second)
{
    if (!Active()) {
        return;
    }
    if (code == RTI::TraceCode::Max && second == 0) {
        // A journal was opened: the next point, nothing of it undone yet.
        size_ = std::max<int32_t>(first, 0);
        Set(std::min(point_.load() + 1, points_.load()), 0);
    } else if (code == RTI::TraceCode::Current) {
        const int64_t done = std::clamp<int64_t>(first, 0, size_);
        Set(point_.load(), size_ > 0 ? static_cast<int>(done * 100 / size_) : 100);
    }
}

std::wstring RestoreProgress::Text() const
{
    const int points = points_.load();
    if (points == 0) {
        return {};
    }
    const int point = point_.load();
    if (point == 0) {
        return L"Restoring...";
    }
    const std::wstring percent = std::to_wstring(percent_.load()) + L"%";
    if (points == 1) {
        return L"Restoring the backup point: " + percent;
    }
    return L"Restoring backup point " + std::to_wstring(point) + L" of " + std::to_wstring(points) + L": " + percent;
}

}  // namespace GUI
