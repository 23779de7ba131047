#pragma once
// The typed registry reads and checked writes the options need. Keys are
// under HKEY_CURRENT_USER.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace AppSettings {

// What a DWORD option holds: missing, a REG_DWORD, or a value of another
// type (which neither says on nor off).
struct DwordValue {
    enum class State { Missing, Dword, OtherType };
    State state = State::Missing;
    uint32_t value = 0;

    bool IsDword() const { return state == State::Dword; }
    bool Missing() const { return state == State::Missing; }
};

// A missing key reads as a missing value.
DwordValue ReadDword(std::wstring_view keyPath, std::wstring_view name);

// The text of a REG_SZ or REG_EXPAND_SZ value; nothing when missing, of
// another type, or the key is missing.
std::optional<std::wstring> ReadString(std::wstring_view keyPath, std::wstring_view name);

// True when the value exists, of any type.
bool ValueExists(std::wstring_view keyPath, std::wstring_view name);

// Writes the value (creating the key when missing) and reads it back: 0 only
// when the value now holds exactly what was written.
[[nodiscard]] Platform::Status WriteDword(std::wstring_view keyPath, std::wstring_view name, uint32_t value);
[[nodiscard]] Platform::Status WriteString(std::wstring_view keyPath, std::wstring_view name, std::wstring_view text);

// Deletes the value; a missing value or key is a success.
[[nodiscard]] Platform::Status DeleteValue(std::wstring_view keyPath, std::wstring_view name);

// Creates the key when missing.
[[nodiscard]] Platform::Status EnsureKey(std::wstring_view keyPath);

}  // namespace AppSettings
