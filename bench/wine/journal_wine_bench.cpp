// The backup journal's speed over the real Windows API, for the Windows
// builds run under Wine: the same work as the native journal benchmark (a key
// tree of 10,000 values in 1,000 keys, 1,000 files of 64 KiB, 1,000 one-value
// blocks), journalled with the flush every top-level block gets and without
// it (the two taking turns), and restored.
//
// It works in a scratch folder under %TEMP% and below the scratch key
// HKCU\Software\CorvaneBench\<random>, both removed at the end.
//
// Usage: corvane_wine_bench [ROUNDS]. Each figure is the median of ROUNDS
// rounds (default 5; the file measurements 3, as they take longest).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/JournalWorkload.h"
#include "bench/wine/Timing.h"
#include "core/platform/Handles.h"
#include "core/platform/Platform.h"
#include "core/system/Folders.h"
#include "remover/CopyCache.h"
#include "remover/Writer.h"

namespace {

using JournalWorkload::Places;

// 16 hexadecimal digits, so that two runs never share a scratch place.
std::wstring RandomName()
{
    std::random_device device;
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 rng((static_cast<uint64_t>(device()) << 32) ^ now);
    const uint64_t value = rng();
    wchar_t text[17];
    std::swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Removes a folder with everything in it.
void RemoveFolder(const std::wstring& folder)
{
    auto& files = Platform::Current().Files();
    std::vector<std::wstring> subfolders;
    std::vector<std::wstring> names;
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (files.FindFirst(folder + L"\\*", &entry, find.put()) == 0) {
        do {
            if (entry.name == L"." || entry.name == L"..") {
                continue;
            }
            (entry.attributes & Platform::FileAttr::Directory ? subfolders : names).push_back(entry.name);
        } while (files.FindNext(find.get(), &entry) == 0);
    }
    find.reset();
    for (const auto& name : names) {
        (void)files.DeleteFile(folder + L"\\" + name);
    }
    for (const auto& name : subfolders) {
        RemoveFolder(folder + L"\\" + name);
    }
    (void)files.RemoveDirectory(folder);
}

// The scratch folder and key of one run.
class Scratch {
public:
    Scratch()
    {
        const std::wstring name = RandomName();
        const std::wstring temp = Platform::Current().System().ExpandEnvironmentStrings(L"%TEMP%");
        if (temp.empty() || temp.find(L'%') != std::wstring::npos) {
            JournalWorkload::Fail("finding %TEMP%");
        }
        root_ = temp + L"\\CorvaneBench-" + name;
        places_ = {root_ + L"\\backup", root_ + L"\\data", std::wstring(kParentKey) + L"\\" + name};
        if (Sys::CreateFolderPath(places_.backup) != 0 || Sys::CreateFolderPath(places_.data) != 0) {
            JournalWorkload::Fail("creating the scratch folder");
        }
        Remover::CopyCache::Clear();
    }
    ~Scratch()
    {
        RemoveFolder(root_);
        JournalWorkload::DeleteTree(places_);
        // Fails, as it should, while another run still has its key there.
        (void)Platform::Current().Registry().DeleteKey(Platform::CurrentUser(), kParentKey);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const Places& Get() const { return places_; }

private:
    static constexpr wchar_t kParentKey[] = L"Software\\CorvaneBench";
    std::wstring root_;
    Places places_;
};

constexpr Remover::FlushPolicy kPolicies[] = {Remover::FlushPolicy::EveryBlock, Remover::FlushPolicy::Never};
constexpr const char* kPolicyNames[] = {"flushed", "unflushed"};

// Journals body with and without the flush, taking turns; returns the two
// medians (flushed first). tidy runs after each round with its journal.
std::vector<double> MeasureJournal(const Places& places, int rounds, JournalWorkload::Body body,
                                   const std::function<void(const std::wstring&)>& tidy)
{
    std::wstring journal;
    std::vector<Bench::Round> variants;
    for (const Remover::FlushPolicy policy : kPolicies) {
        variants.push_back({.work = [&, policy] { journal = JournalWorkload::Journal(places, policy, body); },
                            .tidy = [&] { tidy(journal); }});
    }
    return Bench::MedianMilliseconds(rounds, variants);
}

void MeasureKeyTree(const Places& places, int rounds)
{
    JournalWorkload::BuildTree(places);
    uint64_t bytes = 0;
    const std::vector<double> ms =
        MeasureJournal(places, rounds, JournalWorkload::JournalTree, [&](const std::wstring& journal) {
            bytes = JournalWorkload::SizeOf(journal);
            JournalWorkload::DeleteJournal(journal);
        });
    for (size_t i = 0; i < ms.size(); ++i) {
        Bench::Report(std::string("JournalKeyTree/") + kPolicyNames[i], ms[i], static_cast<double>(bytes));
    }

    // The replay writes no journal, so the flush has no part in it.
    const std::wstring journal =
        JournalWorkload::Journal(places, Remover::FlushPolicy::EveryBlock, JournalWorkload::JournalTree);
    const double restore =
        Bench::MedianMilliseconds(rounds, Bench::Round{.prepare = [&] { JournalWorkload::DeleteTree(places); },
                                                       .work = [&] { JournalWorkload::Replay(journal); }});
    Bench::Report("RestoreKeyTree", restore, static_cast<double>(JournalWorkload::SizeOf(journal)));
    JournalWorkload::DeleteJournal(journal);
    JournalWorkload::DeleteTree(places);
}

void MeasureFiles(const Places& places, int rounds)
{
    constexpr double kBytes = static_cast<double>(JournalWorkload::kFiles) * JournalWorkload::kFileSize;
    JournalWorkload::WriteFiles(places, 1);
    const std::vector<double> ms =
        MeasureJournal(places, rounds, JournalWorkload::JournalFiles, [&](const std::wstring& journal) {
            JournalWorkload::DeleteJournal(journal);
            JournalWorkload::ForgetCopies(places);  // every round saves every copy afresh
        });
    for (size_t i = 0; i < ms.size(); ++i) {
        Bench::Report(std::string("JournalFiles/") + kPolicyNames[i], ms[i], kBytes);
    }

    const std::wstring journal =
        JournalWorkload::Journal(places, Remover::FlushPolicy::EveryBlock, JournalWorkload::JournalFiles);
    const double restore =
        Bench::MedianMilliseconds(rounds, Bench::Round{.prepare = [&] { JournalWorkload::DeleteFiles(places); },
                                                       .work = [&] { JournalWorkload::Replay(journal); }});
    Bench::Report("RestoreFiles", restore, kBytes);
    JournalWorkload::DeleteJournal(journal);
    JournalWorkload::ForgetCopies(places);
    JournalWorkload::DeleteFiles(places);
}

// The difference between the flushed and the unflushed small blocks is what
// the flush costs one block.
void MeasureSmallBlocks(const Places& places, int rounds)
{
    JournalWorkload::PrepareSmallBlocks(places);
    const std::vector<double> ms =
        MeasureJournal(places, rounds, JournalWorkload::JournalSmallBlocks,
                       [](const std::wstring& journal) { JournalWorkload::DeleteJournal(journal); });
    for (size_t i = 0; i < ms.size(); ++i) {
        Bench::Report(std::string("JournalSmallBlocks/") + kPolicyNames[i], ms[i], 0);
    }
    Bench::Report("FlushPerBlock", (ms[0] - ms[1]) / JournalWorkload::kSmallBlocks, 0);
    JournalWorkload::DeleteTree(places);
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 5;
    if (argc > 1) {
        rounds = std::atoi(argv[1]);
        if (rounds < 1) {
            std::fprintf(stderr, "usage: corvane_wine_bench [ROUNDS]\n");
            return 2;
        }
    }
    Scratch scratch;
    std::printf("%-32s %13s %15s\n", "measurement", "median", "rate");
    MeasureKeyTree(scratch.Get(), rounds);
    MeasureFiles(scratch.Get(), argc > 1 ? rounds : 3);
    MeasureSmallBlocks(scratch.Get(), rounds);
    return 0;
}
