#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace RTI {

// The backup journal's reader as the restore code sees it. Results as for
// IWriter: 0, a Windows error, -1 for a record of the wrong kind or a short
// read, 2 for a missing file, 1223 when cancelled.
class IReader {
public:
    // The type byte of the current record.
    virtual uint8_t GetType() = 0;
    [[nodiscard]] virtual uint32_t ReadInt(uint32_t* value) = 0;
    [[nodiscard]] virtual uint32_t ReadString(std::wstring* text) = 0;
    [[nodiscard]] virtual uint32_t ReadStringA(std::string* text) = 0;
    [[nodiscard]] virtual uint32_t BeginData(uint32_t* size) = 0;
    [[nodiscard]] virtual uint32_t ReadData(void* buffer, uint32_t capacity, uint32_t* read) = 0;
    [[nodiscard]] virtual uint32_t EndData() = 0;
    // The tag of the most recent block start read; 0 when none was read.
    virtual uint8_t GetBlockTag() = 0;
    [[nodiscard]] virtual uint32_t EnterBlock() = 0;
    [[nodiscard]] virtual uint32_t LeaveBlock() = 0;
    [[nodiscard]] virtual uint32_t Skip() = 0;
    [[nodiscard]] virtual uint32_t RestoreFile(std::wstring* path, Platform::EventHandle cancel, std::wstring* copyName) = 0;
    // The two halves of RestoreFile, for a command that checks more of its
    // block before it writes: reads a saved-file record without acting on it
    // (then Next), and puts a saved copy's content back at a path.
    [[nodiscard]] virtual uint32_t ReadSavedFile(std::wstring* path, std::wstring* copyName) = 0;
    [[nodiscard]] virtual uint32_t RestoreSavedCopy(std::wstring_view path, std::wstring_view copyName,
                                      Platform::EventHandle cancel) = 0;
    [[nodiscard]] virtual uint32_t Open(std::wstring_view journalPath, const uint8_t* header, size_t headerLength) = 0;
    [[nodiscard]] virtual uint32_t Close() = 0;
    virtual ~IReader() = default;
};

}  // namespace RTI
