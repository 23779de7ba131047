#pragma once
// The MD5 message digest (RFC 1321). It names and compares file copies (backup
// journal, autostart entries, update check); it is not used for security.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace Crypto {

class Md5 {
public:
    using Digest = std::array<uint8_t, 16>;

    Md5() noexcept { Reset(); }
    void Reset() noexcept;
    void Update(const void* data, size_t size) noexcept;
    // Completes the digest and resets the object for the next message.
    Digest Final() noexcept;

    static Digest Of(const void* data, size_t size) noexcept;

private:
    void Compress(const uint8_t* blocks, size_t count) noexcept;

    uint32_t state_[4];
    uint64_t length_;  // bytes fed so far
    uint8_t buffer_[64];
    size_t buffered_;
};

// The text form used in file names and queries: 32 lower-case hexadecimal
// digits, high nibble first.
std::wstring DigestToHex(const Md5::Digest& digest);

}  // namespace Crypto
