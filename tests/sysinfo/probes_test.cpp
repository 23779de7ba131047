// The summary's probes over the portable platform: memory figures, the
// primary display adapter, and disks asked for their descriptor first and
// for their SMART identity only when that fails, with buffers of the
// system's sizes, opened for queries only and always closed.
#include <gtest/gtest.h>

#include "sysinfo/Probes.h"
#include "sysinfo/Summary.h"
#include "tests/support/Scratch.h"

#ifndef _WIN32
#include "core/platform/portable/PortablePlatform.h"
#include "tests/sysinfo/DiskAnswers.h"
#endif

namespace Testing {
namespace {

TEST(SystemSummary, MemoryFigures)
{
    struct Case {
        uint64_t bytes;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"0.00 MB of RAM"},
        {1023ull * 1048576 + 492831, L"1023.47 MB of RAM"},
        {1073217536, L"1023.50 MB of RAM"},
        {4ull << 30, L"4096.00 MB of RAM"},  // beyond 32 bits
        {(8ull << 30) - 1, L"8192.00 MB of RAM"},
        {1048576 + 10486, L"1.01 MB of RAM"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SysInfo::FormatMemory(c.bytes), c.text) << c.bytes;
    }
}

TEST(SystemSummary, TheDisplayAdapterShownIsThePrimaryOne)
{
    using Platform::DisplayDevice;
    namespace Flag = Platform::DisplayFlag;
    struct Case {
        std::vector<DisplayDevice> devices;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {{{L"\\\\.\\DISPLAY1", L"Intel UHD", Flag::AttachedToDesktop},
          {L"\\\\.\\DISPLAY2", L"NVIDIA RTX", Flag::AttachedToDesktop | Flag::PrimaryDevice}},
         L"NVIDIA RTX"},
        {{{L"\\\\.\\DISPLAY1", L"Idle adapter", 0}, {L"\\\\.\\DISPLAY2", L"Attached", Flag::AttachedToDesktop}},
         L"Attached"},
        {{{L"\\\\.\\DISPLAYV1", L"Mirror", Flag::MirroringDriver | Flag::PrimaryDevice},
          {L"\\\\.\\DISPLAY1", L"Plain", 0}},
         L"Plain"},
        {{}, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SysInfo::ChooseDisplayAdapter(c.devices), c.shown);
    }
}

#ifndef _WIN32
class ProbeTest : public ScratchTest {
protected:
    Platform::Portable::PortableHardware& Hw() { return Portable().Hardware(); }

    // A disk that answers the given codes with the given bytes and refuses
    // every other request.
    void SetDisk(int index, std::map<uint32_t, std::vector<uint8_t>> answers)
    {
        Hw().SetDevice(L"\\\\.\\PhysicalDrive" + std::to_wstring(index),
                       [answers](const Platform::Portable::DeviceRequest& request, std::vector<uint8_t>* out) {
                           auto it = answers.find(request.code);
                           if (it == answers.end()) {
                               return Err::InvalidFunction;
                           }
                           *out = it->second;
                           return Err::Success;
                       });
    }
};

TEST_F(ProbeTest, DisksAnswerTheDescriptorFirstAndSmartAsTheFallback)
{
    std::vector<uint8_t> version(SysInfo::kVersionParamsSize, 0);
    version[3] = 0x01;  // one IDE device
    SetDisk(0, {{SysInfo::ControlCode::StorageQueryProperty,
                 DescriptorAnswer("", "Samsung SSD 970 EVO Plus 1TB", "0025_385B")}});
    SetDisk(1, {{SysInfo::ControlCode::SmartGetVersion, version},
                {SysInfo::ControlCode::SmartReceiveDriveData, IdentifyAnswer("WDC WD10EZEX", "WD-WCC6Y01")}});
    SetDisk(3, {{SysInfo::ControlCode::SmartGetVersion, std::vector<uint8_t>(24, 0)}});  // map 0: no IDE device

    EXPECT_EQ(SysInfo::FormatDisks(SysInfo::ProbeDisks()),
              L"Samsung SSD 970 EVO Plus 1TB\nS/N: 0025_385B\nWDC WD10EZEX\nS/N: WD-WCC6Y01");
    EXPECT_EQ(Hw().OpenDevices(), 0u);

    struct Expected {
        const wchar_t* device;
        uint32_t code;
        size_t in;
        size_t out;
    };
    const Expected expected[] = {
        {L"\\\\.\\PhysicalDrive0", SysInfo::ControlCode::StorageQueryProperty, 12, 1024},
        {L"\\\\.\\PhysicalDrive1", SysInfo::ControlCode::StorageQueryProperty, 12, 1024},
        {L"\\\\.\\PhysicalDrive1", SysInfo::ControlCode::SmartGetVersion, 24, 24},
        {L"\\\\.\\PhysicalDrive1", SysInfo::ControlCode::SmartReceiveDriveData, 33, 528},
        {L"\\\\.\\PhysicalDrive3", SysInfo::ControlCode::StorageQueryProperty, 12, 1024},
        {L"\\\\.\\PhysicalDrive3", SysInfo::ControlCode::SmartGetVersion, 24, 24},
    };
    const auto requests = Hw().Requests();
    ASSERT_EQ(requests.size(), std::size(expected));
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].first, expected[i].device) << i;
        EXPECT_EQ(requests[i].second.code, expected[i].code) << i;
        EXPECT_EQ(requests[i].second.input.size(), expected[i].in) << i;
        EXPECT_EQ(requests[i].second.offeredOutput, std::vector<uint8_t>(expected[i].out, 0)) << "zero-filled " << i;
    }
}

TEST_F(ProbeTest, AShortIdentifyAnswerIsNotRead)
{
    std::vector<uint8_t> version(SysInfo::kVersionParamsSize, 0);
    version[3] = 0x01;
    std::vector<uint8_t> identify = IdentifyAnswer("WDC WD10EZEX", "WD-WCC6Y01");
    identify.resize(SysInfo::kCommandOutSize - 2);
    SetDisk(
        0, {{SysInfo::ControlCode::SmartGetVersion, version}, {SysInfo::ControlCode::SmartReceiveDriveData, identify}});
    EXPECT_TRUE(SysInfo::ProbeDisks().empty());
}

// Windows cuts a descriptor to the buffer and names its full size in it.
TEST_F(ProbeTest, ALongDescriptorIsAskedForAgainInFull)
{
    const std::vector<uint8_t> descriptor = DescriptorAnswer("", std::string(1500, 'M'), "S1");
    Hw().SetDevice(L"\\\\.\\PhysicalDrive0",
                   [descriptor](const Platform::Portable::DeviceRequest&, std::vector<uint8_t>* out) {
                       *out = descriptor;
                       return Err::Success;
                   });
    const auto disk = SysInfo::ProbeDisk(0);
    ASSERT_TRUE(disk);
    EXPECT_EQ(*disk, (SysInfo::DiskIdentity{std::wstring(1500, L'M'), L"S1"}));
    const auto requests = Hw().Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].second.offeredOutput.size(), descriptor.size());
}

TEST_F(ProbeTest, ItemsWithoutTextAreLeftOut)
{
    Hw().SetPhysicalMemory(3ull << 30);
    auto items = GUI::SystemInfo::ProbedItems();
    ASSERT_EQ(items.size(), 2u) << "no display adapter and no disk";
    EXPECT_EQ(std::wstring(items[0]->Label()), L"System Summary:");
    EXPECT_EQ(std::wstring(items[1]->Label()), L"Computer:");
    EXPECT_EQ(items[1]->Text(), L"3072.00 MB of RAM");

    Hw().SetDisplayDevices({{L"\\\\.\\DISPLAY1", L"Adapter", Platform::DisplayFlag::PrimaryDevice}});
    Hw().SetDevice(L"\\\\.\\PhysicalDrive2", [](const Platform::Portable::DeviceRequest&, std::vector<uint8_t>* out) {
        *out = DescriptorAnswer("", "Disk", "7");
        return Err::Success;
    });
    items = GUI::SystemInfo::ProbedItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2]->Text(), L"Adapter");
    EXPECT_EQ(items[3]->Text(), L"Disk\nS/N: 7");
}
#endif

}  // namespace
}  // namespace Testing
