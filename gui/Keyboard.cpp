#include "gui/Keyboard.h"

#include <algorithm>

#include "gui/Commands.h"

namespace GUI {

std::vector<FocusItem> Keyboard::Order(const std::vector<int>& enabledButtons, const std::vector<TweakRow>& rows)
{
    std::vector<FocusItem> order;
    for (int id : enabledButtons) {
        order.push_back({FocusItem::Kind::Button, id});
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        order.push_back({FocusItem::Kind::Select, static_cast<int>(i)});
        if (rows[i].twoState) {
            order.push_back({FocusItem::Kind::Switch, static_cast<int>(i)});
        }
    }
    return order;
}

KeyResult Keyboard::Press(Key key, const std::vector<int>& enabledButtons, const std::vector<TweakRow>& rows)
{
    const std::vector<FocusItem> order = Order(enabledButtons, rows);
    const int count = static_cast<int>(order.size());
    if (focus_ >= count) {
        focus_ = count - 1;  // the rows shrank under the filter
    }
    KeyResult result;
    switch (key) {
        case Key::Tab:
            if (count > 0) {
                focus_ = (focus_ + 1) % count;
            }
            return result;
        case Key::ShiftTab:
            if (count > 0) {
                focus_ = focus_ <= 0 ? count - 1 : focus_ - 1;
            }
            return result;
        case Key::F5:
            result.kind = KeyResult::Kind::Command;
            result.command = Command::Analyse;
            return result;
        case Key::Escape: {
            // The view's way back, whichever of them the bar shows.
            static const int kBack[] = {Command::BackToTweaks, Command::Cancel, Command::LeaveTweaks,
                                        Command::BackToProfiles, Command::Back};
            for (int id : kBack) {
                if (std::find(enabledButtons.begin(), enabledButtons.end(), id) != enabledButtons.end()) {
                    result.kind = KeyResult::Kind::Command;
                    result.command = id;
                    return result;
                }
            }
            return result;
        }
        case Key::Space:
        case Key::Enter:
            break;
    }
    if (focus_ < 0) {
        return result;
    }
    const FocusItem& item = order[focus_];
    if (item.kind == FocusItem::Kind::Button) {
        result.kind = KeyResult::Kind::Command;
        result.command = item.id;
    } else if (key == Key::Enter) {
        result.kind = KeyResult::Kind::Command;
        result.command = Command::ShowDetails;
        result.parameter = reinterpret_cast<intptr_t>(rows[item.id].tweak.Get());
    } else {
        result.kind =
            item.kind == FocusItem::Kind::Select ? KeyResult::Kind::ToggleSelect : KeyResult::Kind::ToggleSwitch;
        result.row = item.id;
    }
    return result;
}

}  // namespace GUI
