#include "remover/Crc32.h"

#include <array>

namespace Remover {
namespace {

constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

void Crc32::Update(const void* data, size_t size) noexcept
{
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = state_;
    for (size_t i = 0; i < size; ++i) {
        c = kTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    }
    state_ = c;
}

}  // namespace Remover
