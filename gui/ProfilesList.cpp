#include "gui/ProfilesList.h"

#include <algorithm>

#include "gui/Commands.h"

namespace GUI {

namespace {

constexpr int kImageLeft = 13;
constexpr int kImageSize = 32;
constexpr int kCheckBoxLeft = kImageLeft + kImageSize + 10;
constexpr int kCheckBoxTop = 19;
constexpr int kCheckBoxSize = 16;
constexpr int kTitleTop = 4;
constexpr int kDefaultTitleTop = 18;
constexpr int kMoreWidth = 40;
constexpr int kMoreHeight = 16;
constexpr int kMoreFromRight = 45;

std::wstring Joined(const std::wstring& a, const std::wstring& b)
{
    if (a.empty()) {
        return b;
    }
    return b.empty() ? a : a + L" " + b;
}

}  // namespace

void ProfilesList::Show(const std::vector<RTI::Reference<Profiles::Profile>>& shown, int width)
{
    width_ = width;
    scroll_ = 0;
    rows_.clear();
    for (const RTI::Reference<Profiles::Profile>& profile : shown) {
        ProfileRow row;
        row.profile = profile;
        row.title = Joined(profile->dateText, profile->name);
        row.subtitle = Joined(profile->timeText, profile->shortDescription);
        if (!profile->readable) {
            row.subtitle = Joined(row.subtitle, L"(cannot be read: " + profile->problem + L")");
        }
        rows_.push_back(std::move(row));
    }
    Layout();
}

void ProfilesList::Layout()
{
    const int rowWidth = std::max(0, width_ - kScrollBarWidth);
    for (size_t i = 0; i < rows_.size(); ++i) {
        ProfileRow& row = rows_[i];
        const int y = static_cast<int>(i) * kRowHeight;
        const bool odd = i % 2 == 1;
        row.icon = odd ? L"AQUA.MENU.PROFILEODD" : L"AQUA.MENU.PROFILE";
        row.background = odd ? kOddColour : 0xFFFFFFFF;
        row.titleTop = y + (row.profile->name == L"Default" ? kDefaultTitleTop : kTitleTop);
        row.row = {0, y, rowWidth, kRowHeight};
        row.checkBox = {kCheckBoxLeft, y + kCheckBoxTop, kCheckBoxSize, kCheckBoxSize};
        row.more = {rowWidth - kMoreFromRight, row.titleTop, kMoreWidth, kMoreHeight};
    }
}

void ProfilesList::SetScroll(int position)
{
    scroll_ = std::clamp(position, 0, std::max(0, ScrollRange() - kRowHeight));
}

Hit ProfilesList::HitTest(int x, int y) const
{
    const int listY = y + scroll_;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const ProfileRow& row = rows_[i];
        if (!row.row.Contains(x, listY)) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (row.checkBox.Contains(x, listY)) {
            return {index, RowPart::Select};
        }
        if (row.more.Contains(x, listY)) {
            return {index, RowPart::Link};
        }
        return {index, RowPart::Row};
    }
    return {};
}

ProfileClick ProfilesList::Click(int x, int y)
{
    const Hit hit = HitTest(x, y);
    if (hit.part == RowPart::None) {
        return {};
    }
    if (hit.part == RowPart::Link) {
        return {Command::ShowProfile, hit.row};
    }
    if (hit.part == RowPart::Select) {
        const bool tick = !rows_[static_cast<size_t>(hit.row)].profile->checked;
        for (ProfileRow& row : rows_) {
            row.profile->checked = false;
        }
        rows_[static_cast<size_t>(hit.row)].profile->checked = tick;
    }
    return {TickedRow() >= 0 ? Command::ProfileChecked : Command::NoProfileChecked, -1};
}

int ProfilesList::TickedRow() const
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].profile->checked) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::wstring ProfileInfoText(const Profiles::Profile& profile)
{
    const std::wstring details =
        profile.extendedDescription.empty() ? std::wstring(L"No detailed information") : profile.extendedDescription;
    return profile.name + L"\n\n" + details;
}

}  // namespace GUI
