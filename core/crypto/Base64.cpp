#include "core/crypto/Base64.h"

#include <array>

namespace Crypto {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLineLength = 76;
constexpr uint8_t kSkip = 0xFF;
constexpr uint8_t kPad = 0xFE;

constexpr std::array<uint8_t, 256> MakeDecodeTable()
{
    std::array<uint8_t, 256> table{};
    for (auto& v : table) {
        v = kSkip;
    }
    for (uint8_t i = 0; i < 64; ++i) {
        table[uint8_t(kAlphabet[i])] = i;
    }
    table[uint8_t('=')] = kPad;
    return table;
}
constexpr std::array<uint8_t, 256> kDecode = MakeDecodeTable();

template <class Text>
Text Encode(const uint8_t* data, size_t size)
{
    using Char = typename Text::value_type;
    const size_t chars = (size + 2) / 3 * 4;
    const size_t breaks = chars == 0 ? 0 : (chars - 1) / kLineLength;
    Text text(chars + 2 * breaks, Char(0));
    Char* out = text.data();
    size_t column = 0;
    // Emits one 4-character group; a line holds 19 whole groups, so breaks
    // only fall between groups.
    auto group = [&](uint32_t bits, int significant) {
        if (column == kLineLength) {
            *out++ = Char('\r');
            *out++ = Char('\n');
            column = 0;
        }
        out[0] = Char(kAlphabet[(bits >> 18) & 63]);
        out[1] = Char(kAlphabet[(bits >> 12) & 63]);
        out[2] = significant > 2 ? Char(kAlphabet[(bits >> 6) & 63]) : Char('=');
        out[3] = significant > 3 ? Char(kAlphabet[bits & 63]) : Char('=');
        out += 4;
        column += 4;
    };
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        group((uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2], 4);
    }
    if (size - i == 1) {
        group(uint32_t(data[i]) << 16, 2);
    } else if (size - i == 2) {
        group((uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8), 3);
    }
    return text;
}

// Feeds decoded bytes to sink(byte) until it returns false or the text ends.
template <class Char, class Sink>
void Decode(std::basic_string_view<Char> text, Sink&& sink)
{
    uint32_t bits = 0;
    int count = 0;
    for (Char ch : text) {
        const auto code = static_cast<std::make_unsigned_t<Char>>(ch);
        if (code > 0xFF) {
            continue;
        }
        const uint8_t v = kDecode[code];
        if (v == kSkip) {
            continue;
        }
        if (v == kPad) {
            break;
        }
        bits = (bits << 6) | v;
        if (++count == 4) {
            if (!sink(uint8_t(bits >> 16)) || !sink(uint8_t(bits >> 8)) || !sink(uint8_t(bits))) {
                return;
            }
            bits = 0;
            count = 0;
        }
    }
    if (count == 2) {
        (void)sink(uint8_t(bits >> 4));
    } else if (count == 3) {
        if (sink(uint8_t(bits >> 10))) {
            (void)sink(uint8_t(bits >> 2));
        }
    }
}

template <class Char>
std::vector<uint8_t> DecodeToVector(std::basic_string_view<Char> text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    Decode(text, [&](uint8_t b) {
        bytes.push_back(b);
        return true;
    });
    return bytes;
}

}  // namespace

std::wstring EncodeBase64(const uint8_t* data, size_t size)
{
    return Encode<std::wstring>(data, size);
}
std::string EncodeBase64Narrow(const uint8_t* data, size_t size)
{
    return Encode<std::string>(data, size);
}

std::vector<uint8_t> DecodeBase64(std::wstring_view text)
{
    return DecodeToVector(text);
}
std::vector<uint8_t> DecodeBase64(std::string_view text)
{
    return DecodeToVector(text);
}

size_t DecodeBase64(std::wstring_view text, uint8_t* out, size_t capacity)
{
    size_t written = 0;
    Decode(text, [&](uint8_t b) {
        if (written == capacity) {
            return false;
        }
        out[written++] = b;
        return true;
    });
    return written;
}

}  // namespace Crypto
