#pragma once
// Every command without a mouse: Tab and Shift+Tab move through the action
// bar's buttons and then the rows' boxes, Space toggles the focused box (or
// presses the focused button), Enter presses the focused button or opens the
// focused row's details, Esc takes the view's way back, F5 analyses.
#include <cstdint>
#include <vector>

#include "gui/TweaksList.h"

namespace GUI {

enum class Key { Tab, ShiftTab, Space, Enter, Escape, F5 };

struct FocusItem {
    enum class Kind { Button, Select, Switch } kind = Kind::Button;
    int id = 0;  // the button's command, or the row's index
    bool operator==(const FocusItem&) const = default;
};

struct KeyResult {
    enum class Kind { None, Command, ToggleSelect, ToggleSwitch } kind = Kind::None;
    int command = 0;         // Command: the command to dispatch
    intptr_t parameter = 0;  // Command 5020: the tweak
    int row = -1;            // ToggleSelect / ToggleSwitch
    bool operator==(const KeyResult&) const = default;
};

class Keyboard {
public:
    // The focus order for the enabled buttons and the shown rows.
    static std::vector<FocusItem> Order(const std::vector<int>& enabledButtons, const std::vector<TweakRow>& rows);

    // Handles a key; `rows` may be empty (views without a list).
    KeyResult Press(Key key, const std::vector<int>& enabledButtons, const std::vector<TweakRow>& rows);

    // The focused item, or none (-1 index) before the first Tab.
    int FocusIndex() const { return focus_; }

private:
    int focus_ = -1;
};

}  // namespace GUI
