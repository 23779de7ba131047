#pragma once
// Tweaker::Key: the registry item. Analysis treats the key name and value
// name as name patterns and may search below the key; application works on
// the literal names and records every change in the journal first.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "core/rti/System.h"
#include "core/system/NamePattern.h"
#include "tweaker/IItem.h"
#include "tweaker/Keywords.h"

namespace Tweaker {

// One choice of a key whose editable is "set".
struct Choice {
    std::wstring val;
    std::wstring action;  // "VALUE_SET" when written empty
    std::wstring descr;
    std::wstring byteLength;
    bool main = false;
};

class Key final : public IItem, public RTI::System {
public:
    std::wstring GetTypeName() const override { return L"Key"; }
    std::wstring GetName() const override { return {}; }
    std::wstring GetPath() const override { return {}; }
    int GetEditKind() const override { return editKind_; }
    [[nodiscard]] int Load(XmlDocument& reader) override;
    bool Analyse() override;
    bool Apply(Remover::Processor* journal, Platform::EventHandle cancel) override;

    // Reads the registry's current value into the configured value ("From
    // Registry"); returns Analyse().
    bool TakeValuesFromRegistry();
    // A two-choice item moves to its other choice.
    void SwitchChoice();
    // Whether a typed value may be accepted.
    bool IsValidValue(std::wstring_view text) const;
    // Makes a choice the item's configured value, description and action.
    void TakeChoice(const Choice& choice);

    const std::wstring& GetActionText() const { return actionText_; }
    int GetActionCode() const { return action_; }
    // An empty text becomes "VALUE_SET"; a text that is no keyword keeps the code.
    void SetActionText(std::wstring_view text);
    const std::wstring& GetRootName() const { return rootName_; }
    const std::wstring& GetKeyPath() const { return keyPath_; }
    const std::wstring& GetKeyName() const { return keyName_; }
    const std::wstring& GetValueName() const { return valueName_; }
    const std::wstring& GetConfiguredValue() const { return configured_; }
    void SetConfiguredValue(std::wstring_view text) { configured_ = text; }
    const std::wstring& GetRecommendedValue() const { return recommended_; }
    const std::wstring& GetValueTypeText() const { return typeText_; }
    uint32_t GetValueType() const { return type_; }
    const std::wstring& GetByteLengthText() const { return byteLengthText_; }
    uint32_t GetByteLength() const { return byteLength_; }
    void SetByteLength(std::wstring_view text);
    bool IsRecursive() const { return recursive_; }
    std::vector<Choice> GetChoices() const { return choices_; }
    const std::wstring& GetValueDescription() const { return valueDescription_; }
    const std::wstring& GetStatusCode() const { return status_; }
    // The root key, null for an unknown root name.
    Platform::KeyHandle Root() const;
    // path\keyname below the root (either part may be empty).
    std::wstring FullKeyPath() const;

private:
    struct Target;
    bool AnalyseKeyPresence(bool wanted);
    bool AnalyseValuesDeleted();
    bool AnalyseValueDeleted();
    bool AnalyseValueSet();
    bool AnalyseValueCleared();
    bool AnalyseSubkeysDeleted();

    bool ApplyKeyDelete(Remover::Processor* journal, Platform::EventHandle cancel);
    bool ApplyKeySet(Remover::Processor* journal, Platform::EventHandle cancel);
    bool ApplyValueWalk(Remover::Processor* journal, bool clear, Platform::EventHandle cancel);
    bool ApplyValueDelete(Remover::Processor* journal, bool clear, Platform::EventHandle cancel);
    bool ApplyValueSet(Remover::Processor* journal, Platform::EventHandle cancel);
    bool ApplySubkeysDelete(Remover::Processor* journal, Platform::EventHandle cancel);

    const Sys::NamePattern& KeyNamePattern();
    const Sys::NamePattern& ValueNamePattern();

    std::wstring rootName_;
    std::wstring keyPath_;
    std::wstring keyName_;
    std::wstring actionText_ = L"VALUE_SET";
    int action_ = Action::ValueSet;
    std::wstring valueName_;
    std::wstring configured_;
    std::wstring recommended_;
    std::wstring byteLengthText_;
    uint32_t byteLength_ = 0;
    std::wstring typeText_;
    uint32_t type_ = 0;
    bool recursive_ = false;
    int editKind_ = EditKind::None;
    std::wstring valueDescription_;
    std::wstring status_ = L"-";
    std::vector<Choice> choices_;
    // Compiled once: the names never change after loading.
    std::optional<Sys::NamePattern> keyPattern_;
    std::optional<Sys::NamePattern> valuePattern_;
};

}  // namespace Tweaker
