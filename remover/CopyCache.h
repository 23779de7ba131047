#pragma once
// The process-wide cache from file paths (compared ignoring case) to the copy
// their content was saved under, so that a file journalled again while the
// program runs is not hashed again. An entry holds only while the file's size
// and last-write time are what they were when it was saved: a file rewritten
// in the meantime is saved again, never restored to older content.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Remover::CopyCache {

struct Stamp {
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
};

// The copy name remembered for path, when the file still has the stamp it
// had then; a stale entry is dropped.
std::optional<std::wstring> Lookup(std::wstring_view path, const Stamp& stamp);
void Remember(std::wstring_view path, std::wstring_view copyName, const Stamp& stamp);
void Forget(std::wstring_view path);
// Forgets everything (tests start from an empty cache).
void Clear();

}  // namespace Remover::CopyCache
