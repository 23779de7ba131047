#include "core/crypto/Md5.h"

#include <bit>
#include <cstring>

namespace Crypto {
namespace {

inline uint32_t Load32(const uint8_t* p) noexcept
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) {
        v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    }
    return v;
}

inline void Store32(uint8_t* p, uint32_t v) noexcept
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The four rounds, each step written out so that the compiler keeps the whole
// block in registers. F and G use the forms with one fewer dependent operation
// than the textbook ones.
inline void StepF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) noexcept
{
    a += (d ^ (b & (c ^ d))) + x + t;
    a = std::rotl(a, s) + b;
}
inline void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) noexcept
{
    // (b & d) | (c & ~d): the two halves never share a set bit, so they can be
    // added independently.
    a += (c & ~d) + x + t;
    a += b & d;
    a = std::rotl(a, s) + b;
}
inline void StepH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) noexcept
{
    a += (b ^ c ^ d) + x + t;
    a = std::rotl(a, s) + b;
}
inline void StepI(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) noexcept
{
    a += (c ^ (b | ~d)) + x + t;
    a = std::rotl(a, s) + b;
}

}  // namespace

void Md5::Reset() noexcept
{
    state_[0] = 0x67452301u;
    state_[1] = 0xEFCDAB89u;
    state_[2] = 0x98BADCFEu;
    state_[3] = 0x10325476u;
    length_ = 0;
    buffered_ = 0;
}

void Md5::Compress(const uint8_t* p, size_t count) noexcept
{
    uint32_t a0 = state_[0], b0 = state_[1], c0 = state_[2], d0 = state_[3];
    for (; count > 0; --count, p += 64) {
        const uint32_t x0 = Load32(p), x1 = Load32(p + 4), x2 = Load32(p + 8), x3 = Load32(p + 12);
        const uint32_t x4 = Load32(p + 16), x5 = Load32(p + 20), x6 = Load32(p + 24), x7 = Load32(p + 28);
        const uint32_t x8 = Load32(p + 32), x9 = Load32(p + 36), x10 = Load32(p + 40), x11 = Load32(p + 44);
        const uint32_t x12 = Load32(p + 48), x13 = Load32(p + 52), x14 = Load32(p + 56), x15 = Load32(p + 60);
        uint32_t a = a0, b = b0, c = c0, d = d0;

        StepF(a, b, c, d, x0, 0xd76aa478, 7);
        StepF(d, a, b, c, x1, 0xe8c7b756, 12);
        StepF(c, d, a, b, x2, 0x242070db, 17);
        StepF(b, c, d, a, x3, 0xc1bdceee, 22);
        StepF(a, b, c, d, x4, 0xf57c0faf, 7);
        StepF(d, a, b, c, x5, 0x4787c62a, 12);
        StepF(c, d, a, b, x6, 0xa8304613, 17);
        StepF(b, c, d, a, x7, 0xfd469501, 22);
        StepF(a, b, c, d, x8, 0x698098d8, 7);
        StepF(d, a, b, c, x9, 0x8b44f7af, 12);
        StepF(c, d, a, b, x10, 0xffff5bb1, 17);
        StepF(b, c, d, a, x11, 0x895cd7be, 22);
        StepF(a, b, c, d, x12, 0x6b901122, 7);
        StepF(d, a, b, c, x13, 0xfd987193, 12);
        StepF(c, d, a, b, x14, 0xa679438e, 17);
        StepF(b, c, d, a, x15, 0x49b40821, 22);

        StepG(a, b, c, d, x1, 0xf61e2562, 5);
        StepG(d, a, b, c, x6, 0xc040b340, 9);
        StepG(c, d, a, b, x11, 0x265e5a51, 14);
        StepG(b, c, d, a, x0, 0xe9b6c7aa, 20);
        StepG(a, b, c, d, x5, 0xd62f105d, 5);
        StepG(d, a, b, c, x10, 0x02441453, 9);
        StepG(c, d, a, b, x15, 0xd8a1e681, 14);
        StepG(b, c, d, a, x4, 0xe7d3fbc8, 20);
        StepG(a, b, c, d, x9, 0x21e1cde6, 5);
        StepG(d, a, b, c, x14, 0xc33707d6, 9);
        StepG(c, d, a, b, x3, 0xf4d50d87, 14);
        StepG(b, c, d, a, x8, 0x455a14ed, 20);
        StepG(a, b, c, d, x13, 0xa9e3e905, 5);
        StepG(d, a, b, c, x2, 0xfcefa3f8, 9);
        StepG(c, d, a, b, x7, 0x676f02d9, 14);
        StepG(b, c, d, a, x12, 0x8d2a4c8a, 20);

        StepH(a, b, c, d, x5, 0xfffa3942, 4);
        StepH(d, a, b, c, x8, 0x8771f681, 11);
        StepH(c, d, a, b, x11, 0x6d9d6122, 16);
        StepH(b, c, d, a, x14, 0xfde5380c, 23);
        StepH(a, b, c, d, x1, 0xa4beea44, 4);
        StepH(d, a, b, c, x4, 0x4bdecfa9, 11);
        StepH(c, d, a, b, x7, 0xf6bb4b60, 16);
        StepH(b, c, d, a, x10, 0xbebfbc70, 23);
        StepH(a, b, c, d, x13, 0x289b7ec6, 4);
        StepH(d, a, b, c, x0, 0xeaa127fa, 11);
        StepH(c, d, a, b, x3, 0xd4ef3085, 16);
        StepH(b, c, d, a, x6, 0x04881d05, 23);
        StepH(a, b, c, d, x9, 0xd9d4d039, 4);
        StepH(d, a, b, c, x12, 0xe6db99e5, 11);
        StepH(c, d, a, b, x15, 0x1fa27cf8, 16);
        StepH(b, c, d, a, x2, 0xc4ac5665, 23);

        StepI(a, b, c, d, x0, 0xf4292244, 6);
        StepI(d, a, b, c, x7, 0x432aff97, 10);
        StepI(c, d, a, b, x14, 0xab9423a7, 15);
        StepI(b, c, d, a, x5, 0xfc93a039, 21);
        StepI(a, b, c, d, x12, 0x655b59c3, 6);
        StepI(d, a, b, c, x3, 0x8f0ccc92, 10);
        StepI(c, d, a, b, x10, 0xffeff47d, 15);
        StepI(b, c, d, a, x1, 0x85845dd1, 21);
        StepI(a, b, c, d, x8, 0x6fa87e4f, 6);
        StepI(d, a, b, c, x15, 0xfe2ce6e0, 10);
        StepI(c, d, a, b, x6, 0xa3014314, 15);
        StepI(b, c, d, a, x13, 0x4e0811a1, 21);
        StepI(a, b, c, d, x4, 0xf7537e82, 6);
        StepI(d, a, b, c, x11, 0xbd3af235, 10);
        StepI(c, d, a, b, x2, 0x2ad7d2bb, 15);
        StepI(b, c, d, a, x9, 0xeb86d391, 21);

        a0 += a;
        b0 += b;
        c0 += c;
        d0 += d;
    }
    state_[0] = a0;
    state_[1] = b0;
    state_[2] = c0;
    state_[3] = d0;
}

void Md5::Update(const void* data, size_t size) noexcept
{
    auto p = static_cast<const uint8_t*>(data);
    length_ += size;
    if (buffered_ > 0) {
        const size_t take = size < 64 - buffered_ ? size : 64 - buffered_;
        std::memcpy(buffer_ + buffered_, p, take);
        buffered_ += take;
        p += take;
        size -= take;
        if (buffered_ < 64) {
            return;
        }
        Compress(buffer_, 1);
        buffered_ = 0;
    }
    if (size >= 64) {
        Compress(p, size / 64);
        p += size & ~size_t(63);
        size &= 63;
    }
    if (size > 0) {
        std::memcpy(buffer_, p, size);
        buffered_ = size;
    }
}

Md5::Digest Md5::Final() noexcept
{
    const uint64_t bits = length_ * 8;
    buffer_[buffered_++] = 0x80;
    if (buffered_ > 56) {
        std::memset(buffer_ + buffered_, 0, 64 - buffered_);
        Compress(buffer_, 1);
        buffered_ = 0;
    }
    std::memset(buffer_ + buffered_, 0, 56 - buffered_);
    Store32(buffer_ + 56, uint32_t(bits));
    Store32(buffer_ + 60, uint32_t(bits >> 32));
    Compress(buffer_, 1);

    Digest digest;
    for (int i = 0; i < 4; ++i) {
        Store32(digest.data() + 4 * i, state_[i]);
    }
    Reset();
    return digest;
}

Md5::Digest Md5::Of(const void* data, size_t size) noexcept
{
    Md5 md5;
    md5.Update(data, size);
    return md5.Final();
}

std::wstring DigestToHex(const Md5::Digest& digest)
{
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(32, L'0');
    for (size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = kDigits[digest[i] >> 4];
        text[2 * i + 1] = kDigits[digest[i] & 0xF];
    }
    return text;
}

}  // namespace Crypto
