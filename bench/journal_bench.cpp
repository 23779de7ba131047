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

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/JournalWorkload.h"
#include "core/platform/Errors.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/Folders.h"
#include "core/text/Utf.h"

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
    Status GetFinalPath(std::wstring_view, std::wstring*) override { return Err::CallNotImplemented; }
    Status GetLongPathName(std::wstring_view, std::wstring*) override { return Err::CallNotImplemented; }
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
    Platform::IHardware& Hardware() override { return base_.Hardware(); }

private:
    Platform::Portable::PortablePlatform& base_;
    DiskFiles files_;
};

// ------------------------------------------------------------- the worlds

enum Where { kMemory = 0, kDiskFlushed = 1, kDiskUnflushed = 2 };

constexpr wchar_t kBackup[] = L"C:\\bench\\backup";
constexpr wchar_t kData[] = L"C:\\bench\\data";
constexpr wchar_t kTree[] = L"Software\\CorvaneBench\\Tree";

// Installs the platform a benchmark runs on and removes it again.
class World {
public:
    explicit World(Where where) : where_(where), places_{kBackup, kData, kTree}
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

    const JournalWorkload::Places& Places() const { return places_; }
    std::wstring Journal(JournalWorkload::Body body)
    {
        const auto policy = where_ == kDiskUnflushed ? Remover::FlushPolicy::Never : Remover::FlushPolicy::EveryBlock;
        return JournalWorkload::Journal(places_, policy, body);
    }

private:
    Where where_;
    JournalWorkload::Places places_;
    Platform::Portable::PortablePlatform portable_;
    std::unique_ptr<DiskPlatform> disk_;
    Platform::IPlatform* previous_ = nullptr;
    std::string root_;
};

// ------------------------------------------------------------ benchmarks

void BM_JournalKeyTree(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    JournalWorkload::BuildTree(world.Places());
    uint64_t bytes = 0;
    for (auto _ : state) {
        const std::wstring journal = world.Journal(JournalWorkload::JournalTree);
        state.PauseTiming();
        bytes += JournalWorkload::SizeOf(journal);
        JournalWorkload::DeleteJournal(journal);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["journal_bytes"] = static_cast<double>(bytes / state.iterations());
}

void BM_RestoreKeyTree(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    JournalWorkload::BuildTree(world.Places());
    const std::wstring journal = world.Journal(JournalWorkload::JournalTree);
    for (auto _ : state) {
        state.PauseTiming();
        JournalWorkload::DeleteTree(world.Places());
        state.ResumeTiming();
        JournalWorkload::Replay(journal);
    }
    state.SetBytesProcessed(static_cast<int64_t>(JournalWorkload::SizeOf(journal) * state.iterations()));
}

void BM_JournalFiles(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    JournalWorkload::WriteFiles(world.Places(), 1);
    for (auto _ : state) {
        const std::wstring journal = world.Journal(JournalWorkload::JournalFiles);
        state.PauseTiming();
        JournalWorkload::DeleteJournal(journal);
        JournalWorkload::ForgetCopies(world.Places());  // every round saves every copy afresh
        state.ResumeTiming();
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(JournalWorkload::kFiles * JournalWorkload::kFileSize * state.iterations()));
}

void BM_RestoreFiles(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    JournalWorkload::WriteFiles(world.Places(), 2);
    const std::wstring journal = world.Journal(JournalWorkload::JournalFiles);
    for (auto _ : state) {
        state.PauseTiming();
        JournalWorkload::DeleteFiles(world.Places());
        state.ResumeTiming();
        JournalWorkload::Replay(journal);
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(JournalWorkload::kFiles * JournalWorkload::kFileSize * state.iterations()));
}

// 1,000 small changes, one block each: the flush dominates on the disk.
void BM_JournalSmallBlocks(benchmark::State& state)
{
    World world(static_cast<Where>(state.range(0)));
    JournalWorkload::PrepareSmallBlocks(world.Places());
    for (auto _ : state) {
        const std::wstring journal = world.Journal(JournalWorkload::JournalSmallBlocks);
        state.PauseTiming();
        JournalWorkload::DeleteJournal(journal);
        state.ResumeTiming();
    }
    state.counters["blocks/s"] = benchmark::Counter(
        JournalWorkload::kSmallBlocks * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
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
