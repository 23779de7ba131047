#pragma once
// The Blowfish block cipher (64-bit blocks, 16 rounds), our own code after the
// published algorithm. A block is two 32-bit words; how bytes map to words is
// up to the caller (the cipher stream reads them little-endian).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Crypto {

class blowfish {
public:
    static constexpr size_t kMinKeyLength = 1;
    // 18 P-array words take 72 key bytes; longer keys would be cut silently.
    static constexpr size_t kMaxKeyLength = 72;

    // The unkeyed schedule: P-array and S-boxes hold the hexadecimal digits of pi.
    blowfish();

    // Keys the schedule with `length` bytes, used cyclically as big-endian
    // words. Returns 87 for a length outside 1..72; the schedule is then unchanged.
    [[nodiscard]] uint32_t SetKey(const void* key, size_t length);
    [[nodiscard]] uint32_t SetKey(std::string_view key) { return SetKey(key.data(), key.size()); }

    void EncryptBlock(uint32_t& left, uint32_t& right) const
    {
        uint32_t a = left ^ p_[0];
        uint32_t b = right;
#pragma GCC unroll 8
        for (int i = 1; i < 17; i += 2) {
            b ^= F(a) ^ p_[i];
            a ^= F(b) ^ p_[i + 1];
        }
        left = b ^ p_[17];
        right = a;
    }

    void DecryptBlock(uint32_t& left, uint32_t& right) const
    {
        uint32_t a = left ^ p_[17];
        uint32_t b = right;
#pragma GCC unroll 8
        for (int i = 16; i > 0; i -= 2) {
            b ^= F(a) ^ p_[i];
            a ^= F(b) ^ p_[i - 1];
        }
        left = b ^ p_[0];
        right = a;
    }

private:
    uint32_t F(uint32_t x) const
    {
        return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
    }

    uint32_t p_[18];
    uint32_t s_[4][256];
};

}  // namespace Crypto
