#pragma once
// Numbered file names: "<number><extension>", the number an unsigned 32-bit
// decimal. Journals are "<number>.arch"; profiles use the same scheme with
// ".pfs". A new file gets the larger of the current time (seconds since
// 1970, low 32 bits) and the highest number in the folder + 1, and is created
// with create-new, taking the next number while one is taken. So two files
// made in one second are both kept, and a clock set back never gives a newer
// file a smaller number: restoring newest first stays in run order.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/Handles.h"

namespace Remover {

inline constexpr std::wstring_view kJournalExtension = L".arch";
inline constexpr std::wstring_view kJournalPattern = L"*.arch";

// The number of a file named "<digits><extension>" (any letter case of the
// extension), or nothing for another name or a number beyond 32 bits.
std::optional<uint32_t> FileNumber(std::wstring_view fileName, std::wstring_view extension);

// The highest number among the files "*<extension>" in folder (which ends
// with a backslash); nothing when there is none.
std::optional<uint32_t> HighestFileNumber(std::wstring_view folder, std::wstring_view extension);

// Creates a new, empty file "<number><extension>" in folder (which ends with
// a backslash), open for writing; never replaces a file.
[[nodiscard]] Platform::Status CreateNumberedFile(std::wstring_view folder, std::wstring_view extension,
                                                  Platform::UniqueFile* file, std::wstring* path);

// The same for journals.
std::optional<uint32_t> JournalNumber(std::wstring_view fileName);
std::wstring JournalFileName(uint32_t number);
std::optional<uint32_t> HighestJournalNumber(std::wstring_view folder);
[[nodiscard]] Platform::Status CreateJournalFile(std::wstring_view folder, Platform::UniqueFile* file,
                                                 std::wstring* path);

}  // namespace Remover
