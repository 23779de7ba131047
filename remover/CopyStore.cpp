#include "remover/CopyStore.h"

#include <limits>

#include "core/crypto/Md5.h"
#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/FileDigest.h"
#include "core/system/InUseRetry.h"
#include "core/system/Folders.h"
#include "core/system/Options.h"
#include "remover/FileBytes.h"
#include "remover/Format.h"
#include "remover/JournalRules.h"

namespace Remover {

using Platform::Status;

namespace {

// Copies the rest of `from` into `to`, hashing what passes, one block at a
// time with a cancellation check before each read and each write.
Status CopyAndHash(Platform::FileHandle from, Platform::FileHandle to, Platform::EventHandle cancel, Crypto::Md5* md5,
                   uint64_t* copied = nullptr)
{
    auto& files = Platform::Current().Files();
    std::vector<uint8_t> block(Format::kCopyBlockSize);
    for (;;) {
        if (Sys::IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        uint32_t got = 0;
        if (Status s = files.ReadFile(from, block.data(), static_cast<uint32_t>(block.size()), &got)) {
            return s;
        }
        if (got == 0) {
            return Err::Success;
        }
        md5->Update(block.data(), got);
        if (copied) {
            *copied += got;
        }
        if (to == nullptr) {
            continue;  // only hashing
        }
        if (Sys::IsCancelled(cancel)) {
            return Err::Cancelled;
        }
        if (Status s = WriteAll(to, block.data(), got)) {
            return s;
        }
    }
}

// A name beside `path` that no file has yet, created empty for writing.
Status CreateSibling(std::wstring_view path, std::wstring_view suffix, Platform::UniqueFile* file, std::wstring* name)
{
    auto& files = Platform::Current().Files();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate(path);
        candidate += suffix;
        if (attempt > 0) {
            candidate += std::to_wstring(attempt);
        }
        const Status s =
            files.CreateFile(candidate, Platform::FileAccess::Write, Platform::Disposition::CreateNew, file->put());
        if (s == Err::Success) {
            *name = std::move(candidate);
            return s;
        }
        if (s != Err::FileExists && s != Err::AlreadyExists) {
            return s;
        }
    }
    return Err::FileExists;
}

}  // namespace

CopyStore::CopyStore(std::wstring folder, std::span<const uint8_t> header)
    : folder_(std::move(folder)), header_(header.begin(), header.end())
{
}

std::wstring CopyStore::PathOf(std::wstring_view copyName) const
{
    return folder_ + std::wstring(copyName);
}

Status CopyStore::DigestFile(std::wstring_view path, Platform::EventHandle cancel, std::wstring* hex)
{
    Crypto::Md5::Digest digest;
    if (Status s = Sys::DigestFile(path, &digest, cancel)) {
        return s;
    }
    *hex = Crypto::DigestToHex(digest);
    return Err::Success;
}

Status CopyStore::CheckHeader(Platform::FileHandle file, uint32_t* count) const
{
    std::vector<uint8_t> seen(header_.size());
    uint8_t countBytes[4];
    if (ReadExactly(file, seen.data(), seen.size()) != 0 || seen != header_ ||
        ReadExactly(file, countBytes, sizeof countBytes) != 0) {
        return Err::BadFormat;
    }
    *count = Format::GetUint32(countBytes);
    return Err::Success;
}

Status CopyStore::ReadReferenceCount(std::wstring_view copyName, uint32_t* count) const
{
    if (!IsCopyName(copyName)) {
        return Err::BadFormat;
    }
    Platform::UniqueFile file;
    if (Status s = Platform::Current().Files().CreateFile(PathOf(copyName), Platform::FileAccess::Read,
                                                          Platform::Disposition::OpenExisting, file.put())) {
        return s;
    }
    return CheckHeader(file.get(), count);
}

Status CopyStore::AddReference(std::wstring_view copyName)
{
    auto& files = Platform::Current().Files();
    Platform::UniqueFile file;
    if (Status s = files.CreateFile(PathOf(copyName), Platform::FileAccess::ReadWrite,
                                    Platform::Disposition::OpenExisting, file.put())) {
        return s;
    }
    uint32_t count = 0;
    if (Status s = CheckHeader(file.get(), &count)) {
        return s;
    }
    // The count only informs; it saturates rather than wraps.
    if (count != std::numeric_limits<uint32_t>::max()) {
        ++count;
    }
    uint8_t bytes[4];
    Format::PutUint32(bytes, count);
    uint64_t at = 0;
    if (Status s = files.Seek(file.get(), static_cast<int64_t>(header_.size()), Platform::SeekOrigin::Begin, &at)) {
        return s;
    }
    return WriteAll(file.get(), bytes, sizeof bytes);
}

Status CopyStore::Inspect(std::wstring_view copyName, uint64_t size, Platform::EventHandle cancel,
                          uint32_t* count) const
{
    auto& files = Platform::Current().Files();
    Platform::UniqueFile file;
    if (Status s = files.CreateFile(PathOf(copyName), Platform::FileAccess::Read, Platform::Disposition::OpenExisting,
                                    file.put())) {
        return s;
    }
    if (Status s = CheckHeader(file.get(), count)) {
        return s;
    }
    uint64_t total = 0;
    if (Status s = files.GetFileSize(file.get(), &total)) {
        return s;
    }
    if (total != header_.size() + 4 + size) {
        return Err::BadFormat;
    }
    Crypto::Md5 md5;
    if (Status s = CopyAndHash(file.get(), nullptr, cancel, &md5)) {
        return s;
    }
    return Crypto::DigestToHex(md5.Final()) == copyName ? Err::Success : Err::BadFormat;
}

Status CopyStore::Adopt(std::wstring_view copyName, uint64_t size, Platform::EventHandle cancel, bool* adopted)
{
    *adopted = false;
    uint32_t count = 0;
    const Status s = Inspect(copyName, size, cancel, &count);
    if (IsNotFound(s) || s == Err::BadFormat) {
        return Err::Success;  // missing, not ours or damaged: it is written again
    }
    if (s != Err::Success) {
        return s;  // it could not be looked at, so it cannot be trusted or replaced
    }
    if (Status a = AddReference(copyName)) {
        return a;
    }
    *adopted = true;
    return Err::Success;
}

Status CopyStore::Save(std::wstring_view path, Platform::EventHandle cancel, std::wstring* copyName)
{
    Platform::FileInfo info;
    if (Status s = Platform::Current().Files().GetFileInfo(path, &info)) {
        return s;
    }
    if (info.attributes & Platform::FileAttr::Directory) {
        return Err::FileNotFound;
    }
    // A name handed in comes from a file whose size and write time have not
    // changed since it was hashed; otherwise the content is hashed now.
    std::wstring name;
    if (IsCopyName(*copyName)) {
        name = *copyName;
    } else if (Status s = DigestFile(path, cancel, &name)) {
        return s;
    }
    // A copy already in the store is reused only when it holds exactly this
    // content: a copy that was cut short or changed would restore wrong bytes.
    bool adopted = false;
    if (Status s = Adopt(name, info.size, cancel, &adopted)) {
        return s;
    }
    if (!adopted) {
        if (Status s = WriteCopy(path, cancel, &name)) {
            return s;
        }
    }
    *copyName = std::move(name);
    return Err::Success;
}

Status CopyStore::WriteCopy(std::wstring_view path, Platform::EventHandle cancel, std::wstring* copyName)
{
    auto& files = Platform::Current().Files();
    Platform::UniqueFile source;
    if (files.CreateFile(path, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, source.put()) != 0) {
        return Err::BadFormat;
    }
    Platform::UniqueFile out;
    std::wstring temporary;
    if (Status s = CreateSibling(PathOf(*copyName), L".part", &out, &temporary)) {
        return s;
    }
    Platform::ScopeExit removeTemporary([&] {
        out.reset();
        (void)Platform::Current().Files().DeleteFile(temporary);
    });

    uint8_t count[4];
    Format::PutUint32(count, 1);
    if (Status s = WriteAll(out.get(), header_.data(), header_.size())) {
        return s;
    }
    if (Status s = WriteAll(out.get(), count, sizeof count)) {
        return s;
    }
    // The copy is named by what was actually copied: a file that changed since
    // it was hashed is stored under its new digest, never under a wrong one.
    Crypto::Md5 md5;
    uint64_t copied = 0;
    if (Status s = CopyAndHash(source.get(), out.get(), cancel, &md5, &copied)) {
        return s;
    }
    source.reset();
    std::wstring name = Crypto::DigestToHex(md5.Final());
    if (name != *copyName) {
        bool adopted = false;
        if (Status s = Adopt(name, copied, cancel, &adopted)) {
            return s;
        }
        if (adopted) {
            *copyName = std::move(name);
            return Err::Success;
        }
    }
    // A damaged copy that this one replaces had its references counted; the
    // count goes on from there, as for any reuse.
    uint32_t previous = 0;
    (void)ReadReferenceCount(name, &previous);
    if (previous != 0) {
        Format::PutUint32(count, previous == std::numeric_limits<uint32_t>::max() ? previous : previous + 1);
        uint64_t at = 0;
        if (Status s =
                files.Seek(out.get(), static_cast<int64_t>(header_.size()), Platform::SeekOrigin::Begin, &at)) {
            return s;
        }
        if (Status s = WriteAll(out.get(), count, sizeof count)) {
            return s;
        }
    }
    if (Status s = files.FlushFile(out.get())) {
        return s;
    }
    out.reset();
    if (Status s = files.MoveFile(temporary, PathOf(name), true)) {
        return s;
    }
    removeTemporary.Dismiss();
    *copyName = std::move(name);
    return Err::Success;
}

Status CopyStore::RestoreTo(std::wstring_view copyName, std::wstring_view target, Platform::EventHandle cancel)
{
    auto& files = Platform::Current().Files();
    if (!IsCopyName(copyName)) {
        return Err::BadFormat;
    }
    if (Status s = Sys::CreateParentFolders(target)) {
        return s;
    }
    Platform::FileInfo info;
    const Status looked = files.GetFileInfo(target, &info);
    if (looked != Err::Success && !IsNotFound(looked)) {
        return looked;  // what is there could not be looked at
    }
    const uint32_t attributes = looked == Err::Success ? info.attributes : Platform::FileAttr::Invalid;
    if (attributes != Platform::FileAttr::Invalid) {
        if (attributes & Platform::FileAttr::Directory) {
            return Err::AccessDenied;  // a folder stands where the file was
        }
        std::wstring present;
        const Status s = DigestFile(target, cancel, &present);
        if (s == Err::Cancelled) {
            return s;
        }
        if (s == Err::Success && present == copyName) {
            return Err::Success;  // it already holds the saved content
        }
    }

    Platform::UniqueFile copy;
    if (files.CreateFile(PathOf(copyName), Platform::FileAccess::Read, Platform::Disposition::OpenExisting,
                         copy.put()) != 0) {
        return Err::BadFormat;
    }
    uint32_t count = 0;
    if (Status s = CheckHeader(copy.get(), &count)) {
        return s;
    }
    Platform::UniqueFile out;
    std::wstring temporary;
    if (CreateSibling(target, L".restoring", &out, &temporary) != 0) {
        return Err::BadFormat;
    }
    Platform::ScopeExit removeTemporary([&] {
        out.reset();
        (void)Platform::Current().Files().DeleteFile(temporary);
    });
    Crypto::Md5 md5;
    if (Status s = CopyAndHash(copy.get(), out.get(), cancel, &md5)) {
        return s;
    }
    if (Crypto::DigestToHex(md5.Final()) != copyName) {
        return Err::BadFormat;  // the copy was damaged after it was saved
    }
    if (Status s = files.FlushFile(out.get())) {
        return s;
    }
    out.reset();
    constexpr uint32_t kInTheWay =
        Platform::FileAttr::ReadOnly | Platform::FileAttr::Hidden | Platform::FileAttr::System;
    if (attributes != Platform::FileAttr::Invalid && (attributes & kInTheWay)) {
        (void)files.SetFileAttributes(target, Platform::FileAttr::Normal);
    }
    if (Status s = Sys::RetryWhileInUse(cancel, [&] { return files.MoveFile(temporary, target, true); })) {
        return s;
    }
    removeTemporary.Dismiss();
    return Err::Success;
}

}  // namespace Remover
