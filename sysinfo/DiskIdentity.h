#pragma once
// A disk's model and serial number, from the two answers a disk may give:
// the storage property query (any user; NVMe and USB disks answer too) and,
// as a fallback, the SMART identity of ATA disks. Requests are built and
// answers read here, byte by byte, so that captured answers test them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace SysInfo {

struct DiskIdentity {
    std::wstring model;
    std::wstring serial;
    friend bool operator==(const DiskIdentity&, const DiskIdentity&) = default;
};

namespace ControlCode {
constexpr uint32_t StorageQueryProperty = 0x2D1400;  // IOCTL_STORAGE_QUERY_PROPERTY
constexpr uint32_t SmartGetVersion = 0x74080;
constexpr uint32_t SmartReceiveDriveData = 0x7C088;
}  // namespace ControlCode

// The sizes of the system's structures.
constexpr uint32_t kPropertyQuerySize = 12;     // STORAGE_PROPERTY_QUERY
constexpr uint32_t kDeviceDescriptorSize = 40;  // STORAGE_DEVICE_DESCRIPTOR
constexpr uint32_t kVersionParamsSize = 24;     // GETVERSIONINPARAMS
constexpr uint32_t kCommandInParamsSize = 33;   // SENDCMDINPARAMS
constexpr uint32_t kIdentifySize = 512;
constexpr uint32_t kCommandOutHeaderSize = 16;  // SENDCMDOUTPARAMS up to its buffer
constexpr uint32_t kCommandOutSize = kCommandOutHeaderSize + kIdentifySize;

// A zero-filled query for the device descriptor (StorageDeviceProperty,
// PropertyStandardQuery).
std::vector<uint8_t> DeviceDescriptorQuery();

// The model ("vendor product" when the vendor is not the generic "ATA") and
// serial number of a descriptor answer; nothing when the answer is shorter
// than the descriptor's fixed part or names no product. Offsets outside the
// answer are ignored.
std::optional<DiskIdentity> ParseDeviceDescriptor(const uint8_t* answer, size_t returned);

// The descriptor's own size field (what a full answer needs), 0 when short.
uint32_t DescriptorSize(const uint8_t* answer, size_t returned);

// The IDE device map byte of a SMART version answer; nothing when short.
std::optional<uint8_t> ParseIdeDeviceMap(const uint8_t* answer, size_t returned);

// IDENTIFY PACKET DEVICE (0xA1) for ATAPI devices, else IDENTIFY DEVICE (0xEC).
uint8_t IdentifyCommand(uint8_t ideDeviceMap);

// The SMART identify request for one 512-byte sector.
std::vector<uint8_t> IdentifyRequest(uint8_t command);

// Model (words 27 to 46) and serial number (words 10 to 19) of an identify
// answer, each word's high byte first; nothing unless the answer covers the
// 512 identify bytes behind its header.
std::optional<DiskIdentity> ParseIdentifyAnswer(const uint8_t* answer, size_t returned);

// Identify text bytes: up to the first NUL; bytes outside printable ASCII
// that do not form UTF-8 text become "?"; blanks at the end are cut.
std::wstring DiskText(const uint8_t* bytes, size_t size);

// "model\nS/N: serial" (the model alone without a serial); disks one after
// the other, separated by a line break.
std::wstring FormatDisks(const std::vector<DiskIdentity>& disks);

}  // namespace SysInfo
