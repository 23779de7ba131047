#include "remover/Reader.h"

#include <algorithm>
#include <limits>

#include "core/platform/Errors.h"
#include "core/system/Options.h"
#include "core/text/Utf.h"
#include "remover/Crc32.h"
#include "remover/FileBytes.h"
#include "remover/Format.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;
namespace Record = Format::Record;

namespace {

constexpr size_t kBufferSize = 64 * 1024;

std::wstring_view TrimSpace(std::wstring_view text)
{
    constexpr std::wstring_view kSpace = L" \t\r\n";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

int32_t Clamp32(uint64_t v)
{
    return static_cast<int32_t>(std::min<uint64_t>(v, std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ------------------------------------------------------------ byte source

void Reader::MoveTo(uint64_t offset, uint64_t limit, bool bounded)
{
    if (offset >= bufferOffset_ && offset <= bufferOffset_ + bufferLength_) {
        bufferPos_ = static_cast<size_t>(offset - bufferOffset_);
    } else {
        bufferOffset_ = offset;
        bufferPos_ = 0;
        bufferLength_ = 0;
    }
    limit_ = limit;
    bounded_ = bounded;
}

uint32_t Reader::Fill()
{
    auto& files = Platform::Current().Files();
    const uint64_t at = Position();
    bufferOffset_ = at;
    bufferPos_ = 0;
    bufferLength_ = 0;
    if (filePointer_ != at) {
        uint64_t landed = 0;
        if (Status s = files.Seek(file_.get(), static_cast<int64_t>(at), Platform::SeekOrigin::Begin, &landed)) {
            return s;
        }
        filePointer_ = landed;
    }
    buffer_.resize(kBufferSize);
    uint32_t got = 0;
    if (Status s = files.ReadFile(file_.get(), buffer_.data(), static_cast<uint32_t>(buffer_.size()), &got)) {
        return s;
    }
    filePointer_ += got;
    bufferLength_ = got;
    return got == 0 ? Err::BadFormat : Err::Success;
}

uint32_t Reader::ReadBytes(void* out, uint64_t size)
{
    if (!file_ || size > Remaining()) {
        return Err::BadFormat;
    }
    auto* p = static_cast<uint8_t*>(out);
    while (size > 0) {
        if (bufferPos_ == bufferLength_) {
            if (Status s = Fill()) {
                return s;
            }
        }
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size, bufferLength_ - bufferPos_));
        std::copy_n(buffer_.data() + bufferPos_, n, p);
        bufferPos_ += n;
        p += n;
        size -= n;
    }
    return Err::Success;
}

uint32_t Reader::SkipBytes(uint64_t size)
{
    if (!file_ || size > Remaining()) {
        return Err::BadFormat;
    }
    MoveTo(Position() + size, limit_, bounded_);
    return Err::Success;
}

uint32_t Reader::ReadCount(uint32_t* count)
{
    uint8_t bytes[4];
    if (Status s = ReadBytes(bytes, sizeof bytes)) {
        return s;
    }
    const uint32_t n = Format::GetUint32(bytes);
    // Never more than what is left to read: a hostile count allocates nothing.
    if (n > Remaining()) {
        return Err::BadFormat;
    }
    *count = n;
    return Err::Success;
}

uint32_t Reader::ReadUtf16(std::wstring* text)
{
    uint32_t count = 0;
    if (Status s = ReadCount(&count)) {
        return s;
    }
    if (count % 2 != 0) {
        return Err::BadFormat;
    }
    std::vector<uint8_t> bytes(count);
    if (Status s = ReadBytes(bytes.data(), count)) {
        return s;
    }
    *text = Text::Utf16LeToWide(bytes);
    return Err::Success;
}

// ---------------------------------------------------------------- records

uint32_t Reader::Next()
{
    dataSizeRead_ = false;
    dataRemaining_ = 0;
    if (!file_) {
        type_ = Record::None;
        return Err::BadFormat;
    }
    if (Remaining() == 0) {
        type_ = Record::None;
        return bounded_ ? Err::Success : Err::BadFormat;
    }
    uint8_t type = 0;
    if (Status s = ReadBytes(&type, 1)) {
        type_ = Record::None;
        return s;
    }
    type_ = type;
    if (type == Record::BlockStart) {
        uint8_t tag = 0;
        if (Status s = ReadBytes(&tag, 1)) {
            type_ = Record::None;
            return s;
        }
        tag_ = tag;
        sawBlock_ = true;
    }
    return Err::Success;
}

uint32_t Reader::ReadInt(uint32_t* value)
{
    if (type_ != Record::Integer) {
        return Err::BadFormat;
    }
    uint8_t bytes[4];
    if (Status s = ReadBytes(bytes, sizeof bytes)) {
        return s;
    }
    *value = Format::GetUint32(bytes);
    return Next();
}

uint32_t Reader::ReadString(std::wstring* text)
{
    if (type_ == Record::StringW) {
        if (Status s = ReadUtf16(text)) {
            return s;
        }
        return Next();
    }
    if (type_ == Record::StringA) {
        std::string bytes;
        if (Status s = ReadStringA(&bytes)) {
            return s;
        }
        return Text::Utf8ToWide(bytes, text) == 0 ? Err::Success : Err::BadFormat;
    }
    return Err::BadFormat;
}

uint32_t Reader::ReadStringA(std::string* text)
{
    if (type_ == Record::StringA) {
        uint32_t count = 0;
        if (Status s = ReadCount(&count)) {
            return s;
        }
        std::string bytes(count, '\0');
        if (Status s = ReadBytes(bytes.data(), count)) {
            return s;
        }
        *text = std::move(bytes);
        return Next();
    }
    if (type_ == Record::StringW) {
        std::wstring wide;
        if (Status s = ReadUtf16(&wide)) {
            return s;
        }
        const Status next = Next();
        if (Text::WideToUtf8(wide, text) != 0) {
            return Err::BadFormat;
        }
        return next;
    }
    return Err::BadFormat;
}

uint32_t Reader::BeginData(uint32_t* size)
{
    if (type_ != Record::Data) {
        return Err::BadFormat;
    }
    if (!dataSizeRead_) {
        uint32_t count = 0;
        if (Status s = ReadCount(&count)) {
            return s;
        }
        dataRemaining_ = count;
        dataSizeRead_ = true;
    }
    *size = dataRemaining_;
    return Err::Success;
}

uint32_t Reader::ReadData(void* buffer, uint32_t capacity, uint32_t* read)
{
    if (type_ != Record::Data || !dataSizeRead_ || (buffer == nullptr && capacity != 0)) {
        return Err::BadFormat;
    }
    const uint32_t n = std::min(capacity, dataRemaining_);
    if (Status s = ReadBytes(buffer, n)) {
        return s;
    }
    dataRemaining_ -= n;
    *read = n;
    return Err::Success;
}

uint32_t Reader::EndData()
{
    uint32_t size = 0;
    if (Status s = BeginData(&size)) {
        return s;
    }
    if (Status s = SkipBytes(dataRemaining_)) {
        return s;
    }
    return Next();
}

uint32_t Reader::EnterBlock()
{
    if (type_ != Record::BlockStart) {
        return Err::BadFormat;
    }
    ++depth_;
    return Next();
}

uint32_t Reader::LeaveBlock()
{
    if (!sawBlock_) {
        return Err::Success;
    }
    uint32_t nested = 0;
    for (;;) {
        if (type_ == Record::BlockEnd) {
            if (nested == 0) {
                break;
            }
            --nested;
            if (Status s = Next()) {
                return s;
            }
        } else if (type_ == Record::BlockStart) {
            ++nested;
            if (Status s = Next()) {
                return s;
            }
        } else if (Status s = Skip()) {
            return s;  // the journal's start or end inside a block, or its end
        }
    }
    if (depth_ > 0) {
        --depth_;
    }
    return Next();
}

uint32_t Reader::Skip()
{
    switch (type_) {
        case Record::Integer:
            if (Status s = SkipBytes(4)) {
                return s;
            }
            break;
        case Record::StringA:
        case Record::StringW: {
            uint32_t count = 0;
            if (Status s = ReadCount(&count)) {
                return s;
            }
            if (Status s = SkipBytes(count)) {
                return s;
            }
            break;
        }
        case Record::Data:
            return EndData();
        case Record::SavedFile:
            for (int i = 0; i < 2; ++i) {
                uint32_t count = 0;
                if (Status s = ReadCount(&count)) {
                    return s;
                }
                if (Status s = SkipBytes(count)) {
                    return s;
                }
            }
            break;
        default:
            return Err::BadFormat;
    }
    return Next();
}

uint32_t Reader::RestoreFile(std::wstring* path, Platform::EventHandle cancel, std::wstring* copyName)
{
    if (type_ != Record::SavedFile || !copies_) {
        return Err::BadFormat;
    }
    std::wstring p;
    std::wstring n;
    if (Status s = ReadUtf16(&p)) {
        return s;
    }
    if (Status s = ReadUtf16(&n)) {
        return s;
    }
    if (path) {
        *path = p;
    }
    if (copyName) {
        *copyName = n;
    }
    if (!IsAllowedFilePath(p) || !IsCopyName(n)) {
        return Err::BadFormat;
    }
    if (Status s = copies_->RestoreTo(n, p, cancel)) {
        return s;
    }
    return Next();
}

uint32_t Reader::ReadSavedFile(std::wstring* path, std::wstring* copyName)
{
    if (type_ != Record::SavedFile) {
        return Err::BadFormat;
    }
    std::wstring p;
    std::wstring n;
    if (Status s = ReadUtf16(&p)) {
        return s;
    }
    if (Status s = ReadUtf16(&n)) {
        return s;
    }
    *path = std::move(p);
    *copyName = std::move(n);
    return Next();
}

uint32_t Reader::RestoreSavedCopy(std::wstring_view path, std::wstring_view copyName, Platform::EventHandle cancel)
{
    if (!copies_ || !IsAllowedFilePath(path) || !IsCopyName(copyName)) {
        return Err::BadFormat;
    }
    return copies_->RestoreTo(copyName, path, cancel);
}

// ------------------------------------------------------------ open, close

uint32_t Reader::OpenFile(std::wstring_view journalPath, const uint8_t* header, size_t headerLength)
{
    (void)Close();
    if (header == nullptr && headerLength != 0) {
        return Err::InvalidParameter;
    }
    const size_t slash = journalPath.rfind(L'\\');
    if (slash == std::wstring_view::npos) {
        return Err::BadFormat;
    }
    const std::wstring folder(TrimSpace(journalPath.substr(0, slash + 1)));
    const uint32_t attributes = AttributesOf(folder);
    if (attributes == Platform::FileAttr::Invalid || !(attributes & Platform::FileAttr::Directory)) {
        return Err::FileNotFound;
    }
    auto& files = Platform::Current().Files();
    Platform::UniqueFile file;
    if (files.CreateFile(journalPath, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, file.put()) !=
        0) {
        return Err::FileNotFound;
    }
    uint64_t size = 0;
    if (Status s = files.GetFileSize(file.get(), &size)) {
        return s;
    }
    file_ = std::move(file);
    fileSize_ = size;
    filePointer_ = 0;
    bufferOffset_ = 0;
    bufferPos_ = 0;
    bufferLength_ = 0;
    MoveTo(0, size, false);
    copies_ = std::make_unique<CopyStore>(folder + L"Files\\", std::span<const uint8_t>(header, headerLength));

    std::vector<uint8_t> seen(headerLength);
    uint8_t start = 0;
    if (ReadBytes(seen.data(), seen.size()) != 0 || !std::equal(seen.begin(), seen.end(), header) ||
        ReadBytes(&start, 1) != 0 || start != Record::JournalStart) {
        (void)Close();
        return Err::BadFormat;
    }
    return Err::Success;
}

uint32_t Reader::Open(std::wstring_view journalPath, const uint8_t* header, size_t headerLength)
{
    if (Status s = OpenFile(journalPath, header, headerLength)) {
        return s;
    }
    return Next();
}

uint32_t Reader::Close()
{
    file_.reset();
    copies_.reset();
    fileSize_ = 0;
    limit_ = 0;
    bounded_ = false;
    bufferOffset_ = 0;
    bufferPos_ = 0;
    bufferLength_ = 0;
    filePointer_ = 0;
    type_ = Record::None;
    tag_ = 0;
    sawBlock_ = false;
    depth_ = 0;
    dataSizeRead_ = false;
    dataRemaining_ = 0;
    return Err::Success;
}

// ----------------------------------------------------------------- replay

struct Reader::BlockEntry {
    uint64_t start = 0;  // offset of the block start record
    uint64_t end = 0;    // offset after the block end record
    uint8_t tag = 0;
};

enum class Reader::Tail {
    EndRecord,   // the journal end record
    EndOfFile,   // the file ends after a complete block
    Unreadable,  // a torn block, or bytes that are no record
};

enum class Reader::Scan {
    Sound,      // complete, its checksum matches, it nests within the limit
    Unsound,    // complete, but its checksum or nesting is wrong
    Truncated,  // the file (or a length in it) ends before the block does
    Malformed,  // something that is no record, or no block start at all
};

// Walks one top-level block's records from its block start without
// interpreting them.
Reader::Scan Reader::ScanBlockAt(uint64_t start, BlockEntry* entry)
{
    MoveTo(start, fileSize_, false);
    uint8_t head[2] = {};
    if (ReadBytes(head, 1) != 0) {
        return Scan::Truncated;
    }
    if (head[0] != Record::BlockStart) {
        return Scan::Malformed;
    }
    if (ReadBytes(head + 1, 1) != 0) {
        return Scan::Truncated;
    }
    Crc32 crc;
    crc.Update(head, sizeof head);
    uint64_t depth = 1;
    uint64_t deepest = 1;
    bool lastWasChecksum = false;  // the record before this one was an integer at depth 1 ...
    bool checksumMatches = false;  // ... whose value is the checksum of what came before it
    std::vector<uint8_t> chunk;
    for (;;) {
        uint8_t type = 0;
        if (ReadBytes(&type, 1) != 0) {
            return Scan::Truncated;
        }
        switch (type) {
            case Record::BlockStart: {
                uint8_t nestedTag = 0;
                if (ReadBytes(&nestedTag, 1) != 0) {
                    return Scan::Truncated;
                }
                const uint8_t bytes[2] = {type, nestedTag};
                crc.Update(bytes, sizeof bytes);
                deepest = std::max(deepest, ++depth);
                lastWasChecksum = false;
                break;
            }
            case Record::BlockEnd:
                if (--depth == 0) {
                    entry->start = start;
                    entry->end = Position();
                    entry->tag = head[1];
                    const bool sound = lastWasChecksum && checksumMatches && deepest <= 1 + Format::kMaxKeyDepth;
                    return sound ? Scan::Sound : Scan::Unsound;
                }
                crc.Update(&type, 1);
                lastWasChecksum = false;
                break;
            case Record::Integer: {
                uint8_t bytes[5] = {type};
                if (ReadBytes(bytes + 1, 4) != 0) {
                    return Scan::Truncated;
                }
                lastWasChecksum = depth == 1;
                checksumMatches = Format::GetUint32(bytes + 1) == crc.Value();
                crc.Update(bytes, sizeof bytes);
                break;
            }
            case Record::StringA:
            case Record::StringW:
            case Record::Data:
            case Record::SavedFile: {
                crc.Update(&type, 1);
                for (int part = 0; part < (type == Record::SavedFile ? 2 : 1); ++part) {
                    uint8_t countBytes[4];
                    if (ReadBytes(countBytes, sizeof countBytes) != 0) {
                        return Scan::Truncated;
                    }
                    uint64_t count = Format::GetUint32(countBytes);
                    if (count > Remaining()) {
                        return Scan::Truncated;
                    }
                    crc.Update(countBytes, sizeof countBytes);
                    chunk.resize(kBufferSize);
                    while (count > 0) {
                        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, chunk.size()));
                        if (ReadBytes(chunk.data(), n) != 0) {
                            return Scan::Truncated;
                        }
                        crc.Update(chunk.data(), n);
                        count -= n;
                    }
                }
                lastWasChecksum = false;
                break;
            }
            default:
                return Scan::Malformed;
        }
    }
}

// True when, from `from` on, the journal is sound blocks up to an end record
// that is its last byte, or up to the end of the file, a torn last block
// allowed. At least one sound block must be there: a lone end record byte
// proves nothing, and every block after the first must match too, since a
// single matching checksum proves little (saved data can hold any bytes).
// The blocks found are appended.
bool Reader::SoundToTheEnd(uint64_t from, std::vector<BlockEntry>* blocks, Tail* tail, uint64_t* tornOffset)
{
    std::vector<BlockEntry> found;
    uint64_t at = from;
    for (;;) {
        if (at >= fileSize_) {
            if (found.empty()) {
                return false;
            }
            *tail = Tail::EndOfFile;
            break;
        }
        MoveTo(at, fileSize_, false);
        uint8_t type = 0;
        if (ReadBytes(&type, 1) != 0) {
            return false;
        }
        if (type == Record::JournalEnd) {
            if (at + 1 != fileSize_ || found.empty()) {
                return false;
            }
            *tail = Tail::EndRecord;
            break;
        }
        BlockEntry entry;
        const Scan scan = ScanBlockAt(at, &entry);
        if (scan == Scan::Sound) {
            found.push_back(entry);
            at = entry.end;
            continue;
        }
        const bool tornLast = scan == Scan::Truncated || (scan == Scan::Unsound && entry.end == fileSize_);
        if (!tornLast || found.empty()) {
            return false;
        }
        *tail = Tail::Unreadable;
        *tornOffset = at;
        break;
    }
    blocks->insert(blocks->end(), found.begin(), found.end());
    return true;
}

Reader::Tail Reader::Index(std::vector<BlockEntry>* blocks, ReplayReport* report)
{
    uint64_t at = Position();
    for (;;) {
        if (at >= fileSize_) {
            return Tail::EndOfFile;
        }
        MoveTo(at, fileSize_, false);
        uint8_t type = 0;
        if (ReadBytes(&type, 1) != 0) {
            break;
        }
        if (type == Record::JournalEnd) {
            return Tail::EndRecord;
        }
        BlockEntry entry;
        const Scan scan = ScanBlockAt(at, &entry);
        if (scan == Scan::Sound) {
            blocks->push_back(entry);
            at = entry.end;
            continue;
        }
        // A complete block with a wrong checksum followed by the end record
        // was damaged after the run closed its journal, not torn by a crash.
        if (scan == Scan::Unsound && entry.end + 1 == fileSize_) {
            MoveTo(entry.end, fileSize_, false);
            if (ReadBytes(&type, 1) == 0 && type == Record::JournalEnd) {
                report->damaged.push_back({at, entry.end});
                return Tail::EndRecord;
            }
        }
        break;
    }
    // Something at `at` is no sound block. It is a torn tail only when nothing
    // sound follows it; otherwise the bytes up to what is sound are damaged.
    for (uint64_t from = at + 1; from < fileSize_; ++from) {
        Tail tail = Tail::EndOfFile;
        uint64_t tornOffset = 0;
        if (SoundToTheEnd(from, blocks, &tail, &tornOffset)) {
            report->damaged.push_back({at, from});
            if (tail == Tail::Unreadable) {
                report->tornTail = true;
                report->tornOffset = tornOffset;
            }
            return tail;
        }
    }
    report->tornTail = true;
    report->tornOffset = at;
    return Tail::Unreadable;
}

uint32_t Reader::Replay(std::wstring_view journalPath, const uint8_t* header, size_t headerLength,
                        ICommandSource& source, RTI::ITracer* tracer, Platform::EventHandle cancel,
                        ReplayReport* report)
{
    ReplayReport local;
    ReplayReport& out = report ? *report : local;
    out = ReplayReport{};
    if (Status s = OpenFile(journalPath, header, headerLength)) {
        return s;
    }
    RTI::TraceTo(tracer, RTI::TraceCode::Max, Clamp32(fileSize_), 0);

    std::vector<BlockEntry> blocks;
    const Tail tail = Index(&blocks, &out);
    out.blocks = static_cast<uint32_t>(blocks.size());
    out.endRecord = tail == Tail::EndRecord;

    // Undo runs backwards: the last change is undone first, so overlapping
    // changes come back to the state before the first of them.
    for (size_t i = blocks.size(); i-- > 0;) {
        if (Sys::IsCancelled(cancel)) {
            (void)Close();
            return Err::Cancelled;
        }
        const BlockEntry& block = blocks[i];
        ReplayReport::Failure failure{static_cast<uint32_t>(i), block.start, block.tag, 0};
        if (RTI::Reference<ICommand> command = source.GetCommand(block.tag)) {
            MoveTo(block.start, block.end, true);
            type_ = Record::None;
            tag_ = 0;
            sawBlock_ = false;
            depth_ = 0;
            Status s = Next();
            if (s == Err::Success) {
                s = command->Restore(*this, tracer, cancel);
            }
            if (s == Err::Cancelled) {
                (void)Close();
                return s;
            }
            failure.error = s;
        } else {
            failure.error = Format::kReplayIncomplete;
        }
        if (failure.error == Err::Success) {
            ++out.restored;
        } else {
            out.failed.push_back(failure);
        }
        RTI::TraceTo(tracer, RTI::TraceCode::Current, Clamp32(fileSize_ - block.start), 0);
    }
    RTI::TraceTo(tracer, RTI::TraceCode::Current, Clamp32(fileSize_), 0);
    (void)Close();
    return out.Complete() ? Err::Success : Format::kReplayIncomplete;
}

}  // namespace Remover
