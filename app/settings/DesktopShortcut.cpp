#include "app/settings/DesktopShortcut.h"

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/Folders.h"
#include "core/system/InUseRetry.h"
#include "core/system/ShellFolders.h"
#include "core/system/Shortcuts.h"

namespace AppSettings {
namespace {

bool PointsToProgram(const std::wstring& shortcut, const Environment& environment)
{
    std::wstring target;
    return Sys::ReadShortcutTarget(shortcut, &target) && RTI::EqualsIgnoreCase(target, environment.programPath);
}

}  // namespace

std::vector<std::wstring> DesktopShortcutsToProgram(const Environment& environment)
{
    std::vector<std::wstring> found;
    const std::wstring desktop = Sys::GetShellFolder(Sys::Csidl::Desktop);
    if (desktop.empty() || environment.programPath.empty()) {
        return found;
    }
    const std::wstring named = Sys::JoinPath(desktop, environment.where.shortcutName + L".lnk");
    if (PointsToProgram(named, environment)) {
        found.push_back(named);
    }
    Platform::IFileSystem& files = Platform::Current().Files();
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (files.FindFirst(Sys::JoinPath(desktop, L"*.lnk"), &entry, find.put()) != Err::Success) {
        return found;
    }
    do {
        const std::wstring path = Sys::JoinPath(desktop, entry.name);
        if ((entry.attributes & Platform::FileAttr::Directory) == 0 && !RTI::EqualsIgnoreCase(path, named) &&
            PointsToProgram(path, environment)) {
            found.push_back(path);
        }
    } while (files.FindNext(find.get(), &entry) == Err::Success);
    return found;
}

bool DesktopShortcutPresent(const Environment& environment)
{
    return !DesktopShortcutsToProgram(environment).empty();
}

Platform::Status ApplyDesktopShortcut(const Environment& environment, bool on)
{
    if (environment.programPath.empty()) {
        return Err::BadFormat;
    }
    if (on) {
        if (DesktopShortcutPresent(environment)) {
            return Err::Success;
        }
        Platform::ShellLink link;
        link.target = environment.programPath;
        link.workingDirectory = FolderOf(environment.programPath);
        if (Platform::Status s = Sys::CreateShortcut(link, environment.where.shortcutName, Sys::Csidl::Desktop)) {
            return s;
        }
        return DesktopShortcutPresent(environment) ? Err::Success : Err::WriteFault;
    }
    Platform::Status first = Err::Success;
    for (const std::wstring& shortcut : DesktopShortcutsToProgram(environment)) {
        // The shell may still read a shortcut it has just seen appear.
        const Platform::Status s =
            Sys::RetryWhileInUse(nullptr, [&] { return Platform::Current().Files().DeleteFile(shortcut); });
        if (s != Err::Success && first == Err::Success) {
            first = s;
        }
    }
    return first;
}

}  // namespace AppSettings
