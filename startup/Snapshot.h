#pragma once
// The startup snapshot: one document, <AppData>\Corvane\startup\snapshot.xml,
// beside the Files\ folder with the copies of removed files. It holds the
// backup element of every entry that was taken off the system, under the
// category that listed it. The command line, the guard and the window share
// it; each change rewrites it in one step.
//
// The document lies in the user's own folder and the program may run
// elevated, so nothing read from it is trusted: a restore writes only where a
// category of the live catalogue enumerates.
#include <string>
#include <string_view>
#include <vector>

#include "startup/IEntry.h"

namespace StartUp {

// The snapshot folder of a program folder name: <AppData>\<name>\startup.
// Empty folder when the shell names no AppData folder.
SnapshotPlace DefaultSnapshotPlace(std::wstring_view programFolder = L"Corvane");

class Snapshot {
public:
    // A restore refused because no place the catalogue watches holds the entry.
    static constexpr Platform::Status kNotWatched = 87;

    struct Record {
        std::wstring category;           // "Group / Category" that listed the entry
        std::wstring element;            // the backup element, as written
        RTI::Reference<IElement> entry;  // empty when the element is unusable
    };

    explicit Snapshot(SnapshotPlace place) : place_(std::move(place)) {}

    // Reads snapshot.xml. A missing file is an empty snapshot. -1 when the
    // document is damaged: it is then left as it is and every change is
    // refused with -1, so that no backup is lost by writing over it.
    // Elements that are unusable are kept, unused, and written back as read.
    [[nodiscard]] Platform::Status Load();

    const SnapshotPlace& Place() const { return place_; }
    const std::vector<Record>& Records() const { return records_; }
    // The record of a backup of the same entry; nullptr when there is none.
    const Record* Find(const IElement& entry) const;

    // Takes an entry off the system with its backup: the backup is made and
    // the document replaced first; only then is the entry deleted. A failed
    // delete returns its error and takes the backup out of the document
    // again. 5 for an entry of a read-only category.
    [[nodiscard]] Platform::Status Remove(const std::wstring& categoryPath, const ICategory& category, IElement& entry);
    // Puts a record's entry back where the category of roots that the record
    // names enumerates (never a read-only one), then drops the record and any copy no other record
    // needs. kNotWatched with *message saying why (and, for a file, where its
    // saved copy lies) when no category owns the place; a failed restore
    // keeps the record.
    [[nodiscard]] Platform::Status Restore(const CategoryList& roots, size_t index, std::wstring* message);

    // The path of snapshot.xml.
    std::wstring DocumentPath() const { return place_.folder + L"\\snapshot.xml"; }

private:
    [[nodiscard]] Platform::Status Save();
    void ReadCategory(const std::wstring& text, const std::wstring& parentPath, int depth);

    SnapshotPlace place_;
    std::vector<Record> records_;
    bool damaged_ = false;
};

// ICategory::Merge of every root: the saved entries join the live lists.
void MergeSnapshot(const CategoryList& roots, const Snapshot& snapshot);
// ICategory::Save of every root: the user's checks are carried out.
[[nodiscard]] Platform::Status SaveChoices(const CategoryList& roots, Snapshot& snapshot,
                                           std::vector<ChoiceFailure>* failures);

// The entry a backup element describes ("Registry", "File", "Executable",
// "Shortcut", "ClassShortcut"); empty for anything else or a malformed one.
RTI::Reference<IElement> LoadElement(std::wstring_view name, std::wstring_view text);

}  // namespace StartUp
