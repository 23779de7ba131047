#pragma once
// Tweaker::Group: a category of the catalogue or a group nested in one;
// Tweaker::Application behaves the same and differs only by its type.
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "tweaker/ITweak.h"

namespace Tweaker {

class Group : public ITweak {
public:
    int GetMinimumSystem() const override { return 0; }
    int GetMaximumSystem() const override { return 0; }
    int CountNodes() const override;
    std::wstring GetName() const override { return name_; }
    std::wstring GetDescription() const override { return description_; }
    std::wstring GetDetails() const override { return {}; }
    bool IsApplyComplete() const override { return true; }
    std::wstring GetIcon() const override { return icon_; }
    bool IsSelected() const override { return checked_; }
    void SetSelected(bool selected) override { checked_ = selected; }
    bool IsEditable() const override { return false; }
    bool IsSwitch() const override { return false; }
    int GetSwitchPosition() const override { return -1; }
    void Switch() override {}
    bool IsAnalysed() const override { return analysed_; }
    double GetAppliedShare() const override { return share_; }
    [[nodiscard]] uint32_t Analyse(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel) override;
    [[nodiscard]] uint32_t Apply(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel,
                                 Remover::Processor* journal) override;
    int Broadcast(int a, int b, ITweak* parent, int c) override;
    [[nodiscard]] int Load(XmlDocument& reader, IProducer& producer) override;
    void ApplyProfileValues(const std::vector<ItemValue>&) override {}
    void DiscardProfileValues() override {}

    // 0: nothing in effect; 1: some in effect, selected ones remain; 2: every
    // selected child in effect and at least one in effect.
    int GetState() const { return state_; }
    // A tune-up left a selected child not in effect.
    bool IsNotAllApplied() const { return notAllApplied_; }
    // A run over the catalogue starts or was cancelled: the group shows "not
    // analysed" until a run over it completes.
    void ClearAnalysed() { analysed_ = false; }

    const std::vector<RTI::Reference<ITweak>>& GetChildren() const { return children_; }
    void AddChild(RTI::Reference<ITweak> child) { children_.push_back(std::move(child)); }
    int CountChildren() const { return static_cast<int>(children_.size()); }
    int CountSelected() const;
    // Selected tweaks not in effect, counted inside nested groups too.
    int CountSelectedNotApplied() const;
    // "<children> in general/<children in effect> applied".
    std::wstring FormatStatistics() const;
    // State and share from the children's present results, running nothing.
    void RecomputeResults();
    // For every tweak among the direct children: its name, its selection and
    // its registry items' values; existing entries are kept.
    void CollectTweakValues(TweakValuesMap& map) const;

private:
    uint32_t Run(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel, Remover::Processor* journal,
                 bool apply);
    void RunEmpty(RTI::ITracer* tracer, bool topLevel, bool apply);
    // State and share from the first `counted` children (a cancelled run
    // counts those it finished), over the number of all children. Returns
    // the number of pending children.
    int ComputeResults(size_t counted);

    std::wstring name_;
    std::wstring description_;
    std::wstring icon_;
    std::vector<RTI::Reference<ITweak>> children_;
    double share_ = 0.0;
    int state_ = 0;
    bool analysed_ = false;
    bool checked_ = true;
    bool notAllApplied_ = false;
};

class Application final : public Group {};

}  // namespace Tweaker
