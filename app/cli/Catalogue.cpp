#include "app/cli/Catalogue.h"

#include "app/cli/Progress.h"
#include "core/platform/Errors.h"

namespace Cli {

int LoadCatalogue(const Context& context, Tweaker::Manager* manager)
{
    Tweaker::ITweakSetSource& sets =
        context.settings.sets != nullptr ? *context.settings.sets : Tweaker::ResourceTweakSets();
    const bool named = context.invocation.catalogue.has_value();
    const ProgramCatalogue::Report report =
        ProgramCatalogue::Load(*manager, sets, context.settings.folderName,
                               named ? *context.invocation.catalogue : std::wstring(), context.settings.readCatalogue);
    // The built-in set (or the file standing in for it) failing stops the
    // command; the problems of the other sets and of Config.xml are told and
    // the command goes on.
    for (const ProgramCatalogue::Line& line : report.lines) {
        if (line.kind == ProgramCatalogue::Line::Kind::Error) {
            context.out.Error(line.text);
        } else {
            context.out.Warning(line.text);
        }
    }
    if (report.loaded) {
        return Exit::Done;
    }
    // A file the user named is bad input; the program's own set failing is a fault.
    return named ? Exit::BadUsage : Exit::Failed;
}

int TakeLock(const Context& context, Platform::UniqueNamedLock* lock)
{
    const uint32_t status = Tweaker::TakeChangeLock(lock, context.settings.lockName);
    if (status == Err::Success) {
        return Exit::Done;
    }
    if (status == Err::AlreadyExists) {
        context.out.Error(L"another Corvane program is changing the system (it holds the lock " +
                          context.settings.lockName + L"); try again when it has finished");
    } else {
        context.out.Error(L"cannot take the lock " + context.settings.lockName + L": " + ErrorText(status));
    }
    return Exit::Failed;
}

int Analyse(const Context& context, Tweaker::Manager& manager)
{
    // A check reports a few lines only: its progress stays off standard output.
    const bool quiet = context.invocation.json || context.invocation.check;
    ProgressDisplay progress(context.out.Console(), ChooseProgress(context.out.Console(), quiet), manager, L"Analysed");
    manager.StartAnalysis(&progress);
    (void)manager.WaitForRun(Platform::kInfinite);
    const Tweaker::RunOutcome& outcome = manager.LastRun();
    if (!outcome.finished || outcome.cancelled) {
        context.out.Error(outcome.finished ? L"the analysis was stopped" : L"the analysis could not run");
        return Exit::Failed;
    }
    return Exit::Done;
}

namespace {

void VisitGroup(const Tweaker::Group& group, std::vector<std::wstring>& groups, const TweakVisitor& visit)
{
    for (const auto& child : group.GetChildren()) {
        if (auto* tweak = dynamic_cast<Tweaker::SimpleTweak*>(child.Get())) {
            visit(*tweak, groups);
        } else if (const auto* nested = dynamic_cast<const Tweaker::Group*>(child.Get())) {
            groups.push_back(nested->GetName());
            VisitGroup(*nested, groups, visit);
            groups.pop_back();
        }
    }
}

}  // namespace

void ForEachTweak(const Tweaker::Group& category, const TweakVisitor& visit)
{
    std::vector<std::wstring> groups;
    VisitGroup(category, groups, visit);
}

std::wstring CategoryStatusText(const Tweaker::Group& category)
{
    if (!category.IsAnalysed()) {
        return L"not analysed";
    }
    switch (category.GetState()) {
        case 2:
            return L"all selected tweaks were applied";
        case 1:
            return L"part of tweaks were applied";
        default:
            return category.CountSelected() > 0 ? L"no tweaks were applied" : L"no selected tweaks for applying";
    }
}

bool IsInEffect(const Tweaker::ITweak& tweak)
{
    return tweak.GetAppliedShare() >= 1.0;
}

}  // namespace Cli
