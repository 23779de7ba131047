// Switch tweaks: tweaks whose registry items each offer one or two choices
// are shown as a two-state switch.
#include "tweaker/Key.h"
#include "tweaker/SimpleTweak.h"

namespace Tweaker {
namespace {

bool IsSwitchItem(const IItem& item)
{
    const auto* key = dynamic_cast<const Key*>(&item);
    if (!key || key->GetEditKind() != EditKind::Choices) {
        return false;
    }
    const size_t choices = key->GetChoices().size();
    return choices == 1 || choices == 2;
}

}  // namespace

bool SimpleTweak::IsSwitch() const
{
    if (!editable_ || items_.empty()) {
        return false;
    }
    if (items_.size() > 1 && manageable_) {
        return false;
    }
    for (const auto& item : items_) {
        if (!IsSwitchItem(*item)) {
            return false;
        }
    }
    return true;
}

int SimpleTweak::GetSwitchPosition() const
{
    if (!IsSwitch()) {
        return -1;
    }
    for (const Key* key : RegistryItems()) {
        const std::vector<Choice> choices = key->GetChoices();
        if (choices.size() != 2) {
            continue;
        }
        const bool byValue = choices[0].val != choices[1].val;
        if (!byValue && choices[0].action == choices[1].action) {
            continue;  // two identical choices say nothing
        }
        for (const Choice& choice : choices) {
            const bool held = byValue ? key->GetConfiguredValue() == choice.val : key->GetActionText() == choice.action;
            if (held) {
                return choice.main ? 0 : 1;
            }
        }
        return 1;
    }
    return -1;
}

void SimpleTweak::Switch()
{
    if (!IsSwitch()) {
        return;
    }
    for (Key* key : RegistryItems()) {
        key->SwitchChoice();  // only items with two choices move
    }
}

}  // namespace Tweaker
