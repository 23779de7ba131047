#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/crypto/Md5.h"

namespace {

std::wstring Hex(std::string_view message)
{
    return Crypto::DigestToHex(Crypto::Md5::Of(message.data(), message.size()));
}

// Bytes 0, 1, 2, ... 250, 0, 1, ...: no two blocks alike.
std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = uint8_t(i % 251);
    }
    return bytes;
}

TEST(Md5, Rfc1321TestSuite)
{
    EXPECT_EQ(Hex(""), L"d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Hex("a"), L"0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Hex("abc"), L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Hex("message digest"), L"f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Hex("abcdefghijklmnopqrstuvwxyz"), L"c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              L"d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              L"57edf4a22be3c955ac49da2e2107b67a");
}

// The padding takes a second block from 56 bytes of the last block on.
TEST(Md5, LengthsAroundTheBlockAndPaddingBoundaries)
{
    const std::pair<size_t, const wchar_t*> cases[] = {
        {55, L"6912ee65fff2d9f9ce2508cddf8bcda0"},  {56, L"51fdd1acda72405dfdfa03fcb85896d7"},
        {63, L"48a6295221902e8e0938f773a7185e72"},  {64, L"b2d3f56bc197fd985d5965079b5e7148"},
        {65, L"8bd7053801c768420faf816fadba971c"},  {119, L"1c772251899a7ff007400b888d6b2042"},
        {120, L"b7ba1efc6022e9ed272f00b8831e26e6"},
    };
    for (const auto& [size, expected] : cases) {
        const auto bytes = Pattern(size);
        EXPECT_EQ(Crypto::DigestToHex(Crypto::Md5::Of(bytes.data(), bytes.size())), expected) << size;
    }
}

TEST(Md5, AMillionAs)
{
    const std::string message(1000000, 'a');
    EXPECT_EQ(Hex(message), L"7707d6ae4e027c70eea2a935c2296f21");
}

// Feeding a message in two pieces split anywhere gives the one-piece digest.
TEST(Md5, PiecewiseUpdatesMatchOneUpdate)
{
    const auto bytes = Pattern(300);
    const auto whole = Crypto::Md5::Of(bytes.data(), bytes.size());
    for (size_t split = 0; split <= bytes.size(); ++split) {
        Crypto::Md5 md5;
        md5.Update(bytes.data(), split);
        md5.Update(bytes.data() + split, bytes.size() - split);
        ASSERT_EQ(md5.Final(), whole) << split;
    }
    Crypto::Md5 bytewise;
    for (uint8_t b : bytes) {
        bytewise.Update(&b, 1);
    }
    EXPECT_EQ(bytewise.Final(), whole);
}

TEST(Md5, FinalResetsForTheNextMessage)
{
    Crypto::Md5 md5;
    md5.Update("junk", 4);
    (void)md5.Final();
    md5.Update("abc", 3);
    EXPECT_EQ(Crypto::DigestToHex(md5.Final()), L"900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, TextFormIsLowerCaseHighNibbleFirst)
{
    Crypto::Md5::Digest digest{};
    digest[0] = 0xA5;
    digest[15] = 0x0F;
    EXPECT_EQ(Crypto::DigestToHex(digest), L"a500000000000000000000000000000f");
}

}  // namespace
