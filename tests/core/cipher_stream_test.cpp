#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/crypto/Blowfish.h"
#include "core/crypto/CipherStream.h"
#include "core/platform/Errors.h"

namespace {

using Crypto::blowfish;
using Stream = Crypto::icipherstream<blowfish>;

blowfish Keyed(std::string_view key)
{
    blowfish bf;
    EXPECT_EQ(bf.SetKey(key), Err::Success);
    return bf;
}

std::string RandomBytes(std::mt19937& rng, size_t n)
{
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(rng());
    }
    return s;
}

// Reads the stream to its end with one large read.
std::string ReadAll(const std::string& ciphertext, const blowfish& key)
{
    std::istringstream source(ciphertext);
    Stream plain(source, key);
    std::string out(ciphertext.size() + 64, '\0');
    plain.read(out.data(), static_cast<std::streamsize>(out.size()));
    out.resize(static_cast<size_t>(plain.gcount()));
    return out;
}

// Reads the stream one character at a time, through underflow only.
std::string ReadByChar(const std::string& ciphertext, const blowfish& key)
{
    std::istringstream source(ciphertext);
    Stream plain(source, key);
    std::string out;
    for (int c = plain.get(); c != std::char_traits<char>::eof(); c = plain.get()) {
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// Reads the stream in pieces of random sizes, mixing reads and single gets.
std::string ReadInPieces(const std::string& ciphertext, const blowfish& key, std::mt19937& rng)
{
    std::istringstream source(ciphertext);
    Stream plain(source, key);
    std::string out;
    for (;;) {
        if (rng() % 4 == 0) {
            const int c = plain.get();
            if (c == std::char_traits<char>::eof()) {
                break;
            }
            out.push_back(static_cast<char>(c));
            continue;
        }
        char piece[9000];
        plain.read(piece, 1 + static_cast<std::streamsize>(rng() % sizeof(piece)));
        out.append(piece, static_cast<size_t>(plain.gcount()));
        if (!plain) {
            break;
        }
    }
    return out;
}

// A source that hands out at most a few bytes per request, as a pipe might.
class TricklingBuf : public std::streambuf {
public:
    explicit TricklingBuf(std::string data) : data_(std::move(data)) {}

protected:
    std::streamsize xsgetn(char* s, std::streamsize n) override
    {
        const auto take = static_cast<size_t>(std::min<std::streamsize>(n, 5));
        const size_t k = std::min(take, data_.size() - at_);
        std::memcpy(s, data_.data() + at_, k);
        at_ += k;
        return static_cast<std::streamsize>(k);
    }
    int_type underflow() override
    {
        return at_ < data_.size() ? traits_type::to_int_type(data_[at_]) : traits_type::eof();
    }

private:
    std::string data_;
    size_t at_ = 0;
};

// The published vector 4EF997456198DD78 (all-zero 8-byte key and plaintext),
// laid out as the stream reads it: each word little-endian, left word first.
const std::string kZeroBlockCipher("\x45\x97\xF9\x4E\x78\xDD\x98\x61", 8);
const std::string kZeroKey(8, '\0');

TEST(CipherStream, ReadsWordsLittleEndianLeftWordFirst)
{
    const std::string plain = ReadAll(kZeroBlockCipher + kZeroBlockCipher, Keyed(kZeroKey));
    EXPECT_EQ(plain, std::string(16, '\0'));
}

TEST(CipherStream, ChainingValueIsTheXorOfAllCiphertextSoFar)
{
    const std::string c = kZeroBlockCipher + kZeroBlockCipher;
    const std::string plain = ReadAll(c + c + c, Keyed(kZeroKey));
    ASSERT_EQ(plain.size(), 48u);
    // Block 1 sees a zero chaining value, block 2 the first ciphertext block
    // (so the deciphered zeros come out as that block), block 3 the XOR of two
    // equal blocks, which is zero again.
    EXPECT_EQ(plain.substr(0, 16), std::string(16, '\0'));
    EXPECT_EQ(plain.substr(16, 16), c);
    EXPECT_EQ(plain.substr(32, 16), std::string(16, '\0'));
}

TEST(CipherStream, IdenticalBlocksDecipherDifferentlyUnlessChainingIsZeroAtBoth)
{
    const blowfish key = Keyed("MORNINGDEWS");
    std::mt19937 rng(1);
    const std::string x = RandomBytes(rng, 16);
    const std::string twice = ReadAll(x + x, key);
    ASSERT_EQ(twice.size(), 32u);
    EXPECT_NE(twice.substr(0, 16), twice.substr(16, 16));

    // All-zero ciphertext keeps the chaining value zero, so the blocks match.
    const std::string zeros = ReadAll(std::string(32, '\0'), key);
    ASSERT_EQ(zeros.size(), 32u);
    EXPECT_EQ(zeros.substr(0, 16), zeros.substr(16, 16));
}

TEST(CipherStream, FortyBytesOfCiphertextGiveThirtyTwoOfPlaintext)
{
    const blowfish key = Keyed("MORNINGDEWS");
    std::mt19937 rng(2);
    const std::string c = RandomBytes(rng, 40);
    const std::string whole = ReadAll(c.substr(0, 32), key);
    EXPECT_EQ(ReadAll(c, key), whole);
    EXPECT_EQ(ReadByChar(c, key), whole);
    EXPECT_EQ(whole.size(), 32u);
}

TEST(CipherStream, ReadAtTheEndDeliversWhatIsLeftAndSetsEof)
{
    const blowfish key = Keyed("MORNINGDEWS");
    const std::string c = Crypto::EncipherChained(key, std::string(32, 'a'));
    std::istringstream source(c);
    Stream plain(source, key);
    char buf[40];
    plain.read(buf, 28);
    EXPECT_EQ(plain.gcount(), 28);
    plain.read(buf, 10);
    EXPECT_EQ(plain.gcount(), 4);
    EXPECT_TRUE(plain.eof());
    EXPECT_EQ(std::string(buf, 4), "aaaa");
}

TEST(CipherStream, EncipherThenDecipherGivesThePayloadBackPadded)
{
    const blowfish key = Keyed("MORNINGDEWS");
    std::mt19937 rng(3);
    std::vector<size_t> lengths = {0, 1, 15, 16, 17, 31, 32, 4095, 4096, 4097, 8191, 65536 + 5};
    for (int i = 0; i < 20; ++i) {
        lengths.push_back(rng() % 20000);
    }
    for (size_t n : lengths) {
        SCOPED_TRACE(n);
        const std::string payload = RandomBytes(rng, n);
        const std::string c = Crypto::EncipherChained(key, payload);
        ASSERT_EQ(c.size() % 16, 0u);
        ASSERT_EQ(c.size(), (n + 15) / 16 * 16);
        std::string expected = payload;
        expected.resize(c.size(), '\0');
        EXPECT_EQ(ReadAll(c, key), expected);
        EXPECT_EQ(ReadByChar(c, key), expected);
        EXPECT_EQ(ReadInPieces(c, key, rng), expected);
    }
}

TEST(CipherStream, TruncatedSourceDeliversEveryWholeBlockAndNoPartOfAPartialOne)
{
    const blowfish key = Keyed("MORNINGDEWS");
    std::mt19937 rng(4);
    const std::string payload = RandomBytes(rng, 160);
    const std::string c = Crypto::EncipherChained(key, payload);
    for (size_t cut = 0; cut <= c.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string expected = payload.substr(0, cut / 16 * 16);
        EXPECT_EQ(ReadAll(c.substr(0, cut), key), expected);
        EXPECT_EQ(ReadByChar(c.substr(0, cut), key), expected);
    }
}

TEST(CipherStream, SourceThatDeliversInSmallPiecesReadsTheSame)
{
    const blowfish key = Keyed("MORNINGDEWS");
    std::mt19937 rng(5);
    const std::string payload = RandomBytes(rng, 10007);
    const std::string c = Crypto::EncipherChained(key, payload);
    for (size_t cut : {c.size(), c.size() - 9}) {
        TricklingBuf source(c.substr(0, cut));
        std::istream sourceStream(&source);
        Stream plain(sourceStream, key);
        std::string out(c.size(), '\0');
        plain.read(out.data(), static_cast<std::streamsize>(out.size()));
        out.resize(static_cast<size_t>(plain.gcount()));
        std::string expected = payload;
        expected.resize(cut / 16 * 16, '\0');
        EXPECT_EQ(out, expected);
    }
}

TEST(CipherStream, MissingSourceBufferIsAnEmptyStream)
{
    std::istream nothing(nullptr);
    Stream plain(nothing, Keyed("MORNINGDEWS"));
    EXPECT_EQ(plain.get(), std::char_traits<char>::eof());
    EXPECT_TRUE(plain.eof());
}

TEST(CipherStream, WrongKeyGivesOtherBytes)
{
    const std::string payload(64, 'x');
    const std::string c = Crypto::EncipherChained(Keyed("MORNINGDEWS"), payload);
    const std::string other = ReadAll(c, Keyed("MORNINGDEW"));
    ASSERT_EQ(other.size(), payload.size());
    EXPECT_NE(other, payload);
}

}  // namespace
