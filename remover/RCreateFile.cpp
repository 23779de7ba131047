#include "remover/RCreateFile.h"

#include <algorithm>
#include <vector>

#include "core/platform/Errors.h"
#include "core/system/InUseRetry.h"
#include "remover/CommandSupport.h"
#include "remover/DeleteFileW.h"
#include "remover/FileBytes.h"
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
    return writer.EndBlock(RCreateFile::kTag);
}

// The folders above path that do not exist, outermost first.
std::vector<std::wstring_view> MissingFolders(std::wstring_view path)
{
    std::vector<std::wstring_view> missing;
    for (size_t slash = path.rfind(L'\\'); slash != std::wstring_view::npos && slash > 0;
         slash = path.rfind(L'\\', slash - 1)) {
        const std::wstring_view folder = path.substr(0, slash);
        if (!IsAllowedFilePath(folder) || AttributesOf(folder) != Platform::FileAttr::Invalid) {
            break;  // a drive or share root, or a folder that is there
        }
        missing.insert(missing.begin(), folder);
    }
    return missing;
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
    if (Platform::Current().Files().GetFileInfo(path, &info) == 0) {
        if (info.attributes & Platform::FileAttr::Directory) {
            return Err::Success;
        }
        return JournalFileContent(writer, path, info.size, info.lastWriteTime, cancel);
    }
    for (std::wstring_view folder : MissingFolders(path)) {
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
    if (Status s = ReadWide(reader, &path)) {
        return s;
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    if (!IsAllowedFilePath(path)) {
        return Err::BadFormat;
    }
    auto& files = Platform::Current().Files();
    Platform::FileInfo info;
    if (files.GetFileInfo(path, &info) != 0) {
        return Err::Success;  // already gone
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
    return s == Err::FileNotFound ? Err::Success : s;
}

}  // namespace Remover
