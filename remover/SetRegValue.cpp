#include "remover/SetRegValue.h"

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/RegistryTree.h"
#include "remover/CommandSupport.h"
#include "remover/DeleteRegValue.h"
#include "remover/FileBytes.h"
#include "remover/SetRegKey.h"

namespace Remover {

using Platform::Status;

uint32_t SetRegValue::Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer,
                              RTI::ITracer* /*tracer*/, Platform::EventHandle /*cancel*/)
{
    const auto parameters = arguments.As<Parameters>();
    if (!parameters) {
        return Err::InvalidParameter;
    }
    std::wstring rootName;
    std::wstring keyPath;
    Platform::UniqueKey key;
    const uint32_t opened = OpenKeyTarget(parameters->root, parameters->keyPath, &rootName, &keyPath, &key);
    if (opened == Err::FileNotFound) {
        return JournalKeyCreation(writer, parameters->root, rootName, keyPath);
    }
    if (opened != Err::Success) {
        return opened;
    }
    const Status existing =
        JournalValueContent(writer, rootName, key.get(), keyPath, parameters->valueName, parameters->spelling);
    if (existing != Err::FileNotFound) {
        return existing;
    }
    if (Status s = writer.BeginBlock(kTag)) {
        return s;
    }
    if (Status s = WriteWide(writer, rootName)) {
        return s;
    }
    if (Status s = WriteWide(writer, keyPath)) {
        return s;
    }
    if (Status s = WriteWide(writer, parameters->valueName)) {
        return s;
    }
    return writer.EndBlock(kTag);
}

uint32_t SetRegValue::Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle /*cancel*/)
{
    if (Status s = EnterOwnBlock(reader, kTag)) {
        return s;
    }
    std::wstring rootName;
    std::wstring keyPath;
    std::wstring valueName;
    if (Status s = ReadWide(reader, &rootName)) {
        return s;
    }
    if (Status s = ReadWide(reader, &keyPath)) {
        return s;
    }
    if (Status s = ReadWide(reader, &valueName)) {
        return s;
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    const Platform::KeyHandle root = RootFromJournal(rootName);
    if (!root || !IsKeyPath(keyPath)) {
        return Err::BadFormat;
    }
    Platform::UniqueKey key;
    if (Status s = Platform::Current().Registry().OpenKey(root, keyPath, Platform::KeyAccess::Change, key.put())) {
        // A key that is gone took the value with it; a key that could not be
        // opened may still hold it.
        return IsNotFound(s) ? Err::Success : s;
    }
    const Status s = Sys::DeleteValue(key.get(), valueName, tracer);
    return IsNotFound(s) ? Err::Success : s;
}

}  // namespace Remover
