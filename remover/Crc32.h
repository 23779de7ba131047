#pragma once
// CRC-32 (the IEEE 802.3 polynomial, reflected, as zip and PNG use it); it
// tells a complete journal block from a torn or damaged one.
#include <cstddef>
#include <cstdint>

namespace Remover {

class Crc32 {
public:
    void Update(const void* data, size_t size) noexcept;
    uint32_t Value() const noexcept { return ~state_; }
    void Reset() noexcept { state_ = 0xFFFFFFFFu; }

    static uint32_t Of(const void* data, size_t size) noexcept
    {
        Crc32 crc;
        crc.Update(data, size);
        return crc.Value();
    }

private:
    uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace Remover
