#include "profiles/ProfileStore.h"

#include <span>
#include <utility>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/resources/ResourceBytes.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/Folders.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "profiles/ProfileFormat.h"
#include "remover/BackupPoints.h"
#include "remover/FileBytes.h"
#include "remover/JournalNames.h"

namespace Profiles {
namespace {

constexpr std::wstring_view kResourceName = L"PROFILES";

std::wstring ErrorSuffix(uint32_t status)
{
    return L" (error " + std::to_wstring(status) + L")";
}

bool HasProfileExtension(std::wstring_view name)
{
    return name.size() > kProfileExtension.size() &&
           RTI::EqualsIgnoreCase(name.substr(name.size() - kProfileExtension.size()), kProfileExtension);
}

}  // namespace

ProfileStore::ProfileStore(Tweaker::Manager& manager, IProfilePrompts& prompts, std::wstring lockName)
    : manager_(manager), prompts_(prompts), lockName_(std::move(lockName))
{
}

void ProfileStore::MakeDefaultProfile()
{
    RTI::Reference<Profile> profile(new Profile());
    profile->kind = ProfileKind::Default;
    profile->name = L"Default";
    profile->values = manager_.DefaultTweakValues();
    fixed_.push_back(std::move(profile));
}

void ProfileStore::LoadBuiltInProfiles()
{
    std::span<const uint8_t> bytes;
    const uint32_t status = Resources::FindResourceBytes(kResourceName, Resources::kBinaryType, bytes);
    if (status != Err::Success) {
        builtInProblem_ = L"The built-in profiles could not be found" + ErrorSuffix(status) + L".";
        return;
    }
    LoadBuiltInProfiles(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void ProfileStore::LoadBuiltInProfiles(std::string_view utf8)
{
    XmlDocument document;
    const uint32_t status = document.LoadFromUtf8(utf8);
    if (status != Err::Success) {
        builtInProblem_ =
            L"The built-in profiles could not be read: " +
            (status == Err::NoUnicodeTranslation ? std::wstring(L"they are not UTF-8 text") : document.GetError());
        return;
    }
    if (!ReadBuiltInProfiles(document, &fixed_)) {
        builtInProblem_ = L"The built-in profiles could not be read: the root element is not Profiles.";
    }
}

std::wstring ProfileStore::UserFolder() const
{
    const std::wstring folder = manager_.ConfigurationFolder();
    return folder.empty() ? folder : folder + L"\\profiles\\";
}

RTI::Reference<Profile> ProfileStore::ReadUserFile(const std::wstring& path)
{
    RTI::Reference<Profile> profile(new Profile());
    profile->kind = ProfileKind::User;
    profile->filePath = path;
    Platform::FileInfo info;
    if (Platform::Current().Files().GetFileInfo(path, &info) != Err::Success ||
        !Remover::MakeLabels(info.creationTime, &profile->dateText, &profile->timeText)) {
        return nullptr;
    }
    std::string bytes;
    const uint32_t read = Platform::ReadWholeFile(path, &bytes);
    XmlDocument document;
    const uint32_t parsed = read == Err::Success ? document.LoadFromUtf8(bytes) : read;
    Profile content;
    if (read != Err::Success) {
        profile->problem = L"The file cannot be read" + ErrorSuffix(read) + L".";
    } else if (parsed == Err::NoUnicodeTranslation) {
        profile->problem = L"The file is not UTF-8 text.";
    } else if (parsed != Err::Success) {
        profile->problem = document.GetError().empty() ? L"The file is not a profile." : document.GetError();
    } else if (!ReadUserProfile(document, &content)) {
        profile->problem = L"The root element is not Profile.";
    } else {
        profile->name = std::move(content.name);
        profile->shortDescription = std::move(content.shortDescription);
        profile->extendedDescription = std::move(content.extendedDescription);
        profile->values = std::move(content.values);
        return profile;
    }
    profile->readable = false;
    return profile;
}

void ProfileStore::ReloadUserProfiles()
{
    for (const auto& profile : fixed_) {
        profile->checked = false;
    }
    shown_ = fixed_;
    const std::wstring folder = UserFolder();
    if (folder.empty()) {
        return;
    }
    Platform::IFileSystem& files = Platform::Current().Files();
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (files.FindFirst(folder + L"*" + std::wstring(kProfileExtension), &entry, find.put()) != Err::Success) {
        return;
    }
    do {
        if ((entry.attributes & Platform::FileAttr::Directory) != 0 || !HasProfileExtension(entry.name)) {
            continue;
        }
        if (RTI::Reference<Profile> profile = ReadUserFile(folder + entry.name)) {
            shown_.push_back(std::move(profile));
        }
    } while (files.FindNext(find.get(), &entry) == Err::Success);
}

uint32_t ProfileStore::TakeLock(Platform::UniqueNamedLock* lock)
{
    if (lockName_.empty()) {
        return Err::Success;
    }
    const uint32_t status = Tweaker::TakeChangeLock(lock, lockName_);
    if (status == Err::AlreadyExists) {
        prompts_.ShowFailure(L"Another Corvane program is changing the system (it holds the lock " + lockName_ +
                             L"); try again when it has finished.");
    } else if (status != Err::Success) {
        prompts_.ShowFailure(L"The lock " + lockName_ + L" cannot be taken" + ErrorSuffix(status) + L".");
    }
    return status;
}

bool ProfileStore::AskDetails(ProfileDetails* details)
{
    auto occupied = [this](const std::wstring& name) {
        for (const auto& profile : shown_) {
            if (profile->name == name) {
                return true;
            }
        }
        return false;
    };
    for (;;) {
        ProfileDetails answer;
        if (!prompts_.AskProfileDetails(&answer)) {
            return false;
        }
        if (answer.name.empty()) {
            continue;  // the dialog again
        }
        if (occupied(answer.name)) {
            prompts_.ShowNameOccupied(answer.name);
            continue;
        }
        *details = std::move(answer);
        return true;
    }
}

uint32_t ProfileStore::WriteProfileFile(const std::wstring& text, std::wstring* path)
{
    const std::wstring folder = UserFolder();
    if (folder.empty()) {
        return Err::PathNotFound;
    }
    std::string utf8;
    if (const uint32_t status = Text::WideToUtf8(text, &utf8)) {
        return status;
    }
    if (const uint32_t status = Sys::CreateFolderPath(folder)) {
        return status;
    }
    Platform::UniqueFile file;
    std::wstring created;
    if (const uint32_t status = Remover::CreateNumberedFile(folder, kProfileExtension, &file, &created)) {
        return status;
    }
    Platform::IFileSystem& files = Platform::Current().Files();
    uint32_t status = Remover::WriteAll(file.get(), utf8.data(), utf8.size());
    if (status == Err::Success) {
        status = files.FlushFile(file.get());
    }
    file.reset();
    if (status != Err::Success) {
        // A half-written profile would be listed as unreadable: remove it.
        (void)files.DeleteFile(created);
        return status;
    }
    *path = std::move(created);
    return Err::Success;
}

uint32_t ProfileStore::SaveCurrentAsProfile(std::wstring* savedPath)
{
    Tweaker::TweakValuesMap values;
    manager_.CollectTweakValues(values);
    ProfileDetails details;
    if (!AskDetails(&details)) {
        return Err::Cancelled;
    }
    // Taken only now: the user may keep the dialog open for long.
    Platform::UniqueNamedLock lock;
    if (const uint32_t status = TakeLock(&lock)) {
        return status;
    }
    std::wstring path;
    const uint32_t status = WriteProfileFile(
        WriteUserProfile(details.name, details.shortDescription, details.extendedDescription, values), &path);
    if (status != Err::Success) {
        prompts_.ShowFailure(L"The profile \"" + details.name + L"\" could not be saved in " +
                             (UserFolder().empty() ? std::wstring(L"the application-data folder") : UserFolder()) +
                             ErrorSuffix(status) + L".");
        return status;
    }
    ReloadUserProfiles();
    if (savedPath != nullptr) {
        *savedPath = std::move(path);
    }
    return Err::Success;
}

uint32_t ProfileStore::DeleteCheckedProfiles()
{
    std::vector<std::wstring> paths;
    for (const auto& profile : shown_) {
        if (profile->checked) {
            paths.push_back(profile->filePath);
        }
    }
    uint32_t result = Err::Success;
    Platform::UniqueNamedLock lock;
    if (!prompts_.ConfirmDelete()) {
        result = Err::Cancelled;
    } else if (const uint32_t status = TakeLock(&lock)) {
        result = status;
    } else {
        Platform::IFileSystem& files = Platform::Current().Files();
        for (const std::wstring& path : paths) {
            if (path.empty()) {
                continue;  // Default and built-in profiles have no file
            }
            uint32_t status = files.SetFileAttributes(path, Platform::FileAttr::Normal);
            if (status == Err::Success) {
                status = files.DeleteFile(path);
            }
            if (status != Err::Success) {
                prompts_.ShowFailure(L"The profile file " + path + L" could not be deleted" + ErrorSuffix(status) +
                                     L".");
                if (result == Err::Success) {
                    result = status;
                }
            }
        }
    }
    ReloadUserProfiles();
    return result;
}

uint32_t ProfileStore::SetCheckedProfiles()
{
    if (manager_.IsRunning()) {
        prompts_.ShowFailure(L"A profile cannot be set while an analysis or a tune-up runs.");
        return kRunActive;
    }
    std::vector<Profile*> checked;
    for (const auto& profile : shown_) {
        if (profile->checked) {
            checked.push_back(profile.Get());
        }
    }
    if (checked.empty()) {
        return Err::InvalidParameter;
    }
    for (const Profile* profile : checked) {
        if (!profile->readable) {
            prompts_.ShowFailure(L"The profile file " + profile->filePath + L" cannot be set: " + profile->problem);
            return Err::BadFormat;
        }
    }
    Platform::UniqueNamedLock lock;
    if (const uint32_t status = TakeLock(&lock)) {
        return status;
    }

    Tweaker::TweakValuesMap merged;
    for (const Profile* profile : checked) {
        for (const auto& [name, entry] : profile->values) {
            Tweaker::InsertKeepingExisting(merged, name, entry);
        }
    }
    for (const auto& category : manager_.Categories()) {
        manager_.ApplyTweakValues(*category, merged);
        (void)category->Analyse(nullptr, nullptr, nullptr);
    }
    const uint32_t saved = manager_.SaveConfiguration();
    manager_.RecomputeAll();
    if (saved != Err::Success) {
        const std::wstring path = manager_.ConfigurationPath();
        prompts_.ShowFailure(L"The profile was set, but the choices could not be saved in " +
                             (path.empty() ? std::wstring(L"Config.xml") : path) + ErrorSuffix(saved) +
                             L"; they are lost when the program ends.");
        return saved;
    }
    prompts_.ShowSetCompleted();
    return Err::Success;
}

}  // namespace Profiles
