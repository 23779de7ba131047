#include "gui/StartupPrograms.h"

#include <algorithm>
#include <cwctype>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace GUI {

namespace {

using StartUp::CheckState;
using StartUp::TreeImage;

// The library words a category's reason as a clause ("it belongs to
// Windows, ..."); the details show it as a sentence. Empty stays empty.
std::wstring AsSentence(std::wstring clause)
{
    if (clause.empty()) {
        return clause;
    }
    clause.front() = static_cast<wchar_t>(std::towupper(clause.front()));
    if (clause.back() != L'.') {
        clause += L'.';
    }
    return clause;
}
using StartUp::TreeNode;

std::wstring ReasonText(Platform::Status status)
{
    switch (status) {
        case Err::FileNotFound:
            return L"it no longer exists (error 2)";
        case Err::PathNotFound:
            return L"its folder does not exist (error 3)";
        case Err::AccessDenied:
            return L"access is denied (error 5)";
        case Err::SharingViolation:
            return L"another program is using it (error 32)";
        case Err::DiskFull:
            return L"the disk is full (error 112)";
        default:
            return L"error " + std::to_wstring(static_cast<int32_t>(status));
    }
}

// The same pictures the library's tree gives live entries.
TreeImage ImageOf(const StartUp::IElement& entry)
{
    switch (entry.TypeCode()) {
        case StartUp::FourCC("FILE"):
        case StartUp::FourCC("EXE "):
            return TreeImage::File;
        case StartUp::FourCC("CLSS"):
            return TreeImage::Class;
        case StartUp::FourCC("LINK"):
            return TreeImage::Shortcut;
        case StartUp::FourCC("CLSC"):
            return TreeImage::ClassShortcut;
        default:
            return TreeImage::Registry;
    }
}

bool IsCategoryNode(const TreeNode& node)
{
    return node.image == TreeImage::Group || node.image == TreeImage::Category;
}

void SortByText(std::vector<TreeNode>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const TreeNode& a, const TreeNode& b) { return RTI::CompareIgnoreCase(a.text, b.text) < 0; });
}

// A category's state from its entries', as the library works it out.
void CombineStates(TreeNode& node)
{
    if (!IsCategoryNode(node)) {
        return;
    }
    bool anyChecked = false;
    bool anyUnchecked = false;
    for (TreeNode& child : node.children) {
        CombineStates(child);
        anyChecked = anyChecked || child.check != CheckState::Unchecked;
        anyUnchecked = anyUnchecked || child.check != CheckState::Checked;
    }
    node.check = anyChecked && anyUnchecked ? CheckState::Mixed
                 : anyUnchecked             ? CheckState::Unchecked
                                            : CheckState::Checked;
}

// The node of a category path ("Group / Category"), made when missing.
TreeNode& CategoryNode(TreeNode& root, std::wstring_view path)
{
    TreeNode* node = &root;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L" / ", start);
        const bool last = end == std::wstring_view::npos;
        if (last) {
            end = path.size();
        }
        const std::wstring name(path.substr(start, end - start));
        auto found = std::find_if(node->children.begin(), node->children.end(),
                                  [&](const TreeNode& child) { return IsCategoryNode(child) && child.text == name; });
        if (found == node->children.end()) {
            TreeNode made;
            made.text = name;
            made.bold = true;
            made.image = last ? TreeImage::Category : TreeImage::Group;
            made.expanded = last;
            node->children.push_back(std::move(made));
            SortByText(node->children);
            found = std::find_if(node->children.begin(), node->children.end(),
                                 [&](const TreeNode& child) { return IsCategoryNode(child) && child.text == name; });
        }
        node = &*found;
        if (last) {
            break;
        }
        start = end + 3;
    }
    return *node;
}

}  // namespace

std::wstring WindowsStateText(StartUp::ApprovedState state)
{
    switch (state) {
        case StartUp::ApprovedState::Enabled:
            return L"Enabled in Windows' own list";
        case StartUp::ApprovedState::Disabled:
            return L"Disabled in Windows' own list: Windows does not start it";
        case StartUp::ApprovedState::Unknown:
            return L"Unknown: Windows' record of it is malformed";
        case StartUp::ApprovedState::NotRecorded:
            break;
    }
    return L"Not recorded: Windows keeps no list for this place";
}

Platform::Status StartupPrograms::Load()
{
    Platform::Status status = Err::PathNotFound;
    if (snapshot_.Place().folder.empty()) {
        loadError_ =
            L"The Windows shell names no application-data folder, so no backup can be kept: startup programs "
            L"are only shown.";
    } else {
        status = snapshot_.Load();
        loadError_ = status == Err::Success
                         ? std::wstring()
                         : L"The startup snapshot " + snapshot_.DocumentPath() + L" cannot be read (" +
                               ReasonText(status) +
                               L"). It is left as it is, and startup programs are only shown until it is mended.";
    }
    snapshotUsable_ = status == Err::Success;
    Rebuild();
    return status;
}

void StartupPrograms::Rebuild()
{
    places_.clear();
    StartUp::ForEachCategory(roots_, [&](const std::wstring& path, const RTI::Reference<StartUp::ICategory>& category) {
        for (const RTI::Reference<StartUp::IElement>& listed : category->Entries()) {
            places_.emplace(listed.Get(), Place{path, category});
        }
    });
    tree_ = StartUp::BuildTree(roots_);
    AddDisabledEntries(tree_);
    CombineStates(tree_);
    FlattenAll();
}

void StartupPrograms::FlattenAll()
{
    rows_.clear();
    nodes_.clear();
    for (const TreeNode& child : tree_.children) {
        Flatten(child, L"", 0, false);
    }
}

void StartupPrograms::AddDisabledEntries(TreeNode& root)
{
    if (!snapshotUsable_) {
        return;
    }
    const std::vector<StartUp::ListedEntry> live = StartUp::ListEntries(roots_);
    for (const StartUp::Snapshot::Record& record : snapshot_.Records()) {
        if (!record.entry || std::any_of(live.begin(), live.end(), [&](const StartUp::ListedEntry& listed) {
                return listed.entry->IsSame(*record.entry);
            })) {
            continue;
        }
        record.entry->SetChecked(false);
        TreeNode node;
        node.text = record.entry->Name();
        node.image = ImageOf(*record.entry);
        node.check = CheckState::Unchecked;
        node.object = RTI::Reference<StartUp::IEntry>(record.entry.Get());
        TreeNode& category = CategoryNode(root, record.category);
        category.children.push_back(std::move(node));
        SortByText(category.children);
    }
}

void StartupPrograms::Flatten(const TreeNode& node, const std::wstring& parentKey, int depth, bool underCategory)
{
    StartupRow row;
    row.key = parentKey.empty() ? node.text : parentKey + L"\n" + node.text;
    row.text = node.text;
    row.depth = depth;
    row.image = node.image;
    row.bold = node.bold;
    row.check = node.check;
    row.expandable = !node.children.empty();
    const auto remembered = expanded_.find(row.key);
    row.expanded = row.expandable && (remembered != expanded_.end() ? remembered->second : node.expanded);
    const bool category = IsCategoryNode(node);
    row.hasCheckBox = category || underCategory;
    if (category) {
        const auto* owner = dynamic_cast<const StartUp::ICategory*>(node.object.Get());
        row.greyed = owner && owner->IsReadOnly();
    } else if (underCategory) {
        const Place* place = PlaceOf(*node.object);
        row.greyed = place && place->owner->IsReadOnly();
        row.disabled = !place;
        row.userCheckable = !row.greyed && snapshotUsable_;
    }
    rows_.push_back(row);
    nodes_.push_back(&node);
    if (row.expanded) {
        for (const TreeNode& child : node.children) {
            Flatten(child, row.key, depth + 1, node.image == TreeImage::Category);
        }
    }
}

const TreeNode* StartupPrograms::NodeOf(size_t row) const
{
    return row < nodes_.size() ? nodes_[row] : nullptr;
}

std::optional<size_t> StartupPrograms::Find(std::wstring_view key) const
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].key == key) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<size_t> StartupPrograms::FindLocation(std::wstring_view location) const
{
    for (size_t i = 0; i < nodes_.size(); ++i) {
        const auto* element = dynamic_cast<const StartUp::IElement*>(nodes_[i]->object.Get());
        if (element && RTI::CompareIgnoreCase(element->Location(), location) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

void StartupPrograms::ToggleExpanded(size_t row)
{
    if (row < rows_.size() && rows_[row].expandable) {
        expanded_[rows_[row].key] = !rows_[row].expanded;
        FlattenAll();
    }
}

bool StartupPrograms::ExpandTowards(const TreeNode& node, const std::wstring& key, std::wstring_view location)
{
    const auto* element = dynamic_cast<const StartUp::IElement*>(node.object.Get());
    if (element && RTI::CompareIgnoreCase(element->Location(), location) == 0) {
        selected_ = key;
        return true;
    }
    for (const TreeNode& child : node.children) {
        if (ExpandTowards(child, key + L"\n" + child.text, location)) {
            expanded_[key] = true;
            return true;
        }
    }
    return false;
}

std::optional<size_t> StartupPrograms::Reveal(std::wstring_view location)
{
    for (const TreeNode& child : tree_.children) {
        if (ExpandTowards(child, child.text, location)) {
            FlattenAll();
            return Selected();
        }
    }
    return std::nullopt;
}

void StartupPrograms::Select(size_t row)
{
    if (row < rows_.size()) {
        selected_ = rows_[row].key;
    }
}

std::optional<size_t> StartupPrograms::Selected() const
{
    return selected_.empty() ? std::nullopt : Find(selected_);
}

const StartupPrograms::Place* StartupPrograms::PlaceOf(const StartUp::IEntry& entry) const
{
    const auto found = places_.find(&entry);
    return found == places_.end() ? nullptr : &found->second;
}

std::optional<size_t> StartupPrograms::RecordOf(const StartUp::IEntry& entry) const
{
    for (size_t i = 0; i < snapshot_.Records().size(); ++i) {
        if (snapshot_.Records()[i].entry.Get() == &entry) {
            return i;
        }
    }
    return std::nullopt;
}

RTI::Reference<StartUp::ICategory> StartupPrograms::CategoryAt(std::wstring_view path) const
{
    RTI::Reference<StartUp::ICategory> found;
    StartUp::ForEachCategory(roots_, [&](const std::wstring& each, const RTI::Reference<StartUp::ICategory>& category) {
        if (!found && each == path) {
            found = category;
        }
    });
    return found;
}

StartupDetails StartupPrograms::Details(size_t row) const
{
    StartupDetails details;
    const TreeNode* node = NodeOf(row);
    if (!node) {
        return details;
    }
    details.name = node->text;
    if (const auto* category = dynamic_cast<const StartUp::ICategory*>(node->object.Get())) {
        details.readOnlyReason = AsSentence(category->ReadOnlyReason());
        return details;
    }
    const auto* element = dynamic_cast<const StartUp::IElement*>(node->object.Get());
    if (!element) {
        return details;
    }
    details.location = element->Location();
    details.command = element->Command();
    const RTI::Reference<StartUp::IInfo> info = element->GetInfo();
    if (info && info->IsValid()) {
        details.description = info->Version().description;
        details.company = info->Version().company;
    }
    details.windowsState = WindowsStateText(element->Approved());
    const Place* place = PlaceOf(*element);
    const std::optional<size_t> record = RecordOf(*element);
    if (place) {
        details.category = place->category;
        details.state = L"Starts with Windows";
        details.readOnlyReason = AsSentence(place->owner->ReadOnlyReason());
    } else if (record) {
        details.category = snapshot_.Records()[*record].category;
        details.state =
            L"Disabled by Corvane; its backup is kept in " + snapshot_.DocumentPath() + L". Tick it to put it back.";
    } else if (!rows_[row].hasCheckBox) {
        details.state = L"Part of the entry above";
    }
    return details;
}

std::wstring StartupPrograms::SetChecked(size_t row, bool checked)
{
    const TreeNode* node = NodeOf(row);
    if (!node || !rows_[row].hasCheckBox || IsCategoryNode(*node)) {
        return {};
    }
    const RTI::Reference<StartUp::IEntry> object = node->object;
    auto* element = dynamic_cast<StartUp::IElement*>(object.Get());
    const std::wstring name = L"\"" + node->text + L"\"";
    if (rows_[row].greyed) {
        return name + L" is not changed. " + Details(row).readOnlyReason;
    }
    if (!snapshotUsable_) {
        return loadError_;
    }
    if (!element || checked == !rows_[row].disabled) {
        return {};
    }
    if (!checked) {
        const Place* place = PlaceOf(*element);
        if (!place) {
            return {};
        }
        // Kept apart from the table, which the rebuild below replaces.
        const RTI::Reference<StartUp::ICategory> owner = place->owner;
        const Platform::Status status = snapshot_.Remove(place->category, *owner, *element);
        if (status != Err::Success) {
            return name + L" could not be disabled: " + ReasonText(status) + L". Nothing was changed.";
        }
        (void)owner->Enumerate();
        Rebuild();
        return {};
    }
    const std::optional<size_t> record = RecordOf(*element);
    if (!record) {
        return {};
    }
    const std::wstring categoryPath = snapshot_.Records()[*record].category;
    std::wstring refusal;
    const Platform::Status status = snapshot_.Restore(roots_, *record, &refusal);
    if (status == StartUp::Snapshot::kNotWatched) {
        return name + L" was not put back: " + refusal;
    }
    if (status != Err::Success) {
        return name + L" could not be put back: " + ReasonText(status) + L". Its backup is kept.";
    }
    if (const RTI::Reference<StartUp::ICategory> category = CategoryAt(categoryPath)) {
        (void)category->Enumerate();
    }
    Rebuild();
    return {};
}

}  // namespace GUI
