// The round-trip property: whatever a run journals and changes, restoring
// its backup points gives back the registry and the files byte for byte.
// Random registry trees and folders, random sequences of journalled changes
// (each made through Processor::Execute, then made), split over one to three
// runs; seeded, so a failing case can be replayed alone:
//   remover_tests --gtest_filter='JournalRoundTrip.*' with CORVANE_ROUNDTRIP_SEED=<seed>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <tuple>

#include "core/system/Folders.h"
#include "remover/BackupPoints.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
namespace RegType = Platform::RegType;

#if defined(_WIN32)
constexpr int kCases = 100;  // the real registry and disk under Wine are slower
constexpr bool kBigValues = false;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int kCases = 300;  // the unoptimised, instrumented build; the plain one runs the full count
constexpr bool kBigValues = true;
#else
constexpr int kCases = 1000;
constexpr bool kBigValues = true;
#endif

class Case {
public:
    Case(uint64_t seed, Platform::KeyHandle root, std::wstring regPath, std::wstring fileRoot, std::wstring backup)
        : rng_(seed),
          root_(root),
          regPath_(std::move(regPath)),
          fileRoot_(std::move(fileRoot)),
          backup_(std::move(backup))
    {
    }

    void Build()
    {
        auto& reg = Platform::Current().Registry();
        std::vector<std::wstring> keys{L""};
        const int keyCount = Pick(1, 12);
        for (int i = 0; i < keyCount; ++i) {
            keys.push_back(Join(keys[Below(keys.size())], KeyName()));
        }
        if (Chance(10)) {  // a deep chain
            std::wstring deep = keys[Below(keys.size())];
            for (int level = Pick(10, 40); level > 0; --level) {
                deep = Join(deep, KeyName());
            }
            keys.push_back(deep);
        }
        for (const std::wstring& key : keys) {
            Platform::UniqueKey k;
            bool created = false;
            ASSERT_EQ(reg.CreateKey(root_, Full(key), k.put(), &created), 0u);
        }
        for (int i = Pick(0, 25); i > 0; --i) {
            SetRandomValue(keys[Below(keys.size())], ValueName());
        }
        if (kBigValues && Chance(2)) {
            SetValueBytes(keys[Below(keys.size())], ValueName(), RegType::Binary, RandomBytes(Pick(2, 3) << 20));
        }

        ASSERT_EQ(Sys::CreateFolderPath(fileRoot_), 0u);
        std::vector<std::wstring> folders{L""};
        for (int i = Pick(0, 5); i > 0; --i) {
            folders.push_back(Join(folders[Below(folders.size())], FileName()));
            ASSERT_EQ(Sys::CreateFolderPath(FilePath(folders.back())), 0u);
        }
        for (int i = 0; i < 4; ++i) {
            pool_.push_back(Content());
        }
        for (int i = Pick(0, 8); i > 0; --i) {
            WriteContent(Join(folders[Below(folders.size())], FileName()), PoolContent());
        }
    }

    // Journals and makes a random sequence of changes in one to three runs.
    void Change()
    {
        const int runs = Pick(1, 3);
        for (int run = 0; run < runs; ++run) {
            Remover::Processor processor;
            ASSERT_EQ(processor.Open(backup_, Header(), kHeaderLength), 0u);
            for (int op = Pick(1, 10); op > 0; --op) {
                OneChange(processor);
                if (::testing::Test::HasFatalFailure()) {
                    return;
                }
            }
            ASSERT_EQ(processor.Close(), 0u);
        }
    }

    void Restore()
    {
        auto points = Remover::ListBackupPoints(backup_);
        for (auto& p : points) {
            p.ticked = true;
        }
        Remover::Processor processor;
        Remover::Reader reader;
        const auto outcome = Remover::RestoreTickedPoints(points, processor, reader, nullptr, nullptr);
        for (const auto& p : outcome.points) {
            EXPECT_EQ(p.status, 0u) << "restoring " << Narrow(p.path);
            for (const auto& f : p.report.failed) {
                ADD_FAILURE() << "block " << f.index << " tag " << int(f.tag) << " error " << f.error;
            }
        }
    }

    TreeState Tree() const { return SnapshotTree(root_, regPath_); }
    FolderState Files() const { return SnapshotFolder(fileRoot_); }

    std::string log;  // the changes made, for the failure message

private:
    // ------------------------------------------------------------- changes

    void OneChange(Remover::Processor& p)
    {
        const TreeState tree = Tree();
        const FolderState files = Files();
        std::vector<std::wstring> keys;
        for (const auto& entry : tree) {
            keys.push_back(entry.first);
        }
        std::vector<std::wstring> fileList;
        std::vector<std::wstring> folders{L""};
        for (const auto& [path, content] : files) {
            (content == "<dir>" ? folders : fileList).push_back(path);
        }
        switch (Below(9)) {
            case 0:
            case 1: {  // set a value, new or not, maybe in new keys
                std::wstring key = keys.empty() || Chance(20) ? NewKeyUnder(keys) : keys[Below(keys.size())];
                std::wstring name = ValueName();
                if (!recentValues_.empty() && Chance(40)) {
                    std::tie(key, name) = recentValues_[Below(recentValues_.size())];
                } else if (tree.count(key) && !tree.at(key).empty() && Chance(50)) {
                    auto it = tree.at(key).begin();
                    std::advance(it, static_cast<long>(Below(tree.at(key).size())));
                    name = it->first;
                }
                const bool exists = tree.count(key) && tree.at(key).count(name);
                if (!tree.count(key) && Chance(50)) {
                    Execute(p, L"SetRegKey", Key(key));
                }
                Execute(p, exists && !Chance(20) ? L"DelRegValue" : L"SetRegValue", Value(key, name));
                SetRandomValue(key, name);
                recentValues_.emplace_back(key, name);
                break;
            }
            case 2: {  // delete a value
                std::vector<std::pair<std::wstring, std::wstring>> values;
                for (const auto& [key, vals] : tree) {
                    for (const auto& v : vals) {
                        values.emplace_back(key, v.first);
                    }
                }
                if (values.empty()) {
                    break;
                }
                const auto [key, name] = values[Below(values.size())];
                Execute(p, L"DelRegValue", Value(key, name));
                Platform::UniqueKey k;
                ASSERT_EQ(
                    Platform::Current().Registry().OpenKey(root_, Full(key), Platform::KeyAccess::Change, k.put()), 0u);
                ASSERT_EQ(Platform::Current().Registry().DeleteValue(k.get(), name), 0u);
                break;
            }
            case 3: {  // delete a key (often one a value was just set in)
                if (keys.empty()) {
                    break;
                }
                std::wstring key = keys[Below(keys.size())];
                if (!recentValues_.empty() && Chance(40) && tree.count(recentValues_.back().first)) {
                    key = recentValues_.back().first;
                }
                Execute(p, L"DelRegKey", Key(key));
                ASSERT_EQ(Testing::DeleteTree(root_, Full(key)), 0u);
                deletedKeys_.push_back(key);
                break;
            }
            case 4: {  // create keys, often one deleted before
                std::wstring key = NewKeyUnder(keys);
                if (!deletedKeys_.empty() && Chance(40)) {
                    key = deletedKeys_[Below(deletedKeys_.size())];
                }
                Execute(p, L"SetRegKey", Key(key));
                Platform::UniqueKey k;
                bool created = false;
                ASSERT_EQ(Platform::Current().Registry().CreateKey(root_, Full(key), k.put(), &created), 0u);
                break;
            }
            case 5: {  // overwrite a file
                if (fileList.empty()) {
                    break;
                }
                const std::wstring file = fileList[Below(fileList.size())];
                Execute(p, Chance(20) ? L"CreateFile" : L"DelFile", File(file));
                WriteContent(file, Chance(30) ? PoolContent() : Content());
                break;
            }
            case 6: {  // create a file, maybe in new folders
                std::wstring folder = folders[Below(folders.size())];
                for (int levels = Pick(0, 2); levels > 0; --levels) {
                    folder = Join(folder, FileName());
                }
                const std::wstring file = Join(folder, FileName());
                if (Blocked(file, Platform::FileAttr::Directory)) {
                    break;
                }
                Execute(p, L"CreateFile", File(file));
                WriteContent(file, PoolContent());
                break;
            }
            case 7: {  // delete a file
                if (fileList.empty()) {
                    break;
                }
                const std::wstring file = fileList[Below(fileList.size())];
                Execute(p, L"DelFile", File(file));
                (void)Platform::Current().Files().SetFileAttributes(FilePath(file), Platform::FileAttr::Normal);
                ASSERT_EQ(Platform::Current().Files().DeleteFile(FilePath(file)), 0u);
                break;
            }
            default: {  // create folders at several levels
                std::wstring folder = folders[Below(folders.size())];
                for (int levels = Pick(1, 3); levels > 0; --levels) {
                    folder = Join(folder, FileName());
                }
                if (Blocked(folder, 0)) {
                    break;
                }
                Execute(p, L"CreateFile", File(folder));
                ASSERT_EQ(Sys::CreateFolderPath(FilePath(folder)), 0u);
                break;
            }
        }
    }

    // Whether a file stands where a folder of the path would go (names match
    // without regard to case), or the path itself is what `attribute` says.
    bool Blocked(const std::wstring& relative, uint32_t attribute) const
    {
        const std::wstring path = FilePath(relative);
        for (size_t slash = path.find(L'\\', fileRoot_.size()); slash != std::wstring::npos;
             slash = path.find(L'\\', slash + 1)) {
            Platform::FileInfo info;
            if (Platform::Current().Files().GetFileInfo(path.substr(0, slash), &info) == 0 &&
                !(info.attributes & Platform::FileAttr::Directory)) {
                return true;
            }
        }
        Platform::FileInfo info;
        const bool exists = Platform::Current().Files().GetFileInfo(path, &info) == 0;
        return exists && (attribute == 0 ? !(info.attributes & Platform::FileAttr::Directory)
                                         : (info.attributes & attribute) != 0);
    }

    void Execute(Remover::Processor& p, const wchar_t* command, RTI::Reference<Remover::IArguments> args)
    {
        log += Narrow(command) + " ";
        ASSERT_EQ(p.Execute(command, std::move(args), nullptr, nullptr), 0u) << Narrow(command);
    }

    RTI::Reference<Remover::IArguments> Value(const std::wstring& key, const std::wstring& name) const
    {
        return RTI::Reference<Remover::IArguments>(new Remover::ValueParameters(root_, Full(key), name));
    }
    RTI::Reference<Remover::IArguments> Key(const std::wstring& key) const
    {
        return RTI::Reference<Remover::IArguments>(new Remover::KeyParameters(root_, Full(key)));
    }
    RTI::Reference<Remover::IArguments> File(const std::wstring& file) const
    {
        return RTI::Reference<Remover::IArguments>(new Remover::FileParameters(FilePath(file)));
    }

    std::wstring NewKeyUnder(const std::vector<std::wstring>& keys)
    {
        std::wstring key = keys.empty() ? std::wstring() : keys[Below(keys.size())];
        for (int levels = Pick(1, 3); levels > 0; --levels) {
            key = Join(key, KeyName());
        }
        return key;
    }

    // -------------------------------------------------------------- content

    void SetRandomValue(const std::wstring& key, const std::wstring& name)
    {
        static constexpr uint32_t kTypes[] = {
            RegType::None,           RegType::Sz,   RegType::ExpandSz, RegType::Binary, RegType::Dword,
            RegType::DwordBigEndian, RegType::Link, RegType::MultiSz,  RegType::Qword,  0x12345};
        const uint32_t type = kTypes[Below(std::size(kTypes))];
        Bytes data;
        switch (type) {
            case RegType::Dword:
            case RegType::DwordBigEndian:
                data = RandomBytes(4);
                break;
            case RegType::Qword:
                data = RandomBytes(8);
                break;
            case RegType::Sz:
            case RegType::ExpandSz:
            case RegType::Link:
            case RegType::MultiSz:
                data = Chance(10) ? Bytes() : Testing::StringBytes(Text(Pick(0, 40)));
                if (type == RegType::MultiSz && !data.empty()) {
                    data.push_back(0);
                    data.push_back(0);
                }
                break;
            default:
                data = Chance(15) ? Bytes() : RandomBytes(Pick(1, Chance(5) ? 70000 : 64));
        }
        SetValueBytes(key, name, type, data);
    }

    void SetValueBytes(const std::wstring& key, const std::wstring& name, uint32_t type, const Bytes& data)
    {
        auto& reg = Platform::Current().Registry();
        Platform::UniqueKey k;
        bool created = false;
        ASSERT_EQ(reg.CreateKey(root_, Full(key), k.put(), &created), 0u);
        ASSERT_EQ(reg.SetValue(k.get(), name, type, data.data(), data.size()), 0u);
    }

    std::string Content()
    {
        const int kind = Pick(0, 9);
        const size_t size = kind == 0  ? 0
                            : kind < 6 ? Below(300)
                            : kind < 9 ? Below(70000)
                                       : (kBigValues ? 300000 + Below(700000) : 100000);
        std::string text(size, '\0');
        for (char& c : text) {
            c = static_cast<char>(rng_());
        }
        return text;
    }
    const std::string& PoolContent() { return pool_[Below(pool_.size())]; }

    void WriteContent(const std::wstring& file, const std::string& content)
    {
        const std::wstring path = FilePath(file);
        ASSERT_EQ(Sys::CreateParentFolders(path), 0u);
        (void)Platform::Current().Files().SetFileAttributes(path, Platform::FileAttr::Normal);
        ASSERT_EQ(Platform::WriteWholeFile(path, content), 0u);
    }

    Bytes RandomBytes(size_t size)
    {
        Bytes bytes(size);
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(rng_());
        }
        return bytes;
    }

    // ---------------------------------------------------------------- names

    std::wstring Text(int length)
    {
        static const std::wstring kChars =
            L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _-.\u00e9\u00df\u0416\u4e2d";
        std::wstring text;
        for (int i = 0; i < length; ++i) {
            text += kChars[Below(kChars.size())];
        }
        if (Chance(5)) {
            text += L"\U0001F600";  // outside the basic plane: a surrogate pair in the journal
        }
        return text;
    }
    std::wstring KeyName()
    {
        std::wstring name = Text(Chance(3) ? 200 : Pick(1, 12));
        return name.empty() ? L"k" : name;
    }
    std::wstring ValueName()
    {
        if (Chance(8)) {
            return L"";  // the default value
        }
        std::wstring name = Text(Chance(3) ? 1000 : Pick(1, 12));
        if (Chance(10)) {
            name += L"\\with backslash";
        }
        return name;
    }
    std::wstring FileName()
    {
        static const std::wstring kChars = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-\u00e9";
        std::wstring name;
        for (int i = Pick(1, 10); i > 0; --i) {
            name += kChars[Below(kChars.size())];
        }
        if (Chance(30)) {
            name += L".txt";
        }
        return name;
    }

    static std::wstring Join(const std::wstring& parent, const std::wstring& name)
    {
        return parent.empty() ? name : parent + L"\\" + name;
    }
    std::wstring Full(const std::wstring& key) const { return key.empty() ? regPath_ : regPath_ + L"\\" + key; }
    std::wstring FilePath(const std::wstring& file) const
    {
        return file.empty() ? fileRoot_ : fileRoot_ + L"\\" + file;
    }

    static std::string Narrow(std::wstring_view text)
    {
        std::string out;
        for (wchar_t c : text) {
            out += c < 128 ? static_cast<char>(c) : '?';
        }
        return out;
    }

    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng_() % n); }
    int Pick(int low, int high) { return low + static_cast<int>(Below(static_cast<size_t>(high - low + 1))); }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

    std::mt19937_64 rng_;
    Platform::KeyHandle root_;
    std::wstring regPath_;
    std::wstring fileRoot_;
    std::wstring backup_;
    std::vector<std::string> pool_;
    std::vector<std::pair<std::wstring, std::wstring>> recentValues_;
    std::vector<std::wstring> deletedKeys_;
};

class JournalRoundTrip : public JournalTest {};

TEST_F(JournalRoundTrip, RestoringTheBackupPointsGivesBackRegistryAndFilesByteForByte)
{
    uint64_t firstSeed = 20240611;
    int cases = kCases;
    if (const char* seed = std::getenv("CORVANE_ROUNDTRIP_SEED")) {
        firstSeed = std::strtoull(seed, nullptr, 10);
        cases = 1;
    }
    int bigCases = 0;
    for (int i = 0; i < cases; ++i) {
        const uint64_t seed = firstSeed + static_cast<uint64_t>(i);
        SCOPED_TRACE("CORVANE_ROUNDTRIP_SEED=" + std::to_string(seed));
        Remover::CopyCache::Clear();
        Case c(seed, ScratchRoot(), KeyPath(L"case\\reg"), PathOf(L"case\\files"), PathOf(L"case\\backup"));
        c.Build();
        ASSERT_FALSE(HasFatalFailure());
        const TreeState tree = c.Tree();
        const FolderState files = c.Files();
        for (const auto& [key, values] : tree) {
            for (const auto& [name, value] : values) {
                bigCases += value.data.size() > (1u << 20) ? 1 : 0;
            }
        }
        c.Change();
        ASSERT_FALSE(HasFatalFailure()) << c.log;
        c.Restore();
        ASSERT_EQ(c.Tree(), tree) << c.log;
        ASSERT_EQ(c.Files(), files) << c.log;
        ASSERT_EQ(Testing::DeleteTree(ScratchKey(), L"case"), 0u);
        ASSERT_EQ(Testing::DeleteFolderTree(PathOf(L"case")), 0u);
    }
    if (kBigValues && cases == kCases) {
        EXPECT_GT(bigCases, 0) << "some cases hold multi-MB values";
    }
}

}  // namespace
