#include "sysinfo/DiskIdentity.h"

#include <string_view>

#include "core/platform/Errors.h"
#include "core/text/Utf.h"

namespace SysInfo {
namespace {

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// The NUL-terminated text at offset, cut at the end of the answer.
std::wstring TextAt(const uint8_t* answer, size_t returned, uint32_t offset)
{
    if (offset == 0 || offset >= returned) {
        return {};
    }
    return DiskText(answer + offset, returned - offset);
}

// Identify words hold two characters each, the first in the high byte.
std::wstring IdentifyText(const uint8_t* identify, size_t firstWord, size_t words)
{
    std::string bytes;
    for (size_t w = firstWord; w < firstWord + words; ++w) {
        bytes += static_cast<char>(identify[2 * w + 1]);
        bytes += static_cast<char>(identify[2 * w]);
    }
    return DiskText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void TrimEnd(std::wstring* text)
{
    while (!text->empty() && text->back() == L' ') {
        text->pop_back();
    }
}

}  // namespace

std::vector<uint8_t> DeviceDescriptorQuery()
{
    return std::vector<uint8_t>(kPropertyQuerySize, 0);
}

uint32_t DescriptorSize(const uint8_t* answer, size_t returned)
{
    return returned >= 8 ? ReadU32(answer + 4) : 0;
}

std::optional<DiskIdentity> ParseDeviceDescriptor(const uint8_t* answer, size_t returned)
{
    if (returned < kDeviceDescriptorSize) {
        return std::nullopt;
    }
    const std::wstring vendor = TextAt(answer, returned, ReadU32(answer + 12));
    const std::wstring product = TextAt(answer, returned, ReadU32(answer + 16));
    DiskIdentity disk;
    disk.serial = TextAt(answer, returned, ReadU32(answer + 24));
    std::wstring trimmedVendor = vendor;
    while (!trimmedVendor.empty() && trimmedVendor.front() == L' ') {
        trimmedVendor.erase(0, 1);
    }
    std::wstring trimmedProduct = product;
    while (!trimmedProduct.empty() && trimmedProduct.front() == L' ') {
        trimmedProduct.erase(0, 1);
    }
    if (trimmedProduct.empty()) {
        return std::nullopt;
    }
    disk.model =
        trimmedVendor.empty() || trimmedVendor == L"ATA" ? trimmedProduct : trimmedVendor + L" " + trimmedProduct;
    return disk;
}

std::optional<uint8_t> ParseIdeDeviceMap(const uint8_t* answer, size_t returned)
{
    if (returned < kVersionParamsSize) {
        return std::nullopt;
    }
    return answer[3];
}

uint8_t IdentifyCommand(uint8_t ideDeviceMap)
{
    return (ideDeviceMap & 0x10) != 0 ? 0xA1 : 0xEC;
}

std::vector<uint8_t> IdentifyRequest(uint8_t command)
{
    std::vector<uint8_t> request(kCommandInParamsSize, 0);
    request[0] = static_cast<uint8_t>(kIdentifySize & 0xFF);  // cBufferSize = 512
    request[1] = static_cast<uint8_t>(kIdentifySize >> 8);
    // The task-file registers: features, sector count, sector number,
    // cylinder low and high, drive/head, command.
    request[4] = 0;
    request[5] = 1;
    request[6] = 1;
    request[7] = 0;
    request[8] = 0;
    request[9] = 0xA0;
    request[10] = command;
    request[12] = 0;  // drive number
    return request;
}

std::optional<DiskIdentity> ParseIdentifyAnswer(const uint8_t* answer, size_t returned)
{
    if (returned < kCommandOutSize) {
        return std::nullopt;
    }
    const uint8_t* identify = answer + kCommandOutHeaderSize;
    DiskIdentity disk;
    disk.model = IdentifyText(identify, 27, 20);
    disk.serial = IdentifyText(identify, 10, 10);
    if (disk.model.empty()) {
        return std::nullopt;
    }
    return disk;
}

std::wstring DiskText(const uint8_t* bytes, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size && bytes[i] != 0; ++i) {
        text += static_cast<char>(bytes[i]);
    }
    std::wstring wide;
    bool utf8 = true;
    for (unsigned char c : text) {
        utf8 = utf8 && c >= 0x20 && c != 0x7F;
    }
    if (!utf8 || Text::Utf8ToWide(text, &wide) != Err::Success) {
        wide.clear();
        for (unsigned char c : text) {
            wide += c >= 0x20 && c < 0x7F ? static_cast<wchar_t>(c) : L'?';
        }
    }
    TrimEnd(&wide);
    return wide;
}

std::wstring FormatDisks(const std::vector<DiskIdentity>& disks)
{
    std::wstring text;
    for (const DiskIdentity& disk : disks) {
        if (!text.empty()) {
            text += L"\n";
        }
        text += disk.model;
        if (!disk.serial.empty()) {
            text += L"\nS/N: " + disk.serial;
        }
    }
    return text;
}

}  // namespace SysInfo
