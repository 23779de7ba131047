#pragma once
// Shared pieces of the backup journal tests: a fixture with a backup folder
// in the scratch area, a builder of journal bytes for hand-made (and
// hostile) journals, and snapshots of registry trees and folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/text/Utf.h"
#include "remover/CommandParameters.h"
#include "remover/CopyCache.h"
#include "remover/Crc32.h"
#include "remover/Format.h"
#include "remover/Processor.h"
#include "remover/Reader.h"
#include "tests/support/Scratch.h"

namespace JournalTesting {

using Bytes = std::vector<uint8_t>;

inline const uint8_t* Header()
{
    return Remover::Format::kProductHeader;
}
constexpr size_t kHeaderLength = Remover::Format::kProductHeaderLength;

inline Bytes ToBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}
inline std::string ToText(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline Bytes Utf16(std::wstring_view text)
{
    Bytes out;
    EXPECT_EQ(Text::WideToUtf16Le(text, &out), 0u);
    return out;
}

// Journal bytes made by hand. A top-level block gets its checksum record
// when it ends, unless told otherwise.
class JournalBuilder {
public:
    JournalBuilder& Header()
    {
        Raw(Bytes(JournalTesting::Header(), JournalTesting::Header() + kHeaderLength));
        return *this;
    }
    JournalBuilder& Start() { return Byte(Remover::Format::Record::JournalStart); }
    JournalBuilder& End() { return Byte(Remover::Format::Record::JournalEnd); }
    JournalBuilder& Begin(uint8_t tag)
    {
        if (depth_ == 0) {
            blockStart_ = bytes_.size();
        }
        ++depth_;
        Byte(Remover::Format::Record::BlockStart);
        return Byte(tag);
    }
    // Ends the innermost block; a top-level one gets its checksum.
    JournalBuilder& Finish(bool withChecksum = true)
    {
        if (depth_ == 1 && withChecksum) {
            Int(Remover::Crc32::Of(bytes_.data() + blockStart_, bytes_.size() - blockStart_));
        }
        --depth_;
        return Byte(Remover::Format::Record::BlockEnd);
    }
    JournalBuilder& Int(uint32_t v)
    {
        Byte(Remover::Format::Record::Integer);
        return U32(v);
    }
    JournalBuilder& Wide(std::wstring_view text)
    {
        Byte(Remover::Format::Record::StringW);
        return Counted(Utf16(text));
    }
    JournalBuilder& Narrow(std::string_view text)
    {
        Byte(Remover::Format::Record::StringA);
        return Counted(ToBytes(text));
    }
    JournalBuilder& Data(const Bytes& data)
    {
        Byte(Remover::Format::Record::Data);
        return Counted(data);
    }
    JournalBuilder& Saved(std::wstring_view path, std::wstring_view copy)
    {
        Byte(Remover::Format::Record::SavedFile);
        Counted(Utf16(path));
        return Counted(Utf16(copy));
    }
    JournalBuilder& Counted(const Bytes& data)
    {
        U32(static_cast<uint32_t>(data.size()));
        return Raw(data);
    }
    JournalBuilder& U32(uint32_t v)
    {
        uint8_t b[4];
        Remover::Format::PutUint32(b, v);
        return Raw(Bytes(b, b + 4));
    }
    JournalBuilder& Byte(uint8_t b)
    {
        bytes_.push_back(b);
        return *this;
    }
    JournalBuilder& Raw(const Bytes& data)
    {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    const Bytes& Get() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    Bytes bytes_;
    size_t blockStart_ = 0;
    int depth_ = 0;
};

// A registry tree as plain data: key path (relative, as stored) -> values.
struct ValueState {
    uint32_t type = 0;
    Bytes data;
    bool operator==(const ValueState&) const = default;
};
using KeyState = std::map<std::wstring, ValueState>;  // value names as stored
using TreeState = std::map<std::wstring, KeyState>;   // key paths as stored; "" = the key itself

inline void SnapshotKey(Platform::KeyHandle key, const std::wstring& path, TreeState* out)
{
    auto& reg = Platform::Current().Registry();
    KeyState& values = (*out)[path];
    std::wstring name;
    uint32_t type = 0;
    for (uint32_t i = 0; reg.EnumValue(key, i, &name, &type) == 0; ++i) {
        ValueState v;
        EXPECT_EQ(reg.QueryValue(key, name, &v.type, &v.data), 0u);
        values[name] = std::move(v);
    }
    for (uint32_t i = 0; reg.EnumKey(key, i, &name) == 0; ++i) {
        Platform::UniqueKey sub;
        ASSERT_EQ(reg.OpenKey(key, name, Platform::KeyAccess::Read, sub.put()), 0u);
        SnapshotKey(sub.get(), path.empty() ? name : path + L"\\" + name, out);
    }
}

inline TreeState SnapshotTree(Platform::KeyHandle root, std::wstring_view keyPath)
{
    TreeState state;
    Platform::UniqueKey key;
    if (Platform::Current().Registry().OpenKey(root, keyPath, Platform::KeyAccess::Read, key.put()) == 0) {
        SnapshotKey(key.get(), L"", &state);
    }
    return state;
}

// A folder as plain data: relative path (as stored) -> content, folders as
// "<dir>".
using FolderState = std::map<std::wstring, std::string>;

inline void SnapshotFolderInto(const std::wstring& folder, const std::wstring& relative, FolderState* out)
{
    auto& fs = Platform::Current().Files();
    std::vector<Platform::FindData> entries;
    {
        Platform::UniqueFind find;
        Platform::FindData data;
        Platform::Status s = fs.FindFirst(folder + L"\\*", &data, find.put());
        while (s == 0) {
            if (data.name != L"." && data.name != L"..") {
                entries.push_back(data);
            }
            s = fs.FindNext(find.get(), &data);
        }
    }
    for (const auto& entry : entries) {
        const std::wstring rel = relative.empty() ? entry.name : relative + L"\\" + entry.name;
        if (entry.attributes & Platform::FileAttr::Directory) {
            (*out)[rel] = "<dir>";
            SnapshotFolderInto(folder + L"\\" + entry.name, rel, out);
        } else {
            std::string bytes;
            EXPECT_EQ(Platform::ReadWholeFile(folder + L"\\" + entry.name, &bytes), 0u);
            (*out)[rel] = std::move(bytes);
        }
    }
}

inline FolderState SnapshotFolder(const std::wstring& folder)
{
    FolderState state;
    SnapshotFolderInto(folder, L"", &state);
    return state;
}

// Puts a tree back as a snapshot describes it: what root\keyPath holds is
// deleted (the key itself stays, so handles to it stay valid) and made again.
inline void ApplyTree(Platform::KeyHandle root, const std::wstring& keyPath, const TreeState& state)
{
    auto& reg = Platform::Current().Registry();
    {
        Platform::UniqueKey top;
        bool created = false;
        ASSERT_EQ(reg.CreateKey(root, keyPath, top.put(), &created), 0u);
        std::wstring name;
        uint32_t type = 0;
        while (reg.EnumKey(top.get(), 0, &name) == 0) {
            ASSERT_EQ(Testing::DeleteTree(top.get(), name), 0u);
        }
        while (reg.EnumValue(top.get(), 0, &name, &type) == 0) {
            ASSERT_EQ(reg.DeleteValue(top.get(), name), 0u);
        }
    }
    for (const auto& [path, values] : state) {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(reg.CreateKey(root, path.empty() ? keyPath : keyPath + L"\\" + path, key.put(), &created), 0u);
        for (const auto& [name, value] : values) {
            ASSERT_EQ(reg.SetValue(key.get(), name, value.type, value.data.data(), value.data.size()), 0u);
        }
    }
}

// The same for a folder.
inline void ApplyFolder(const std::wstring& folder, const FolderState& state)
{
    auto& fs = Platform::Current().Files();
    Platform::FileInfo info;
    if (fs.GetFileInfo(folder, &info) == 0) {
        ASSERT_EQ(Testing::DeleteFolderTree(folder), 0u);
    }
    ASSERT_EQ(fs.CreateDirectory(folder), 0u);
    for (const auto& [path, content] : state) {  // a folder sorts before its entries
        const std::wstring full = folder + L"\\" + path;
        if (content == "<dir>") {
            ASSERT_EQ(fs.CreateDirectory(full), 0u);
        } else {
            ASSERT_EQ(Platform::WriteWholeFile(full, content), 0u);
        }
    }
}

// The fixture: a scratch registry key and folder, with the backup folder at
// <scratch>\backup, and an empty copy-name cache.
class JournalTest : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        Remover::CopyCache::Clear();
        backup_ = PathOf(L"backup");
    }
    void TearDown() override
    {
        Remover::CopyCache::Clear();
        ScratchTest::TearDown();
    }

    // No trailing backslash.
    const std::wstring& BackupFolder() const { return backup_; }
    std::wstring CopiesFolder() const { return backup_ + L"\\Files\\"; }

    // File names in a folder matching a pattern, sorted.
    std::vector<std::wstring> Names(const std::wstring& folder, std::wstring_view pattern = L"*")
    {
        std::vector<std::wstring> names;
        Platform::UniqueFind find;
        Platform::FindData data;
        Platform::Status s = Fs().FindFirst(folder + L"\\" + std::wstring(pattern), &data, find.put());
        while (s == 0) {
            if (data.name != L"." && data.name != L"..") {
                names.push_back(data.name);
            }
            s = Fs().FindNext(find.get(), &data);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::wstring> Journals() { return Names(backup_, L"*.arch"); }
    std::vector<std::wstring> Copies() { return Names(backup_ + L"\\Files"); }

    Bytes BytesOf(std::wstring_view path)
    {
        std::string text;
        EXPECT_EQ(Platform::ReadWholeFile(path, &text), 0u);
        return ToBytes(text);
    }
    void PutBytes(std::wstring_view path, const Bytes& bytes)
    {
        ASSERT_EQ(Platform::WriteWholeFile(path, ToText(bytes)), 0u);
    }
    // A hand-made journal in the backup folder.
    std::wstring PutJournal(std::wstring_view name, const Bytes& bytes)
    {
        MakeFolder(backup_);
        const std::wstring path = backup_ + L"\\" + std::wstring(name);
        PutBytes(path, bytes);
        return path;
    }

    // Runs body with a processor open on the backup folder and closes it;
    // returns the journal's path (empty when nothing was journalled).
    std::wstring RunJournal(const std::function<void(Remover::Processor&)>& body)
    {
        Remover::Processor processor;
        EXPECT_EQ(processor.Open(BackupFolder(), Header(), kHeaderLength), 0u);
        const std::wstring path = processor.GetWriter().JournalPath();
        body(processor);
        EXPECT_EQ(processor.Close(), 0u);
        return Exists(path) ? path : std::wstring();
    }
    // Replays a journal through a restore processor, as the backups view does.
    uint32_t Replay(const std::wstring& journal, Remover::ReplayReport* report = nullptr,
                    RTI::ITracer* tracer = nullptr, Platform::EventHandle cancel = nullptr)
    {
        Remover::Processor restore;
        (void)restore.RegisterCommands();
        Remover::Reader reader;
        return reader.Replay(journal, Header(), kHeaderLength, restore, tracer, cancel, report);
    }

    // Arguments naming places under the scratch key and folder.
    std::wstring KeyPath(std::wstring_view subKey) const
    {
        return subKey.empty() ? ScratchKeyPath() : ScratchKeyPath() + L"\\" + std::wstring(subKey);
    }
    RTI::Reference<Remover::IArguments> Value(std::wstring_view subKey, std::wstring_view name) const
    {
        return RTI::Reference<Remover::IArguments>(
            new Remover::ValueParameters(ScratchRoot(), KeyPath(subKey), std::wstring(name)));
    }
    RTI::Reference<Remover::IArguments> Key(std::wstring_view subKey) const
    {
        return RTI::Reference<Remover::IArguments>(new Remover::KeyParameters(ScratchRoot(), KeyPath(subKey)));
    }
    RTI::Reference<Remover::IArguments> File(std::wstring_view relative) const
    {
        return RTI::Reference<Remover::IArguments>(new Remover::FileParameters(PathOf(relative)));
    }
    TreeState Tree() { return SnapshotTree(ScratchRoot(), ScratchKeyPath()); }
    // The scratch folder without the backup folder.
    FolderState Folder()
    {
        FolderState state = SnapshotFolder(ScratchFolder());
        for (auto it = state.begin(); it != state.end();) {
            it = (it->first == L"backup" || it->first.rfind(L"backup\\", 0) == 0) ? state.erase(it) : std::next(it);
        }
        return state;
    }
    // Deletes a key under the scratch key with everything below it.
    void DeleteKey(std::wstring_view subKey) { ASSERT_EQ(Testing::DeleteTree(ScratchKey(), std::wstring(subKey)), 0u); }

private:
    std::wstring backup_;
};

}  // namespace JournalTesting
