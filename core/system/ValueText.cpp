#include "core/system/ValueText.h"

#include <cstdio>

#include "core/crypto/Base64.h"
#include "core/platform/Platform.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Sys {
namespace {

using Platform::RegType::Binary;
using Platform::RegType::Dword;
using Platform::RegType::DwordBigEndian;
using Platform::RegType::ExpandSz;
using Platform::RegType::MultiSz;
using Platform::RegType::Sz;

// All UTF-16 units of the data, whatever NULs they hold.
std::wstring Utf16Units(const std::vector<uint8_t>& data)
{
    std::wstring text(data.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = wchar_t(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return text;
}

std::wstring WithoutChars(std::wstring_view text, std::wstring_view drop)
{
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        if (drop.find(ch) == std::wstring_view::npos) {
            out.push_back(ch);
        }
    }
    return out;
}

bool DwordEquals(uint32_t type, const std::vector<uint8_t>& data, std::wstring_view text)
{
    if (data.size() != 4) {
        return false;
    }
    uint32_t number = type == DwordBigEndian
                          ? (uint32_t(data[0]) << 24) | (uint32_t(data[1]) << 16) | (uint32_t(data[2]) << 8) | data[3]
                          : (uint32_t(data[3]) << 24) | (uint32_t(data[2]) << 16) | (uint32_t(data[1]) << 8) | data[0];
    wchar_t buffer[16];
    const bool hex = text.find(L"0x") != std::wstring_view::npos || text.find(L"0X") != std::wstring_view::npos;
    if (hex) {
        std::swprintf(buffer, 16, L"0x%08X", number);
        return RTI::EqualsIgnoreCase(buffer, text);
    }
    std::swprintf(buffer, 16, L"%u", number);
    return text == buffer;
}

bool MultiStringEquals(const std::vector<uint8_t>& data, std::wstring_view text)
{
    std::wstring joined = Utf16Units(data);
    while (!joined.empty() && joined.back() == L'\0') {
        joined.pop_back();
    }
    for (auto& ch : joined) {
        if (ch == L'\0') {
            ch = L'\n';
        }
    }
    return joined == WithoutChars(text, L"\r");
}

}  // namespace

std::wstring StringFromRegistryData(const std::vector<uint8_t>& data)
{
    std::wstring text = Utf16Units(data);
    if (auto nul = text.find(L'\0'); nul != std::wstring::npos) {
        text.resize(nul);
    }
    return text;
}

bool ValueDataEquals(uint32_t type, const std::vector<uint8_t>& data, std::wstring_view text)
{
    switch (type) {
        case Sz:
        case ExpandSz:
            return StringFromRegistryData(data) == text;
        case Dword:
        case DwordBigEndian:
            return DwordEquals(type, data, text);
        case Binary:
            return WithoutChars(Crypto::EncodeBase64(data.data(), data.size()), L"\r\n") == WithoutChars(text, L"\r\n");
        case MultiSz:
            return MultiStringEquals(data, text);
        default:
            return false;
    }
}

}  // namespace Sys
