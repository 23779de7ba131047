// tuneup [--backup | --no-backup]: analyse, then apply the selected tweaks
// that are not in effect, recording a backup point first unless told not to.
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"
#include "app/cli/Progress.h"
#include "app/settings/Settings.h"
#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "tweaker/IRunMessages.h"

namespace Cli {
namespace {

// The run's end-of-run messages, kept until the run is over: they arrive on
// the worker thread, while the progress may still be drawn.
class CollectedMessages final : public Tweaker::IRunMessages {
public:
    void Warn(const std::wstring& caption, const std::wstring& text) override { warnings.push_back({caption, text}); }
    void OfferRestart() override { restart = true; }

    struct Warning {
        std::wstring caption;
        std::wstring text;
    };
    std::vector<Warning> warnings;
    bool restart = false;
};

// The EnableBackup setting, read as the window reads it.
bool BackupSetting(const Settings& settings)
{
    AppSettings::Locations where;
    where.settingsKey = settings.settingsKey;
    return AppSettings::BackupEnabled(where);
}

bool KeepsBackup(const Context& context)
{
    switch (context.invocation.backup) {
        case BackupChoice::On:
            return true;
        case BackupChoice::Off:
            return false;
        case BackupChoice::Setting:
            break;
    }
    return BackupSetting(context.settings);
}

int CountPending(Tweaker::Manager& manager)
{
    int pending = 0;
    for (const auto& category : manager.Categories()) {
        pending += category->CountSelectedNotApplied();
    }
    return pending;
}

// Selected tweaks left not in effect, in catalogue order.
std::vector<std::wstring> NotInEffect(Tweaker::Manager& manager)
{
    std::vector<std::wstring> names;
    for (const auto& category : manager.Categories()) {
        ForEachTweak(*category, [&](Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>&) {
            if (tweak.IsSelected() && !IsInEffect(tweak)) {
                names.push_back(tweak.GetName());
            }
        });
    }
    return names;
}

bool FileExists(const std::wstring& path)
{
    Platform::FileInfo info;
    return Platform::Current().Files().GetFileInfo(path, &info) == Err::Success &&
           (info.attributes & Platform::FileAttr::Directory) == 0;
}

}  // namespace

int RunTuneUp(const Context& context)
{
    Platform::UniqueNamedLock lock;
    if (const int failed = TakeLock(context, &lock)) {
        return failed;
    }
    Tweaker::Manager manager;
    if (const int failed = LoadCatalogue(context, &manager)) {
        return failed;
    }
    if (const int failed = Analyse(context, manager)) {
        return failed;
    }
    const int pending = CountPending(manager);
    if (pending == 0) {
        context.out.Line(L"No tweaks selected for applying: every selected tweak is in effect already.");
        return Exit::Done;
    }

    const bool backup = KeepsBackup(context);
    CollectedMessages messages;
    manager.SetRunMessages(&messages);
    ProgressDisplay progress(context.out.Console(), ChooseProgress(context.out.Console(), false), manager, L"Tuned up");
    context.out.Line(L"Tuning up " + std::to_wstring(pending) + (pending == 1 ? L" tweak" : L" tweaks") +
                     (backup ? L", keeping a backup point..." : L" without a backup point..."));
    if (const uint32_t status = manager.StartTuneUp(&progress, backup)) {
        for (const auto& warning : messages.warnings) {
            context.out.Error(warning.text);
        }
        if (messages.warnings.empty()) {
            context.out.Error(L"the tune-up did not start: " + ErrorText(status));
        }
        return Exit::Failed;
    }
    (void)manager.WaitForRun(Platform::kInfinite);
    manager.SetRunMessages(nullptr);
    const Tweaker::RunOutcome& outcome = manager.LastRun();

    int exitCode = Exit::Done;
    if (backup) {
        if (!outcome.journalPath.empty() && FileExists(outcome.journalPath)) {
            context.out.Line(L"Backup point: " + outcome.journalPath);
        } else {
            context.out.Line(L"No backup point was kept: the run recorded no change.");
        }
        if (outcome.journalStatus != Err::Success) {
            context.out.Error(L"the backup point " + outcome.journalPath + L" was not closed properly: " +
                              ErrorText(outcome.journalStatus));
            exitCode = Exit::Failed;
        }
    } else {
        context.out.Line(L"No backup point was kept (backup is off).");
    }
    if (!outcome.finished || outcome.cancelled) {
        context.out.Error(L"the tune-up was stopped before its end");
        exitCode = Exit::Failed;
    }
    for (const auto& warning : messages.warnings) {
        context.out.Error(warning.text);
    }
    const std::vector<std::wstring> left = NotInEffect(manager);
    for (const std::wstring& name : left) {
        context.out.Error(L"not in effect after the tune-up: " + Quoted(name));
    }
    if (!outcome.allApplied || !left.empty()) {
        if (messages.warnings.empty()) {
            context.out.Error(L"some selected tweaks were not applied");
        }
        if (exitCode == Exit::Done) {
            exitCode = Exit::NotApplied;
        }
    }
    if (messages.restart) {
        // The command line never restarts Windows itself.
        context.out.Line(L"A restart of Windows may be needed for the changes to take effect.");
    }
    return exitCode;
}

}  // namespace Cli
