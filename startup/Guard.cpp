#include "startup/Guard.h"

#include <algorithm>
#include <cwctype>

#include "core/platform/Errors.h"
#include "core/system/Folders.h"
#include "startup/Approved.h"
#include "startup/Categories.h"
#include "startup/Snapshot.h"
#include "startup/Text.h"

namespace StartUp {

namespace {

const CategoryList kNoCategories;

uint64_t KeyWriteTime(Platform::KeyHandle root, const std::wstring& path, Platform::RegistryView view)
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    Platform::KeyInfo info;
    if (registry.OpenKeyInView(root, path, Platform::KeyAccess::Read, view, key.put()) != Err::Success ||
        registry.QueryKeyInfo(key.get(), &info) != Err::Success) {
        return 0;
    }
    return info.lastWriteTime;
}

uint64_t TextHash(std::wstring_view text)
{
    uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (wchar_t c : text) {
        hash = (hash ^ static_cast<uint64_t>(std::towupper(c))) * 1099511628211ull;
    }
    return hash;
}

}  // namespace

GuardSettings ReadGuardSettings(std::wstring_view settingsKey)
{
    GuardSettings settings;
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (registry.OpenKey(Platform::CurrentUser(), settingsKey, Platform::KeyAccess::Read, key.put()) != Err::Success) {
        return settings;
    }
    const auto read = [&](std::wstring_view name) {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        return registry.QueryValue(key.get(), name, &type, &data) == Err::Success && type == Platform::RegType::Dword &&
               data.size() == 4 && (data[0] | data[1] | data[2] | data[3]) != 0;
    };
    settings.startupGuard = read(L"EnableStartUpGuard");
    settings.browserGuard = read(L"EnableBrowserGuard");
    return settings;
}

SnapshotPlace Guard::DefaultSnapshotPlaceForGuard()
{
    return DefaultSnapshotPlace();
}

Guard::Guard(SnapshotPlace place) : place_(std::move(place)) {}

Guard::~Guard()
{
    (void)SetEnabled(false);
}

Platform::Status Guard::SetEnabled(bool enabled)
{
    if (enabled == enabled_) {
        return Err::Success;
    }
    if (!enabled) {
        worker_.reset();  // waits for the worker to end
        roots_.clear();
        watches_.clear();
        ready_.store(false, std::memory_order_release);
        enabled_ = false;
        return Err::Success;
    }
    const Platform::Status folder =
        place_.folder.empty() ? Err::PathNotFound : Sys::CreateFolderPath(place_.FilesFolder());
    enabled_ = true;
    ready_.store(false, std::memory_order_release);
    worker_.reset(Platform::Current().Threads().StartThread([this] { Build(); }));
    return folder;
}

void Guard::Build()
{
    CategoryList roots;
    BuildCatalogue(roots);
    roots_ = std::move(roots);
    TakeFingerprints();
    ready_.store(true, std::memory_order_release);
}

Platform::Status Guard::WaitUntilReady(uint32_t milliseconds)
{
    if (!worker_) {
        return IsReady() || !enabled_ ? Err::Success : Platform::kWaitTimeout;
    }
    return Platform::Current().Threads().WaitThread(worker_.get(), milliseconds);
}

const CategoryList& Guard::Catalogue() const
{
    return IsReady() ? roots_ : kNoCategories;
}

std::vector<uint64_t> Guard::Fingerprint(const ICategory& category)
{
    std::vector<uint64_t> print;
    if (const auto* run = dynamic_cast<const Categories::Run*>(&category)) {
        print.push_back(KeyWriteTime(run->Root(), run->Path(), run->View()));
        if (run->ApprovedRecords()) {
            print.push_back(
                KeyWriteTime(run->Root(), ApprovedKeyPath(*run->ApprovedRecords()), Platform::RegistryView::Native));
        }
    } else if (const auto* folder = dynamic_cast<const Categories::Folder*>(&category)) {
        Platform::IFileSystem& files = Platform::Current().Files();
        Platform::UniqueFind find;
        Platform::FindData data;
        for (Platform::Status s = files.FindFirst(folder->Path() + L"\\*", &data, find.put()); s == Err::Success;
             s = files.FindNext(find.get(), &data)) {
            print.push_back(TextHash(data.name) ^ (data.size * 31) ^ (data.lastWriteTime * 17));
        }
        std::sort(print.begin(), print.end());
        print.push_back(KeyWriteTime(Platform::CurrentUser(), ApprovedKeyPath(ApprovedList::StartupFolder),
                                     Platform::RegistryView::Native));
        print.push_back(KeyWriteTime(Platform::LocalMachine(), ApprovedKeyPath(ApprovedList::StartupFolder),
                                     Platform::RegistryView::Native));
    }
    return print;
}

void Guard::TakeFingerprints()
{
    watches_.clear();
    ForEachCategory(roots_, [&](const std::wstring& path, const RTI::Reference<ICategory>& category) {
        if (category->TypeCode() == FourCC("RUN ") || category->TypeCode() == FourCC("FLDR")) {
            watches_.push_back({path, category, Fingerprint(*category)});
        }
    });
}

std::vector<ListedEntry> Guard::Tick()
{
    std::vector<ListedEntry> appeared;
    if (!IsReady()) {
        return appeared;
    }
    for (Watch& watch : watches_) {
        std::vector<uint64_t> now = Fingerprint(*watch.category);
        if (now == watch.fingerprint) {
            continue;
        }
        watch.fingerprint = std::move(now);
        const ElementList before = watch.category->Entries();
        (void)watch.category->Enumerate();
        for (const RTI::Reference<IElement>& entry : watch.category->Entries()) {
            const bool known = std::any_of(before.begin(), before.end(),
                                           [&](const RTI::Reference<IElement>& old) { return old->IsSame(*entry); });
            if (!known) {
                appeared.push_back({watch.path, watch.category, entry});
            }
        }
    }
    return appeared;
}

}  // namespace StartUp
