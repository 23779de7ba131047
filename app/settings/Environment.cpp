#include "app/settings/Environment.h"

#include "core/platform/Platform.h"
#include "core/system/Folders.h"

namespace AppSettings {

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

Environment RunningProgram(IStartupGuard* guard)
{
    Environment environment;
    environment.programPath = Platform::Current().System().ProgramPath();
    const std::wstring folder = FolderOf(environment.programPath);
    if (!folder.empty()) {
        environment.starterTweaksPath = Sys::JoinPath(folder, L"tweaks.xml");
    }
    environment.guard = guard;
    return environment;
}

}  // namespace AppSettings
