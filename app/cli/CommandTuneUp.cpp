// tuneup [--backup | --no-backup]: analyse, then apply the selected tweaks
// that are not in effect, recording a backup point first unless told not to.
// tuneup --dry-run [--json]: analyse and list what a tune-up would change.
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"
#include "app/cli/Progress.h"
#include "app/settings/Settings.h"
#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/text/JsonWriter.h"
#include "tweaker/IRunMessages.h"
#include "tweaker/Preview.h"

namespace Cli {

using Text::JsonWriter;
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

std::wstring PreviewJson(const std::vector<Tweaker::TweakChange>& preview)
{
    JsonWriter json;
    json.BeginObject().Key(L"dryRun").Bool(true).Key(L"tweaks").BeginArray();
    for (const Tweaker::TweakChange& tweak : preview) {
        json.BeginObject().Key(L"category").String(tweak.category).Key(L"name").String(tweak.name);
        json.Key(L"changes").BeginArray();
        for (const Tweaker::ItemChange& c : tweak.items) {
            json.BeginObject().Key(L"kind").String(c.file ? L"file" : L"registry");
            json.Key(L"location").String(c.location);
            if (!c.file) {
                json.Key(L"valueName").String(c.valueName).Key(L"type").String(c.type);
                json.Key(L"current").String(c.current);
            }
            json.Key(L"action").String(c.action).Key(L"new").String(c.next);
            json.Key(L"needsAdministrator").Bool(c.needsAdmin).Key(L"restorable").Bool(c.restorable);
            json.EndObject();
        }
        json.EndArray().EndObject();
    }
    json.EndArray().EndObject();
    return json.Take();
}

// tuneup --dry-run: the analysis, then the list of what a tune-up would
// change. Nothing is written and no lock is taken.
int RunDryRun(const Context& context)
{
    Tweaker::Manager manager;
    if (const int failed = LoadCatalogue(context, &manager)) {
        return failed;
    }
    if (const int failed = Analyse(context, manager)) {
        return failed;
    }
    const std::vector<Tweaker::TweakChange> preview = Tweaker::PreviewTuneUp(manager);
    if (context.invocation.json) {
        context.out.Text(PreviewJson(preview));
        return Exit::Done;
    }
    if (preview.empty()) {
        context.out.Line(L"No tweaks selected for applying: every selected tweak is in effect already.");
    } else {
        context.out.Line(L"A tune-up would apply " + std::to_wstring(preview.size()) +
                         (preview.size() == 1 ? L" tweak:" : L" tweaks:"));
        for (const Tweaker::TweakChange& tweak : preview) {
            context.out.Line(L"  " + tweak.category + L": " + tweak.name);
            for (const Tweaker::ItemChange& change : tweak.items) {
                context.out.Line(L"    " + Tweaker::ChangeLine(change));
            }
        }
    }
    context.out.Line(L"Dry run: nothing was changed.");
    return Exit::Done;
}

}  // namespace

int RunTuneUp(const Context& context)
{
    if (context.invocation.dryRun) {
        return RunDryRun(context);
    }
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
