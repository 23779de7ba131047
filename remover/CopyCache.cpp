#include "remover/CopyCache.h"

#include <map>
#include <mutex>

#include "core/rti/IgnoreCaseStringComparator.h"

namespace Remover::CopyCache {
namespace {

struct Entry {
    std::wstring copyName;
    Stamp stamp;
};

struct Cache {
    std::mutex mutex;
    std::map<std::wstring, Entry, RTI::IgnoreCaseStringComparator> entries;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

}  // namespace

std::optional<std::wstring> Lookup(std::wstring_view path, const Stamp& stamp)
{
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    const auto it = cache.entries.find(path);
    if (it == cache.entries.end()) {
        return std::nullopt;
    }
    if (it->second.stamp.size != stamp.size || it->second.stamp.lastWriteTime != stamp.lastWriteTime) {
        cache.entries.erase(it);
        return std::nullopt;
    }
    return it->second.copyName;
}

void Remember(std::wstring_view path, std::wstring_view copyName, const Stamp& stamp)
{
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    cache.entries.insert_or_assign(std::wstring(path), Entry{std::wstring(copyName), stamp});
}

void Forget(std::wstring_view path)
{
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    if (const auto it = cache.entries.find(path); it != cache.entries.end()) {
        cache.entries.erase(it);
    }
}

void Clear()
{
    Cache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    cache.entries.clear();
}

}  // namespace Remover::CopyCache
