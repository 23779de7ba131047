#include "core/system/ShellFolders.h"

#include <vector>

#include "core/system/Caches.h"
#include "core/system/ValueText.h"

namespace Sys {
namespace {

constexpr uint32_t kShell5 = 5u << 16;

// The registry sources, by slot of SystemCaches::shellFolderKeys.
enum Source { UserShellFolders, MachineShellFolders, MachineCurrentVersion, NoSource };

struct RegistryFolder {
    int csidl;
    Source source;
    const wchar_t* value;
};

constexpr RegistryFolder kRegistryFolders[] = {
    {Csidl::Personal, UserShellFolders, L"Personal"},
    {Csidl::MyMusic, UserShellFolders, L"My Music"},
    {Csidl::AppData, UserShellFolders, L"AppData"},
    {Csidl::LocalAppData, UserShellFolders, L"Local AppData"},
    {Csidl::InternetCache, UserShellFolders, L"Cache"},
    {Csidl::Cookies, UserShellFolders, L"Cookies"},
    {Csidl::History, UserShellFolders, L"History"},
    {Csidl::CommonAppData, MachineShellFolders, L"Common AppData"},
    {Csidl::ProgramFiles, MachineCurrentVersion, L"ProgramFilesDir"},
    {Csidl::MyPictures, UserShellFolders, L"My Pictures"},
    {Csidl::CommonFiles, MachineCurrentVersion, L"CommonFilesDir"},
};

constexpr wchar_t kShellFoldersPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kCurrentVersionPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

Platform::KeyHandle SourceKey(Source source)
{
    auto& caches = detail::Caches();
    Platform::KeyHandle* slot = &caches.shellFolderKeys[source];
    {
        std::lock_guard lock(caches.mutex);
        if (*slot != nullptr) {
            return *slot;
        }
    }
    const Platform::KeyHandle root = source == UserShellFolders ? Platform::CurrentUser() : Platform::LocalMachine();
    const wchar_t* path = source == MachineCurrentVersion ? kCurrentVersionPath : kShellFoldersPath;
    Platform::KeyHandle key = nullptr;
    if (Platform::Current().Registry().OpenKey(root, path, Platform::KeyAccess::Read, &key) != 0) {
        return nullptr;  // tried again on the next lookup
    }
    return detail::PublishKey(slot, key);
}

std::wstring FromRegistry(int csidl)
{
    for (const auto& folder : kRegistryFolders) {
        if (folder.csidl != csidl) {
            continue;
        }
        const Platform::KeyHandle key = SourceKey(folder.source);
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (key == nullptr || Platform::Current().Registry().QueryValue(key, folder.value, &type, &data) != 0 ||
            (type != Platform::RegType::Sz && type != Platform::RegType::ExpandSz)) {
            return {};
        }
        return StringFromRegistryData(data);
    }
    return {};
}

}  // namespace

uint32_t GetShellVersion()
{
    auto& caches = detail::Caches();
    {
        std::lock_guard lock(caches.mutex);
        if (caches.shellVersion) {
            return *caches.shellVersion;
        }
    }
    const uint32_t version = Platform::Current().System().GetShellVersion();
    std::lock_guard lock(caches.mutex);
    caches.shellVersion = version;
    return version;
}

std::wstring GetShellFolder(int csidl)
{
    auto& system = Platform::Current().System();
    if (csidl == Csidl::Windows || csidl == Csidl::System) {
        std::wstring folder = csidl == Csidl::Windows ? system.WindowsDirectory() : system.SystemDirectory();
        if (!folder.empty()) {
            return folder;
        }
    } else if (GetShellVersion() < kShell5) {
        if (std::wstring folder = FromRegistry(csidl); !folder.empty()) {
            return folder;
        }
    }
    return system.GetSpecialFolder(csidl);
}

}  // namespace Sys
