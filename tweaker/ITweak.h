#pragma once
// Tweaker::ITweak: the base of tweaks (SimpleTweak) and of the groups that
// hold them (Group, Application).
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "core/rti/Dynamic.h"
#include "core/rti/Factory.h"
#include "core/rti/ITracer.h"
#include "core/xml/XmlDocument.h"
#include "tweaker/TweakValues.h"

namespace Remover {
class Processor;
}

namespace Tweaker {

class IProducer;

// The stage reported to the tracer around each child of a group.
constexpr unsigned kChildStage = 2;

class ITweak : public RTI::Dynamic {
public:
    using IFactory = RTI::FactoryInterface<ITweak>;
    template <class T>
    using FactoryOf = RTI::FactoryFor<ITweak, T>;

    // The system code from ver (0 = every system); groups: 0.
    virtual int GetMinimumSystem() const = 0;
    // The system code from maxver (0 = no newest system); groups: 0.
    virtual int GetMaximumSystem() const = 0;
    // 1, plus every node below a group.
    virtual int CountNodes() const = 0;
    virtual std::wstring GetName() const = 0;
    virtual std::wstring GetDescription() const = 0;
    virtual std::wstring GetDetails() const = 0;
    // False after a tune-up in which one of the tweak's items failed.
    virtual bool IsApplyComplete() const = 0;
    virtual std::wstring GetIcon() const = 0;
    virtual bool IsSelected() const = 0;
    virtual void SetSelected(bool selected) = 0;
    virtual bool IsEditable() const = 0;
    virtual bool IsSwitch() const = 0;
    // 0 or 1; -1 when not a switch.
    virtual int GetSwitchPosition() const = 0;
    virtual void Switch() = 0;
    virtual bool IsAnalysed() const = 0;
    virtual double GetAppliedShare() const = 0;
    // 0, 1223 (cancelled).
    [[nodiscard]] virtual uint32_t Analyse(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel) = 0;
    // 0, 1223 (cancelled), 157 (a tweak not selected).
    [[nodiscard]] virtual uint32_t Apply(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel,
                                         Remover::Processor* journal) = 0;
    virtual int Broadcast(int, int, ITweak*, int) { return 0; }
    // Reads the reader's current element; 0 = success.
    [[nodiscard]] virtual int Load(XmlDocument& reader, IProducer& producer) = 0;
    virtual int Reserved() { return 0; }
    virtual void ApplyProfileValues(const std::vector<ItemValue>& values) = 0;
    virtual void DiscardProfileValues() = 0;
};

}  // namespace Tweaker
