#pragma once
// The bytes of a backup journal. A journal is the header, then records; each
// record starts with one type byte, and every integer is unsigned 32-bit
// little-endian:
//
//   1 journal start        (directly after the header)
//   2 journal end          (the last record of a journal closed normally)
//   3 block start, tag     (blocks nest; every journalled change is one
//   4 block end             top-level block whose tag names its command)
//   5 integer              4 bytes
//   6 8-bit string         byte count, UTF-8 bytes
//   7 wide string          byte count, UTF-16LE bytes
//   8 data                 byte count, bytes
//   9 saved file           byte count, UTF-16LE path; byte count, UTF-16LE copy name
//
// Every top-level block ends with one integer record holding the CRC-32 of the
// block's bytes from its block start up to that record, so that a block torn
// by a crash (or damaged later) is recognised and never replayed.
#include <cstddef>
#include <cstdint>

namespace Remover::Format {

namespace Record {
constexpr uint8_t None = 0;  // no current record (before the first, or past the end)
constexpr uint8_t JournalStart = 1;
constexpr uint8_t JournalEnd = 2;
constexpr uint8_t BlockStart = 3;
constexpr uint8_t BlockEnd = 4;
constexpr uint8_t Integer = 5;
constexpr uint8_t StringA = 6;
constexpr uint8_t StringW = 7;
constexpr uint8_t Data = 8;
constexpr uint8_t SavedFile = 9;
}  // namespace Record

// Tags of the blocks nested inside a key tree.
constexpr uint8_t kKeyTag = 'K';
constexpr uint8_t kValueTag = 'V';

// The deepest key tree the registry holds; deeper key blocks are refused on
// both sides.
constexpr uint32_t kMaxKeyDepth = 512;

// File contents are hashed and copied in blocks of this size, with a
// cancellation check per block.
constexpr uint32_t kCopyBlockSize = 32768;

// The header every journal and saved copy starts with: the product name as
// 8-bit characters and a terminating zero.
inline constexpr uint8_t kProductHeader[8] = {'C', 'o', 'r', 'v', 'a', 'n', 'e', 0};
constexpr size_t kProductHeaderLength = sizeof(kProductHeader);

// Replay's result when some block could not be restored.
constexpr uint32_t kReplayIncomplete = 0xFFFFFFFEu;  // -2

// Little-endian integers in record payloads.
inline void PutUint32(uint8_t* out, uint32_t v)
{
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
    out[2] = static_cast<uint8_t>(v >> 16);
    out[3] = static_cast<uint8_t>(v >> 24);
}
inline uint32_t GetUint32(const uint8_t* in)
{
    return uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 24);
}

}  // namespace Remover::Format
