#include "remover/PointChanges.h"

#include <cstdio>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/ValueText.h"
#include "remover/CommandSupport.h"
#include "remover/DeleteFileW.h"
#include "remover/DeleteRegKey.h"
#include "remover/DeleteRegValue.h"
#include "remover/FinalParent.h"
#include "remover/Format.h"
#include "remover/RCreateFile.h"
#include "remover/SetRegKey.h"
#include "remover/SetRegValue.h"

namespace Remover {
namespace {

using Platform::Status;

constexpr uint32_t kRegSz = Platform::RegType::Sz;
constexpr uint32_t kRegExpandSz = Platform::RegType::ExpandSz;
constexpr uint32_t kRegBinary = Platform::RegType::Binary;
constexpr uint32_t kRegDword = Platform::RegType::Dword;
constexpr uint32_t kRegDwordBigEndian = Platform::RegType::DwordBigEndian;
constexpr uint32_t kRegMultiSz = Platform::RegType::MultiSz;
constexpr uint32_t kRegQword = Platform::RegType::Qword;
constexpr size_t kBytesShown = 32;

// Counts the keys and values of a saved key tree; the reader stands on the
// key block's start and is left after its end.
Status CountKeyBlock(RTI::IReader& reader, uint32_t depth, uint32_t* subkeys, uint32_t* values, std::wstring* name)
{
    if (depth > Format::kMaxKeyDepth) {
        return Err::BadFormat;
    }
    if (Status s = reader.EnterBlock()) {
        return s;
    }
    std::wstring own;
    if (Status s = ReadWide(reader, &own)) {
        return s;
    }
    if (name) {
        *name = own;
    }
    while (reader.GetType() == Format::Record::BlockStart) {
        if (reader.GetBlockTag() == Format::kKeyTag) {
            ++*subkeys;
            if (Status s = CountKeyBlock(reader, depth + 1, subkeys, values, nullptr)) {
                return s;
            }
        } else if (reader.GetBlockTag() == Format::kValueTag) {
            ++*values;
            if (Status s = reader.EnterBlock()) {
                return s;
            }
            if (Status s = reader.LeaveBlock()) {
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

// Reads one block as its command's Restore would, and records it instead of
// acting on it.
class Describer final : public ICommand {
public:
    uint32_t Journal(const RTI::Reference<IArguments>&, RTI::IWriter&, RTI::ITracer*, Platform::EventHandle) override
    {
        return Err::InvalidFunction;
    }

    uint32_t Restore(RTI::IReader& reader, RTI::ITracer*, Platform::EventHandle) override
    {
        PointChange change;
        change.index = calls++;
        const uint8_t tag = reader.GetBlockTag();
        const Status s = Read(reader, tag, &change);
        if (s == Err::Success) {
            changes.push_back(std::move(change));
        }
        return s;
    }

    std::vector<PointChange> changes;
    uint32_t calls = 0;

private:
    static Status Read(RTI::IReader& reader, uint8_t tag, PointChange* change)
    {
        if (Status s = EnterOwnBlock(reader, tag)) {
            return s;
        }
        switch (tag) {
            case DeleteFileW::kTag: {
                change->kind = PointChange::Kind::FileBack;
                std::wstring copyName;
                std::wstring finalParent;
                if (reader.GetType() != Format::Record::SavedFile) {
                    return Err::BadFormat;
                }
                if (Status s = reader.ReadSavedFile(&change->filePath, &copyName)) {
                    return s;
                }
                if (Status s = ReadFinalParent(reader, &finalParent)) {
                    return s;
                }
                break;
            }
            case RCreateFile::kTag: {
                change->kind = PointChange::Kind::FileRemoved;
                std::wstring finalParent;
                if (Status s = ReadWide(reader, &change->filePath)) {
                    return s;
                }
                if (Status s = ReadFinalParent(reader, &finalParent)) {
                    return s;
                }
                break;
            }
            case DeleteRegKey::kTag: {
                change->kind = PointChange::Kind::KeyBack;
                if (Status s = ReadWide(reader, &change->rootName)) {
                    return s;
                }
                bool first = true;
                while (reader.GetType() == Format::Record::BlockStart) {
                    if (reader.GetBlockTag() != Format::kKeyTag) {
                        return Err::BadFormat;
                    }
                    std::wstring name;
                    if (Status s = CountKeyBlock(reader, 1, &change->subkeys, &change->values, &name)) {
                        return s;
                    }
                    if (first) {
                        change->keyPath = name;
                        first = false;
                    } else {
                        ++change->subkeys;  // a second tree: counted among the keys
                    }
                }
                break;
            }
            case DeleteRegValue::kTag:
                change->kind = PointChange::Kind::ValueBack;
                if (Status s = ReadWide(reader, &change->rootName)) {
                    return s;
                }
                if (Status s = ReadWide(reader, &change->keyPath)) {
                    return s;
                }
                if (Status s = ReadWide(reader, &change->valueName)) {
                    return s;
                }
                if (Status s = reader.ReadInt(&change->valueType)) {
                    return s;
                }
                if (Status s = ReadDataRecord(reader, &change->data)) {
                    return s;
                }
                break;
            case SetRegKey::kTag:
            case SetRegValue::kTag:
                change->kind = tag == SetRegKey::kTag ? PointChange::Kind::KeyRemoved : PointChange::Kind::ValueRemoved;
                if (Status s = ReadWide(reader, &change->rootName)) {
                    return s;
                }
                if (Status s = ReadWide(reader, &change->keyPath)) {
                    return s;
                }
                if (tag == SetRegValue::kTag) {
                    if (Status s = ReadWide(reader, &change->valueName)) {
                        return s;
                    }
                }
                break;
            default:
                return Format::kReplayIncomplete;
        }
        return reader.LeaveBlock();
    }
};

// Every tag goes to the describer, so that it is called once per block.
class DescribingSource final : public ICommandSource {
public:
    RTI::Reference<ICommand> GetCommand(uint8_t) override { return describer; }
    RTI::Reference<Describer> describer{new Describer()};
};

std::wstring Hex(uint64_t value, int digits)
{
    wchar_t text[24];
    std::swprintf(text, std::size(text), L"0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

std::wstring Quote(std::wstring_view text)
{
    return L"\"" + std::wstring(text) + L"\"";
}

std::wstring BytesText(const std::vector<uint8_t>& data)
{
    std::wstring text;
    wchar_t byte[4];
    for (size_t i = 0; i < data.size() && i < kBytesShown; ++i) {
        std::swprintf(byte, std::size(byte), L"%02X", data[i]);
        text += (i ? L" " : L"");
        text += byte;
    }
    if (data.size() > kBytesShown) {
        text += L" \u2026 (" + std::to_wstring(data.size()) + L" bytes)";
    }
    return text.empty() ? L"(no data)" : text;
}

std::wstring MultiText(const std::vector<uint8_t>& data)
{
    std::wstring text;
    std::wstring current;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c != 0) {
            current.push_back(c);
            continue;
        }
        if (current.empty()) {
            break;  // the empty string that ends the list
        }
        text += (text.empty() ? L"" : L", ") + Quote(current);
        current.clear();
    }
    if (!current.empty()) {
        text += (text.empty() ? L"" : L", ") + Quote(current);
    }
    return text.empty() ? L"(no strings)" : text;
}

}  // namespace

std::wstring RegistryTypeName(uint32_t type)
{
    switch (type) {
        case 0:
            return L"REG_NONE";
        case kRegSz:
            return L"REG_SZ";
        case kRegExpandSz:
            return L"REG_EXPAND_SZ";
        case kRegBinary:
            return L"REG_BINARY";
        case kRegDword:
            return L"REG_DWORD";
        case kRegDwordBigEndian:
            return L"REG_DWORD_BIG_ENDIAN";
        case kRegMultiSz:
            return L"REG_MULTI_SZ";
        case kRegQword:
            return L"REG_QWORD";
        default:
            return L"type " + std::to_wstring(type);
    }
}

std::wstring DataText(uint32_t type, const std::vector<uint8_t>& data)
{
    switch (type) {
        case kRegSz:
        case kRegExpandSz:
            return Quote(Sys::StringFromRegistryData(data));
        case kRegMultiSz:
            return MultiText(data);
        case kRegDword:
        case kRegDwordBigEndian:
            if (data.size() == 4) {
                const uint32_t v = type == kRegDword ? Format::GetUint32(data.data())
                                                     : (uint32_t(data[0]) << 24) | (uint32_t(data[1]) << 16) |
                                                           (uint32_t(data[2]) << 8) | uint32_t(data[3]);
                return std::to_wstring(v) + L" (" + Hex(v, 8) + L")";
            }
            break;
        case kRegQword:
            if (data.size() == 8) {
                const uint64_t v =
                    uint64_t(Format::GetUint32(data.data())) | (uint64_t(Format::GetUint32(data.data() + 4)) << 32);
                return std::to_wstring(v) + L" (" + Hex(v, 16) + L")";
            }
            break;
        default:
            break;
    }
    return BytesText(data);
}

std::wstring PointChange::Location() const
{
    switch (kind) {
        case Kind::FileBack:
        case Kind::FileRemoved:
            return filePath;
        case Kind::ValueBack:
        case Kind::ValueRemoved:
            return rootName + L"\\" + keyPath + L", value " +
                   (valueName.empty() ? std::wstring(L"(default)") : Quote(valueName));
        case Kind::KeyBack:
        case Kind::KeyRemoved:
            break;
    }
    return rootName + L"\\" + keyPath;
}

std::wstring PointChange::Undo() const
{
    switch (kind) {
        case Kind::ValueBack:
            return L"comes back: " + RegistryTypeName(valueType) + L" " + DataText(valueType, data);
        case Kind::ValueRemoved:
            return L"is deleted (the tune-up created it)";
        case Kind::KeyBack:
            return L"comes back with " + std::to_wstring(subkeys) + (subkeys == 1 ? L" key" : L" keys") + L" and " +
                   std::to_wstring(values) + (values == 1 ? L" value" : L" values") + L" below it";
        case Kind::KeyRemoved:
            return L"is deleted with everything below it (the tune-up created it)";
        case Kind::FileBack:
            return L"comes back from its saved copy";
        case Kind::FileRemoved:
            return L"is deleted (the tune-up created it)";
    }
    return {};
}

bool ContainsIgnoreCase(std::wstring_view text, std::wstring_view part)
{
    if (part.size() > text.size()) {
        return false;
    }
    for (size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (RTI::EqualsIgnoreCase(text.substr(at, part.size()), part)) {
            return true;
        }
    }
    return false;
}

bool PointChange::Mentions(std::wstring_view text) const
{
    return ContainsIgnoreCase(keyPath, text) || ContainsIgnoreCase(valueName, text) ||
           ContainsIgnoreCase(filePath, text);
}

PointContents ReadPointChanges(std::wstring_view path)
{
    PointContents contents;
    DescribingSource source;
    Reader reader;
    contents.status = reader.Replay(path, Format::kProductHeader, Format::kProductHeaderLength, source, nullptr,
                                    nullptr, &contents.report);
    // The replay walks the blocks from the last to the first, one call each.
    contents.changes = std::move(source.describer->changes);
    const uint32_t blocks = contents.report.blocks;
    for (PointChange& change : contents.changes) {
        change.index = change.index < blocks ? blocks - 1 - change.index : 0;
    }
    return contents;
}

std::vector<PointMatch> FindInPoints(const std::vector<BackupPoint>& points, std::wstring_view text)
{
    std::vector<PointMatch> matches;
    for (const BackupPoint& point : NewestFirst(points)) {
        PointMatch match;
        for (PointChange& change : ReadPointChanges(point.path).changes) {
            if (change.Mentions(text)) {
                match.changes.push_back(std::move(change));
            }
        }
        if (!match.changes.empty()) {
            match.point = point;
            matches.push_back(std::move(match));
        }
    }
    return matches;
}

}  // namespace Remover
