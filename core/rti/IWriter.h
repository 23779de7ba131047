#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace RTI {

// The backup journal's writer as the rest of the program sees it. Every
// operation returns 0 or an error code: a Windows error when a system call
// failed, -1 (0xFFFFFFFF) when the journal is not in the state the operation
// needs, 1223 when the cancel event was signalled.
class IWriter {
public:
    [[nodiscard]] virtual uint32_t WriteInt(uint32_t value) = 0;
    // count: characters, or -1 for the text up to its terminating zero.
    [[nodiscard]] virtual uint32_t WriteString(const wchar_t* text, int32_t count) = 0;
    [[nodiscard]] virtual uint32_t WriteStringA(const char* text, int32_t count) = 0;
    [[nodiscard]] virtual uint32_t BeginData() = 0;
    [[nodiscard]] virtual uint32_t WriteData(const void* bytes, uint32_t count) = 0;
    [[nodiscard]] virtual uint32_t EndData() = 0;
    [[nodiscard]] virtual uint32_t BeginBlock(uint8_t tag) = 0;
    [[nodiscard]] virtual uint32_t EndBlock(uint8_t tag) = 0;
    // Saves the file's content to the copy store and records it; copyName is
    // both a hint (a copy already known for this path) and the result.
    [[nodiscard]] virtual uint32_t SaveFile(std::wstring_view path, Platform::EventHandle cancel, std::wstring* copyName) = 0;
    virtual ~IWriter() = default;
    [[nodiscard]] virtual uint32_t Open(std::wstring_view backupFolder, const uint8_t* header, size_t headerLength) = 0;
    [[nodiscard]] virtual uint32_t Close() = 0;
    // A whole data record, its size written first, so that a record cut short
    // by a crash reads as short and never as other records.
    [[nodiscard]] virtual uint32_t WriteDataRecord(const void* bytes, uint32_t count) = 0;
};

}  // namespace RTI
