#include "tweaker/Shortcut.h"

#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/Files.h"
#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"
#include "core/system/Shortcuts.h"
#include "tweaker/JournalCall.h"
#include "tweaker/Keywords.h"

namespace Tweaker {
namespace {

constexpr std::wstring_view kLinkExtension = L".lnk";

// The name without the first ".lnk" found in it, whatever its letter case.
std::wstring WithoutFirstLinkExtension(std::wstring name)
{
    for (size_t i = 0; i + kLinkExtension.size() <= name.size(); ++i) {
        if (RTI::EqualsIgnoreCase(std::wstring_view(name).substr(i, kLinkExtension.size()), kLinkExtension)) {
            name.erase(i, kLinkExtension.size());
            break;
        }
    }
    return name;
}

}  // namespace

int Shortcut::Load(XmlDocument& reader)
{
    name_ = WithoutFirstLinkExtension(reader.GetAttrib(L"shcname"));
    subFolder_ = reader.GetAttrib(L"shcpath");
    folderKeyword_ = reader.GetAttrib(L"shcfoldername");
    csidl_ = FolderCode(folderKeyword_);
    targetName_ = reader.GetAttrib(L"targetname");
    targetFolder_ = reader.GetAttrib(L"targetpath");
    return csidl_ < 0 ? -1 : 0;
}

std::wstring Shortcut::LinkFolder() const
{
    const std::wstring special = Sys::GetShellFolder(csidl_);
    if (special.empty()) {
        return {};
    }
    return subFolder_.empty() ? special : Sys::JoinPath(special, subFolder_);
}

std::wstring Shortcut::LinkPath() const
{
    const std::wstring folder = LinkFolder();
    return folder.empty() ? folder : Sys::JoinPath(folder, name_ + std::wstring(kLinkExtension));
}

bool Shortcut::Analyse()
{
    const std::wstring folder = LinkFolder();
    return !folder.empty() &&
           Sys::FileExists(folder, name_ + std::wstring(kLinkExtension), Sys::Recursive::No, nullptr);
}

bool Shortcut::Apply(Remover::Processor* journal, Platform::EventHandle cancel)
{
    if (Analyse()) {
        return true;  // the user's own link is kept as it is
    }
    const std::wstring path = LinkPath();
    if (path.empty() || name_.empty()) {
        return false;
    }
    // The record names each folder level the shortcut's creation will add,
    // outermost first, then the file, so the restore removes all of them.
    if (!RecordFile(journal, L"CreateFile", path, cancel)) {
        return false;
    }
    Platform::ShellLink link;
    link.target = Sys::JoinPath(targetFolder_, targetName_);
    link.workingDirectory = targetFolder_;
    const std::wstring name = subFolder_.empty() ? name_ : Sys::JoinPath(subFolder_, name_);
    return Sys::CreateShortcut(link, name, csidl_) == 0;
}

}  // namespace Tweaker
