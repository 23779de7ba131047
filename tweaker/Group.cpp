#include "tweaker/Group.h"

#include "core/platform/Errors.h"
#include "tweaker/IProducer.h"
#include "tweaker/RunControl.h"
#include "tweaker/SimpleTweak.h"

namespace Tweaker {
namespace {

constexpr int kEmptyGroupSteps = 10;
constexpr uint32_t kEmptyGroupPaceMs = 100;

// A child stays in the catalogue when the running system is neither older
// than its ver nor newer than its maxver (a tweak without maxver has no
// newest system).
bool IsMeantFor(const ITweak& child, int system)
{
    const int newest = child.GetMaximumSystem();
    return system >= child.GetMinimumSystem() && (newest == 0 || system <= newest);
}

}  // namespace

int Group::CountNodes() const
{
    int nodes = 1;
    for (const auto& child : children_) {
        nodes += child->CountNodes();
    }
    return nodes;
}

int Group::Broadcast(int a, int b, ITweak* /*parent*/, int c)
{
    for (const auto& child : children_) {
        (void)child->Broadcast(a, b, this, c);
    }
    return 0;
}

int Group::Load(XmlDocument& reader, IProducer& producer)
{
    if (!producer.EnterGroup()) {
        return -1;  // nested too deep
    }
    name_ = reader.GetAttrib(L"n");
    icon_ = reader.GetAttrib(L"i");
    share_ = 0.0;
    state_ = 0;
    analysed_ = false;
    while (reader.FindChildElem()) {
        const std::wstring tag = reader.GetChildTagName();
        if (tag == L"d") {
            description_ = reader.GetChildData();
            continue;
        }
        RTI::Reference<ITweak> child = producer.Create(tag);
        if (!child || !reader.IntoElem()) {
            continue;
        }
        const int loaded = child->Load(reader, producer);
        (void)reader.OutOfElem();
        if (loaded == 0 && IsMeantFor(*child, producer.RunningSystem())) {
            children_.push_back(std::move(child));
        }
    }
    producer.LeaveGroup();
    return 0;
}

uint32_t Group::Analyse(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel)
{
    return Run(tracer, parent, cancel, nullptr, false);
}

uint32_t Group::Apply(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel, Remover::Processor* journal)
{
    return Run(tracer, parent, cancel, journal, true);
}

uint32_t Group::Run(RTI::ITracer* tracer, ITweak* parent, Platform::EventHandle cancel, Remover::Processor* journal,
                    bool apply)
{
    const bool topLevel = parent == nullptr;
    share_ = 0.0;
    if (apply) {
        notAllApplied_ = false;
    }
    if (children_.empty()) {
        RunEmpty(tracer, topLevel, apply);
        analysed_ = true;
        return Err::Success;
    }
    if (topLevel) {
        RTI::TraceTo(tracer, RTI::TraceCode::Max, 0, CountNodes());
    }
    uint32_t result = Err::Success;
    size_t finished = 0;
    for (const auto& child : children_) {
        if (Checkpoint(cancel)) {
            result = Err::Cancelled;
            break;
        }
        if (tracer) {
            tracer->Begin(child.Get(), kChildStage);
        }
        result = apply ? child->Apply(tracer, this, cancel, journal) : child->Analyse(tracer, this, cancel);
        if (tracer) {
            tracer->End(child.Get(), kChildStage);
        }
        if (result == Err::Cancelled) {
            break;
        }
        ++finished;
    }
    const int pending = ComputeResults(finished);
    if (apply && pending != 0) {
        notAllApplied_ = true;
    }
    if (topLevel) {
        RTI::TraceTo(tracer, RTI::TraceCode::Done, 0, 0);
    }
    if (result == Err::Cancelled) {
        return Err::Cancelled;  // a group never analysed stays "not analysed"
    }
    analysed_ = true;
    return Err::Success;
}

void Group::RunEmpty(RTI::ITracer* tracer, bool topLevel, bool apply)
{
    if (!tracer) {
        return;
    }
    if (topLevel) {
        tracer->Trace(RTI::TraceCode::Max, 0, kEmptyGroupSteps);
    }
    for (int i = 0; i < kEmptyGroupSteps; ++i) {
        tracer->Begin(this, kChildStage);
        if (apply) {
            Pace(kEmptyGroupPaceMs);
        }
        tracer->End(this, kChildStage);
    }
    if (topLevel) {
        tracer->Trace(RTI::TraceCode::Done, 0, 0);
    }
}

}  // namespace Tweaker
