#include "remover/Writer.h"

#include <cstring>
#include <cwchar>
#include <limits>

#include "core/platform/Errors.h"
#include "core/system/Folders.h"
#include "core/text/Utf.h"
#include "remover/FileBytes.h"
#include "remover/Format.h"
#include "remover/JournalNames.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;

namespace {

// Pending bytes are handed to the file once they pass this size, and data
// records larger than it go to the file directly.
constexpr size_t kPendingLimit = 64 * 1024;

std::wstring_view TrimSpace(std::wstring_view text)
{
    constexpr std::wstring_view kSpace = L" \t\r\n";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

Writer::~Writer()
{
    (void)Close();
}

void Writer::Reset()
{
    file_.reset();
    copies_.reset();
    pending_.clear();
    fileSize_ = 0;
    tags_.clear();
    crc_.Reset();
    dataOpen_ = false;
    data_.clear();
    empty_ = true;
    refusal_ = 0;
}

Status Writer::CanWriteContent() const
{
    if (!file_ || tags_.empty() || dataOpen_) {
        return Err::BadFormat;
    }
    return Err::Success;
}

Status Writer::PutRaw(const void* bytes, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(bytes);
    if (size > kPendingLimit) {
        if (Status s = Drain()) {
            return s;
        }
        if (Status s = WriteAll(file_.get(), p, size)) {
            LearnSizeAfterFailedWrite();
            return s;
        }
        fileSize_ += size;
        return Err::Success;
    }
    pending_.insert(pending_.end(), p, p + size);
    return pending_.size() >= kPendingLimit ? Drain() : Err::Success;
}

void Writer::LearnSizeAfterFailedWrite()
{
    // What reached the file is unknown; the real size tells. When even that
    // cannot be learnt, the writer's idea of the size may be wrong, and a
    // later cut could land inside a flushed block: no further block is taken.
    uint64_t real = 0;
    if (Status s = Platform::Current().Files().GetFileSize(file_.get(), &real)) {
        refusal_ = s;
        return;
    }
    fileSize_ = real;
}

Status Writer::Put(const void* bytes, size_t size)
{
    crc_.Update(bytes, size);
    return PutRaw(bytes, size);
}

Status Writer::PutUint32(uint32_t v)
{
    uint8_t bytes[4];
    Format::PutUint32(bytes, v);
    return Put(bytes, sizeof bytes);
}

Status Writer::PutCounted(const void* bytes, size_t size)
{
    if (size > std::numeric_limits<uint32_t>::max()) {
        return Err::InvalidParameter;
    }
    if (Status s = PutUint32(static_cast<uint32_t>(size))) {
        return s;
    }
    return Put(bytes, size);
}

Status Writer::PutWide(std::wstring_view text)
{
    std::vector<uint8_t> bytes;
    if (Status s = Text::WideToUtf16Le(text, &bytes)) {
        return s;
    }
    return PutCounted(bytes.data(), bytes.size());
}

Status Writer::Drain()
{
    if (pending_.empty()) {
        return Err::Success;
    }
    const Status s = WriteAll(file_.get(), pending_.data(), pending_.size());
    if (s != Err::Success) {
        LearnSizeAfterFailedWrite();
        pending_.clear();
        return s;
    }
    fileSize_ += pending_.size();
    pending_.clear();
    return Err::Success;
}

uint32_t Writer::WriteInt(uint32_t value)
{
    if (Status s = CanWriteContent()) {
        return s;
    }
    if (Status s = PutByte(Format::Record::Integer)) {
        return s;
    }
    if (Status s = PutUint32(value)) {
        return s;
    }
    empty_ = false;
    return Err::Success;
}

uint32_t Writer::WriteString(const wchar_t* text, int32_t count)
{
    if (Status s = CanWriteContent()) {
        return s;
    }
    if (count < -1 || (text == nullptr && count != 0)) {
        return Err::InvalidParameter;
    }
    const size_t length = count == -1 ? std::wcslen(text) : static_cast<size_t>(count);
    if (Status s = PutByte(Format::Record::StringW)) {
        return s;
    }
    if (Status s = PutWide(std::wstring_view(text ? text : L"", length))) {
        return s;
    }
    empty_ = false;
    return Err::Success;
}

uint32_t Writer::WriteStringA(const char* text, int32_t count)
{
    if (Status s = CanWriteContent()) {
        return s;
    }
    if (count < -1 || (text == nullptr && count != 0)) {
        return Err::InvalidParameter;
    }
    const size_t length = count == -1 ? std::strlen(text) : static_cast<size_t>(count);
    if (Status s = PutByte(Format::Record::StringA)) {
        return s;
    }
    if (Status s = PutCounted(text, length)) {
        return s;
    }
    empty_ = false;
    return Err::Success;
}

uint32_t Writer::BeginData()
{
    if (Status s = CanWriteContent()) {
        return s;
    }
    dataOpen_ = true;
    data_.clear();
    return Err::Success;
}

uint32_t Writer::WriteData(const void* bytes, uint32_t count)
{
    if (!file_ || !dataOpen_) {
        return Err::BadFormat;
    }
    if (bytes == nullptr && count != 0) {
        return Err::InvalidParameter;
    }
    if (data_.size() + count > std::numeric_limits<uint32_t>::max()) {
        return Err::InvalidParameter;
    }
    const auto* p = static_cast<const uint8_t*>(bytes);
    data_.insert(data_.end(), p, p + count);
    return Err::Success;
}

uint32_t Writer::EndData()
{
    if (!file_ || !dataOpen_) {
        return Err::BadFormat;
    }
    dataOpen_ = false;
    std::vector<uint8_t> bytes = std::move(data_);
    data_.clear();
    return WriteDataRecord(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

uint32_t Writer::WriteDataRecord(const void* bytes, uint32_t count)
{
    if (Status s = CanWriteContent()) {
        return s;
    }
    if (bytes == nullptr && count != 0) {
        return Err::InvalidParameter;
    }
    if (Status s = PutByte(Format::Record::Data)) {
        return s;
    }
    if (Status s = PutCounted(bytes, count)) {
        return s;
    }
    if (count != 0) {
        empty_ = false;
    }
    return Err::Success;
}

uint32_t Writer::BeginBlock(uint8_t tag)
{
    if (!file_ || dataOpen_) {
        return Err::BadFormat;
    }
    if (refusal_ != 0) {
        return refusal_;
    }
    if (tag == 0) {
        return Err::InvalidParameter;
    }
    if (tags_.size() >= 1 + Format::kMaxKeyDepth) {
        return Err::BadFormat;
    }
    if (tags_.empty()) {
        crc_.Reset();
    }
    const uint8_t bytes[2] = {Format::Record::BlockStart, tag};
    if (Status s = Put(bytes, sizeof bytes)) {
        return s;
    }
    tags_.push_back(tag);
    return Err::Success;
}

uint32_t Writer::EndBlock(uint8_t tag)
{
    if (!file_ || dataOpen_ || tags_.empty() || tags_.back() != tag) {
        return Err::BadFormat;
    }
    if (tags_.size() > 1) {
        if (Status s = PutByte(Format::Record::BlockEnd)) {
            return s;
        }
        tags_.pop_back();
        return Err::Success;
    }
    // The checksum covers the block from its start up to the checksum record.
    uint8_t tail[6];
    tail[0] = Format::Record::Integer;
    Format::PutUint32(tail + 1, crc_.Value());
    tail[5] = Format::Record::BlockEnd;
    if (Status s = PutRaw(tail, sizeof tail)) {
        return s;
    }
    tags_.pop_back();
    if (Status s = Drain()) {
        return s;
    }
    if (flushPolicy_ == FlushPolicy::EveryBlock) {
        if (Status s = Platform::Current().Files().FlushFile(file_.get())) {
            return s;
        }
    }
    durableEnd_.store(fileSize_, std::memory_order_release);
    return Err::Success;
}

uint32_t Writer::SaveFile(std::wstring_view path, Platform::EventHandle cancel, std::wstring* copyName)
{
    if (Status s = CanWriteContent()) {
        return s;
    }
    if (copyName == nullptr) {
        return Err::InvalidParameter;
    }
    if (!IsAllowedFilePath(path)) {
        return Err::InvalidName;
    }
    if (Status s = copies_->Save(path, cancel, copyName)) {
        return s;
    }
    if (Status s = PutByte(Format::Record::SavedFile)) {
        return s;
    }
    if (Status s = PutWide(path)) {
        return s;
    }
    if (Status s = PutWide(*copyName)) {
        return s;
    }
    empty_ = false;
    return Err::Success;
}

uint32_t Writer::Open(std::wstring_view backupFolder, const uint8_t* header, size_t headerLength)
{
    if (file_) {
        (void)Close();
    }
    if (header == nullptr && headerLength != 0) {
        return Err::InvalidParameter;
    }
    const std::wstring_view trimmed = TrimSpace(backupFolder);
    if (trimmed.empty() || Sys::CreateFolderPath(trimmed) != 0) {
        return Err::FileNotFound;
    }
    std::wstring folder(trimmed);
    if (folder.back() != L'\\') {
        folder.push_back(L'\\');
    }
    const std::wstring copies = folder + L"Files\\";
    if (Status s = Sys::CreateFolderPath(copies)) {
        return s;
    }
    Platform::UniqueFile file;
    std::wstring path;
    if (CreateJournalFile(folder, &file, &path) != 0) {
        return Err::FileNotFound;
    }
    Reset();
    file_ = std::move(file);
    folder_ = std::move(folder);
    journalPath_ = std::move(path);
    header_.assign(header, header + headerLength);
    copies_ = std::make_unique<CopyStore>(copies, header_);

    const uint8_t start = Format::Record::JournalStart;
    Status s = PutRaw(header_.data(), header_.size());
    if (s == Err::Success) {
        s = PutRaw(&start, 1);
    }
    if (s == Err::Success) {
        s = Drain();
    }
    durableEnd_.store(fileSize_, std::memory_order_release);
    if (s != Err::Success) {
        Reset();
        (void)Platform::Current().Files().DeleteFile(journalPath_);
        journalPath_.clear();
    }
    return s;
}

uint32_t Writer::Close()
{
    if (!file_) {
        return Err::Success;
    }
    Status first = Err::Success;
    auto note = [&first](Status s) {
        if (first == Err::Success) {
            first = s;
        }
    };
    bool closeRecords = refusal_ == Err::Success;
    if (dataOpen_) {
        if (Status s = EndData()) {
            note(s);
            closeRecords = false;
        }
    }
    if (closeRecords) {
        while (!tags_.empty()) {
            if (Status s = EndBlock(tags_.back())) {
                note(s);
                closeRecords = false;
                break;
            }
        }
    }
    if (closeRecords) {
        const uint8_t end = Format::Record::JournalEnd;
        note(PutRaw(&end, 1));
    }
    note(Drain());
    if (flushPolicy_ == FlushPolicy::EveryBlock && !empty_) {
        note(Platform::Current().Files().FlushFile(file_.get()));
    }
    const bool empty = empty_;
    Reset();
    if (empty) {
        // A run that journalled nothing leaves no backup point.
        note(Platform::Current().Files().DeleteFile(journalPath_));
    }
    return first;
}

Status Writer::Abandon()
{
    if (!file_) {
        return Err::Success;
    }
    auto& files = Platform::Current().Files();
    const uint64_t end = durableEnd_.load(std::memory_order_acquire);
    uint64_t at = 0;
    Status s = files.Seek(file_.get(), static_cast<int64_t>(end), Platform::SeekOrigin::Begin, &at);
    if (s == Err::Success) {
        s = files.SetEndOfFile(file_.get());
    }
    // Only the handle goes; the buffers stay until the writer is opened again
    // or destroyed, so nothing is freed here.
    file_.reset();
    return s;
}

Status Writer::RollBack(const Mark& mark)
{
    if (!file_) {
        return Err::BadFormat;
    }
    tags_.clear();
    dataOpen_ = false;
    data_.clear();
    empty_ = mark.empty;
    Status s = Err::Success;
    if (mark.offset >= fileSize_ && mark.offset - fileSize_ <= pending_.size()) {
        pending_.resize(static_cast<size_t>(mark.offset - fileSize_));
    } else if (mark.offset > fileSize_) {
        s = Err::WriteFault;  // bytes before the mark never reached the file
    } else {
        pending_.clear();
        auto& files = Platform::Current().Files();
        uint64_t at = 0;
        s = files.Seek(file_.get(), static_cast<int64_t>(mark.offset), Platform::SeekOrigin::Begin, &at);
        if (s == Err::Success) {
            s = files.SetEndOfFile(file_.get());
        }
        if (s == Err::Success) {
            fileSize_ = mark.offset;
        }
    }
    if (s == Err::Success && mark.offset < durableEnd_.load(std::memory_order_relaxed)) {
        durableEnd_.store(mark.offset, std::memory_order_release);
    }
    if (s != Err::Success) {
        refusal_ = s;
    }
    return s;
}

}  // namespace Remover
