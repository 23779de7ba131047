#include "remover/DeleteRegKey.h"

#include <memory>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/Options.h"
#include "remover/CommandSupport.h"
#include "remover/Format.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;

namespace {

Status WriteKeyTree(RTI::IWriter& writer, Platform::KeyHandle key, std::wstring_view name, uint32_t depth,
                    Platform::EventHandle cancel)
{
    if (Sys::IsCancelled(cancel)) {
        return Err::Cancelled;
    }
    if (depth > Format::kMaxKeyDepth) {
        return Err::BadFormat;
    }
    auto& registry = Platform::Current().Registry();
    if (Status s = writer.BeginBlock(Format::kKeyTag)) {
        return s;
    }
    if (Status s = WriteWide(writer, name)) {
        return s;
    }
    Platform::KeyInfo info;
    if (Status s = registry.QueryKeyInfo(key, &info)) {
        return s;
    }
    for (uint32_t i = info.subkeys; i-- > 0;) {
        std::wstring subName;
        if (Status s = registry.EnumKey(key, i, &subName)) {
            return s;
        }
        Platform::UniqueKey sub;
        if (Status s = registry.OpenKey(key, subName, Platform::KeyAccess::Read, sub.put())) {
            return s;
        }
        if (Status s = WriteKeyTree(writer, sub.get(), subName, depth + 1, cancel)) {
            return s;
        }
    }
    for (uint32_t i = info.values; i-- > 0;) {
        std::wstring valueName;
        uint32_t type = 0;
        if (Status s = registry.EnumValue(key, i, &valueName, &type)) {
            return s;
        }
        if (Sys::IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        std::vector<uint8_t> data;
        if (Status s = registry.QueryValue(key, valueName, &type, &data)) {
            return s;
        }
        if (data.size() > 0xFFFFFFFFu) {
            return Err::InvalidParameter;
        }
        if (Status s = writer.BeginBlock(Format::kValueTag)) {
            return s;
        }
        if (Status s = WriteWide(writer, valueName)) {
            return s;
        }
        if (Status s = writer.WriteInt(type)) {
            return s;
        }
        if (Status s = writer.WriteDataRecord(data.data(), static_cast<uint32_t>(data.size()))) {
            return s;
        }
        if (Status s = writer.EndBlock(Format::kValueTag)) {
            return s;
        }
    }
    return writer.EndBlock(Format::kKeyTag);
}

// A key tree as read back from the journal.
struct SavedValue {
    std::wstring name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};
struct SavedKey {
    std::wstring name;
    std::vector<std::unique_ptr<SavedKey>> subkeys;  // in journal order
    std::vector<SavedValue> values;                  // in journal order
};

Status ReadValueBlock(RTI::IReader& reader, SavedValue* value)
{
    if (Status s = reader.EnterBlock()) {
        return s;
    }
    if (Status s = ReadWide(reader, &value->name)) {
        return s;
    }
    if (Status s = reader.ReadInt(&value->type)) {
        return s;
    }
    if (Status s = ReadDataRecord(reader, &value->data)) {
        return s;
    }
    if (reader.GetType() != Format::Record::BlockEnd) {
        return Err::BadFormat;
    }
    return reader.LeaveBlock();
}

// Reads the key block at the reader: its name, then only key and value
// blocks up to its end. Anything else in it refuses the whole tree.
Status ReadKeyBlock(RTI::IReader& reader, uint32_t depth, SavedKey* key)
{
    if (depth > Format::kMaxKeyDepth) {
        return Err::BadFormat;
    }
    if (Status s = reader.EnterBlock()) {
        return s;
    }
    if (Status s = ReadWide(reader, &key->name)) {
        return s;
    }
    const bool outermost = depth == 1;
    if (outermost ? !IsKeyPath(key->name) : !IsSubkeyName(key->name)) {
        return Err::BadFormat;
    }
    while (reader.GetType() == Format::Record::BlockStart) {
        if (reader.GetBlockTag() == Format::kKeyTag) {
            auto sub = std::make_unique<SavedKey>();
            if (Status s = ReadKeyBlock(reader, depth + 1, sub.get())) {
                return s;
            }
            key->subkeys.push_back(std::move(sub));
        } else if (reader.GetBlockTag() == Format::kValueTag) {
            key->values.emplace_back();
            if (Status s = ReadValueBlock(reader, &key->values.back())) {
                return s;
            }
        } else {
            return Err::BadFormat;
        }
    }
    if (reader.GetType() != Format::Record::BlockEnd) {
        return Err::BadFormat;
    }
    return reader.LeaveBlock();
}

Status CreateTree(Platform::KeyHandle parent, const SavedKey& saved)
{
    auto& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (Status s = registry.CreateKey(parent, saved.name, key.put(), &created)) {
        return s;
    }
    // The journal lists subkeys and values from the highest index down; they
    // are put back from index 0 up, so values enumerate in their old order.
    for (auto it = saved.subkeys.rbegin(); it != saved.subkeys.rend(); ++it) {
        if (Status s = CreateTree(key.get(), **it)) {
            return s;
        }
    }
    for (auto it = saved.values.rbegin(); it != saved.values.rend(); ++it) {
        if (Status s = registry.SetValue(key.get(), it->name, it->type, it->data.data(), it->data.size())) {
            return s;
        }
    }
    return Err::Success;
}

}  // namespace

uint32_t DeleteRegKey::Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer,
                               RTI::ITracer* /*tracer*/, Platform::EventHandle cancel)
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
    if (Status s = writer.BeginBlock(kTag)) {
        return s;
    }
    if (Status s = WriteWide(writer, rootName)) {
        return s;
    }
    if (Status s = WriteKeyTree(writer, key.get(), StoredKeyPath(parameters->root, keyPath), 1, cancel)) {
        return s;
    }
    return writer.EndBlock(kTag);
}

uint32_t DeleteRegKey::Restore(RTI::IReader& reader, RTI::ITracer* /*tracer*/, Platform::EventHandle /*cancel*/)
{
    if (Status s = EnterOwnBlock(reader, kTag)) {
        return s;
    }
    std::wstring rootName;
    if (Status s = ReadWide(reader, &rootName)) {
        return s;
    }
    std::vector<SavedKey> trees;
    while (reader.GetType() == Format::Record::BlockStart) {
        if (reader.GetBlockTag() != Format::kKeyTag) {
            return Err::BadFormat;
        }
        trees.emplace_back();
        if (Status s = ReadKeyBlock(reader, 1, &trees.back())) {
            return s;
        }
    }
    if (Status s = reader.LeaveBlock()) {
        return s;
    }
    const Platform::KeyHandle root = RootFromJournal(rootName);
    if (!root) {
        return Err::BadFormat;
    }
    for (const SavedKey& tree : trees) {
        if (Status s = CreateTree(root, tree)) {
            return s;
        }
    }
    return Err::Success;
}

}  // namespace Remover
