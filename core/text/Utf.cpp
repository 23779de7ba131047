#include "core/text/Utf.h"

#include <cstddef>
#include <cstring>

#include "core/platform/Errors.h"

namespace Text {

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

inline bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Appends one code point (already known to be a valid scalar value).
inline wchar_t* PutCodePoint(wchar_t* d, uint32_t cp)
{
    if constexpr (kWideIsUtf16) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *d++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
            *d++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return d;
        }
    }
    *d++ = static_cast<wchar_t>(cp);
    return d;
}

inline uint32_t CodeUnit(wchar_t c)
{
    return static_cast<uint32_t>(c) & (kWideIsUtf16 ? 0xFFFFu : 0xFFFFFFFFu);
}

// Reads one scalar value from wide text at *i, combining a surrogate pair
// where wide text is UTF-16. Returns false on an unpaired surrogate or a value
// above 0x10FFFF.
inline bool NextScalar(std::wstring_view w, size_t* i, uint32_t* cp)
{
    uint32_t c = CodeUnit(w[*i]);
    ++*i;
    if (c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF)) {
        *cp = c;
        return true;
    }
    if constexpr (kWideIsUtf16) {
        if (c <= 0xDBFF && *i < w.size()) {
            const uint32_t low = CodeUnit(w[*i]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++*i;
                *cp = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                return true;
            }
        }
    }
    return false;
}

inline size_t Utf8Length(uint32_t cp)
{
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

}  // namespace

Platform::Status Utf8ToWide(std::string_view utf8, std::wstring* out)
{
    // Every byte yields at most one code unit (a four-byte form yields two at
    // most), so the input length bounds the output. The result is reserved,
    // not sized: sizing would fill it with zeros first, a whole extra pass
    // over memory that for a large document is fresh from the system. The
    // text is decoded into a small buffer that stays in cache and appended
    // from there.
    std::wstring wide;
    wide.reserve(utf8.size());
    constexpr size_t kChunk = 2048;
    constexpr size_t kBlock = 16;  // ASCII bytes widened per step
    wchar_t chunk[kChunk];
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* const end = s + utf8.size();
    while (s < end) {
        wchar_t* d = chunk;
        // Room for one more step: a block, or the two code units of a pair.
        wchar_t* const full = chunk + kChunk - kBlock;
        while (s < end && d <= full) {
            // Documents are almost all ASCII: widen a block at a time while
            // no byte has its top bit set.
            if (end - s >= static_cast<std::ptrdiff_t>(kBlock)) {
                // Copied to a local block first: widening straight from s,
                // GCC assembles the vector byte by byte.
                unsigned char block[kBlock];
                std::memcpy(block, s, kBlock);
                uint64_t low;
                uint64_t high;
                std::memcpy(&low, block, 8);
                std::memcpy(&high, block + 8, 8);
                if (((low | high) & 0x8080808080808080ull) == 0) {
                    for (size_t k = 0; k < kBlock; ++k) {
                        d[k] = static_cast<wchar_t>(block[k]);
                    }
                    s += kBlock;
                    d += kBlock;
                    continue;
                }
            }
            const unsigned char c = *s;
            if (c < 0x80) {
                *d++ = static_cast<wchar_t>(c);
                ++s;
                continue;
            }
            const size_t left = static_cast<size_t>(end - s);
            uint32_t cp;
            if (c < 0xC2) {
                return Err::NoUnicodeTranslation;  // a stray continuation byte, or an overlong two-byte form
            } else if (c < 0xE0) {
                if (left < 2 || !IsContinuation(s[1])) {
                    return Err::NoUnicodeTranslation;
                }
                cp = ((c & 0x1Fu) << 6) | (s[1] & 0x3Fu);
                s += 2;
            } else if (c < 0xF0) {
                if (left < 3 || !IsContinuation(s[1]) || !IsContinuation(s[2])) {
                    return Err::NoUnicodeTranslation;
                }
                if ((c == 0xE0 && s[1] < 0xA0) || (c == 0xED && s[1] >= 0xA0)) {
                    return Err::NoUnicodeTranslation;  // overlong, or a surrogate
                }
                cp = ((c & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
                s += 3;
            } else if (c < 0xF5) {
                if (left < 4 || !IsContinuation(s[1]) || !IsContinuation(s[2]) || !IsContinuation(s[3])) {
                    return Err::NoUnicodeTranslation;
                }
                if ((c == 0xF0 && s[1] < 0x90) || (c == 0xF4 && s[1] >= 0x90)) {
                    return Err::NoUnicodeTranslation;  // overlong, or above 0x10FFFF
                }
                cp = ((c & 0x07u) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
                s += 4;
            } else {
                return Err::NoUnicodeTranslation;
            }
            d = PutCodePoint(d, cp);
        }
        wide.append(chunk, static_cast<size_t>(d - chunk));
    }
    *out = std::move(wide);
    return Err::Success;
}

Platform::Status WideToUtf8(std::wstring_view wide, std::string* out)
{
    // First pass: validate and measure, so the result is allocated once.
    size_t length = 0;
    for (size_t i = 0; i < wide.size();) {
        if (CodeUnit(wide[i]) < 0x80) {
            ++length;
            ++i;
            continue;
        }
        uint32_t cp;
        if (!NextScalar(wide, &i, &cp)) {
            return Err::NoUnicodeTranslation;
        }
        length += Utf8Length(cp);
    }
    std::string bytes(length, '\0');
    auto* d = reinterpret_cast<unsigned char*>(bytes.data());
    for (size_t i = 0; i < wide.size();) {
        uint32_t cp = CodeUnit(wide[i]);
        if (cp < 0x80) {
            *d++ = static_cast<unsigned char>(cp);
            ++i;
            continue;
        }
        (void)NextScalar(wide, &i, &cp);
        if (cp < 0x800) {
            *d++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            *d++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
            *d++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            *d++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
            *d++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            *d++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        }
        *d++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
    *out = std::move(bytes);
    return Err::Success;
}

std::wstring Utf16LeToWide(std::span<const uint8_t> bytes)
{
    const size_t units = bytes.size() / 2;
    std::wstring wide;
    wide.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        const uint32_t c = bytes[2 * i] | (static_cast<uint32_t>(bytes[2 * i + 1]) << 8);
        if constexpr (!kWideIsUtf16) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
                const uint32_t low = bytes[2 * i + 2] | (static_cast<uint32_t>(bytes[2 * i + 3]) << 8);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    wide.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00)));
                    ++i;
                    continue;
                }
            }
        }
        wide.push_back(static_cast<wchar_t>(c));
    }
    return wide;
}

Platform::Status WideToUtf16Le(std::wstring_view wide, std::vector<uint8_t>* out)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(wide.size() * 2);
    auto put = [&bytes](uint32_t unit) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    };
    for (const wchar_t ch : wide) {
        uint32_t c = CodeUnit(ch);
        if (c <= 0xFFFF) {
            put(c);
        } else if (c <= 0x10FFFF) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            return Err::NoUnicodeTranslation;
        }
    }
    *out = std::move(bytes);
    return Err::Success;
}

}  // namespace Text
