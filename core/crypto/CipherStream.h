#pragma once
// A standard-library input stream that deciphers what it reads from another
// stream, 16 bytes at a time: each 16-byte block is two cipher blocks whose
// words are read little-endian, and the deciphered bytes are XORed with the
// XOR of all ciphertext blocks read before (zero at the start). That value is
// not the usual block chaining, where only the previous block would be used.
// A trailing partial block is never delivered.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>

#include "core/crypto/Blowfish.h"

namespace Crypto {

namespace CipherDetail {

constexpr size_t kChainBlock = 16;

inline uint32_t LoadLe32(const unsigned char* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) {
        v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    }
    return v;
}

inline void StoreLe32(unsigned char* p, uint32_t v)
{
    if constexpr (std::endian::native == std::endian::big) {
        v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    }
    std::memcpy(p, &v, 4);
}

}  // namespace CipherDetail

// Deciphers from a source stream buffer, which it does not own. The source is
// read ahead in large chunks so that one underflow deciphers many blocks.
template <class Cipher>
class cipherstreambuf : public std::streambuf {
public:
    cipherstreambuf(std::streambuf* source, const Cipher& cipher) : cipher_(cipher), source_(source)
    {
        setg(buffer_, buffer_, buffer_);
    }
    cipherstreambuf(const cipherstreambuf&) = delete;
    cipherstreambuf& operator=(const cipherstreambuf&) = delete;

protected:
    int_type underflow() override
    {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        const size_t got = ReadCiphertext(sizeof(buffer_));
        auto* bytes = reinterpret_cast<unsigned char*>(buffer_);
        const size_t blocks = got / CipherDetail::kChainBlock;
        Decipher(bytes, bytes, blocks);
        setg(buffer_, buffer_, buffer_ + blocks * CipherDetail::kChainBlock);
        return blocks == 0 ? traits_type::eof() : traits_type::to_int_type(*gptr());
    }

    // Large reads decipher straight into the caller's memory instead of
    // passing every byte through the get area.
    std::streamsize xsgetn(char_type* s, std::streamsize n) override
    {
        if (n <= 0) {
            return 0;
        }
        const auto want = static_cast<size_t>(n);
        size_t done = std::min(want, static_cast<size_t>(egptr() - gptr()));
        std::memcpy(s, gptr(), done);
        gbump(static_cast<int>(done));

        while (want - done >= CipherDetail::kChainBlock && !ended_) {
            // The get area is empty here, so its buffer is free to hold ciphertext.
            setg(buffer_, buffer_, buffer_);
            const size_t chunk =
                std::min(sizeof(buffer_), (want - done) / CipherDetail::kChainBlock * CipherDetail::kChainBlock);
            const size_t blocks = ReadCiphertext(chunk) / CipherDetail::kChainBlock;
            Decipher(reinterpret_cast<unsigned char*>(buffer_), reinterpret_cast<unsigned char*>(s + done), blocks);
            done += blocks * CipherDetail::kChainBlock;
        }

        while (done < want && underflow() != traits_type::eof()) {
            const size_t take = std::min(want - done, static_cast<size_t>(egptr() - gptr()));
            std::memcpy(s + done, gptr(), take);
            gbump(static_cast<int>(take));
            done += take;
        }
        return static_cast<std::streamsize>(done);
    }

private:
    // Reads up to `want` bytes (a multiple of 16) of ciphertext into buffer_.
    // A short count means the source has ended; a partial block at its end is
    // dropped, and the source is not asked again.
    size_t ReadCiphertext(size_t want)
    {
        size_t got = 0;
        while (!ended_ && got < want) {
            const std::streamsize n =
                source_ ? source_->sgetn(buffer_ + got, static_cast<std::streamsize>(want - got)) : 0;
            if (n <= 0) {
                ended_ = true;
                break;
            }
            got += static_cast<size_t>(n);
        }
        return got;
    }

    // `in` and `out` may be the same memory.
    void Decipher(const unsigned char* in, unsigned char* out, size_t blocks)
    {
        using CipherDetail::LoadLe32;
        using CipherDetail::StoreLe32;
        uint32_t c0 = chain_[0], c1 = chain_[1], c2 = chain_[2], c3 = chain_[3];
        for (size_t i = 0; i < blocks; ++i, in += 16, out += 16) {
            const uint32_t x0 = LoadLe32(in), x1 = LoadLe32(in + 4), x2 = LoadLe32(in + 8), x3 = LoadLe32(in + 12);
            uint32_t l0 = x0, r0 = x1, l1 = x2, r1 = x3;
            cipher_.DecryptBlock(l0, r0);
            cipher_.DecryptBlock(l1, r1);
            StoreLe32(out, l0 ^ c0);
            StoreLe32(out + 4, r0 ^ c1);
            StoreLe32(out + 8, l1 ^ c2);
            StoreLe32(out + 12, r1 ^ c3);
            c0 ^= x0;
            c1 ^= x1;
            c2 ^= x2;
            c3 ^= x3;
        }
        chain_[0] = c0;
        chain_[1] = c1;
        chain_[2] = c2;
        chain_[3] = c3;
    }

    Cipher cipher_;
    std::streambuf* source_;
    uint32_t chain_[4] = {};
    bool ended_ = false;
    alignas(16) char buffer_[4096];
};

namespace CipherDetail {
// Lets the stream buffer be built before the istream base that points at it.
template <class Cipher>
struct BufferHolder {
    BufferHolder(std::streambuf* source, const Cipher& cipher) : buffer(source, cipher) {}
    cipherstreambuf<Cipher> buffer;
};
}  // namespace CipherDetail

// Reads deciphered bytes from `source`'s stream buffer, which must outlive it.
template <class Cipher>
class icipherstream : private CipherDetail::BufferHolder<Cipher>, public std::istream {
public:
    icipherstream(std::istream& source, const Cipher& cipher)
        : CipherDetail::BufferHolder<Cipher>(source.rdbuf(), cipher), std::istream(&this->buffer)
    {
    }
};

// The inverse of cipherstreambuf: enciphers `plain`, padded with zero bytes to
// a whole number of 16-byte blocks, so that reading the result back through
// the stream gives `plain` followed by the padding.
template <class Cipher>
std::string EncipherChained(const Cipher& cipher, std::string_view plain)
{
    using CipherDetail::kChainBlock;
    using CipherDetail::LoadLe32;
    using CipherDetail::StoreLe32;
    std::string out(plain);
    out.resize((plain.size() + kChainBlock - 1) / kChainBlock * kChainBlock, '\0');
    uint32_t chain[4] = {};
    for (size_t at = 0; at < out.size(); at += kChainBlock) {
        auto* p = reinterpret_cast<unsigned char*>(out.data() + at);
        uint32_t w[4];
        for (int i = 0; i < 4; ++i) {
            w[i] = LoadLe32(p + 4 * i) ^ chain[i];
        }
        cipher.EncryptBlock(w[0], w[1]);
        cipher.EncryptBlock(w[2], w[3]);
        for (int i = 0; i < 4; ++i) {
            StoreLe32(p + 4 * i, w[i]);
            chain[i] ^= w[i];
        }
    }
    return out;
}

}  // namespace Crypto
