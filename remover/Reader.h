#pragma once
// Remover::Reader walks a backup journal (the format is in Format.h) for the
// journal commands, and Replay undoes a whole journal.
//
// The reader treats every journal as untrusted: a length is checked against
// what the file (or, during a replay, the block) still holds before anything
// is allocated, and nothing it reads can make it crash or throw.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/IReader.h"
#include "core/rti/ITracer.h"
#include "remover/CopyStore.h"
#include "remover/ICommand.h"

namespace Remover {

// What a replay found and did.
struct ReplayReport {
    struct Failure {
        uint32_t index = 0;   // of the block in the journal, from 0
        uint64_t offset = 0;  // of its block start
        uint8_t tag = 0;
        // The command's error; -2 when no command has the tag.
        uint32_t error = 0;
    };
    // Bytes in the middle of the journal that are no sound block, with sound
    // blocks after them: the changes recorded there were not undone.
    struct DamagedRange {
        uint64_t begin = 0;  // first damaged byte
        uint64_t end = 0;    // the first sound byte after them
    };
    uint32_t blocks = 0;                // sound blocks found
    uint32_t restored = 0;              // of those, undone
    std::vector<Failure> failed;        // newest first, as they were met
    std::vector<DamagedRange> damaged;  // in file order
    bool endRecord = false;             // the journal was closed normally
    // A torn last block (a run that stopped while journalling) was ignored:
    // its change was never made, since the record comes first. A tail is torn
    // only when nothing sound follows it.
    bool tornTail = false;
    uint64_t tornOffset = 0;
    // Every sound block undone and nothing damaged.
    bool Complete() const { return failed.empty() && damaged.empty(); }
};

class Reader final : public RTI::IReader {
public:
    Reader() = default;
    ~Reader() override = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    uint8_t GetType() override { return type_; }
    // Each read below wants the current record to be of its type (else -1)
    // and ends by moving on to the next record (Next), whose result it
    // returns; the value read is delivered even when that move fails.
    [[nodiscard]] uint32_t ReadInt(uint32_t* value) override;
    // A wide string, or an 8-bit one decoded from UTF-8.
    [[nodiscard]] uint32_t ReadString(std::wstring* text) override;
    // An 8-bit string, or a wide one encoded as UTF-8.
    [[nodiscard]] uint32_t ReadStringA(std::string* text) override;
    // Reads a data record's size and stays on the record.
    [[nodiscard]] uint32_t BeginData(uint32_t* size) override;
    [[nodiscard]] uint32_t ReadData(void* buffer, uint32_t capacity, uint32_t* read) override;
    // Skips what is left of the data record, then Next.
    [[nodiscard]] uint32_t EndData() override;
    uint8_t GetBlockTag() override { return tag_; }
    [[nodiscard]] uint32_t EnterBlock() override;
    // Skips to the end of the innermost entered block (nested blocks
    // included), then Next. No effect before the first block start.
    [[nodiscard]] uint32_t LeaveBlock() override;
    // Skips the current content record; -1 for the other kinds.
    [[nodiscard]] uint32_t Skip() override;
    // Reads a saved-file record and puts the copy's content back at its path.
    // -1, touching nothing, when the path or the copy name is one a journal
    // may not hold (JournalRules.h).
    [[nodiscard]] uint32_t RestoreFile(std::wstring* path, Platform::EventHandle cancel, std::wstring* copyName) override;
    [[nodiscard]] uint32_t ReadSavedFile(std::wstring* path, std::wstring* copyName) override;
    // -1, touching nothing, for a path or copy name a journal may not hold.
    [[nodiscard]] uint32_t RestoreSavedCopy(std::wstring_view path, std::wstring_view copyName,
                              Platform::EventHandle cancel) override;
    // Opens a journal and moves to the first record after the journal start.
    [[nodiscard]] uint32_t Open(std::wstring_view journalPath, const uint8_t* header, size_t headerLength) override;
    [[nodiscard]] uint32_t Close() override;

    // Undoes a journal: indexes its complete top-level blocks in one pass,
    // then restores them from the last to the first, each through the command
    // source's command for its tag. A block that cannot be undone is reported
    // and the replay goes on. Where the blocks stop being sound, the reader
    // looks further on for a position from which the rest of the journal is
    // sound blocks to its end: the bytes before it are reported damaged and
    // the blocks after it are restored. Only when there is none is the rest a
    // torn tail, which is ignored. Sends 'max' (the journal's size) and 'cur'
    // (bytes replayed) to the tracer.
    // Returns Open's error, 1223 when cancelled (between blocks), -2 when some
    // block failed or bytes were damaged, else 0.
    [[nodiscard]] uint32_t Replay(std::wstring_view journalPath, const uint8_t* header, size_t headerLength,
                                  ICommandSource& source, RTI::ITracer* tracer, Platform::EventHandle cancel,
                                  ReplayReport* report = nullptr);

    // Reads the next record's type byte (and a block start's tag). At the end
    // of the file: -1. At the end of the block a replay handed to a command:
    // no current record, and 0.
    uint32_t Next();

private:
    struct BlockEntry;
    enum class Tail;
    enum class Scan;

    [[nodiscard]] uint32_t OpenFile(std::wstring_view journalPath, const uint8_t* header, size_t headerLength);
    [[nodiscard]] uint32_t ReadBytes(void* out, uint64_t size);
    [[nodiscard]] uint32_t SkipBytes(uint64_t size);
    [[nodiscard]] uint32_t ReadCount(uint32_t* count);
    [[nodiscard]] uint32_t ReadUtf16(std::wstring* text);
    [[nodiscard]] uint32_t Fill();
    uint64_t Position() const { return bufferOffset_ + bufferPos_; }
    uint64_t Remaining() const { return limit_ > Position() ? limit_ - Position() : 0; }
    void MoveTo(uint64_t offset, uint64_t limit, bool bounded);
    Tail Index(std::vector<BlockEntry>* blocks, ReplayReport* report);
    Scan ScanBlockAt(uint64_t start, BlockEntry* entry);
    bool SoundToTheEnd(uint64_t from, std::vector<BlockEntry>* blocks, Tail* tail, uint64_t* tornOffset);

    Platform::UniqueFile file_;
    std::unique_ptr<CopyStore> copies_;
    uint64_t fileSize_ = 0;
    uint64_t limit_ = 0;    // the end of what may be read
    bool bounded_ = false;  // limit_ is the end of a block handed to a command
    std::vector<uint8_t> buffer_;
    uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
    size_t bufferPos_ = 0;
    size_t bufferLength_ = 0;
    uint64_t filePointer_ = 0;  // where the next ReadFile reads

    uint8_t type_ = 0;
    uint8_t tag_ = 0;
    bool sawBlock_ = false;
    uint32_t depth_ = 0;
    bool dataSizeRead_ = false;
    uint32_t dataRemaining_ = 0;
};

}  // namespace Remover
