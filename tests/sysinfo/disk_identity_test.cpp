// Reading disk answers captured from real machines: identify words with their
// characters swapped, padding, NUL and 0xFF bytes, short answers, and storage
// descriptors of NVMe, USB and ATA disks.
#include <gtest/gtest.h>

#include "sysinfo/DiskIdentity.h"
#include "tests/sysinfo/DiskAnswers.h"

namespace Testing {
namespace {

using SysInfo::DiskIdentity;

TEST(DiskIdentity, IdentifyAnswers)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> answer;
        size_t returned;
        std::optional<DiskIdentity> expected;
    };
    std::vector<uint8_t> withNul = IdentifyAnswer("WDC WD10EZEX-08WN4A0", "WD-WCC6Y0123456");
    withNul[SysInfo::kCommandOutHeaderSize + 2 * 30 + 1] = 0;  // the model's 7th character
    std::vector<uint8_t> withFf = IdentifyAnswer("ST1000DM003-1CH162", "Z1D5ABCD");
    withFf[SysInfo::kCommandOutHeaderSize + 2 * 28 + 1] = 0xFF;  // the model's 3rd character
    const Case cases[] = {
        {"blank padding cut at the end only", IdentifyAnswer("  Samsung SSD 860 EVO 500GB", "S3Z1NB0K123456A"),
         SysInfo::kCommandOutSize, DiskIdentity{L"  Samsung SSD 860 EVO 500GB", L"S3Z1NB0K123456A"}},
        {"an odd-length model", IdentifyAnswer("ST1000DM003-1CH162", "Z1D5ABCD"), SysInfo::kCommandOutSize,
         DiskIdentity{L"ST1000DM003-1CH162", L"Z1D5ABCD"}},
        {"NUL ends the text", withNul, SysInfo::kCommandOutSize, DiskIdentity{L"WDC WD", L"WD-WCC6Y0123456"}},
        {"0xFF is replaced", withFf, SysInfo::kCommandOutSize, DiskIdentity{L"ST?000DM003-1CH162", L"Z1D5ABCD"}},
        {"NUL padding", IdentifyAnswer("VBOX HARDDISK", "VB5d1e2f3a-1b2c3d4e", '\0'), SysInfo::kCommandOutSize,
         DiskIdentity{L"VBOX HARDDISK", L"VB5d1e2f3a-1b2c3d4e"}},
        {"one byte short of the identify data", IdentifyAnswer("VBOX HARDDISK", "X"), SysInfo::kCommandOutSize - 1,
         std::nullopt},
        {"no model", IdentifyAnswer("", "X"), SysInfo::kCommandOutSize, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SysInfo::ParseIdentifyAnswer(c.answer.data(), c.returned), c.expected) << c.what;
    }
}

TEST(DiskIdentity, DescriptorAnswers)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> answer;
        std::optional<DiskIdentity> expected;
    };
    std::vector<uint8_t> outside = DescriptorAnswer("", "Samsung SSD 970 EVO Plus 1TB", "");
    outside[24] = 0xF0;  // a serial offset past the answer
    const Case cases[] = {
        {"NVMe: no vendor", DescriptorAnswer("", "Samsung SSD 970 EVO Plus 1TB", "0025_385B_9150_1234."),
         DiskIdentity{L"Samsung SSD 970 EVO Plus 1TB", L"0025_385B_9150_1234."}},
        {"USB: vendor and product padded", DescriptorAnswer("SanDisk ", "Ultra           ", "4C530001"),
         DiskIdentity{L"SanDisk Ultra", L"4C530001"}},
        {"ATA: the generic vendor is left out", DescriptorAnswer("ATA     ", "ST1000DM003-1CH1", "     Z1D5ABCD"),
         DiskIdentity{L"ST1000DM003-1CH1", L"     Z1D5ABCD"}},
        {"offsets outside the answer are ignored", outside, DiskIdentity{L"Samsung SSD 970 EVO Plus 1TB", L""}},
        {"no product", DescriptorAnswer("SanDisk", "", "1"), std::nullopt},
        {"shorter than the fixed part", std::vector<uint8_t>(SysInfo::kDeviceDescriptorSize - 1, 0), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SysInfo::ParseDeviceDescriptor(c.answer.data(), c.answer.size()), c.expected) << c.what;
    }
}

TEST(DiskIdentity, DiskTextsAndTheirJoin)
{
    EXPECT_EQ(SysInfo::FormatDisks({}), L"");
    EXPECT_EQ(SysInfo::FormatDisks({{L"Disk A", L"1"}, {L"Disk B", L"2"}}), L"Disk A\nS/N: 1\nDisk B\nS/N: 2");
    EXPECT_EQ(SysInfo::FormatDisks({{L"USB stick", L""}, {L"Disk B", L"2"}}), L"USB stick\nDisk B\nS/N: 2");

    const uint8_t utf8[] = {'D', 0xC3, 0xA9, 'j', 0xC3, 0xA0, ' ', ' '};
    EXPECT_EQ(SysInfo::DiskText(utf8, sizeof utf8), L"D\u00e9j\u00e0");
    const uint8_t control[] = {'A', 0x07, 'B', 0x7F, 0xC3, ' '};
    EXPECT_EQ(SysInfo::DiskText(control, sizeof control), L"A?B??");
}

TEST(DiskIdentity, Requests)
{
    EXPECT_EQ(SysInfo::IdentifyCommand(0x01), 0xEC);
    EXPECT_EQ(SysInfo::IdentifyCommand(0x10), 0xA1);
    const std::vector<uint8_t> request = SysInfo::IdentifyRequest(0xEC);
    ASSERT_EQ(request.size(), 33u);
    const std::vector<uint8_t> registers(request.begin() + 4, request.begin() + 12);
    EXPECT_EQ(registers, (std::vector<uint8_t>{0, 1, 1, 0, 0, 0xA0, 0xEC, 0}));
    EXPECT_EQ(request[0] | (request[1] << 8), 512);
}

}  // namespace
}  // namespace Testing
