#include "app/settings/UserTweaksFile.h"

#include <string>

#include "app/settings/RegistryValues.h"
#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"

namespace AppSettings {
namespace {

constexpr std::wstring_view kUserTweaksValue = L"UserTweaksPath";

bool FileExists(const std::wstring& path)
{
    Platform::FileInfo info;
    return Platform::Current().Files().GetFileInfo(path, &info) == Err::Success;
}

}  // namespace

std::wstring DefaultUserTweaksPath(const Locations& where)
{
    const std::wstring appData = Sys::GetShellFolder(Sys::Csidl::AppData);
    if (appData.empty()) {
        return {};
    }
    return Sys::JoinPath(Sys::JoinPath(appData, where.dataFolder), L"tweaks.xml");
}

std::wstring ReadUserTweaksPath(const Locations& where)
{
    return ReadString(where.programKey, kUserTweaksValue).value_or(std::wstring());
}

Platform::Status CopyToNewFile(const std::wstring& from, const std::wstring& to)
{
    std::string bytes;
    if (Platform::Status s = Platform::ReadWholeFile(from, &bytes)) {
        return s;
    }
    if (Platform::Status s = Sys::CreateParentFolders(to)) {
        return s;
    }
    Platform::IFileSystem& files = Platform::Current().Files();
    Platform::UniqueFile file;
    if (Platform::Status s =
            files.CreateFile(to, Platform::FileAccess::Write, Platform::Disposition::CreateNew, file.put())) {
        return s;
    }
    uint32_t written = 0;
    Platform::Status s = files.WriteFile(file.get(), bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
    if (s == Err::Success && written != bytes.size()) {
        s = Err::WriteFault;
    }
    file.reset();
    if (s != Err::Success) {
        (void)files.DeleteFile(to);
    }
    return s;
}

std::wstring PrepareUserTweaksPath(const Environment& environment)
{
    const Locations& where = environment.where;
    if (!ValueExists(where.programKey, kUserTweaksValue)) {
        const std::wstring path = DefaultUserTweaksPath(where);
        if (!path.empty() && WriteString(where.programKey, kUserTweaksValue, path) == Err::Success &&
            !environment.starterTweaksPath.empty() && !FileExists(path)) {
            // Without the starter file the path still stands: the editor
            // makes the file when the user first saves.
            (void)CopyToNewFile(environment.starterTweaksPath, path);
        }
    }
    return ReadUserTweaksPath(where);
}

}  // namespace AppSettings
