#pragma once
// The startup programs view as plain data: the startup manager's tree of
// categories and entries, with the entries Corvane disabled (kept in the
// startup snapshot) shown unticked under the category that listed them, as
// rows the window draws; the details of the selected row; and the two acts
// of the check boxes. Unticking an entry takes it off the system with its
// backup; ticking a disabled one puts it back from the backup. Entries of a
// read-only category are greyed and say why; they never change.
//
//   GUI::StartupPrograms view(guard.Catalogue(), guard.Place());
//   view.Load();                       // reads the snapshot, builds the rows
//   std::wstring problem = view.SetChecked(row, false);
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "startup/Catalogue.h"
#include "startup/Snapshot.h"
#include "startup/TreeModel.h"

namespace GUI {

struct StartupRow {
    std::wstring key;  // the texts from the root, joined by '\n'; stable over reloads
    std::wstring text;
    int depth = 0;
    StartUp::TreeImage image = StartUp::TreeImage::Category;
    bool bold = false;
    bool expandable = false;
    bool expanded = false;
    // Entries directly under a category have a box the user can change;
    // categories show the combined state of their entries; an entry's own
    // children (a shortcut's target, a class's server) have none.
    bool hasCheckBox = false;
    bool userCheckable = false;
    StartUp::CheckState check = StartUp::CheckState::Checked;
    bool greyed = false;    // read-only: shown, never changed
    bool disabled = false;  // off the system, its backup in the snapshot
};

struct StartupDetails {
    std::wstring name;
    std::wstring category;  // "Group / Category"
    std::wstring location;
    std::wstring command;
    std::wstring description;
    std::wstring company;
    std::wstring windowsState;  // Windows' own record of whether it may start
    std::wstring state;         // what Corvane knows of it
    std::wstring readOnlyReason;
};

class StartupPrograms {
public:
    StartupPrograms(StartUp::CategoryList roots, StartUp::SnapshotPlace place)
        : roots_(std::move(roots)), snapshot_(std::move(place))
    {
    }

    // Reads the snapshot and builds the rows. A damaged snapshot is left as it
    // is: the live entries are shown, nothing can be changed, and the error
    // text says why.
    [[nodiscard]] Platform::Status Load();
    const std::wstring& LoadError() const { return loadError_; }

    // Builds the rows again from the categories as they are now (after the
    // guard found new entries), keeping what was expanded and selected.
    void Rebuild();

    const std::vector<StartupRow>& Rows() const { return rows_; }
    // The row of a key; nullopt when it is not shown.
    std::optional<size_t> Find(std::wstring_view key) const;
    // The first row of an entry whose location is this (ignoring case).
    std::optional<size_t> FindLocation(std::wstring_view location) const;
    void ToggleExpanded(size_t row);
    // Opens the groups above the entry at this location and selects it (the
    // guard's balloon shows the entries that appeared); its row, if any.
    std::optional<size_t> Reveal(std::wstring_view location);
    void Select(size_t row);
    std::optional<size_t> Selected() const;
    StartupDetails Details(size_t row) const;

    // Unticked: takes the entry off the system with its backup. Ticked: puts a
    // disabled entry back. Empty when done (or nothing to do); otherwise the
    // message for the user, and nothing was changed.
    std::wstring SetChecked(size_t row, bool checked);

private:
    struct Place {
        std::wstring category;  // "Group / Category"
        RTI::Reference<StartUp::ICategory> owner;
    };
    void AddDisabledEntries(StartUp::TreeNode& root);
    void Flatten(const StartUp::TreeNode& node, const std::wstring& parentKey, int depth, bool underCategory);
    void FlattenAll();
    bool ExpandTowards(const StartUp::TreeNode& node, const std::wstring& key, std::wstring_view location);
    const StartUp::TreeNode* NodeOf(size_t row) const;
    // The live entry's category; nullptr for an entry off the system.
    const Place* PlaceOf(const StartUp::IEntry& entry) const;
    std::optional<size_t> RecordOf(const StartUp::IEntry& entry) const;
    RTI::Reference<StartUp::ICategory> CategoryAt(std::wstring_view path) const;

    StartUp::CategoryList roots_;
    StartUp::Snapshot snapshot_;
    bool snapshotUsable_ = false;
    std::wstring loadError_;
    StartUp::TreeNode tree_;
    std::vector<StartupRow> rows_;
    std::vector<const StartUp::TreeNode*> nodes_;
    std::map<const StartUp::IEntry*, Place> places_;  // the live entries' categories, per rebuild
    std::map<std::wstring, bool> expanded_;
    std::wstring selected_;
};

// Windows' own record as the details show it.
std::wstring WindowsStateText(StartUp::ApprovedState state);

}  // namespace GUI
