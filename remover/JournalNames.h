#pragma once
// Journal file names: "<number>.arch", the number an unsigned 32-bit decimal.
// A new journal gets the larger of the current time (seconds since 1970, low
// 32 bits) and the highest number in the folder + 1, and is created with
// create-new, taking the next number while one is taken. So two runs in one
// second keep both journals, and a clock set back never gives a newer run a
// smaller number: restoring newest first stays in run order.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/Handles.h"

namespace Remover {

inline constexpr std::wstring_view kJournalPattern = L"*.arch";

// The number of a journal named "<digits>.arch" (any letter case of the
// extension), or nothing for another name or a number beyond 32 bits.
std::optional<uint32_t> JournalNumber(std::wstring_view fileName);

std::wstring JournalFileName(uint32_t number);

// The highest journal number among the files in folder (which ends with a
// backslash); nothing when there is none.
std::optional<uint32_t> HighestJournalNumber(std::wstring_view folder);

// Creates a new, empty journal file in folder (which ends with a backslash).
[[nodiscard]] Platform::Status CreateJournalFile(std::wstring_view folder, Platform::UniqueFile* file,
                                                 std::wstring* path);

}  // namespace Remover
