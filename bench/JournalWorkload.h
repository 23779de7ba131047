#pragma once
// The work the journal benchmarks measure, shared by the native benchmark
// (Google Benchmark, portable platform) and the Windows one under Wine (the
// real Windows API): a key tree of 10,000 values in 1,000 keys, 1,000 files of
// 64 KiB, and 1,000 one-value blocks; journalled, then restored. Everything
// goes through the installed platform, so the caller chooses where it runs.
//
// A failure aborts: a benchmark that measured a failed run would report a
// figure of nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/CopyCache.h"
#include "remover/Format.h"
#include "remover/Processor.h"
#include "remover/Reader.h"

namespace JournalWorkload {

// Where a run keeps its things: the backup folder (journals and the copy
// store), the folder of the data files, and the key tree below HKCU.
struct Places {
    std::wstring backup;
    std::wstring data;
    std::wstring tree;
};

constexpr int kFiles = 1000;
constexpr size_t kFileSize = 64 * 1024;
constexpr int kSmallBlocks = 1000;

[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "journal benchmark: %s failed\n", what);
    std::abort();
}

// What is journalled into one journal.
using Body = void (*)(const Places&, Remover::Processor&);

// Opens a journal in the backup folder, journals body into it, closes it and
// returns its path.
inline std::wstring Journal(const Places& places, Remover::FlushPolicy policy, Body body)
{
    Remover::Processor processor;
    if (processor.Open(places.backup, Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength) != 0) {
        Fail("opening the journal");
    }
    processor.GetWriter().SetFlushPolicy(policy);
    const std::wstring path = processor.GetWriter().JournalPath();
    body(places, processor);
    if (processor.Close() != 0) {
        Fail("closing the journal");
    }
    return path;
}

inline void Replay(const std::wstring& journal)
{
    Remover::Processor restore;
    (void)restore.RegisterCommands();
    Remover::Reader reader;
    Remover::ReplayReport report;
    if (reader.Replay(journal, Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength, restore, nullptr,
                      nullptr, &report) != 0 ||
        !report.failed.empty()) {
        Fail("the replay");
    }
}

inline uint64_t SizeOf(const std::wstring& path)
{
    Platform::FileInfo info;
    return Platform::Current().Files().GetFileInfo(path, &info) == 0 ? info.size : 0;
}

inline void DeleteJournal(const std::wstring& journal)
{
    (void)Platform::Current().Files().DeleteFile(journal);
}

// Empties the copy store and the cache of saved copies, so that the next
// journal saves every copy afresh.
inline void ForgetCopies(const Places& places)
{
    Remover::CopyCache::Clear();
    auto& files = Platform::Current().Files();
    const std::wstring store = places.backup + L"\\Files\\";
    Platform::FindData entry;
    Platform::UniqueFind find;
    std::vector<std::wstring> names;
    if (files.FindFirst(store + L"*", &entry, find.put()) == 0) {
        do {
            if (!(entry.attributes & Platform::FileAttr::Directory)) {
                names.push_back(entry.name);
            }
        } while (files.FindNext(find.get(), &entry) == 0);
    }
    find.reset();
    for (const auto& name : names) {
        (void)files.DeleteFile(store + name);
    }
}

// ------------------------------------------------------------ the key tree

// 1,000 keys (10 x 10 x 10 below the tree's key), 10 values each: numbers and
// binary data of up to 200 bytes.
inline void BuildTree(const Places& places)
{
    auto& reg = Platform::Current().Registry();
    std::mt19937 rng(5);
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                const std::wstring path = places.tree + L"\\Group " + std::to_wstring(a) + L"\\Section " +
                                          std::to_wstring(b) + L"\\Entry " + std::to_wstring(c);
                Platform::UniqueKey key;
                bool created = false;
                if (reg.CreateKey(Platform::CurrentUser(), path, key.put(), &created) != 0) {
                    Fail("creating the key tree");
                }
                for (int v = 0; v < 10; ++v) {
                    std::vector<uint8_t> data(v % 3 == 0 ? 4 : 1 + rng() % 200);
                    for (auto& byte : data) {
                        byte = static_cast<uint8_t>(rng());
                    }
                    const uint32_t type = v % 3 == 0 ? Platform::RegType::Dword : Platform::RegType::Binary;
                    (void)reg.SetValue(key.get(), L"Value " + std::to_wstring(v), type, data.data(), data.size());
                }
            }
        }
    }
}

// Removes the tree key and everything below it; a missing key is fine.
inline void DeleteTree(const Places& places)
{
    auto& reg = Platform::Current().Registry();
    std::function<void(Platform::KeyHandle, const std::wstring&)> remove = [&](Platform::KeyHandle parent,
                                                                               const std::wstring& name) {
        {
            Platform::UniqueKey key;
            if (reg.OpenKey(parent, name, Platform::KeyAccess::Change, key.put()) != 0) {
                return;
            }
            std::wstring child;
            while (reg.EnumKey(key.get(), 0, &child) == 0) {
                remove(key.get(), child);
            }
        }
        (void)reg.DeleteKey(parent, name);
    };
    remove(Platform::CurrentUser(), places.tree);
}

// Journals the removal of the whole tree: one block.
inline void JournalTree(const Places& places, Remover::Processor& processor)
{
    RTI::Reference<Remover::IArguments> key(new Remover::KeyParameters(Platform::CurrentUser(), places.tree));
    if (processor.Execute(L"DelRegKey", key, nullptr, nullptr) != 0) {
        Fail("journalling the key tree");
    }
}

// ---------------------------------------------------------------- the files

inline std::wstring DataFile(const Places& places, int i)
{
    return places.data + L"\\file" + std::to_wstring(i) + L".bin";
}

// Random content, so that no file is like another.
inline void WriteFiles(const Places& places, uint32_t seed)
{
    std::mt19937_64 rng(seed);
    std::string content(kFileSize, '\0');
    for (int i = 0; i < kFiles; ++i) {
        for (size_t at = 0; at < content.size(); at += 8) {
            const uint64_t v = rng();
            std::memcpy(&content[at], &v, 8);
        }
        if (Platform::WriteWholeFile(DataFile(places, i), content) != 0) {
            Fail("writing the data files");
        }
    }
}

inline void DeleteFiles(const Places& places)
{
    for (int i = 0; i < kFiles; ++i) {
        (void)Platform::Current().Files().DeleteFile(DataFile(places, i));
    }
}

// Journals the removal of every data file: one block and one saved copy each.
inline void JournalFiles(const Places& places, Remover::Processor& processor)
{
    for (int i = 0; i < kFiles; ++i) {
        RTI::Reference<Remover::IArguments> file(new Remover::FileParameters(DataFile(places, i)));
        if (processor.Execute(L"DelFile", file, nullptr, nullptr) != 0) {
            Fail("journalling the files");
        }
    }
}

// ------------------------------------------------------------ small blocks

// The one value the small blocks journal: the tree key with a number "v".
inline void PrepareSmallBlocks(const Places& places)
{
    auto& reg = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (reg.CreateKey(Platform::CurrentUser(), places.tree, key.put(), &created) != 0) {
        Fail("creating the small blocks' key");
    }
    const uint32_t one = 1;
    (void)reg.SetValue(key.get(), L"v", Platform::RegType::Dword, reinterpret_cast<const uint8_t*>(&one), 4);
}

// 1,000 small changes, one block each: on the disk, the flush dominates.
inline void JournalSmallBlocks(const Places& places, Remover::Processor& processor)
{
    for (int i = 0; i < kSmallBlocks; ++i) {
        RTI::Reference<Remover::IArguments> value(
            new Remover::ValueParameters(Platform::CurrentUser(), places.tree, L"v"));
        if (processor.Execute(L"DelRegValue", value, nullptr, nullptr) != 0) {
            Fail("journalling the small blocks");
        }
    }
}

}  // namespace JournalWorkload
