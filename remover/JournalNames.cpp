#include "remover/JournalNames.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "remover/FileBytes.h"

namespace Remover {

std::optional<uint32_t> FileNumber(std::wstring_view fileName, std::wstring_view extension)
{
    if (fileName.size() <= extension.size() ||
        !RTI::EqualsIgnoreCase(fileName.substr(fileName.size() - extension.size()), extension)) {
        return std::nullopt;
    }
    const std::wstring_view digits = fileName.substr(0, fileName.size() - extension.size());
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

std::optional<uint32_t> HighestFileNumber(std::wstring_view folder, std::wstring_view extension)
{
    auto& files = Platform::Current().Files();
    std::optional<uint32_t> highest;
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (files.FindFirst(std::wstring(folder) + L"*" + std::wstring(extension), &entry, find.put()) != 0) {
        return highest;
    }
    do {
        if (const auto number = FileNumber(entry.name, extension)) {
            highest = std::max(highest.value_or(0), *number);
        }
    } while (files.FindNext(find.get(), &entry) == 0);
    return highest;
}

Platform::Status CreateNumberedFile(std::wstring_view folder, std::wstring_view extension, Platform::UniqueFile* file,
                                    std::wstring* path)
{
    auto& files = Platform::Current().Files();
    const auto now = static_cast<uint32_t>(static_cast<uint64_t>(Platform::Current().System().CurrentTime()));
    uint64_t number = now;
    if (const auto highest = HighestFileNumber(folder, extension)) {
        number = std::max<uint64_t>(number, uint64_t{*highest} + 1);
    }
    // Past the last 32-bit number (the year 2106, or a planted name) the
    // order cannot be kept; the numbers after the current time still give a
    // file a name rather than refusing to write it.
    if (number > 0xFFFFFFFFull) {
        number = now;
    }
    constexpr int kAttempts = 1000;
    for (int attempt = 0; attempt < kAttempts && number <= 0xFFFFFFFFull; ++attempt, ++number) {
        std::wstring candidate(folder);
        candidate += std::to_wstring(static_cast<uint32_t>(number));
        candidate += extension;
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

std::optional<uint32_t> JournalNumber(std::wstring_view fileName)
{
    return FileNumber(fileName, kJournalExtension);
}

std::wstring JournalFileName(uint32_t number)
{
    return std::to_wstring(number) + std::wstring(kJournalExtension);
}

std::optional<uint32_t> HighestJournalNumber(std::wstring_view folder)
{
    return HighestFileNumber(folder, kJournalExtension);
}

Platform::Status CreateJournalFile(std::wstring_view folder, Platform::UniqueFile* file, std::wstring* path)
{
    return CreateNumberedFile(folder, kJournalExtension, file, path);
}

}  // namespace Remover
