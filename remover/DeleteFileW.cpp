#include "remover/DeleteFileW.h"

#include "core/platform/Errors.h"
#include "remover/CommandSupport.h"
#include "remover/CopyCache.h"
#include "remover/FileBytes.h"
#include "remover/FinalParent.h"
#include "remover/Format.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;

uint32_t JournalFileContent(RTI::IWriter& writer, std::wstring_view path, uint64_t size, uint64_t lastWriteTime,
                            Platform::EventHandle cancel)
{
    const CopyCache::Stamp stamp{size, lastWriteTime};
    std::wstring copyName = CopyCache::Lookup(path, stamp).value_or(std::wstring());
    if (Status s = writer.BeginBlock(DeleteFileW::kTag)) {
        return s;
    }
    if (Status s = writer.SaveFile(path, cancel, &copyName)) {
        return s;
    }
    CopyCache::Remember(path, copyName, stamp);
    if (Status s = WriteFinalParent(writer, path)) {
        return s;
    }
    return writer.EndBlock(DeleteFileW::kTag);
}

uint32_t DeleteFileW::Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer,
                              RTI::ITracer* /*tracer*/, Platform::EventHandle cancel)
{
    const auto parameters = arguments.As<Parameters>();
    if (!parameters) {
        return Err::InvalidParameter;
    }
    if (!IsAllowedFilePath(parameters->path)) {
        return Err::InvalidName;
    }
    Platform::FileInfo info;
    if (Status s = Platform::Current().Files().GetFileInfo(parameters->path, &info)) {
        // No file, nothing to save; a file that cannot be looked at may be
        // there, and is not changed without its record.
        return IsNotFound(s) ? Err::Success : s;
    }
    if (info.attributes & Platform::FileAttr::Directory) {
        return Err::Success;
    }
    return JournalFileContent(writer, parameters->path, info.size, info.lastWriteTime, cancel);
}

uint32_t DeleteFileW::Restore(RTI::IReader& reader, RTI::ITracer* /*tracer*/, Platform::EventHandle cancel)
{
    if (Status s = EnterOwnBlock(reader, kTag)) {
        return s;
    }
    if (reader.GetType() != Format::Record::SavedFile) {
        return Err::BadFormat;
    }
    std::wstring path;
    std::wstring copyName;
    std::wstring finalParent;
    if (Status s = reader.ReadSavedFile(&path, &copyName)) {
        return s;
    }
    if (Status s = ReadFinalParent(reader, &finalParent)) {
        return s;
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    if (Status s = CheckFinalParent(path, finalParent)) {
        return s;
    }
    if (Status s = reader.RestoreSavedCopy(path, copyName, cancel)) {
        return s;
    }
    CopyCache::Forget(path);
    return Err::Success;
}

}  // namespace Remover
