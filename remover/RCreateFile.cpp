#include "remover/RCreateFile.h"

#include <algorithm>
#include <vector>

#include "core/platform/Errors.h"
#include "core/system/InUseRetry.h"
#include "remover/CommandSupport.h"
#include "remover/DeleteFileW.h"
#include "remover/FileBytes.h"
#include "remover/FinalParent.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;

namespace {

Status WritePathBlock(RTI::IWriter& writer, std::wstring_view path)
{
    if (Status s = writer.BeginBlock(RCreateFile::kTag)) {
        return s;
    }
    if (Status s = WriteWide(writer, path)) {
        return s;
    }
    if (Status s = WriteFinalParent(writer, path)) {
        return s;
    }
    return writer.EndBlock(RCreateFile::kTag);
}

// The folders above path that do not exist, outermost first. Any error other
// than "not found" while looking stops the search with that error: a folder
// that could not be looked at is never taken for one to remove at restore.
Status MissingFolders(std::wstring_view path, std::vector<std::wstring_view>* missing)
{
    auto& files = Platform::Current().Files();
    for (size_t slash = path.rfind(L'\\'); slash != std::wstring_view::npos && slash > 0;
         slash = path.rfind(L'\\', slash - 1)) {
        const std::wstring_view folder = path.substr(0, slash);
        if (!IsAllowedFilePath(folder)) {
            break;  // a drive or share root
        }
        Platform::FileInfo info;
        const Status s = files.GetFileInfo(folder, &info);
        if (s == Err::Success) {
            break;  // a folder that is there
        }
        if (!IsNotFound(s)) {
            return s;
        }
        missing->insert(missing->begin(), folder);
    }
    return Err::Success;
}

}  // namespace

uint32_t RCreateFile::Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer,
                              RTI::ITracer* /*tracer*/, Platform::EventHandle cancel)
{
    const auto parameters = arguments.As<Parameters>();
    if (!parameters) {
        return Err::InvalidParameter;
    }
    std::wstring_view path = parameters->path;
    while (path.size() > 3 && path.back() == L'\\') {
        path.remove_suffix(1);  // a folder given with its backslash
    }
    if (!IsAllowedFilePath(path)) {
        return Err::InvalidName;
    }
    Platform::FileInfo info;
    const Status looked = Platform::Current().Files().GetFileInfo(path, &info);
    if (looked == Err::Success) {
        if (info.attributes & Platform::FileAttr::Directory) {
            return Err::Success;
        }
        return JournalFileContent(writer, path, info.size, info.lastWriteTime, cancel);
    }
    if (!IsNotFound(looked)) {
        return looked;  // it may be there: no change without its record
    }
    std::vector<std::wstring_view> missing;
    if (Status s = MissingFolders(path, &missing)) {
        return s;
    }
    for (std::wstring_view folder : missing) {
        if (Status s = WritePathBlock(writer, folder)) {
            return s;
        }
    }
    return WritePathBlock(writer, path);
}

uint32_t RCreateFile::Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel)
{
    if (Status s = EnterOwnBlock(reader, kTag)) {
        return s;
    }
    std::wstring path;
    std::wstring finalParent;
    if (Status s = ReadWide(reader, &path)) {
        return s;
    }
    if (Status s = ReadFinalParent(reader, &finalParent)) {
        return s;
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    if (!IsAllowedFilePath(path)) {
        return Err::BadFormat;
    }
    if (Status s = CheckFinalParent(path, finalParent)) {
        return s;
    }
    auto& files = Platform::Current().Files();
    Platform::FileInfo info;
    if (Status s = files.GetFileInfo(path, &info)) {
        return IsNotFound(s) ? Err::Success : s;  // gone already, or it could not be looked at
    }
    (void)files.SetFileAttributes(path, Platform::FileAttr::Normal);
    if (info.attributes & Platform::FileAttr::Directory) {
        const Status s = Sys::RetryWhileInUse(cancel, [&] { return files.RemoveDirectory(path); });
        // A folder the user has put files in since is kept.
        return (s == Err::DirNotEmpty || s == Err::FileNotFound) ? Err::Success : s;
    }
    const Status s = Sys::RetryWhileInUse(cancel, [&] { return files.DeleteFile(path); });
    if (s == Err::Success) {
        const auto size = static_cast<int32_t>(std::min<uint64_t>(info.size, 0x7FFFFFFF));
        RTI::TraceTo(tracer, RTI::TraceCode::FileRemoved, size, 1);
    }
    return IsNotFound(s) ? Err::Success : s;
}

}  // namespace Remover
