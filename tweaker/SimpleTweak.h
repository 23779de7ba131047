#pragma once
// Tweaker::SimpleTweak: one tweak of the catalogue with its items.
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "tweaker/IItem.h"
#include "tweaker/ITweak.h"

namespace Tweaker {

class Key;

// Which recorded value each registry item takes (nullptr: none). Only values
// without a path count. The k-th value of a name goes to the k-th item of
// that name; items beyond the values take the last value, and the last item
// takes the last value when there are more values than items.
std::vector<const ItemValue*> PairValuesWithItems(const std::vector<Key*>& keys, const std::vector<ItemValue>& values);

class SimpleTweak final : public ITweak {
public:
    int GetMinimumSystem() const override { return minimumSystem_; }
    int GetMaximumSystem() const override { return maximumSystem_; }
    int CountNodes() const override { return 1; }
    std::wstring GetName() const override { return name_; }
    std::wstring GetDescription() const override { return description_; }
    std::wstring GetDetails() const override { return details_; }
    bool IsApplyComplete() const override { return applyComplete_; }
    std::wstring GetIcon() const override { return icon_; }
    bool IsSelected() const override { return selected_; }
    void SetSelected(bool selected) override { selected_ = selected; }
    bool IsEditable() const override { return editable_; }
    bool IsSwitch() const override;
    int GetSwitchPosition() const override;
    void Switch() override;
    bool IsAnalysed() const override { return false; }
    double GetAppliedShare() const override { return share_; }
    [[nodiscard]] uint32_t Analyse(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel) override;
    [[nodiscard]] uint32_t Apply(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel,
                                 Remover::Processor* journal) override;
    [[nodiscard]] int Load(XmlDocument& reader, IProducer& producer) override;
    // Each registry item takes its paired value (PairValuesWithItems) and
    // action: an item with choices only when they match one of them, a
    // typed item only a value that passes its check.
    void ApplyProfileValues(const std::vector<ItemValue>& values) override;
    void DiscardProfileValues() override;

    bool IsManageable() const { return manageable_; }
    const std::wstring& GetVersionText() const { return version_; }
    const std::wstring& GetMaxVersionText() const { return maxVersion_; }
    const std::vector<RTI::Reference<IItem>>& GetItems() const { return items_; }
    size_t CountItems() const { return items_.size(); }
    // One ItemValue per registry item: its value name, no path, its
    // configured value and its action.
    std::vector<ItemValue> RegistryItemValues() const;

private:
    std::vector<Key*> RegistryItems() const;

    std::wstring name_;
    std::wstring description_;
    std::wstring details_;
    std::wstring icon_;
    std::wstring version_;
    std::wstring maxVersion_;
    int minimumSystem_ = 0;
    int maximumSystem_ = 0;
    bool selected_ = false;
    bool manageable_ = true;
    bool editable_ = false;
    double share_ = 0.0;
    bool applyComplete_ = true;
    std::vector<RTI::Reference<IItem>> items_;
};

}  // namespace Tweaker
