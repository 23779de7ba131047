#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/crypto/Blowfish.h"
#include "core/platform/Errors.h"

namespace {

std::vector<uint8_t> FromHex(std::string_view hex)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoul(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// The widely published ECB test set (64-bit keys); blocks are written as the
// left word then the right word, big-endian.
constexpr Vector kEcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

// The published variable-key-length set: prefixes of one key, 1 to 24 bytes,
// enciphering FEDCBA9876543210. Keys not a multiple of 4 bytes long test the
// cyclic use of key bytes across word boundaries.
constexpr const char* kVariableKey = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
constexpr const char* kVariableKeyCiphers[] = {
    "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05", "B39E44481BDB1E6E",
    "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0",
    "3A833C9AFFC537F6", "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
    "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
    "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
};

uint32_t Word(std::string_view hex8)
{
    return static_cast<uint32_t>(std::stoul(std::string(hex8), nullptr, 16));
}

Crypto::blowfish Keyed(const std::vector<uint8_t>& key)
{
    Crypto::blowfish bf;
    EXPECT_EQ(bf.SetKey(key.data(), key.size()), Err::Success);
    return bf;
}

TEST(Blowfish, PublishedEcbVectorsEncryptAndDecrypt)
{
    for (const Vector& v : kEcbVectors) {
        SCOPED_TRACE(v.key);
        const Crypto::blowfish bf = Keyed(FromHex(v.key));
        const std::string_view plain(v.plain), cipher(v.cipher);
        uint32_t l = Word(plain.substr(0, 8)), r = Word(plain.substr(8, 8));
        bf.EncryptBlock(l, r);
        EXPECT_EQ(l, Word(cipher.substr(0, 8)));
        EXPECT_EQ(r, Word(cipher.substr(8, 8)));
        bf.DecryptBlock(l, r);
        EXPECT_EQ(l, Word(plain.substr(0, 8)));
        EXPECT_EQ(r, Word(plain.substr(8, 8)));
    }
}

TEST(Blowfish, PublishedVariableLengthKeys)
{
    const std::vector<uint8_t> full = FromHex(kVariableKey);
    for (size_t n = 1; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        const Crypto::blowfish bf = Keyed(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)));
        uint32_t l = 0xFEDCBA98u, r = 0x76543210u;
        bf.EncryptBlock(l, r);
        const std::string_view expected(kVariableKeyCiphers[n - 1]);
        EXPECT_EQ(l, Word(expected.substr(0, 8)));
        EXPECT_EQ(r, Word(expected.substr(8, 8)));
    }
}

TEST(Blowfish, KeyLengthOutsideLimitsIsRefusedAndScheduleKept)
{
    Crypto::blowfish bf = Keyed(FromHex("0123456789ABCDEF"));
    const std::vector<uint8_t> tooLong(Crypto::blowfish::kMaxKeyLength + 1, 0x5A);
    EXPECT_EQ(bf.SetKey(tooLong.data(), tooLong.size()), Err::InvalidParameter);
    EXPECT_EQ(bf.SetKey(tooLong.data(), 0), Err::InvalidParameter);
    EXPECT_EQ(bf.SetKey(nullptr, 8), Err::InvalidParameter);
    uint32_t l = 0x11111111u, r = 0x11111111u;
    bf.EncryptBlock(l, r);
    EXPECT_EQ(l, 0x61F9C380u);
    EXPECT_EQ(r, 0x2281B096u);

    // The longest key is used whole: its last byte changes the schedule.
    std::vector<uint8_t> longest(Crypto::blowfish::kMaxKeyLength, 0x5A);
    const Crypto::blowfish a = Keyed(longest);
    longest.back() = 0xA5;
    const Crypto::blowfish b = Keyed(longest);
    uint32_t la = 0, ra = 0, lb = 0, rb = 0;
    a.EncryptBlock(la, ra);
    b.EncryptBlock(lb, rb);
    EXPECT_TRUE(la != lb || ra != rb);
}

TEST(Blowfish, RekeyingStartsAgainFromPi)
{
    Crypto::blowfish bf = Keyed(FromHex("FFFFFFFFFFFFFFFF"));
    ASSERT_EQ(bf.SetKey(FromHex("0000000000000000").data(), 8), Err::Success);
    uint32_t l = 0, r = 0;
    bf.EncryptBlock(l, r);
    EXPECT_EQ(l, 0x4EF99745u);
    EXPECT_EQ(r, 0x6198DD78u);
}

TEST(Blowfish, DecryptInvertsEncryptForRandomKeysAndBlocks)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> key(1 + rng() % Crypto::blowfish::kMaxKeyLength);
        for (auto& b : key) {
            b = static_cast<uint8_t>(rng());
        }
        const Crypto::blowfish bf = Keyed(key);
        const uint32_t l0 = rng(), r0 = rng();
        uint32_t l = l0, r = r0;
        bf.EncryptBlock(l, r);
        EXPECT_TRUE(l != l0 || r != r0);
        bf.DecryptBlock(l, r);
        ASSERT_EQ(l, l0);
        ASSERT_EQ(r, r0);
    }
}

}  // namespace
