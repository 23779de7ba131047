// A group's results as the main window reads them: state, share and counts.
#include <cstdio>

#include "tweaker/Group.h"
#include "tweaker/SimpleTweak.h"

namespace Tweaker {
namespace {

// In effect for its parent: a tweak fully in effect, a nested group whose
// state is 2.
bool IsDone(const ITweak& child)
{
    if (const auto* group = dynamic_cast<const Group*>(&child)) {
        return group->GetState() == 2;
    }
    return static_cast<int>(child.GetAppliedShare()) >= 1;
}

// Still to be applied: a selected tweak not in effect, a nested group that
// holds one.
bool IsPending(const ITweak& child)
{
    if (const auto* group = dynamic_cast<const Group*>(&child)) {
        return group->GetState() != 2 && group->CountSelectedNotApplied() != 0;
    }
    return !IsDone(child) && child.IsSelected();
}

}  // namespace

void Group::RecomputeResults()
{
    (void)ComputeResults(children_.size());
}

int Group::ComputeResults(size_t counted)
{
    int sum = 0;
    int pending = 0;
    for (size_t i = 0; i < counted && i < children_.size(); ++i) {
        const ITweak* child = children_[i].Get();
        if (IsDone(*child)) {
            ++sum;
        } else if (IsPending(*child)) {
            ++pending;
        }
    }
    if (pending != 0 || sum == 0) {
        state_ = sum != 0 ? 1 : 0;
    } else {
        state_ = 2;
    }
    share_ = children_.empty() ? 0.0 : static_cast<double>(sum + pending) / static_cast<double>(children_.size());
    return pending;
}

int Group::CountSelected() const
{
    int count = 0;
    for (const auto& child : children_) {
        count += child->IsSelected() ? 1 : 0;
    }
    return count;
}

int Group::CountSelectedNotApplied() const
{
    int count = 0;
    for (const auto& child : children_) {
        if (const auto* group = dynamic_cast<const Group*>(child.Get())) {
            count += group->CountSelectedNotApplied();
        } else if (child->IsSelected() && child->GetAppliedShare() == 0.0) {
            ++count;
        }
    }
    return count;
}

std::wstring Group::FormatStatistics() const
{
    int applied = 0;
    for (const auto& child : children_) {
        applied += child->GetAppliedShare() != 0.0 ? 1 : 0;
    }
    wchar_t text[64];
    std::swprintf(text, 64, L"%d in general/%d applied", CountChildren(), applied);
    return text;
}

void Group::CollectTweakValues(TweakValuesMap& map) const
{
    for (const auto& child : children_) {
        if (const auto* tweak = dynamic_cast<const SimpleTweak*>(child.Get())) {
            InsertKeepingExisting(map, tweak->GetName(), {tweak->IsSelected(), tweak->RegistryItemValues()});
        }
    }
}

}  // namespace Tweaker
