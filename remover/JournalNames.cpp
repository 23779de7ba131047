#include "remover/JournalNames.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "remover/FileBytes.h"

namespace Remover {

std::optional<uint32_t> JournalNumber(std::wstring_view fileName)
{
    constexpr std::wstring_view kExtension = L".arch";
    if (fileName.size() <= kExtension.size() ||
        !RTI::EqualsIgnoreCase(fileName.substr(fileName.size() - kExtension.size()), kExtension)) {
        return std::nullopt;
    }
    const std::wstring_view digits = fileName.substr(0, fileName.size() - kExtension.size());
    if (digits.size() > 10) {
        return std::nullopt;
    }
    uint64_t number = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (number > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(number);
}

std::wstring JournalFileName(uint32_t number)
{
    return std::to_wstring(number) + L".arch";
}

std::optional<uint32_t> HighestJournalNumber(std::wstring_view folder)
{
    auto& files = Platform::Current().Files();
    std::optional<uint32_t> highest;
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (files.FindFirst(std::wstring(folder) + std::wstring(kJournalPattern), &entry, find.put()) != 0) {
        return highest;
    }
    do {
        if (const auto number = JournalNumber(entry.name)) {
            highest = std::max(highest.value_or(0), *number);
        }
    } while (files.FindNext(find.get(), &entry) == 0);
    return highest;
}

Platform::Status CreateJournalFile(std::wstring_view folder, Platform::UniqueFile* file, std::wstring* path)
{
    auto& files = Platform::Current().Files();
    const auto now = static_cast<uint32_t>(static_cast<uint64_t>(Platform::Current().System().CurrentTime()));
    uint64_t number = now;
    if (const auto highest = HighestJournalNumber(folder)) {
        number = std::max<uint64_t>(number, uint64_t{*highest} + 1);
    }
    // Past the last 32-bit number (the year 2106, or a planted name) the
    // order cannot be kept; the numbers after the current time still give a
    // journal a name rather than refusing to record.
    if (number > 0xFFFFFFFFull) {
        number = now;
    }
    constexpr int kAttempts = 1000;
    for (int attempt = 0; attempt < kAttempts && number <= 0xFFFFFFFFull; ++attempt, ++number) {
        std::wstring candidate(folder);
        candidate += JournalFileName(static_cast<uint32_t>(number));
        const Platform::Status s =
            files.CreateFile(candidate, Platform::FileAccess::Write, Platform::Disposition::CreateNew, file->put());
        if (s == Err::Success) {
            *path = std::move(candidate);
            return s;
        }
        // Taken (by a file, or a folder of that name): the next number.
        if (s != Err::FileExists && s != Err::AlreadyExists && AttributesOf(candidate) == Platform::FileAttr::Invalid) {
            return s;
        }
    }
    return Err::FileExists;
}

}  // namespace Remover
