#pragma once
// Base64 with the standard alphabet ("A"-"Z", "a"-"z", "0"-"9", "+", "/") and
// "=" padding, as registry binary data is written in tweak files and compared
// during analysis.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Crypto {

// Encodes with a line break "\r\n" after every 76 output characters. A break
// only ever separates two lines: the text never ends with one.
std::wstring EncodeBase64(const uint8_t* data, size_t size);
std::string EncodeBase64Narrow(const uint8_t* data, size_t size);

// Decodes, skipping every character outside the alphabet (line breaks, spaces
// and junk alike). Decoding stops at the first "="; a trailing group of a
// single character carries no whole byte and is dropped. Never fails.
std::vector<uint8_t> DecodeBase64(std::wstring_view text);
std::vector<uint8_t> DecodeBase64(std::string_view text);

// Decodes into a caller's buffer and stops when it is full; returns the number
// of bytes written. Registry binary values are decoded into a buffer of their
// configured length this way.
size_t DecodeBase64(std::wstring_view text, uint8_t* out, size_t capacity);

}  // namespace Crypto
