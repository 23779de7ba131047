#include "gui/TweaksList.h"

#include <algorithm>
#include <cwctype>

#include "core/platform/Errors.h"

namespace GUI {

namespace {

constexpr uint32_t kEvenRow = 0xFFFFFFFF;
constexpr uint32_t kOddRow = 0xFFEDF3FE;

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return text;
}

// Every tweak of the name, in nested groups too.
void CollectByName(const Tweaker::Group& group, const std::wstring& name, std::vector<Tweaker::ITweak*>& found)
{
    for (const auto& child : group.GetChildren()) {
        if (const auto* nested = dynamic_cast<const Tweaker::Group*>(child.Get())) {
            CollectByName(*nested, name, found);
        } else if (child->GetName() == name) {
            found.push_back(child.Get());
        }
    }
}

}  // namespace

TweakRow TweaksList::MakeRow(const RTI::Reference<Tweaker::ITweak>& tweak) const
{
    TweakRow row;
    row.tweak = tweak;
    row.name = tweak->GetName();
    row.description = tweak->GetDescription();
    row.twoState = tweak->IsSwitch();
    row.link = row.twoState ? L"Details..." : L"Configure...";
    row.switchOn = row.twoState && tweak->GetSwitchPosition() == 0;
    row.switchLabel = row.twoState ? (row.switchOn ? L"On" : L"Off") : L"";
    row.selected = tweak->IsSelected();
    row.noAccess = !tweak->IsApplyComplete();
    row.notApplied = tweak->GetAppliedShare() == 0.0;
    return row;
}

void TweaksList::Show(RTI::Reference<Tweaker::Group> category, int width)
{
    category_ = std::move(category);
    width_ = width;
    filter_.clear();
    scroll_ = 0;
    Layout();
}

void TweaksList::SetFilter(std::wstring text)
{
    filter_ = std::move(text);
    scroll_ = 0;
    Layout();
}

void TweaksList::Refresh()
{
    Layout();
}

void TweaksList::Layout()
{
    rows_.clear();
    if (!category_) {
        return;
    }
    const std::wstring needle = Lower(filter_);
    for (const auto& child : category_->GetChildren()) {
        TweakRow row = MakeRow(child);
        if (!needle.empty() && Lower(row.name).find(needle) == std::wstring::npos &&
            Lower(row.description).find(needle) == std::wstring::npos) {
            continue;
        }
        const int i = static_cast<int>(rows_.size());
        const int y = kRowHeight * i;
        const bool odd = i % 2 == 1;
        row.icon = child->GetIcon() + (odd ? L"B" : L"W");
        row.background = odd ? kOddRow : kEvenRow;
        row.row = {0, y, width_ - kScrollBarWidth, kRowHeight};
        if (row.twoState) {
            row.switchBox = {24, y + 44, 16, 16};
        }
        row.selectBox = {8, y + 74, 16, 16};
        row.linkArea = {width_ - 74, y + 12, 44, 14};
        rows_.push_back(std::move(row));
    }
}

void TweaksList::SetScroll(int position)
{
    const int most = std::max(0, ScrollRange() - kRowHeight);
    scroll_ = std::clamp(position, 0, most);
}

Hit TweaksList::HitTest(int x, int y) const
{
    const int contentY = y + scroll_;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const TweakRow& row = rows_[i];
        if (!row.row.Contains(x, contentY)) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (row.twoState && row.switchBox.Contains(x, contentY)) {
            return {index, RowPart::Switch};
        }
        if (row.selectBox.Contains(x, contentY)) {
            return {index, RowPart::Select};
        }
        if (row.linkArea.Contains(x, contentY)) {
            return {index, RowPart::Link};
        }
        return {index, RowPart::Row};
    }
    return {};
}

uint32_t TweaksList::ToggleSelection(int row, Tweaker::Manager& manager)
{
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return Err::InvalidParameter;
    }
    if (manager.IsRunning() || disabled_) {
        return kRunActive;
    }
    const std::wstring name = rows_[row].name;
    const bool select = !rows_[row].tweak->IsSelected();
    std::vector<Tweaker::ITweak*> tweaks;
    for (const auto& category : manager.Categories()) {
        CollectByName(*category, name, tweaks);
    }
    const Tweaker::TweakValuesMap before = manager.ConfigTweakValues();
    for (Tweaker::ITweak* tweak : tweaks) {
        tweak->SetSelected(select);
        manager.UpdateConfigRecord(*tweak);
    }
    if (const uint32_t s = manager.SaveConfiguration()) {
        // Nothing is half done: the selections and the records go back.
        for (Tweaker::ITweak* tweak : tweaks) {
            tweak->SetSelected(!select);
        }
        manager.ConfigTweakValues() = before;
        return s;
    }
    manager.RecomputeAll();
    Layout();
    return Err::Success;
}

uint32_t TweaksList::ToggleSwitch(int row, Tweaker::Manager& manager)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || !rows_[row].twoState) {
        return Err::InvalidParameter;
    }
    if (manager.IsRunning() || disabled_) {
        return kRunActive;
    }
    Tweaker::ITweak& tweak = *rows_[row].tweak;
    const Tweaker::TweakValuesMap before = manager.ConfigTweakValues();
    tweak.Switch();
    (void)tweak.Analyse(nullptr, category_.Get(), nullptr);
    if (const uint32_t s = manager.UpdateConfigRecordAndSave(tweak)) {
        tweak.Switch();
        (void)tweak.Analyse(nullptr, category_.Get(), nullptr);
        manager.ConfigTweakValues() = before;
        return s;
    }
    manager.RecomputeAll();
    Layout();
    return Err::Success;
}

}  // namespace GUI
