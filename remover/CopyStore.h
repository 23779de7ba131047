#pragma once
// The store of saved file copies beside the journals ("Files\"). A copy is
// named by the MD5 digest of the saved content (32 lower-case hexadecimal
// digits) and holds the journal header, a reference count (the number of
// saved-file records, over all journals, that have named it) and then the
// content unchanged. Identical contents share one copy; nothing decrements
// the count, so deleting a backup point leaves its copies in place.
//
// Copies are written under a temporary name, flushed and then renamed, so a
// copy found under its final name is always complete; and a restore checks the
// digest of what it copies before it replaces the target.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"

namespace Remover {

class CopyStore {
public:
    // folder ends with a backslash.
    CopyStore(std::wstring folder, std::span<const uint8_t> header);

    // Saves the content of the file at path and returns the copy's name.
    // *copyName, when it is a copy name, is the digest the caller already
    // knows for the file; otherwise the file is hashed. A copy of that name
    // already in the store is reused (its count goes up) only when its size
    // and digest match the file's; a missing, foreign or damaged one is
    // written again. 2 when path is not an existing file; another error of
    // looking at it as it is; -1 when it cannot be read; 1223 when cancelled;
    // a Windows error when writing fails.
    [[nodiscard]] Platform::Status Save(std::wstring_view path, Platform::EventHandle cancel, std::wstring* copyName);

    // Adds one to a copy's reference count. 2 when the copy is missing; -1 when
    // its header is not ours.
    [[nodiscard]] Platform::Status AddReference(std::wstring_view copyName);

    // Puts the copy's content at target. A target that already holds that
    // content is left untouched; otherwise the content is written beside it and
    // moved over it once its digest checks out, so a failed restore leaves the
    // target as it was. Missing folders above target are created. -1 when the
    // copy is missing, not ours or damaged.
    [[nodiscard]] Platform::Status RestoreTo(std::wstring_view copyName, std::wstring_view target,
                                             Platform::EventHandle cancel);

    [[nodiscard]] Platform::Status ReadReferenceCount(std::wstring_view copyName, uint32_t* count) const;

    std::wstring PathOf(std::wstring_view copyName) const;
    const std::wstring& Folder() const { return folder_; }

    // The MD5 digest of a file's content as 32 lower-case hexadecimal digits.
    // -1 when the file cannot be opened, 1223 when cancelled.
    [[nodiscard]] static Platform::Status DigestFile(std::wstring_view path, Platform::EventHandle cancel,
                                                     std::wstring* hex);

private:
    // 0 when the copy is ours, holds `size` bytes of content and their digest
    // is its name; *count is set whenever its header is ours. 2 when it is
    // missing, -1 when not ours or damaged, 1223 when cancelled, another error
    // when it cannot be read.
    [[nodiscard]] Platform::Status Inspect(std::wstring_view copyName, uint64_t size, Platform::EventHandle cancel,
                                           uint32_t* count) const;
    // Takes one more reference on a sound copy (*adopted); leaves a missing,
    // foreign or damaged one alone with 0. Errors of looking are returned.
    [[nodiscard]] Platform::Status Adopt(std::wstring_view copyName, uint64_t size, Platform::EventHandle cancel,
                                         bool* adopted);
    // Copies the file under a temporary name, flushes it and renames it to
    // the digest of what was copied (returned in *copyName).
    [[nodiscard]] Platform::Status WriteCopy(std::wstring_view path, Platform::EventHandle cancel,
                                             std::wstring* copyName);
    [[nodiscard]] Platform::Status CheckHeader(Platform::FileHandle file, uint32_t* count) const;

    std::wstring folder_;
    std::vector<uint8_t> header_;
};

}  // namespace Remover
