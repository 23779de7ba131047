// Merging the snapshot into the categories and carrying out the user's
// choices (the checks of a view) through the snapshot.
#include <algorithm>

#include "core/platform/Errors.h"
#include "startup/Categories.h"
#include "startup/Snapshot.h"

namespace StartUp {

void ICategory::Merge(const Snapshot& snapshot, const std::wstring& parentPath)
{
    const std::wstring path = PathBelow(parentPath);
    for (const Snapshot::Record& record : snapshot.Records()) {
        if (!record.entry || record.category != path) {
            continue;
        }
        const bool listed = std::any_of(entries_.begin(), entries_.end(),
                                        [&](const auto& entry) { return entry->IsSame(*record.entry); });
        if (!listed) {
            entries_.push_back(record.entry);
        }
    }
}

Platform::Status ICategory::Save(Snapshot& snapshot, const CategoryList& roots, const std::wstring& parentPath,
                                 std::vector<ChoiceFailure>* failures)
{
    const std::wstring path = PathBelow(parentPath);
    Platform::Status first = Err::Success;
    const auto fail = [&](const IElement& entry, Platform::Status status, std::wstring message) {
        first = first ? first : status;
        if (failures) {
            failures->push_back({entry.Location(), status, std::move(message)});
        }
    };
    const ElementList entries = entries_;
    for (const RTI::Reference<IElement>& entry : entries) {
        if (!entry->IsStored() && !entry->IsChecked()) {
            if (Platform::Status s = snapshot.Remove(path, *this, *entry)) {
                fail(*entry, s, {});
            } else if (const Snapshot::Record* saved = snapshot.Find(*entry); saved && saved->entry) {
                // The entry now lives in the snapshot only.
                std::replace(entries_.begin(), entries_.end(), entry, saved->entry);
            }
        } else if (entry->IsStored() && entry->IsChecked()) {
            const auto& records = snapshot.Records();
            const auto at = std::find_if(records.begin(), records.end(),
                                         [&](const Snapshot::Record& record) { return record.entry == entry; });
            std::wstring message;
            if (at == records.end()) {
                fail(*entry, Err::InvalidParameter, L"the snapshot no longer holds it");
            } else if (Platform::Status s =
                           snapshot.Restore(roots, static_cast<size_t>(at - records.begin()), &message)) {
                fail(*entry, s, message);
            }
        }
    }
    // What was restored is found again; what stayed saved remains stored.
    (void)Enumerate();
    return first;
}

void MergeSnapshot(const CategoryList& roots, const Snapshot& snapshot)
{
    for (const RTI::Reference<ICategory>& root : roots) {
        root->Merge(snapshot, L"");
    }
}

Platform::Status SaveChoices(const CategoryList& roots, Snapshot& snapshot, std::vector<ChoiceFailure>* failures)
{
    Platform::Status first = Err::Success;
    for (const RTI::Reference<ICategory>& root : roots) {
        const Platform::Status s = root->Save(snapshot, roots, L"", failures);
        first = first ? first : s;
    }
    return first;
}

namespace Categories {

void Group::Merge(const Snapshot& snapshot, const std::wstring& parentPath)
{
    for (const RTI::Reference<ICategory>& child : children_) {
        child->Merge(snapshot, PathBelow(parentPath));
    }
}

Platform::Status Group::Save(Snapshot& snapshot, const CategoryList& roots, const std::wstring& parentPath,
                             std::vector<ChoiceFailure>* failures)
{
    Platform::Status first = Err::Success;
    for (const RTI::Reference<ICategory>& child : children_) {
        const Platform::Status s = child->Save(snapshot, roots, PathBelow(parentPath), failures);
        first = first ? first : s;
    }
    return first;
}

}  // namespace Categories
}  // namespace StartUp
