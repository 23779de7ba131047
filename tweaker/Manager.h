#pragma once
// Tweaker::Manager: the catalogue. It produces the model's objects by element
// name while tweak files load, holds the top-level categories in load order
// together with the stored configuration (Config.xml) and the default
// snapshot, and runs analyses and tune-ups on one worker thread.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/Factory.h"
#include "core/rti/ITracer.h"
#include "core/rti/Reference.h"
#include "remover/Processor.h"
#include "tweaker/Group.h"
#include "tweaker/IProducer.h"
#include "tweaker/IRunMessages.h"
#include "tweaker/ITweakSetSource.h"
#include "tweaker/RunControl.h"
#include "tweaker/TweakValues.h"

namespace Tweaker {

// A problem met while the catalogue loaded that the user may want to know
// about: a set or file that could not be read or parsed, or a Config.xml kept
// aside. The program goes on without it.
struct LoadProblem {
    std::wstring where;  // the file or resource concerned
    uint32_t status = 0;
    std::wstring text;  // the XML error text, or what was done
};

// How the last run ended; read once IsRunning() is false.
struct RunOutcome {
    bool tuneUp = false;
    bool finished = false;    // the body ran to its end (false: none yet)
    bool cancelled = false;   // stopped by StopRun or a category's cancellation
    bool allApplied = true;   // tune-up: no selected tweak was left not in effect
    std::wstring journalPath;  // tune-up with a backup: the journal written
    uint32_t journalStatus = 0;  // the journal's close result
};

// The stages a run reports to its tracer (the second argument of Begin and
// End); each child of a group is reported with kChildStage (2). Whole-run
// stages have the Manager itself as their subject.
namespace RunStage {
constexpr unsigned AnalysisCategory = 0;  // a category; End(Manager, 0): the analysis was cancelled
constexpr unsigned Analysis = 1;          // the whole analysis; End(category, 1): recomputed
constexpr unsigned TuneUpCategory = 3;
constexpr unsigned TuneUp = 4;
constexpr unsigned Refreshed = 5;  // a category recomputed while refresh-only is set
}  // namespace RunStage

class Manager final : public IProducer, private IRunGate {
public:
    // Groups nested deeper than this are dropped while loading, so that no
    // file can exhaust the stack.
    static constexpr int kMaxGroupDepth = 64;
    // Config.xml as a first start writes it.
    static constexpr std::string_view kEmptyConfiguration = "<Tweaks></Tweaks>";

    Manager();
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    // ------------------------------------------------ catalogue and Config.xml
    // Where the sets come from (not owned); nullptr = the program's resources.
    void SetTweakSetSource(ITweakSetSource* source) { source_ = source; }
    // Registers the factories, reads (or creates) Config.xml in the
    // configuration folder, loads the built-in set, merges "Silver", "Gold"
    // and the user's file. True when the built-in set was parsed.
    bool LoadCatalogue(std::wstring_view folderName);
    // Appends the named set's categories' children to the catalogue's
    // categories of the same name; true when the catalogue gained tweaks.
    bool MergeTweakSet(std::wstring_view setName);
    // The same for the file named by "UserTweaksPath".
    bool MergeUserTweaks();
    // The sum over all categories of their direct children.
    int CountTweaks() const;
    void UpdateConfigRecord(const ITweak& tweak);
    [[nodiscard]] uint32_t UpdateConfigRecordAndSave(const ITweak& tweak);
    // Writes the configuration map to Config.xml through a temporary file
    // replaced in one step. 2 when Config.xml does not exist.
    [[nodiscard]] uint32_t SaveConfiguration();
    // For each tweak directly in the category: listed in the map, it takes
    // the entry's selection and values and its configuration record follows;
    // not listed, it discards values the registry does not hold.
    void ApplyTweakValues(Group& category, const TweakValuesMap& map);
    // <AppData>\<folder name>, its Config.xml, and its backup folder (with the
    // trailing backslash).
    std::wstring ConfigurationFolder() const;
    std::wstring ConfigurationPath() const;
    std::wstring BackupFolder() const;
    const std::vector<LoadProblem>& LoadProblems() const { return problems_; }

    // ------------------------------------------------------------------ runs
    // Nothing happens while a worker runs. Otherwise stores the tracer (may be
    // null), resets the events, starts the worker and waits up to 1000 ms
    // for it to signal that it started.
    void StartAnalysis(RTI::ITracer* tracer);
    // The same for a tune-up. With a journal, the journal is opened before the
    // worker starts: when it cannot be, no run starts, the user is told why,
    // and its error is returned. -1 when a worker runs already.
    [[nodiscard]] uint32_t StartTuneUp(RTI::ITracer* tracer, bool journal);
    // The worker waits at its next checkpoint until resumed or stopped.
    void PauseRun();
    void ResumeRun();
    // Cancels the worker and waits up to 5000 ms for it, then terminates it
    // as a last resort; the handle is released either way.
    void StopRun();
    // True until the worker's body has returned, its messages included.
    bool IsRunning() const;
    bool IsPaused() const;
    // Waits up to `milliseconds` for the worker to end: 0 when none runs.
    uint32_t WaitForRun(uint32_t milliseconds);
    const RunOutcome& LastRun() const { return outcome_; }
    // Groups' results recomputed from their children, each category reported
    // with End(category, 5) when refresh-only is set, else End(category, 1).
    void RecomputeAll();
    void SetRefreshOnly(bool refreshOnly) { refreshOnly_ = refreshOnly; }
    // Where the end-of-run messages go (not owned); nullptr = nowhere.
    void SetRunMessages(IRunMessages* messages) { messages_ = messages; }
    RTI::ITracer* Tracer() const { return tracer_; }
    // Forgets `tracer` when it is the stored one: its owner is going away and
    // RecomputeAll must not call it afterwards. Call it with no run active.
    void ForgetTracer(const RTI::ITracer* tracer)
    {
        if (tracer_ == tracer) {
            tracer_ = nullptr;
        }
    }

    // Tweak names "Tweak", "Category", "Group", "Application"; item names
    // "Key", "File", "Shortcut".
    void RegisterFactories();

    RTI::Reference<ITweak> Create(std::wstring_view elementName) override;
    IItemProducer& Items() override { return items_; }
    int RunningSystem() override;
    const TweakValuesMap* ConfigValues() override { return &config_; }
    TweakValuesMap* DefaultValues() override { return &defaults_; }
    bool EnterGroup() override;
    void LeaveGroup() override;

    // Loads the Category children of a tweak file's root Tweaks into
    // `categories` (not into the catalogue). False when the root is not Tweaks.
    bool LoadCategories(XmlDocument& document, std::vector<RTI::Reference<Group>>* categories);

    // Fixes the system code objects are compared with (tests; -1 = the
    // running system's).
    void SetSystemCodeOverride(int code) { systemOverride_ = code; }

    std::vector<RTI::Reference<Group>>& Categories() { return categories_; }
    TweakValuesMap& ConfigTweakValues() { return config_; }
    TweakValuesMap& DefaultTweakValues() { return defaults_; }
    RTI::FactoryRegistry<ITweak>& TweakFactories() { return factories_; }
    ItemProducer& ItemFactories() { return items_; }
    const std::wstring& FolderName() const { return folderName_; }
    void SetFolderName(std::wstring name) { folderName_ = std::move(name); }

    // Every category's tweaks into the map (existing entries kept).
    void CollectTweakValues(TweakValuesMap& map) const;

private:
    void WaitWhilePaused() override;
    void AnalysisBody();
    void TuneUpBody();
    // Starts `body` on the worker and waits up to 1000 ms for it to signal
    // that it started: 0, -1 when one runs already, 8 when no thread could
    // be started.
    [[nodiscard]] uint32_t StartWorker(void (Manager::*body)());
    // Opens the journal in the backup folder, creating the folder first.
    [[nodiscard]] uint32_t OpenJournal();
    // Cancels a running worker, waits `graceMilliseconds` for it, terminates
    // it as a last resort, and releases the handle.
    void EndWorker(uint32_t graceMilliseconds);
    void ClearAnalysed();
    void OpenConfiguration();
    void KeepConfigurationAside(uint32_t status, const std::wstring& why);
    ITweakSetSource& Source();
    // Loads a set's categories and appends their children to the catalogue.
    bool MergeText(const std::string& utf8, const std::wstring& where);

    RTI::FactoryRegistry<ITweak> factories_;
    ItemProducer items_;
    std::vector<RTI::Reference<Group>> categories_;
    TweakValuesMap config_;
    TweakValuesMap defaults_;
    std::wstring folderName_;
    int depth_ = 0;
    int systemOverride_ = -1;
    ITweakSetSource* source_ = nullptr;
    std::vector<LoadProblem> problems_;
    // Config.xml could neither be read nor kept aside: saving would destroy it.
    bool configBlocked_ = false;

    // Run state. The worker writes the model and the outcome; the main thread
    // reads them once the worker has ended.
    Platform::UniqueEvent started_;
    Platform::UniqueEvent cancel_;
    Platform::UniqueEvent resume_;  // set while the run may go on
    Platform::UniqueThread worker_;
    RTI::ITracer* tracer_ = nullptr;
    IRunMessages* messages_ = nullptr;
    RTI::Reference<Remover::Processor> journal_;
    bool journalFlag_ = false;
    bool refreshOnly_ = false;
    std::atomic<bool> paused_{false};
    IRunGate* previousGate_ = nullptr;  // the gate the worker put itself in front of
    RunOutcome outcome_;
};

}  // namespace Tweaker
