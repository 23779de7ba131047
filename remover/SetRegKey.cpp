#include "remover/SetRegKey.h"

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/RegistryTree.h"
#include "remover/CommandSupport.h"
#include "remover/FileBytes.h"

namespace Remover {

using Platform::Status;

uint32_t JournalKeyCreation(RTI::IWriter& writer, Platform::KeyHandle root, std::wstring_view rootName,
                            std::wstring_view keyPath)
{
    auto& registry = Platform::Current().Registry();
    std::wstring level;
    for (std::wstring_view part : SplitKeyPath(keyPath)) {
        if (!level.empty()) {
            level.push_back(L'\\');
        }
        level += part;
        Platform::UniqueKey key;
        const Status s = registry.OpenKey(root, level, Platform::KeyAccess::Read, key.put());
        if (IsNotFound(s)) {
            if (Status w = writer.BeginBlock(SetRegKey::kTag)) {
                return w;
            }
            if (Status w = WriteWide(writer, rootName)) {
                return w;
            }
            if (Status w = WriteWide(writer, level)) {
                return w;
            }
            return writer.EndBlock(SetRegKey::kTag);
        }
        if (s != Err::Success) {
            return s;
        }
    }
    return Err::Success;  // every level exists
}

uint32_t SetRegKey::Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* /*tracer*/,
                            Platform::EventHandle /*cancel*/)
{
    const auto parameters = arguments.As<Parameters>();
    if (!parameters) {
        return Err::InvalidParameter;
    }
    std::wstring rootName;
    std::wstring keyPath;
    if (uint32_t s = ResolveKeyTarget(parameters->root, parameters->keyPath, &rootName, &keyPath)) {
        return s;
    }
    return JournalKeyCreation(writer, parameters->root, rootName, keyPath);
}

uint32_t SetRegKey::Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle /*cancel*/)
{
    if (Status s = EnterOwnBlock(reader, kTag)) {
        return s;
    }
    std::wstring rootName;
    std::wstring keyPath;
    if (Status s = ReadWide(reader, &rootName)) {
        return s;
    }
    if (Status s = ReadWide(reader, &keyPath)) {
        return s;
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    const Platform::KeyHandle root = RootFromJournal(rootName);
    if (!root || !IsKeyPath(keyPath)) {
        return Err::BadFormat;
    }
    const Status s = Sys::DeleteKeyTree(root, keyPath, tracer);
    return IsNotFound(s) ? Err::Success : s;
}

}  // namespace Remover
