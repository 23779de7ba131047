// The editable side of registry items: choices, typed values, and taking the
// registry's current value.
#include <algorithm>

#include "core/platform/Handles.h"
#include "tweaker/Key.h"
#include "tweaker/KeyAccess.h"
#include "tweaker/ValueData.h"

namespace Tweaker {

void Key::TakeChoice(const Choice& choice)
{
    configured_ = choice.val;
    valueDescription_ = choice.descr;
    SetActionText(choice.action);
    if (type_ == Platform::RegType::Binary) {
        SetByteLength(choice.byteLength);
    }
}

void Key::SwitchChoice()
{
    if (editKind_ != EditKind::Choices || choices_.size() != 2) {
        return;
    }
    const bool onFirst = actionText_ == choices_[0].action && configured_ == choices_[0].val;
    TakeChoice(choices_[onFirst ? 1 : 0]);
    (void)Analyse();
}

bool Key::TakeValuesFromRegistry()
{
    if (Analyse()) {
        return true;
    }
    if (editKind_ == EditKind::Choices) {
        if (action_ == Action::KeyDelete || action_ == Action::KeySet || action_ == Action::ValueDelete) {
            SwitchChoice();
        } else if (action_ == Action::ValueSet) {
            Platform::UniqueKey key;
            if (OpenItemKey(Root(), FullKeyPath(), Platform::KeyAccess::Read, &key) == 0) {
                uint32_t type = 0;
                std::vector<uint8_t> data;
                std::wstring text;
                if (Platform::Current().Registry().QueryValue(key.get(), valueName_, &type, &data) != 0) {
                    SetActionText(L"VALUE_DELETE");
                } else if (type == type_ && ValueToText(type, data, &text)) {
                    for (const Choice& choice : choices_) {
                        if (choice.val == text) {
                            configured_ = text;
                            break;
                        }
                    }
                }
            }
        }
    } else if (editKind_ == EditKind::Range) {
        Platform::UniqueKey key;
        uint32_t type = 0;
        std::vector<uint8_t> data;
        std::wstring text;
        if (OpenItemKey(Root(), FullKeyPath(), Platform::KeyAccess::Read, &key) == 0 &&
            Platform::Current().Registry().QueryValue(key.get(), valueName_, &type, &data) == 0 &&
            type != Platform::RegType::Binary && ValueToText(type, data, &text)) {
            configured_ = text;
        }
    }
    return Analyse();
}

bool Key::IsValidValue(std::wstring_view text) const
{
    if (type_ != Platform::RegType::Dword) {
        return true;
    }
    if (text.empty()) {
        return false;
    }
    const auto isDigit = [](wchar_t ch, bool hex) {
        return (ch >= L'0' && ch <= L'9') || (hex && ((ch >= L'a' && ch <= L'f') || (ch >= L'A' && ch <= L'F')));
    };
    uint32_t number = 0;
    if (std::all_of(text.begin(), text.end(), [&](wchar_t ch) { return isDigit(ch, false); })) {
        number = ParseDword(text);
    } else if (text.size() == 10 && text.starts_with(L"0x") &&
               std::all_of(text.begin() + 2, text.end(), [&](wchar_t ch) { return isDigit(ch, true); })) {
        number = ParseDword(text);
    }
    return number != 0 && number != 0xFFFFFFFFu;
}

}  // namespace Tweaker
