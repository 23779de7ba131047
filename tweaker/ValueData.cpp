#include "tweaker/ValueData.h"

#include <cstdio>

#include "core/crypto/Base64.h"
#include "core/platform/Platform.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/ValueText.h"
#include "core/text/Utf.h"

namespace Tweaker {
namespace {

using namespace Platform::RegType;

int DigitValue(wchar_t ch, int base)
{
    int v = -1;
    if (ch >= L'0' && ch <= L'9') {
        v = ch - L'0';
    } else if (ch >= L'a' && ch <= L'f') {
        v = ch - L'a' + 10;
    } else if (ch >= L'A' && ch <= L'F') {
        v = ch - L'A' + 10;
    }
    return v < base ? v : -1;
}

size_t HexPrefix(std::wstring_view text)
{
    const size_t lower = text.find(L"0x");
    const size_t upper = text.find(L"0X");
    return lower < upper ? lower : upper;
}

void AppendUtf16(std::vector<uint8_t>& out, std::wstring_view text)
{
    std::vector<uint8_t> bytes;
    if (Text::WideToUtf16Le(text, &bytes) != 0) {
        bytes.clear();
        for (wchar_t ch : text) {  // a value no UTF-16 can hold: keep its low unit
            bytes.push_back(static_cast<uint8_t>(ch & 0xFF));
            bytes.push_back(static_cast<uint8_t>((ch >> 8) & 0xFF));
        }
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendNul(std::vector<uint8_t>& out)
{
    out.push_back(0);
    out.push_back(0);
}

uint64_t LittleEndian(const std::vector<uint8_t>& data, size_t size)
{
    uint64_t v = 0;
    for (size_t i = size; i-- > 0;) {
        v = (v << 8) | data[i];
    }
    return v;
}

}  // namespace

uint32_t ParseDword(std::wstring_view text)
{
    int base = 10;
    if (const size_t hex = HexPrefix(text); hex != std::wstring_view::npos) {
        text.remove_prefix(hex + 2);
        base = 16;
    }
    uint64_t v = 0;
    for (wchar_t ch : text) {
        const int d = DigitValue(ch, base);
        if (d < 0) {
            break;
        }
        v = v * base + d;
        if (v > 0xFFFFFFFFu) {
            return 0xFFFFFFFFu;
        }
    }
    return static_cast<uint32_t>(v);
}

bool ParseQword(std::wstring_view text, uint64_t* value)
{
    int base = 10;
    size_t maxDigits = 20;
    if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
        text.remove_prefix(2);
        base = 16;
        maxDigits = 16;
    }
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    uint64_t v = 0;
    for (wchar_t ch : text) {
        const int d = DigitValue(ch, base);
        if (d < 0 || (base == 10 && v > (UINT64_MAX - d) / 10)) {
            return false;
        }
        v = v * base + d;
    }
    *value = v;
    return true;
}

std::vector<uint8_t> ValueBytes(uint32_t type, std::wstring_view text, uint32_t byteLength)
{
    std::vector<uint8_t> out;
    switch (type) {
        case Sz:
        case ExpandSz:
            AppendUtf16(out, text);
            AppendNul(out);
            break;
        case Binary:
            out.assign(byteLength, 0);
            (void)Crypto::DecodeBase64(text, out.data(), out.size());
            break;
        case Dword: {
            const uint32_t v = ParseDword(text);
            for (int i = 0; i < 4; ++i) {
                out.push_back(static_cast<uint8_t>(v >> (8 * i)));
            }
            break;
        }
        case Qword: {
            uint64_t v = 0;
            (void)ParseQword(text, &v);
            for (int i = 0; i < 8; ++i) {
                out.push_back(static_cast<uint8_t>(v >> (8 * i)));
            }
            break;
        }
        case MultiSz: {
            std::wstring strings;
            for (wchar_t ch : text) {
                if (ch != L'\r') {
                    strings.push_back(ch == L'\n' ? L'\0' : ch);
                }
            }
            AppendUtf16(out, strings);
            if (!strings.empty()) {
                AppendNul(out);  // the last string's end
            }
            AppendNul(out);  // the list's end
            break;
        }
        default:
            break;  // REG_NONE: no data
    }
    return out;
}

bool ValueMatches(uint32_t type, const std::vector<uint8_t>& data, std::wstring_view text, uint32_t byteLength)
{
    switch (type) {
        case Dword: {
            if (data.size() != 4) {
                return false;
            }
            const auto number = static_cast<uint32_t>(LittleEndian(data, 4));
            wchar_t buffer[16];
            if (text.find(L"0x") != std::wstring_view::npos) {
                std::swprintf(buffer, 16, L"0x%08X", number);
                return RTI::EqualsIgnoreCase(buffer, text);
            }
            std::swprintf(buffer, 16, L"%u", number);
            return text == buffer;
        }
        case Qword: {
            uint64_t number = 0;
            return data.size() == 8 && ParseQword(text, &number) && LittleEndian(data, 8) == number;
        }
        case Binary:
            return data == ValueBytes(Binary, text, byteLength);
        case None:
            return data.empty();
        default:
            return Sys::ValueDataEquals(type, data, text);
    }
}

bool ValueToText(uint32_t type, const std::vector<uint8_t>& data, std::wstring* text)
{
    switch (type) {
        case Sz:
        case ExpandSz:
            *text = Sys::StringFromRegistryData(data);
            return true;
        case Binary:
            *text = Crypto::EncodeBase64(data.data(), data.size());
            return true;
        case Dword:
        case Qword: {
            const size_t size = type == Dword ? 4 : 8;
            if (data.size() != size) {
                return false;
            }
            *text = std::to_wstring(LittleEndian(data, size));
            return true;
        }
        case MultiSz: {
            std::wstring all;
            for (size_t i = 0; i + 1 < data.size(); i += 2) {
                all.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
            }
            while (!all.empty() && all.back() == L'\0') {
                all.pop_back();
            }
            for (wchar_t& ch : all) {
                if (ch == L'\0') {
                    ch = L'\n';
                }
            }
            *text = all;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace Tweaker
