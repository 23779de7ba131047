#pragma once
// Disk answers laid out byte for byte as disks and drivers return them, for
// the parsing and probing tests.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sysinfo/DiskIdentity.h"

namespace Testing {

// A SMART identify answer: the 16-byte header, then the 512 identify bytes,
// where every word holds its first character in the high byte (so a model
// read byte by byte comes out pairwise swapped). Texts are padded with the
// given byte to their field's length.
inline std::vector<uint8_t> IdentifyAnswer(const std::string& model, const std::string& serial, char pad = ' ')
{
    std::vector<uint8_t> answer(SysInfo::kCommandOutSize, 0);
    uint8_t* identify = answer.data() + SysInfo::kCommandOutHeaderSize;
    auto put = [&](size_t firstWord, size_t words, std::string text) {
        text.resize(words * 2, pad);
        for (size_t i = 0; i < words; ++i) {
            identify[2 * (firstWord + i) + 1] = static_cast<uint8_t>(text[2 * i]);
            identify[2 * (firstWord + i)] = static_cast<uint8_t>(text[2 * i + 1]);
        }
    };
    put(10, 10, serial);
    put(27, 20, model);
    answer[0] = 0x00;  // cBufferSize = 512
    answer[1] = 0x02;
    return answer;
}

// A STORAGE_DEVICE_DESCRIPTOR answer with its texts after the fixed part;
// an empty text gets offset 0 (absent).
inline std::vector<uint8_t> DescriptorAnswer(const std::string& vendor, const std::string& product,
                                             const std::string& serial)
{
    std::vector<uint8_t> answer(SysInfo::kDeviceDescriptorSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            answer[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    auto text = [&](size_t field, const std::string& value) {
        if (value.empty()) {
            return;
        }
        put32(field, static_cast<uint32_t>(answer.size()));
        answer.insert(answer.end(), value.begin(), value.end());
        answer.push_back(0);
    };
    text(12, vendor);
    text(16, product);
    text(24, serial);
    put32(0, SysInfo::kDeviceDescriptorSize);
    put32(4, static_cast<uint32_t>(answer.size()));
    return answer;
}

}  // namespace Testing
