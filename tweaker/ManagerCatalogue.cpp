// Building the catalogue: Config.xml first (so that every tweak finds its
// stored choices while it loads), then the built-in set, the sets "Silver"
// and "Gold", and the user's own tweak file.
#include <string>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"
#include "core/system/ValueText.h"
#include "core/text/Utf.h"
#include "tweaker/Configuration.h"
#include "tweaker/Manager.h"
#include "tweaker/SimpleTweak.h"

namespace Tweaker {
namespace {

constexpr std::wstring_view kSettingsKey = L"Software\\Corvane";
constexpr std::wstring_view kUserTweaksValue = L"UserTweaksPath";

bool FileExists(const std::wstring& path)
{
    Platform::FileInfo info;
    return Platform::Current().Files().GetFileInfo(path, &info) == Err::Success &&
           (info.attributes & Platform::FileAttr::Directory) == 0;
}

// The path of the user's tweak file, empty when not set.
std::wstring ReadUserTweaksPath()
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (registry.OpenKey(Platform::CurrentUser(), kSettingsKey, Platform::KeyAccess::Read, key.put()) !=
        Err::Success) {
        return {};
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (registry.QueryValue(key.get(), kUserTweaksValue, &type, &data) != Err::Success ||
        (type != Platform::RegType::Sz && type != Platform::RegType::ExpandSz)) {
        return {};
    }
    return Sys::StringFromRegistryData(data);
}

}  // namespace

ITweakSetSource& Manager::Source()
{
    return source_ != nullptr ? *source_ : ResourceTweakSets();
}

// Empty, like the paths below it, when the shell names no application-data
// folder: nothing is then read or written at the root of the drive instead.
std::wstring Manager::ConfigurationFolder() const
{
    const std::wstring appData = Sys::GetShellFolder(Sys::Csidl::AppData);
    return appData.empty() ? std::wstring() : appData + L"\\" + folderName_;
}

std::wstring Manager::ConfigurationPath() const
{
    const std::wstring folder = ConfigurationFolder();
    return folder.empty() ? folder : folder + L"\\Config.xml";
}

std::wstring Manager::BackupFolder() const
{
    const std::wstring folder = ConfigurationFolder();
    return folder.empty() ? folder : folder + L"\\backup\\";
}

bool Manager::LoadCatalogue(std::wstring_view folderName)
{
    RegisterFactories();
    folderName_ = std::wstring(folderName);
    OpenConfiguration();

    bool parsed = false;
    std::string utf8;
    std::wstring where = L"the built-in tweak set";
    const uint32_t status = Source().ReadSet(kBuiltInSet, &utf8, &where);
    if (status != Err::Success) {
        problems_.push_back({where, status, L"The built-in tweak set could not be read."});
    } else {
        XmlDocument document;
        const uint32_t loaded = document.LoadFromUtf8(utf8);
        if (loaded != Err::Success) {
            problems_.push_back({where, loaded, document.GetError()});
        } else if (!LoadCategories(document, &categories_)) {
            problems_.push_back({where, Err::BadFormat, L"The root element is not Tweaks."});
        } else {
            parsed = true;
        }
    }
    (void)MergeTweakSet(kSilverSet);
    (void)MergeTweakSet(kGoldSet);
    (void)MergeUserTweaks();
    return parsed;
}

void Manager::OpenConfiguration()
{
    const std::wstring path = ConfigurationPath();
    if (path.empty()) {
        configBlocked_ = true;
        problems_.push_back({L"Config.xml", Err::PathNotFound, L"The application-data folder is unknown."});
        return;
    }
    if (!FileExists(path)) {
        if (Sys::CreateFolderPath(ConfigurationFolder()) == Err::Success) {
            Platform::UniqueFile file;
            if (Platform::Current().Files().CreateFile(path, Platform::FileAccess::Write,
                                                       Platform::Disposition::CreateNew,
                                                       file.put()) == Err::Success) {
                uint32_t written = 0;
                (void)Platform::Current().Files().WriteFile(file.get(), kEmptyConfiguration.data(),
                                                            static_cast<uint32_t>(kEmptyConfiguration.size()),
                                                            &written);
            }
        }
        return;
    }
    std::string bytes;
    const uint32_t read = Platform::ReadWholeFile(path, &bytes);
    if (read != Err::Success) {
        KeepConfigurationAside(read, L"Config.xml could not be read.");
        return;
    }
    XmlDocument document;
    const uint32_t parsed = document.LoadFromUtf8(bytes);
    if (parsed != Err::Success) {
        KeepConfigurationAside(parsed, parsed == Err::NoUnicodeTranslation ? L"Config.xml is not UTF-8 text."
                                                                           : document.GetError());
        return;
    }
    if (!ReadConfiguration(document, &config_)) {
        KeepConfigurationAside(Err::BadFormat, L"The root element of Config.xml is not Tweaks.");
    }
}

// The old file stays as "Config.xml.bad" (or ".bad2", ".bad3", ... when
// those exist) and a fresh one takes its place, so that the user's old
// choices are not destroyed and new ones can be saved.
void Manager::KeepConfigurationAside(uint32_t status, const std::wstring& why)
{
    const std::wstring path = ConfigurationPath();
    Platform::IFileSystem& files = Platform::Current().Files();
    std::wstring aside;
    uint32_t moved = Err::AlreadyExists;
    for (int number = 1; number <= 1000 && (moved == Err::AlreadyExists || moved == Err::FileExists); ++number) {
        aside = path + L".bad" + (number == 1 ? std::wstring() : std::to_wstring(number));
        Platform::FileInfo info;
        if (files.GetFileInfo(aside, &info) == Err::Success) {
            continue;
        }
        moved = files.MoveFile(path, aside, false);
    }
    config_.clear();
    if (moved != Err::Success) {
        configBlocked_ = true;
        problems_.push_back({path, status, why + L" It could not be kept aside (error " + std::to_wstring(moved) +
                                               L"), so choices will not be saved."});
        return;
    }
    problems_.push_back({path, status, why + L" It was kept as " + aside + L"."});
    const uint32_t created = Platform::WriteWholeFile(path, kEmptyConfiguration);
    if (created != Err::Success) {
        configBlocked_ = true;
    }
}

bool Manager::MergeTweakSet(std::wstring_view setName)
{
    std::string utf8;
    std::wstring where(setName);
    const uint32_t status = Source().ReadSet(setName, &utf8, &where);
    if (status != Err::Success) {
        if (status != Err::FileNotFound) {
            problems_.push_back({where, status, L"The tweak set could not be read."});
        }
        return false;
    }
    return MergeText(utf8, where);
}

bool Manager::MergeUserTweaks()
{
    const std::wstring path = ReadUserTweaksPath();
    if (path.empty()) {
        return false;
    }
    std::string utf8;
    const uint32_t status = Platform::ReadWholeFile(path, &utf8);
    if (status != Err::Success) {
        if (status != Err::FileNotFound && status != Err::PathNotFound) {
            problems_.push_back({path, status, L"The tweak file could not be read."});
        }
        return false;
    }
    return MergeText(utf8, path);
}

bool Manager::MergeText(const std::string& utf8, const std::wstring& where)
{
    const int before = CountTweaks();
    XmlDocument document;
    const uint32_t status = document.LoadFromUtf8(utf8);
    if (status != Err::Success) {
        problems_.push_back(
            {where, status, status == Err::NoUnicodeTranslation ? L"The file is not UTF-8 text." : document.GetError()});
        return false;
    }
    std::vector<RTI::Reference<Group>> loaded;
    if (!LoadCategories(document, &loaded)) {
        problems_.push_back({where, Err::BadFormat, L"The root element is not Tweaks."});
        return false;
    }
    for (const auto& category : loaded) {
        for (const auto& existing : categories_) {
            if (existing->GetName() != category->GetName()) {
                continue;
            }
            for (const auto& child : category->GetChildren()) {
                existing->AddChild(child);
            }
        }
    }
    return CountTweaks() > before;
}

int Manager::CountTweaks() const
{
    int count = 0;
    for (const auto& category : categories_) {
        count += category->CountChildren();
    }
    return count;
}

void Manager::UpdateConfigRecord(const ITweak& tweak)
{
    const auto* simple = dynamic_cast<const SimpleTweak*>(&tweak);
    std::vector<ItemValue> items;
    if (tweak.IsEditable() && simple != nullptr) {
        items = simple->RegistryItemValues();
    }
    auto found = config_.find(tweak.GetName());
    if (found == config_.end()) {
        config_.emplace(tweak.GetName(), TweakValues{tweak.IsSelected(), std::move(items)});
        return;
    }
    found->second.enabled = tweak.IsSelected();
    if (tweak.IsEditable()) {
        found->second.items = std::move(items);
    }
}

uint32_t Manager::UpdateConfigRecordAndSave(const ITweak& tweak)
{
    UpdateConfigRecord(tweak);
    return SaveConfiguration();
}

uint32_t Manager::SaveConfiguration()
{
    if (configBlocked_) {
        return Err::AccessDenied;
    }
    const std::wstring path = ConfigurationPath();
    if (!FileExists(path)) {
        return Err::FileNotFound;
    }
    std::string utf8;
    if (const uint32_t status = Text::WideToUtf8(WriteConfiguration(config_), &utf8)) {
        return status;
    }
    return Platform::ReplaceWholeFile(path, utf8);
}

// Only tweaks that are direct children take part: profiles record nothing
// else, and a nested group that happened to share a tweak's name must not
// change.
void Manager::ApplyTweakValues(Group& category, const TweakValuesMap& map)
{
    for (const auto& child : category.GetChildren()) {
        auto* tweak = dynamic_cast<SimpleTweak*>(child.Get());
        if (tweak == nullptr) {
            continue;
        }
        const auto found = map.find(tweak->GetName());
        if (found == map.end()) {
            tweak->DiscardProfileValues();
            continue;
        }
        tweak->SetSelected(found->second.enabled);
        tweak->ApplyProfileValues(found->second.items);
        UpdateConfigRecord(*tweak);
    }
}

}  // namespace Tweaker
