// startup list [--json], startup disable ENTRY..., startup restore ENTRY...:
// what starts with Windows, taken off the system with a backup in the startup
// snapshot and put back from it. An ENTRY is the location text the listing
// shows, matched without regard to case.
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"
#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/text/JsonWriter.h"
#include "startup/Catalogue.h"
#include "startup/Snapshot.h"

namespace Cli {

using Text::JsonWriter;
namespace {

// One row of the listing: a live entry, or a saved one that is off the system.
struct Row {
    std::wstring category;
    RTI::Reference<StartUp::IElement> entry;
    bool readOnly = false;
    std::wstring readOnlyReason;
    bool present = true;
    bool backup = false;
};

std::wstring StateText(StartUp::ApprovedState state)
{
    switch (state) {
        case StartUp::ApprovedState::Enabled:
            return L"enabled";
        case StartUp::ApprovedState::Disabled:
            return L"disabled";
        case StartUp::ApprovedState::Unknown:
            return L"unknown";
        case StartUp::ApprovedState::NotRecorded:
            break;
    }
    return {};
}

bool SameLocation(std::wstring_view a, std::wstring_view b)
{
    return RTI::CompareIgnoreCase(a, b) == 0;
}

// Loads the snapshot; false, after the error was written, when it is damaged.
bool LoadSnapshot(const Context& context, StartUp::Snapshot* snapshot)
{
    if (snapshot->Place().folder.empty()) {
        context.out.Error(L"the Windows shell names no application-data folder for the startup snapshot");
        return false;
    }
    const uint32_t status = snapshot->Load();
    if (status != Err::Success) {
        context.out.Error(L"the startup snapshot " + snapshot->DocumentPath() + L" cannot be read (" +
                          ErrorText(status) + L"); it is left as it is");
        return false;
    }
    return true;
}

std::vector<Row> Rows(const StartUp::CategoryList& roots, const StartUp::Snapshot& snapshot)
{
    std::vector<Row> rows;
    for (const StartUp::ListedEntry& listed : StartUp::ListEntries(roots)) {
        rows.push_back({listed.category, listed.entry, listed.owner->IsReadOnly(), listed.owner->ReadOnlyReason(), true,
                        snapshot.Find(*listed.entry) != nullptr});
    }
    for (const StartUp::Snapshot::Record& record : snapshot.Records()) {
        if (!record.entry) {
            continue;
        }
        bool live = false;
        for (const Row& row : rows) {
            live = live || row.entry->IsSame(*record.entry);
        }
        if (!live) {
            rows.push_back({record.category, record.entry, false, {}, false, true});
        }
    }
    return rows;
}

void WriteJson(const Context& context, const std::vector<Row>& rows)
{
    JsonWriter json;
    json.BeginArray();
    for (const Row& row : rows) {
        const RTI::Reference<StartUp::IInfo> info = row.entry->GetInfo();
        const bool versioned = info && info->IsValid();
        json.BeginObject();
        json.Key(L"category").String(row.category);
        json.Key(L"name").String(row.entry->Name());
        json.Key(L"location").String(row.entry->Location());
        json.Key(L"command").String(row.entry->Command());
        json.Key(L"description").String(versioned ? info->Version().description : L"");
        json.Key(L"company").String(versioned ? info->Version().company : L"");
        json.Key(L"view").Number(row.entry->RegistryBits());
        json.Key(L"windowsState").String(StateText(row.entry->Approved()));
        json.Key(L"present").Bool(row.present);
        json.Key(L"backup").Bool(row.backup);
        json.Key(L"readOnly").Bool(row.readOnly);
        json.Key(L"readOnlyReason").String(row.readOnlyReason);
        json.EndObject();
    }
    json.EndArray();
    context.out.Text(json.Take());
}

void WriteText(const Context& context, const std::vector<Row>& rows)
{
    std::wstring category;
    for (const Row& row : rows) {
        if (row.category != category) {
            category = row.category;
            context.out.Line(category);
        }
        context.out.Line(L"  " + row.entry->Location());
        std::wstring details = L"    " + row.entry->Name();
        if (!row.entry->Command().empty()) {
            details += L": " + row.entry->Command();
        }
        context.out.Line(details);
        const RTI::Reference<StartUp::IInfo> info = row.entry->GetInfo();
        if (info && info->IsValid() && (!info->Version().description.empty() || !info->Version().company.empty())) {
            context.out.Line(L"    " + info->Version().description +
                             (info->Version().company.empty() ? L"" : L" (" + info->Version().company + L")"));
        }
        std::wstring flags = L"    ";
        if (row.entry->RegistryBits() != 0) {
            flags += std::to_wstring(row.entry->RegistryBits()) + L"-bit view; ";
        }
        const std::wstring state = StateText(row.entry->Approved());
        if (!state.empty()) {
            flags += L"Windows: " + state + L"; ";
        }
        flags += row.present ? L"present" : L"disabled by Corvane";
        if (row.backup) {
            flags += L"; backup held";
        }
        if (row.readOnly) {
            flags += L"; read-only: " + row.readOnlyReason;
        }
        context.out.Line(flags);
    }
}

}  // namespace

int RunStartupList(const Context& context)
{
    StartUp::Snapshot snapshot(StartUp::DefaultSnapshotPlace(context.settings.folderName));
    if (!LoadSnapshot(context, &snapshot)) {
        return Exit::Failed;
    }
    StartUp::CategoryList roots;
    StartUp::BuildCatalogue(roots);
    const std::vector<Row> rows = Rows(roots, snapshot);
    if (context.invocation.json) {
        WriteJson(context, rows);
    } else if (rows.empty()) {
        context.out.Line(L"Nothing starts with Windows here.");
    } else {
        WriteText(context, rows);
    }
    return Exit::Done;
}

int RunStartupChange(const Context& context, StartupChange change)
{
    Platform::UniqueNamedLock lock;
    if (const int failed = TakeLock(context, &lock)) {
        return failed;
    }
    StartUp::Snapshot snapshot(StartUp::DefaultSnapshotPlace(context.settings.folderName));
    if (!LoadSnapshot(context, &snapshot)) {
        return Exit::Failed;
    }
    StartUp::CategoryList roots;
    StartUp::BuildCatalogue(roots);

    // Every ENTRY is resolved before anything changes.
    std::vector<StartUp::ListedEntry> toDisable;
    std::vector<RTI::Reference<StartUp::IElement>> toRestore;
    bool allKnown = true;
    const std::vector<StartUp::ListedEntry> listed = StartUp::ListEntries(roots);
    for (const std::wstring& name : context.invocation.names) {
        if (change == StartupChange::Disable) {
            const StartUp::ListedEntry* found = nullptr;
            for (const StartUp::ListedEntry& entry : listed) {
                if (!found && SameLocation(entry.entry->Location(), name)) {
                    found = &entry;
                }
            }
            if (!found) {
                context.out.Error(L"no startup entry " + Quoted(name) + L" (startup list shows the entries)");
                allKnown = false;
            } else if (found->owner->IsReadOnly()) {
                context.out.Error(Quoted(name) + L" is read-only here (" + found->category + L"): " +
                                  found->owner->ReadOnlyReason());
                allKnown = false;
            } else {
                toDisable.push_back(*found);
            }
            continue;
        }
        RTI::Reference<StartUp::IElement> saved;
        for (const StartUp::Snapshot::Record& record : snapshot.Records()) {
            if (!saved && record.entry && SameLocation(record.entry->Location(), name)) {
                saved = record.entry;
            }
        }
        if (!saved) {
            context.out.Error(L"no disabled startup entry " + Quoted(name) + L" in " + snapshot.DocumentPath());
            allKnown = false;
        } else {
            toRestore.push_back(saved);
        }
    }
    if (!allKnown) {
        return Exit::BadUsage;
    }

    int exitCode = Exit::Done;
    for (const StartUp::ListedEntry& entry : toDisable) {
        const uint32_t status = snapshot.Remove(entry.category, *entry.owner, *entry.entry);
        if (status == Err::Success) {
            context.out.Line(L"Disabled " + entry.entry->Location());
        } else {
            context.out.Error(L"cannot disable " + entry.entry->Location() + L": " + ErrorText(status));
            exitCode = Exit::Failed;
        }
    }
    for (const RTI::Reference<StartUp::IElement>& entry : toRestore) {
        size_t index = 0;
        while (index < snapshot.Records().size() && snapshot.Records()[index].entry != entry) {
            ++index;
        }
        std::wstring message;
        const uint32_t status = snapshot.Restore(roots, index, &message);
        if (status == Err::Success) {
            context.out.Line(L"Restored " + entry->Location());
        } else if (status == StartUp::Snapshot::kNotWatched) {
            context.out.Error(L"not restored: " + entry->Location() + L": " + message);
            exitCode = exitCode == Exit::Failed ? Exit::Failed : Exit::BadUsage;
        } else {
            context.out.Error(L"cannot restore " + entry->Location() + L": " + ErrorText(status) +
                              L"; the backup is kept");
            exitCode = Exit::Failed;
        }
    }
    return exitCode;
}

}  // namespace Cli
