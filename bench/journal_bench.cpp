// The backup journal: journalling and restoring a key tree of 10,000 values
// in 1,000 keys, and 1,000 files of 64 KiB, in both directions; and what the
// per-block flush costs, measured on the real disk.
//
// Each benchmark runs over the in-memory portable platform (the engine's own
// cost) and over the real disk (files through POSIX below a scratch folder,
// the registry still in memory): with the flush every top-level block gets,
// and without it, so the difference is the flush's price. Set
// CORVANE_BENCH_DIR to choose the disk folder (default: ./corvane-journal-bench).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/Folders.h"
#include "core/text/Utf.h"
#include "remover/CommandParameters.h"
#include "remover/CopyCache.h"
#include "remover/Format.h"
#include "remover/Processor.h"
#include "remover/Reader.h"

namespace {

using Platform::Status;

// ------------------------------------------------------ files on the disk

// The file operations the journal uses, over POSIX below a root folder:
// "C:\a\b" is <root>/C/a/b. Letter case is kept as given; attributes other
// than the folder bit are not kept.
class DiskFiles final : public Platform::IFileSystem {
public:
    explicit DiskFiles(std::string root) : root_(std::move(root)) {}

    Status GetFileInfo(std::wstring_view path, Platform::FileInfo* out) override
    {
        struct stat st {};
        if (::stat(Map(path).c_str(), &st) != 0) {
            return Err::FileNotFound;
        }
        out->attributes = S_ISDIR(st.st_mode) ? Platform::FileAttr::Directory : Platform::FileAttr::Normal;
        out->size = static_cast<uint64_t>(st.st_size);
        out->creationTime = out->lastWriteTime = FileTime(st.st_mtim);
        return 0;
    }
    Status SetFileAttributes(std::wstring_view path, uint32_t) override
    {
        struct stat st {};
        return ::stat(Map(path).c_str(), &st) == 0 ? 0 : Err::FileNotFound;
    }
    Status CreateFile(std::wstring_view path, Platform::FileAccess access, Platform::Disposition disposition,
                      Platform::FileHandle* out) override
    {
        int flags = access == Platform::FileAccess::Read    ? O_RDONLY
                    : access == Platform::FileAccess::Write ? O_WRONLY
                                                            : O_RDWR;
        switch (disposition) {
            case Platform::Disposition::CreateNew:
                flags |= O_CREAT | O_EXCL;
                break;
            case Platform::Disposition::CreateAlways:
                flags |= O_CREAT | O_TRUNC;
                break;
            case Platform::Disposition::OpenExisting:
                break;
            case Platform::Disposition::TruncateExisting:
                flags |= O_TRUNC;
                break;
        }
        const int fd = ::open(Map(path).c_str(), flags | O_CLOEXEC, 0644);
        if (fd < 0) {
            return errno == EEXIST ? Err::FileExists : errno == ENOENT ? Err::FileNotFound : Err::AccessDenied;
        }
        *out = reinterpret_cast<Platform::FileHandle>(static_cast<intptr_t>(fd) + 1);
        return 0;
    }
    Status CloseFile(Platform::FileHandle file) override { return ::close(Fd(file)) == 0 ? 0 : Err::InvalidHandle; }
    Status ReadFile(Platform::FileHandle file, void* buffer, uint32_t size, uint32_t* read) override
    {
        const ssize_t n = ::read(Fd(file), buffer, size);
        if (n < 0) {
            return Err::ReadFault;
        }
        *read = static_cast<uint32_t>(n);
        return 0;
    }
    Status WriteFile(Platform::FileHandle file, const void* buffer, uint32_t size, uint32_t* written) override
    {
        const ssize_t n = ::write(Fd(file), buffer, size);
        if (n < 0) {
            return errno == ENOSPC ? Err::DiskFull : Err::WriteFault;
        }
        *written = static_cast<uint32_t>(n);
        return 0;
    }
    Status Seek(Platform::FileHandle file, int64_t offset, Platform::SeekOrigin origin, uint64_t* position) override
    {
        const int whence = origin == Platform::SeekOrigin::Begin     ? SEEK_SET
                           : origin == Platform::SeekOrigin::Current ? SEEK_CUR
                                                                     : SEEK_END;
        const off_t at = ::lseek(Fd(file), offset, whence);
        if (at < 0) {
            return Err::InvalidParameter;
        }
        *position = static_cast<uint64_t>(at);
        return 0;
    }
    Status GetFileSize(Platform::FileHandle file, uint64_t* size) override
    {
        struct stat st {};
        if (::fstat(Fd(file), &st) != 0) {
            return Err::InvalidHandle;
        }
        *size = static_cast<uint64_t>(st.st_size);
        return 0;
    }
    Status SetEndOfFile(Platform::FileHandle file) override
    {
        const off_t at = ::lseek(Fd(file), 0, SEEK_CUR);
        return at >= 0 && ::ftruncate(Fd(file), at) == 0 ? 0 : Err::WriteFault;
    }
    Status FlushFile(Platform::FileHandle file) override { return ::fsync(Fd(file)) == 0 ? 0 : Err::WriteFault; }
    Status DeleteFile(std::wstring_view path) override
    {
        return ::unlink(Map(path).c_str()) == 0 ? 0 : Err::FileNotFound;
    }
    Status CreateDirectory(std::wstring_view path) override
    {
        if (::mkdir(Map(path).c_str(), 0755) == 0) {
            return 0;
        }
        return errno == EEXIST ? Err::AlreadyExists : Err::PathNotFound;
    }
    Status RemoveDirectory(std::wstring_view path) override
    {
        if (::rmdir(Map(path).c_str()) == 0) {
            return 0;
        }
        return errno == ENOTEMPTY ? Err::DirNotEmpty : Err::FileNotFound;
    }
    Status MoveFile(std::wstring_view from, std::wstring_view to, bool) override
    {
        // The rename is made durable as Windows' write-through move is.
        const std::string target = Map(to);
        if (::rename(Map(from).c_str(), target.c_str()) != 0) {
            return Err::AccessDenied;
        }
        const int dir = ::open(target.substr(0, target.rfind('/')).c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            (void)::fsync(dir);
            ::close(dir);
        }
        return 0;
    }
    Status FindFirst(std::wstring_view pattern, Platform::FindData* out, Platform::FindHandle* find) override
    {
        const size_t slash = pattern.rfind(L'\\');
        auto state = std::make_unique<Find>();
        state->dir = ::opendir(Map(pattern.substr(0, slash)).c_str());
        state->pattern = std::wstring(pattern.substr(slash + 1));
        state->folder = Map(pattern.substr(0, slash));
        if (!state->dir) {
            return Err::FileNotFound;
        }
        if (Next(*state, out) != 0) {
            ::closedir(state->dir);
            return Err::FileNotFound;
        }
        *find = reinterpret_cast<Platform::FindHandle>(state.release());
        return 0;
    }
    Status FindNext(Platform::FindHandle find, Platform::FindData* out) override
    {
        return Next(*reinterpret_cast<Find*>(find), out);
    }
    Status FindClose(Platform::FindHandle find) override
    {
        auto* state = reinterpret_cast<Find*>(find);
        ::closedir(state->dir);
        delete state;
        return 0;
    }

private:
    struct Find {
        DIR* dir = nullptr;
        std::wstring pattern;
        std::string folder;
    };

    Status Next(Find& find, Platform::FindData* out)
    {
        while (dirent* entry = ::readdir(find.dir)) {
            std::wstring name;
            if (Text::Utf8ToWide(entry->d_name, &name) != 0 || !Platform::WildcardMatch(name, find.pattern)) {
                continue;
            }
            struct stat st {};
            if (::stat((find.folder + "/" + entry->d_name).c_str(), &st) != 0) {
                continue;
            }
            out->name = name;
            out->attributes = S_ISDIR(st.st_mode) ? Platform::FileAttr::Directory : Platform::FileAttr::Normal;
            out->size = static_cast<uint64_t>(st.st_size);
            out->lastWriteTime = FileTime(st.st_mtim);
            return 0;
        }
        return Err::NoMoreFiles;
    }
    std::string Map(std::wstring_view path) const
    {
        std::string utf8;
        (void)Text::WideToUtf8(path, &utf8);
        std::string mapped = root_ + "/";
        for (char c : utf8) {
            if (c != ':') {
                mapped += c == '\\' ? '/' : c;
            }
        }
        return mapped;
    }
    static int Fd(Platform::FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file) - 1); }
    static uint64_t FileTime(const timespec& t)
    {
        return 116444736000000000ull + static_cast<uint64_t>(t.tv_sec) * 10000000ull +
               static_cast<uint64_t>(t.tv_nsec) / 100;
    }

    std::string root_;
};

// The portable platform with its files on the disk.
class DiskPlatform final : public Platform::IPlatform {
public:
    DiskPlatform(Platform::Portable::PortablePlatform& base, std::string root) : base_(base), files_(std::move(root)) {}
    Platform::IRegistry& Registry() override { return base_.Registry(); }
    Platform::IFileSystem& Files() override { return files_; }
    Platform::ISystem& System() override { return base_.System(); }
    Platform::IThreads& Threads() override { return base_.Threads(); }

private:
    Platform::Portable::PortablePlatform& base_;
    DiskFiles files_;
};

// ------------------------------------------------------------- the worlds

enum Where { kMemory = 0, kDiskFlushed = 1, kDiskUnflushed = 2 };

// Installs the platform a benchmark runs on and removes it again.
class World {
public:
    explicit World(Where where) : where_(where)
    {
        if (where != kMemory) {
            const char* dir = std::getenv("CORVANE_BENCH_DIR");
            root_ = std::string(dir ? dir : "./corvane-journal-bench");
            (void)std::system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/C'").c_str());
            disk_ = std::make_unique<DiskPlatform>(portable_, root_);
        }
        previous_ = Platform::Install(disk_ ? static_cast<Platform::IPlatform*>(disk_.get()) : &portable_);
        Remover::CopyCache::Clear();
        (void)Sys::CreateFolderPath(kBackup);
        (void)Sys::CreateFolderPath(kData);
    }
    ~World()
    {
        Platform::Install(previous_);
        if (!root_.empty()) {
            (void)std::system(("rm -rf '" + root_ + "'").c_str());
        }
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    std::wstring Journal(const std::function<void(Remover::Processor&)>& body)
    {
        Remover::Processor processor;
        if (processor.Open(kBackup, Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength) != 0) {
            std::abort();
        }
        processor.GetWriter().SetFlushPolicy(where_ == kDiskUnflushed ? Remover::FlushPolicy::Never
                                                                      : Remover::FlushPolicy::EveryBlock);
        const std::wstring path = processor.GetWriter().JournalPath();
        body(processor);
        if (processor.Close() != 0) {
            std::abort();
        }
        return path;
    }
    void Replay(const std::wstring& journal)
    {
        Remover::Processor restore;
        (void)restore.RegisterCommands();
        Remover::Reader reader;
        Remover::ReplayReport report;
        if (reader.Replay(journal, Remover::Format::kProductHeader, Remover::Format::kProductHeaderLength, restore,
                          nullptr, nullptr, &report) != 0 ||
            report.failed.size() != 0) {
            std::fprintf(stderr, "replay failed\n");
            std::abort();
        }
    }
    static uint64_t SizeOf(const std::wstring& path)
    {
        Platform::FileInfo info;
        return Platform::Current().Files().GetFileInfo(path, &info) == 0 ? info.size : 0;
    }
    void ForgetCopies()
    {
        Remover::CopyCache::Clear();
        auto& files = Platform::Current().Files();
        Platform::FindData entry;
        Platform::UniqueFind find;
        std::vector<std::wstring> names;
        if (files.FindFirst(std::wstring(kBackup) + L"\\Files\\*", &entry, find.put()) == 0) {
            do {
                if (!(entry.attributes & Platform::FileAttr::Directory)) {
                    names.push_back(entry.name);
                }
            } while (files.FindNext(find.get(), &entry) == 0);
        }
        find.reset();
        for (const auto& name : names) {
            (void)files.DeleteFile(std::wstring(kBackup) + L"\\Files\\" + name);
        }
    }

    static constexpr wchar_t kBackup[] = L"C:\\bench\\backup";
    static constexpr wchar_t kData[] = L"C:\\bench\\data";
    static constexpr wchar_t kTree[] = L"Software\\CorvaneBench\\Tree";

private:
    Where where_;
    Platform::Portable::PortablePlatform portable_;
    std::unique_ptr<DiskPlatform> disk_;
    Platform::IPlatform* previous_ = nullptr;
    std::string root_;
};

// 1,000 keys (10 x 10 x 10 below the tree's key), 10 values each: strings,
// numbers and binary data of up to 200 bytes.
void BuildTree()
{
    auto& reg = Platform::Current().Registry();
    std::mt19937 rng(5);
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                const std::wstring path = std::wstring(World::kTree) + L"\\Group " + std::to_wstring(a) +
                                          L"\\Section " + std::to_wstring(b) + L"\\Entry " + std::to_wstring(c);
                Platform::UniqueKey key;
                bool created = false;
                (void)reg.CreateKey(Platform::CurrentUser(), path, key.put(), &created);
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

RTI::Reference<Remover::IArguments> TreeKey()
{
    return RTI::Reference<Remover::IArguments>(new Remover::KeyParameters(Platform::CurrentUser(), World::kTree));
}

void DeleteTree()
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
    remove(Platform::CurrentUser(), World::kTree);
}

constexpr int kFiles = 1000;
constexpr size_t kFileSize = 64 * 1024;

std::wstring DataFile(int i)
{
    return std::wstring(World::kData) + L"\\file" + std::to_wstring(i) + L".bin";
}

void WriteFiles(uint32_t seed)
{
    std::mt19937_64 rng(seed);
    std::string content(kFileSize, '\0');
    for (int i = 0; i < kFiles; ++i) {
        for (size_t at = 0; at < content.size(); at += 8) {
            const uint64_t v = rng();
            std::memcpy(&content[at], &v, 8);
        }
        (void)Platform::WriteWholeFile(DataFile(i), content);
    }
}

// ------------------------------------------------------------ benchmarks

void BM_JournalKeyTree(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    BuildTree();
    uint64_t bytes = 0;
    for (auto _ : state) {
        const std::wstring journal = world.Journal([](Remover::Processor& p) {
            if (p.Execute(L"DelRegKey", TreeKey(), nullptr, nullptr) != 0) {
                std::abort();
            }
        });
        state.PauseTiming();
        bytes += World::SizeOf(journal);
        (void)Platform::Current().Files().DeleteFile(journal);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["journal_bytes"] = static_cast<double>(bytes / state.iterations());
}

void BM_RestoreKeyTree(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    BuildTree();
    const std::wstring journal = world.Journal([](Remover::Processor& p) {
        if (p.Execute(L"DelRegKey", TreeKey(), nullptr, nullptr) != 0) {
            std::abort();
        }
    });
    for (auto _ : state) {
        state.PauseTiming();
        DeleteTree();
        state.ResumeTiming();
        world.Replay(journal);
    }
    state.SetBytesProcessed(static_cast<int64_t>(World::SizeOf(journal) * state.iterations()));
}

void BM_JournalFiles(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    WriteFiles(1);
    for (auto _ : state) {
        const std::wstring journal = world.Journal([](Remover::Processor& p) {
            for (int i = 0; i < kFiles; ++i) {
                RTI::Reference<Remover::IArguments> file(new Remover::FileParameters(DataFile(i)));
                if (p.Execute(L"DelFile", file, nullptr, nullptr) != 0) {
                    std::abort();
                }
            }
        });
        state.PauseTiming();
        (void)Platform::Current().Files().DeleteFile(journal);
        world.ForgetCopies();  // every round saves every copy afresh
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(kFiles * kFileSize * state.iterations()));
}

void BM_RestoreFiles(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    WriteFiles(2);
    const std::wstring journal = world.Journal([](Remover::Processor& p) {
        for (int i = 0; i < kFiles; ++i) {
            RTI::Reference<Remover::IArguments> file(new Remover::FileParameters(DataFile(i)));
            if (p.Execute(L"DelFile", file, nullptr, nullptr) != 0) {
                std::abort();
            }
        }
    });
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kFiles; ++i) {
            (void)Platform::Current().Files().DeleteFile(DataFile(i));
        }
        state.ResumeTiming();
        world.Replay(journal);
    }
    state.SetBytesProcessed(static_cast<int64_t>(kFiles * kFileSize * state.iterations()));
}

// 1,000 small changes, one block each: the flush dominates on the disk.
void BM_JournalSmallBlocks(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    {
        Platform::UniqueKey key;
        bool created = false;
        (void)Platform::Current().Registry().CreateKey(Platform::CurrentUser(), World::kTree, key.put(), &created);
        const uint32_t one = 1;
        (void)Platform::Current().Registry().SetValue(key.get(), L"v", Platform::RegType::Dword,
                                                      reinterpret_cast<const uint8_t*>(&one), 4);
    }
    for (auto _ : state) {
        const std::wstring journal = world.Journal([](Remover::Processor& p) {
            for (int i = 0; i < 1000; ++i) {
                RTI::Reference<Remover::IArguments> value(
                    new Remover::ValueParameters(Platform::CurrentUser(), World::kTree, L"v"));
                if (p.Execute(L"DelRegValue", value, nullptr, nullptr) != 0) {
                    std::abort();
                }
            }
        });
        state.PauseTiming();
        (void)Platform::Current().Files().DeleteFile(journal);
        state.ResumeTiming();
    }
    state.counters["blocks/s"] =
        benchmark::Counter(1000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void OnEachPlatform(benchmark::internal::Benchmark* b)
{
    b->ArgName("disk")
        ->Arg(kMemory)
        ->Arg(kDiskFlushed)
        ->Arg(kDiskUnflushed)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

BENCHMARK(BM_JournalKeyTree)->Apply(OnEachPlatform);
BENCHMARK(BM_RestoreKeyTree)->Apply(OnEachPlatform);
BENCHMARK(BM_JournalFiles)->Apply(OnEachPlatform)->Iterations(3);
BENCHMARK(BM_RestoreFiles)->Apply(OnEachPlatform)->Iterations(3);
BENCHMARK(BM_JournalSmallBlocks)->Apply(OnEachPlatform)->Iterations(3);

}  // namespace
