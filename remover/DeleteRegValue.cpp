#include "remover/DeleteRegValue.h"

#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "remover/CommandSupport.h"

namespace Remover {

using Platform::Status;

uint32_t JournalValueContent(RTI::IWriter& writer, std::wstring_view rootName, Platform::KeyHandle key,
                             std::wstring_view keyPath, std::wstring_view valueName, NameSpelling spelling)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Status s = Platform::Current().Registry().QueryValue(key, valueName, &type, &data)) {
        return s;
    }
    if (data.size() > 0xFFFFFFFFu) {
        return Err::InvalidParameter;
    }
    // Looking the stored spelling up walks the key's values; a name that came
    // from that walk already has it, so a key's values are journalled in time
    // linear in their number.
    const std::wstring stored =
        spelling == NameSpelling::AsStored ? std::wstring(valueName) : StoredValueName(key, valueName);
    if (Status s = writer.BeginBlock(DeleteRegValue::kTag)) {
        return s;
    }
    if (Status s = WriteWide(writer, rootName)) {
        return s;
    }
    if (Status s = WriteWide(writer, keyPath)) {
        return s;
    }
    if (Status s = WriteWide(writer, stored)) {
        return s;
    }
    if (Status s = writer.WriteInt(type)) {
        return s;
    }
    if (Status s = writer.WriteDataRecord(data.data(), static_cast<uint32_t>(data.size()))) {
        return s;
    }
    return writer.EndBlock(DeleteRegValue::kTag);
}

uint32_t DeleteRegValue::Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer,
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
    if (opened != Err::Success) {
        return opened == Err::FileNotFound ? Err::Success : opened;  // nothing there to record
    }
    const Status s =
        JournalValueContent(writer, rootName, key.get(), keyPath, parameters->valueName, parameters->spelling);
    return s == Err::FileNotFound ? Err::Success : s;
}

uint32_t DeleteRegValue::Restore(RTI::IReader& reader, RTI::ITracer* /*tracer*/, Platform::EventHandle /*cancel*/)
{
    if (Status s = EnterOwnBlock(reader, kTag)) {
        return s;
    }
    std::wstring rootName;
    std::wstring keyPath;
    std::wstring valueName;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Status s = ReadWide(reader, &rootName)) {
        return s;
    }
    if (Status s = ReadWide(reader, &keyPath)) {
        return s;
    }
    if (Status s = ReadWide(reader, &valueName)) {
        return s;
    }
    if (Status s = reader.ReadInt(&type)) {
        return s;
    }
    if (Status s = ReadDataRecord(reader, &data)) {
        return s;
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    const Platform::KeyHandle root = RootFromJournal(rootName);
    if (!root || !IsKeyPath(keyPath)) {
        return Err::BadFormat;
    }
    auto& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (Status s = registry.CreateKey(root, keyPath, key.put(), &created)) {
        return s;
    }
    return registry.SetValue(key.get(), valueName, type, data.data(), data.size());
}

}  // namespace Remover
