#include "tweaker/File.h"

#include "core/platform/Errors.h"
#include "core/system/Files.h"
#include "core/system/Folders.h"
#include "tweaker/FileCopy.h"
#include "tweaker/JournalCall.h"

namespace Tweaker {
namespace {

std::wstring Expand(const std::wstring& text)
{
    if (text.find(L'%') == std::wstring::npos) {
        return text;
    }
    return Platform::Current().System().ExpandEnvironmentStrings(text);
}

bool HasWildcard(std::wstring_view name)
{
    return name.find_first_of(L"*?") != std::wstring_view::npos;
}

// The literal path names an existing file (not a folder); its size.
bool IsExistingFile(const std::wstring& path, uint64_t* size)
{
    Platform::FileInfo info;
    if (Platform::Current().Files().GetFileInfo(path, &info) != 0 ||
        (info.attributes & Platform::FileAttr::Directory)) {
        return false;
    }
    *size = info.size;
    return true;
}

Sys::Recursive AsRecursive(bool recursive)
{
    return recursive ? Sys::Recursive::Yes : Sys::Recursive::No;
}

}  // namespace

int File::Load(XmlDocument& reader)
{
    folder_ = reader.GetAttrib(L"path");
    name_ = reader.GetAttrib(L"name");
    actionText_ = reader.GetAttrib(L"action");
    action_ = FileActionCode(actionText_);
    if (action_ == FileAction::Invalid) {
        return -1;
    }
    if (action_ == FileAction::Move) {
        destination_ = reader.GetAttrib(L"destination");
    } else {
        recursive_ = reader.GetAttrib(L"recursive") == L"1";
    }
    return 0;
}

std::wstring File::Folder() const
{
    return Expand(folder_);
}

std::wstring File::DestinationFolder() const
{
    return Expand(destination_);
}

bool File::Analyse()
{
    const std::wstring folder = Folder();
    switch (action_) {
        case FileAction::Move:
            return !Sys::FileExists(folder, name_, Sys::Recursive::No, nullptr) &&
                   Sys::FileExists(DestinationFolder(), name_, Sys::Recursive::No, nullptr);
        case FileAction::Delete:
            return !Sys::FileExists(folder, name_, AsRecursive(recursive_), nullptr);
        case FileAction::Clear:
            return Sys::FilesEmpty(folder, name_, AsRecursive(recursive_), nullptr);
        default:
            return false;
    }
}

bool File::Apply(Remover::Processor* journal, Platform::EventHandle cancel)
{
    if (Analyse()) {
        return true;
    }
    switch (action_) {
        case FileAction::Move:
            return ApplyMove(journal, cancel);
        case FileAction::Delete:
            return ApplyDelete(journal, cancel);
        case FileAction::Clear:
            return ApplyClear(journal, cancel);
        default:
            return false;
    }
}

bool File::ApplyDelete(Remover::Processor* journal, Platform::EventHandle cancel)
{
    const std::wstring folder = Folder();
    const std::wstring literal = Sys::JoinPath(folder, name_);
    uint64_t size = 0;
    if (!HasWildcard(name_) && IsExistingFile(literal, &size) && !RecordFile(journal, L"DelFile", literal, cancel)) {
        return false;
    }
    (void)Sys::DeleteFiles(folder, name_, AsRecursive(recursive_), Sys::Wipe::No, nullptr, cancel);
    return Analyse();
}

bool File::ApplyClear(Remover::Processor* journal, Platform::EventHandle cancel)
{
    const std::wstring literal = Sys::JoinPath(Folder(), name_);
    uint64_t size = 0;
    if (HasWildcard(name_) || !IsExistingFile(literal, &size) || size == 0) {
        return Analyse();  // the literal file needs no change
    }
    if (!RecordFile(journal, L"DelFile", literal, cancel)) {
        return false;
    }
    return Sys::ClearFile(literal, Sys::Wipe::No, nullptr, cancel) == 0;
}

bool File::ApplyMove(Remover::Processor* journal, Platform::EventHandle cancel)
{
    const std::wstring source = Sys::JoinPath(Folder(), name_);
    const std::wstring target = Sys::JoinPath(DestinationFolder(), name_);
    uint64_t size = 0;
    // The move happens only when the source is there and the destination is
    // free: a file already at the destination is never overwritten.
    if (HasWildcard(name_) || !IsExistingFile(source, &size) || IsExistingFile(target, &size)) {
        return Analyse();
    }
    if (!RecordFile(journal, L"CreateFile", target, cancel) || !RecordFile(journal, L"DelFile", source, cancel)) {
        return false;
    }
    if (CopyFileContent(source, target, cancel) != 0) {
        return false;
    }
    (void)Sys::RemoveFile(source, Sys::Wipe::No, nullptr, cancel);
    return Analyse();
}

}  // namespace Tweaker
