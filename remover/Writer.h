#pragma once
// Remover::Writer writes one backup journal at a time (the format is in
// Format.h) and saves file copies to the copy store beside it.
//
// Write-ahead, durably: every top-level block ends with its CRC-32 record and
// is flushed to the disk when it is closed, before the change it records is
// made. A journalled change that fails part-way is cut back with RollBack, so
// the journal never holds a partial block; when even the cut fails, the writer
// refuses every further block, so no later change goes unrecorded.
//
// Records are collected in memory and written in large pieces; data records
// are written whole, their final size first.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/IWriter.h"
#include "remover/CopyStore.h"
#include "remover/Crc32.h"

namespace Remover {

// Whether closing a top-level block waits for the disk. Only measurements
// turn it off, to show what the flush costs.
enum class FlushPolicy { EveryBlock, Never };

class Writer final : public RTI::IWriter {
public:
    Writer() = default;
    ~Writer() override;
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Records. Content records (integer, strings, data, saved file) are
    // accepted only inside a block: a journal holds nothing else at its top
    // level. While a data record begun with BeginData is open, only WriteData
    // and EndData are accepted.
    [[nodiscard]] uint32_t WriteInt(uint32_t value) override;
    [[nodiscard]] uint32_t WriteString(const wchar_t* text, int32_t count) override;
    [[nodiscard]] uint32_t WriteStringA(const char* text, int32_t count) override;
    [[nodiscard]] uint32_t BeginData() override;
    [[nodiscard]] uint32_t WriteData(const void* bytes, uint32_t count) override;
    [[nodiscard]] uint32_t EndData() override;
    [[nodiscard]] uint32_t WriteDataRecord(const void* bytes, uint32_t count) override;
    // Tags are 1 to 255. Blocks nest at most 1 + 512 deep (a command's block
    // around the deepest key tree the registry holds).
    [[nodiscard]] uint32_t BeginBlock(uint8_t tag) override;
    // -1, writing nothing, when no block is open or the innermost open block
    // has another tag. Closing a top-level block writes its checksum and
    // flushes the journal.
    [[nodiscard]] uint32_t EndBlock(uint8_t tag) override;
    // The path must be one the reader accepts (JournalRules.h), else 123.
    [[nodiscard]] uint32_t SaveFile(std::wstring_view path, Platform::EventHandle cancel, std::wstring* copyName) override;

    // Creates the backup folder (2 when it is empty or cannot be created) and
    // its copy store "Files\", and a new journal in it (JournalNames.h). An
    // open journal is closed first.
    [[nodiscard]] uint32_t Open(std::wstring_view backupFolder, const uint8_t* header, size_t headerLength) override;
    // Closes open blocks and writes the end record, then closes the file; a
    // journal that recorded nothing is deleted. Returns the first error met.
    [[nodiscard]] uint32_t Close() override;

    // For a run whose thread had to be terminated: cuts the journal back to
    // the end of its last complete, flushed top-level block, writes nothing
    // else and closes it. It allocates and frees no memory (the terminated
    // thread may have held the heap's lock), so it may be called from
    // another thread once the writing thread is gone. Returns the cut's error;
    // the file is closed in any case.
    [[nodiscard]] Platform::Status Abandon();

    // Where a journalled change begins.
    struct Mark {
        uint64_t offset = 0;
        bool empty = true;
    };
    Mark GetMark() const { return {Offset(), empty_}; }
    // Cuts the journal back to the mark: what was written after it, open
    // blocks and an open data record are gone, and the "empty" state is as it
    // was. When the cut fails, its error is kept and every further block is
    // refused with it.
    [[nodiscard]] Platform::Status RollBack(const Mark& mark);

    bool IsOpen() const { return static_cast<bool>(file_); }
    // Non-zero once a cut failed, or the file's size could not be learnt
    // after a failed write.
    Platform::Status Refusal() const { return refusal_; }
    size_t OpenBlocks() const { return tags_.size(); }
    // Nothing with content has been recorded since Open.
    bool IsEmpty() const { return empty_; }
    const std::wstring& JournalPath() const { return journalPath_; }
    // The backup folder, ending with a backslash.
    const std::wstring& Folder() const { return folder_; }
    void SetFlushPolicy(FlushPolicy policy) { flushPolicy_ = policy; }

private:
    [[nodiscard]] Platform::Status CanWriteContent() const;
    // Appends to the pending bytes, counting them into the block's checksum.
    [[nodiscard]] Platform::Status Put(const void* bytes, size_t size);
    [[nodiscard]] Platform::Status PutByte(uint8_t b) { return Put(&b, 1); }
    [[nodiscard]] Platform::Status PutUint32(uint32_t v);
    [[nodiscard]] Platform::Status PutCounted(const void* bytes, size_t size);
    [[nodiscard]] Platform::Status PutWide(std::wstring_view text);
    // Appends without counting into the checksum (header, journal start and
    // end, the checksum record itself).
    [[nodiscard]] Platform::Status PutRaw(const void* bytes, size_t size);
    [[nodiscard]] Platform::Status Drain();
    void LearnSizeAfterFailedWrite();
    uint64_t Offset() const { return fileSize_ + pending_.size(); }
    void Reset();

    Platform::UniqueFile file_;
    std::wstring folder_;
    std::wstring journalPath_;
    std::vector<uint8_t> header_;
    std::unique_ptr<CopyStore> copies_;

    std::vector<uint8_t> pending_;  // bytes not yet handed to the file
    uint64_t fileSize_ = 0;         // bytes the file holds
    std::vector<uint8_t> tags_;     // tags of the open blocks, innermost last
    Crc32 crc_;                     // over the open top-level block
    bool dataOpen_ = false;
    std::vector<uint8_t> data_;  // the open data record's bytes
    bool empty_ = true;
    Platform::Status refusal_ = 0;
    // The end of the last complete top-level block on the disk (after the
    // journal start before the first): where Abandon cuts. Written by the
    // writing thread, read by the one that abandons it.
    std::atomic<uint64_t> durableEnd_{0};
    FlushPolicy flushPolicy_ = FlushPolicy::EveryBlock;
};

}  // namespace Remover
