#include "core/system/Shortcuts.h"

#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"

namespace Sys {

Platform::Status CreateShortcut(const Platform::ShellLink& link, std::wstring_view name, int folderCsidl)
{
    const std::wstring folder = GetShellFolder(folderCsidl);
    if (folder.empty() || name.empty()) {
        return Err::BadFormat;
    }
    const std::wstring path = JoinPath(folder, std::wstring(name) + L".lnk");
    if (CreateParentFolders(path) != 0) {
        return Err::BadFormat;
    }
    return Platform::Current().System().SaveShellLink(path, link);
}

bool ReadShortcutTarget(std::wstring_view shortcutPath, std::wstring* target)
{
    Platform::ShellLink link;
    if (Platform::Current().System().LoadShellLink(shortcutPath, &link) != 0 || link.target.empty()) {
        return false;
    }
    *target = std::move(link.target);
    return true;
}

}  // namespace Sys
