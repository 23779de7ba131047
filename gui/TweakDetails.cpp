#include "gui/TweakDetails.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "gui/TweaksList.h"
#include "tweaker/SimpleTweak.h"

namespace GUI {

const wchar_t* const TweakDetails::kNoAccessText =
    L"\n\n\t TWEAK WAS NOT APPLIED. Most probably reason is lack of current user`s access rigths which depends on "
    L"security policy settings!";
const wchar_t* const TweakDetails::kRefusedText = L"Some setting are wrong and could not be applied!";

void TweakDetails::Show(RTI::Reference<Tweaker::ITweak> tweak)
{
    tweak_ = std::move(tweak);
    editors_.clear();
    changeLines_.clear();
    const std::wstring details = tweak_->GetDetails();
    text_ = tweak_->GetName() + L"\n\n" + (details.empty() ? L"No detailed information" : details);
    if (!tweak_->IsApplyComplete()) {
        text_ += kNoAccessText;
    }
    bool admin = false;
    for (const Tweaker::ItemChange& change : Tweaker::DescribeChanges(*tweak_)) {
        changeLines_.push_back(Tweaker::ChangeLine(change));
        admin = admin || change.needsAdmin;
    }
    if (admin) {
        changeLines_.push_back(L"Administrator rights are needed to apply this tweak.");
    }
    const auto* simple = dynamic_cast<const Tweaker::SimpleTweak*>(tweak_.Get());
    if (!simple || tweak_->IsSwitch() || !tweak_->IsEditable()) {
        return;
    }
    for (const auto& item : simple->GetItems()) {
        auto* key = dynamic_cast<Tweaker::Key*>(item.Get());
        if (!key) {
            continue;
        }
        ValueEditor editor;
        editor.item = key;
        if (key->GetEditKind() == Tweaker::EditKind::Range) {
            editor.range = true;
            editor.text = key->GetConfiguredValue();
        } else if (key->GetEditKind() == Tweaker::EditKind::Choices) {
            editor.presets = key->GetChoices();
            for (size_t i = 0; i < editor.presets.size(); ++i) {
                const Tweaker::Choice& choice = editor.presets[i];
                std::wstring caption = choice.descr;
                if (key->GetValueTypeText() == L"REG_BINARY") {
                    caption += L" (" + choice.val + L")";
                }
                editor.captions.push_back(caption);
                if (editor.ticked < 0 && choice.val == key->GetConfiguredValue() &&
                    (choice.action.empty() ? L"VALUE_SET" : choice.action) == key->GetActionText()) {
                    editor.ticked = static_cast<int>(i);
                }
            }
        } else {
            continue;
        }
        editors_.push_back(std::move(editor));
    }
}

void TweakDetails::Type(size_t editor, std::wstring text)
{
    if (text.size() > 260) {
        text.resize(260);
    }
    editors_.at(editor).text = std::move(text);
}

void TweakDetails::Recommended(size_t editor)
{
    ValueEditor& e = editors_.at(editor);
    e.text = e.item->GetRecommendedValue();
}

void TweakDetails::FromRegistry(size_t editor)
{
    // The item reads the registry; what it read goes into the editor and
    // the item gets its configured value back.
    ValueEditor& e = editors_.at(editor);
    Tweaker::Key& key = *e.item;
    const std::wstring value = key.GetConfiguredValue();
    const std::wstring action = key.GetActionText();
    const std::wstring length = key.GetByteLengthText();
    (void)key.TakeValuesFromRegistry();
    e.text = key.GetConfiguredValue();
    key.SetConfiguredValue(value);
    key.SetActionText(action);
    key.SetByteLength(length);
    (void)key.Analyse();
}

void TweakDetails::Tick(size_t editor, int preset)
{
    ValueEditor& e = editors_.at(editor);
    if (preset >= 0 && preset < static_cast<int>(e.presets.size())) {
        e.ticked = preset;
    }
}

int TweakDetails::EditHeight(const std::wstring& text)
{
    const int lines = static_cast<int>((text.size() + 22) / 23);
    return 20 * std::clamp(lines, 1, 4);
}

uint32_t TweakDetails::Ok(Tweaker::Manager& manager, std::wstring* refused)
{
    if (manager.IsRunning()) {
        return kRunActive;
    }
    for (const ValueEditor& e : editors_) {
        if (e.range && !e.item->IsValidValue(e.text)) {
            if (refused) {
                *refused = kRefusedText;
            }
            return Err::InvalidParameter;
        }
    }
    for (const ValueEditor& e : editors_) {
        if (e.range && !e.text.empty()) {
            e.item->SetConfiguredValue(e.text);
        } else if (!e.range && e.ticked >= 0) {
            e.item->TakeChoice(e.presets[e.ticked]);  // the whole choice: value, action, length
        }
    }
    return manager.UpdateConfigRecordAndSave(*tweak_);
}

}  // namespace GUI
