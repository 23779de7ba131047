#include "core/platform/portable/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform::Portable {

namespace {
constexpr Status kNegativeSeek = 131;    // ERROR_NEGATIVE_SEEK
constexpr Status kNotSameDevice = 17;    // ERROR_NOT_SAME_DEVICE: a move to another drive
constexpr Status kBadNetPath = 53;       // ERROR_BAD_NETPATH: a share that does not exist
constexpr Status kCannotResolve = 1921;  // ERROR_CANT_RESOLVE_FILENAME: junctions nested too deep
constexpr int kMaxJunctionDepth = 31;

// Attributes a program may set; directory and reparse point belong to the entry.
constexpr uint32_t kSettable = FileAttr::ReadOnly | FileAttr::Hidden | FileAttr::System | FileAttr::Archive |
                               0x100 /* temporary */ | 0x1000 /* offline */ | 0x2000 /* not content indexed */;
}  // namespace

struct MemoryFileSystem::Node {
    std::wstring name;
    uint32_t attributes = 0;
    Node* parent = nullptr;                       // null for roots and removed entries
    std::vector<std::shared_ptr<Node>> children;  // sorted by upper-cased name, as NTFS lists them
    std::vector<uint8_t> data;
    std::wstring linkTarget;  // junctions: the folder they lead to
    std::wstring shortName;   // the 8.3 alias SetShortName gave, or empty
    uint64_t created = 0;
    uint64_t written = 0;
    int openCount = 0;
    Protection protection = Protection::None;

    bool IsFolder() const { return (attributes & FileAttr::Directory) != 0; }
    bool IsJunction() const { return (attributes & FileAttr::ReparsePoint) != 0; }
    uint32_t Reported() const
    {
        if (!IsFolder() && (attributes & ~FileAttr::ReparsePoint) == 0) {
            return FileAttr::Normal | attributes;
        }
        return attributes;
    }
    std::vector<std::shared_ptr<Node>>::iterator LowerBound(std::wstring_view key)
    {
        return std::lower_bound(
            children.begin(), children.end(), key,
            [](const std::shared_ptr<Node>& n, std::wstring_view k) { return RTI::CompareIgnoreCase(n->name, k) < 0; });
    }
    std::shared_ptr<Node> Find(std::wstring_view key)
    {
        auto it = LowerBound(key);
        if (it != children.end() && RTI::EqualsIgnoreCase((*it)->name, key)) {
            return *it;
        }
        // A short name reaches its entry as Windows lets it.
        for (const std::shared_ptr<Node>& child : children) {
            if (!child->shortName.empty() && RTI::EqualsIgnoreCase(child->shortName, key)) {
                return child;
            }
        }
        return nullptr;
    }
};

struct MemoryFileSystem::OpenFile {
    std::shared_ptr<Node> node;
    FileAccess access;
    uint64_t position = 0;
    std::wstring path;
};

struct MemoryFileSystem::OpenFind {
    std::vector<FindData> entries;
    size_t next = 0;
    std::wstring pattern;
};

// Where a path leads: the folder that holds its last name (junctions on the
// way followed) and the entry of that name, null when there is none. A path
// that is only a root has no folder.
struct MemoryFileSystem::Location {
    std::shared_ptr<Node> folder;
    std::shared_ptr<Node> node;
    std::wstring name;
    std::wstring root;
};

MemoryFileSystem::MemoryFileSystem(FaultInjector& faults, const Clock& clock) : faults_(faults), clock_(clock)
{
    AddDrive(L'C');
}

MemoryFileSystem::~MemoryFileSystem() = default;

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::NewNode(std::wstring name, uint32_t attributes)
{
    auto node = std::make_shared<Node>();
    node->name = std::move(name);
    node->attributes = attributes;
    node->created = node->written = clock_.NowFileTime();
    return node;
}

void MemoryFileSystem::AddDrive(wchar_t letter)
{
    std::lock_guard lock(mutex_);
    const std::wstring root{static_cast<wchar_t>(letter & ~0x20), L':'};
    if (!roots_.count(root)) {
        roots_[root] = NewNode(root, FileAttr::Directory);
    }
}

void MemoryFileSystem::AddShare(std::wstring_view share)
{
    std::lock_guard lock(mutex_);
    ParsedPath parsed;
    if (ParseFilePath(share, Wildcards::Refused, &parsed) == Err::Success && parsed.root.size() > 2 &&
        !roots_.count(parsed.root)) {
        roots_[parsed.root] = NewNode(parsed.root, FileAttr::Directory);
    }
}

void MemoryFileSystem::Attach(Node& folder, std::shared_ptr<Node> child)
{
    child->parent = &folder;
    auto at = folder.LowerBound(child->name);
    folder.children.insert(at, std::move(child));
    folder.written = clock_.NowFileTime();
}

void MemoryFileSystem::Detach(Node& folder, const Node& child)
{
    auto it = folder.LowerBound(child.name);
    if (it != folder.children.end() && it->get() == &child) {
        (*it)->parent = nullptr;
        folder.children.erase(it);
    }
    folder.written = clock_.NowFileTime();
}

bool MemoryFileSystem::IsInside(const Node& node, const Node& folder)
{
    for (const Node* n = &node; n; n = n->parent) {
        if (n == &folder) {
            return true;
        }
    }
    return false;
}

FindData MemoryFileSystem::EntryOf(const Node& node, std::wstring name)
{
    FindData entry;
    entry.name = std::move(name);
    entry.attributes = node.Reported();
    entry.size = node.data.size();
    entry.lastWriteTime = node.written;
    return entry;
}

Status MemoryFileSystem::ResizeContent(Node& node, uint64_t size)
{
    const uint64_t old = node.data.size();
    if (size > old && size - old > capacity_ - std::min(capacity_, used_)) {
        return Err::DiskFull;
    }
    node.data.resize(static_cast<size_t>(size));
    used_ = used_ - old + size;
    return Err::Success;
}

Status MemoryFileSystem::Locate(const ParsedPath& path, Location* out, int depth)
{
    if (depth > kMaxJunctionDepth) {
        return kCannotResolve;
    }
    auto rootIt = roots_.find(path.root);
    if (rootIt == roots_.end()) {
        return path.root.size() > 2 ? kBadNetPath : Err::PathNotFound;
    }
    Location loc;
    loc.root = rootIt->first;
    if (path.parts.empty()) {
        loc.node = rootIt->second;
        *out = std::move(loc);
        return Err::Success;
    }
    std::shared_ptr<Node> folder = rootIt->second;
    for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
        std::shared_ptr<Node> child = folder->Find(path.parts[i]);
        if (!child || !child->IsFolder()) {
            return Err::PathNotFound;
        }
        // A junction may lead to another junction: follow until a folder.
        for (int hops = depth; child->IsJunction(); ++hops) {
            ParsedPath target;
            Location reached;
            if (hops >= kMaxJunctionDepth) {
                return kCannotResolve;
            }
            if (ParseFilePath(child->linkTarget, Wildcards::Refused, &target) != Err::Success) {
                return Err::PathNotFound;
            }
            if (Status s = Locate(target, &reached, hops + 1)) {
                return s == kCannotResolve ? s : Err::PathNotFound;
            }
            if (!reached.node || !reached.node->IsFolder()) {
                return Err::PathNotFound;
            }
            child = reached.node;
        }
        folder = std::move(child);
    }
    loc.name = path.parts.back();
    loc.node = folder->Find(loc.name);
    loc.folder = std::move(folder);
    *out = std::move(loc);
    return Err::Success;
}

Status MemoryFileSystem::LocateText(std::wstring_view text, Wildcards wildcards, ParsedPath* parsed, Location* out)
{
    if (Status s = ParseFilePath(text, wildcards, parsed)) {
        return s;
    }
    return Locate(*parsed, out);
}

Status MemoryFileSystem::GetFinalPath(std::wstring_view path, std::wstring* out)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::GetFinalPath, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node) {
        return Err::FileNotFound;
    }
    std::shared_ptr<Node> node = loc.node;
    for (int hops = 0; node->IsJunction(); ++hops) {
        ParsedPath target;
        Location reached;
        if (hops >= kMaxJunctionDepth) {
            return kCannotResolve;
        }
        if (ParseFilePath(node->linkTarget, Wildcards::Refused, &target) != Err::Success ||
            Locate(target, &reached, hops + 1) != Err::Success || !reached.node) {
            return Err::FileNotFound;
        }
        node = reached.node;
    }
    std::vector<const Node*> chain;
    const Node* top = node.get();
    for (; top->parent; top = top->parent) {
        chain.push_back(top);
    }
    std::wstring result;
    for (const auto& [name, root] : roots_) {
        if (root.get() == top) {
            result = name;
        }
    }
    if (result.empty()) {
        return Err::FileNotFound;  // removed while a handle held it
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        result += L'\\';
        result += (*it)->name;
    }
    *out = std::move(result);
    return Err::Success;
}

Status MemoryFileSystem::GetLongPathName(std::wstring_view path, std::wstring* out)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::GetLongPathName, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    if (Status s = ParseFilePath(path, Wildcards::Refused, &parsed)) {
        return s;
    }
    auto rootIt = roots_.find(parsed.root);
    if (rootIt == roots_.end() || !out) {
        return !out ? Err::InvalidParameter : Err::PathNotFound;
    }
    std::wstring result = parsed.root;
    std::shared_ptr<Node> folder = rootIt->second;
    for (size_t i = 0; i < parsed.parts.size(); ++i) {
        const bool last = i + 1 == parsed.parts.size();
        std::shared_ptr<Node> child = folder ? folder->Find(parsed.parts[i]) : nullptr;
        // Windows answers 2 for a missing folder on the way too.
        if (!child || (!last && !child->IsFolder())) {
            return Err::FileNotFound;
        }
        result += L'\\';
        result += child->name;
        // The name of a junction stays; the search goes on in its target.
        if (!last && child->IsJunction()) {
            ParsedPath target;
            Location reached;
            if (ParseFilePath(child->linkTarget, Wildcards::Refused, &target) != Err::Success ||
                Locate(target, &reached) != Err::Success || !reached.node) {
                return Err::PathNotFound;
            }
            child = reached.node;
        }
        folder = child;
    }
    *out = std::move(result);
    return Err::Success;
}

Status MemoryFileSystem::SetShortName(std::wstring_view path, std::wstring_view shortName)
{
    std::lock_guard lock(mutex_);
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node || !loc.folder) {
        return Err::FileNotFound;
    }
    loc.node->shortName = std::wstring(shortName);
    return Err::Success;
}

Status MemoryFileSystem::GetFileInfo(std::wstring_view path, FileInfo* out)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::GetFileInfo, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node) {
        return Err::FileNotFound;
    }
    if (parsed.trailingSeparator && !loc.node->IsFolder()) {
        return Err::PathNotFound;
    }
    FileInfo info;
    info.attributes = loc.node->Reported();
    info.size = loc.node->data.size();
    info.creationTime = loc.node->created;
    info.lastWriteTime = loc.node->written;
    *out = info;
    return Err::Success;
}

Status MemoryFileSystem::SetFileAttributes(std::wstring_view path, uint32_t attributes)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::SetFileAttributes, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node) {
        return Err::FileNotFound;
    }
    if (loc.node->protection != Protection::None) {
        return Err::AccessDenied;
    }
    Node& node = *loc.node;
    node.attributes = (node.attributes & (FileAttr::Directory | FileAttr::ReparsePoint)) | (attributes & kSettable);
    return Err::Success;
}

Status MemoryFileSystem::CreateFile(std::wstring_view path, FileAccess access, Disposition disposition, FileHandle* out)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::CreateFile, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.folder) {
        return Err::AccessDenied;  // a drive root
    }
    if (parsed.trailingSeparator) {
        return Err::InvalidName;
    }
    const bool writing = access != FileAccess::Read;
    std::shared_ptr<Node> node = loc.node;
    if (node) {
        if (node->IsFolder() || node->protection == Protection::NoAccess ||
            (node->protection == Protection::ReadOnly && (writing || disposition != Disposition::OpenExisting))) {
            return Err::AccessDenied;
        }
        switch (disposition) {
            case Disposition::CreateNew:
                return Err::FileExists;
            case Disposition::CreateAlways:
                // Windows refuses to replace a hidden or system file by a plain one.
                if (node->attributes & (FileAttr::ReadOnly | FileAttr::Hidden | FileAttr::System)) {
                    return Err::AccessDenied;
                }
                break;
            case Disposition::OpenExisting:
                if (writing && (node->attributes & FileAttr::ReadOnly)) {
                    return Err::AccessDenied;
                }
                break;
            case Disposition::TruncateExisting:
                if (!writing) {
                    return Err::InvalidParameter;
                }
                if (node->attributes & FileAttr::ReadOnly) {
                    return Err::AccessDenied;
                }
                break;
        }
        if (disposition == Disposition::CreateAlways || disposition == Disposition::TruncateExisting) {
            (void)ResizeContent(*node, 0);
            node->attributes |= FileAttr::Archive;
            node->written = clock_.NowFileTime();
        }
    } else {
        if (disposition == Disposition::OpenExisting || disposition == Disposition::TruncateExisting) {
            return Err::FileNotFound;
        }
        if (loc.folder->protection != Protection::None) {
            return Err::AccessDenied;
        }
        node = NewNode(loc.name, FileAttr::Archive);
        Attach(*loc.folder, node);
    }
    ++node->openCount;
    auto state = std::make_unique<OpenFile>();
    state->node = std::move(node);
    state->access = access;
    state->path = std::wstring(path);
    auto handle = reinterpret_cast<FileHandle>(state.get());
    files_.emplace(handle, std::move(state));
    *out = handle;
    return Err::Success;
}

Status MemoryFileSystem::CloseFile(FileHandle file)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    --it->second->node->openCount;
    files_.erase(it);
    return Err::Success;
}

Status MemoryFileSystem::ReadFile(FileHandle file, void* buffer, uint32_t size, uint32_t* read)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    OpenFile& f = *it->second;
    if (Status s = faults_.Check(Operation::ReadFile, {f.path, {}})) {
        return s;
    }
    if (f.access == FileAccess::Write) {
        return Err::AccessDenied;
    }
    const std::vector<uint8_t>& data = f.node->data;
    uint32_t count = 0;
    if (f.position < data.size()) {
        count = static_cast<uint32_t>(std::min<uint64_t>(size, data.size() - f.position));
        std::memcpy(buffer, data.data() + f.position, count);
    }
    f.position += count;
    if (read) {
        *read = count;
    }
    return Err::Success;
}

Status MemoryFileSystem::WriteFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* written)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    OpenFile& f = *it->second;
    if (Status s = faults_.Check(Operation::WriteFile, {f.path, {}})) {
        return s;
    }
    if (f.access == FileAccess::Read) {
        return Err::AccessDenied;
    }
    Node& node = *f.node;
    if (f.position + size > node.data.size()) {
        if (Status s = ResizeContent(node, f.position + size)) {
            return s;
        }
    }
    if (size > 0) {
        std::memcpy(node.data.data() + f.position, buffer, size);
    }
    f.position += size;
    node.attributes |= FileAttr::Archive;
    node.written = clock_.NowFileTime();
    if (written) {
        *written = size;
    }
    return Err::Success;
}

Status MemoryFileSystem::Seek(FileHandle file, int64_t offset, SeekOrigin origin, uint64_t* position)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    OpenFile& f = *it->second;
    if (Status s = faults_.Check(Operation::Seek, {f.path, {}})) {
        return s;
    }
    int64_t base = 0;
    if (origin == SeekOrigin::Current) {
        base = static_cast<int64_t>(f.position);
    } else if (origin == SeekOrigin::End) {
        base = static_cast<int64_t>(f.node->data.size());
    }
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) {
        return kNegativeSeek;
    }
    f.position = static_cast<uint64_t>(base + offset);
    if (position) {
        *position = f.position;
    }
    return Err::Success;
}

Status MemoryFileSystem::GetFileSize(FileHandle file, uint64_t* size)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    if (Status s = faults_.Check(Operation::GetFileSize, {it->second->path, {}})) {
        return s;
    }
    *size = it->second->node->data.size();
    return Err::Success;
}

Status MemoryFileSystem::SetEndOfFile(FileHandle file)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    OpenFile& f = *it->second;
    if (Status s = faults_.Check(Operation::SetEndOfFile, {f.path, {}})) {
        return s;
    }
    if (f.access == FileAccess::Read) {
        return Err::AccessDenied;
    }
    if (Status s = ResizeContent(*f.node, f.position)) {
        return s;
    }
    f.node->written = clock_.NowFileTime();
    return Err::Success;
}

Status MemoryFileSystem::FlushFile(FileHandle file)
{
    std::lock_guard lock(mutex_);
    auto it = files_.find(file);
    if (it == files_.end()) {
        return Err::InvalidHandle;
    }
    if (Status s = faults_.Check(Operation::FlushFile, {it->second->path, {}})) {
        return s;
    }
    return it->second->access == FileAccess::Read ? Err::AccessDenied : Err::Success;
}

Status MemoryFileSystem::DeleteFile(std::wstring_view path)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::DeleteFile, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node) {
        return Err::FileNotFound;
    }
    Node& node = *loc.node;
    if (!loc.folder || node.IsFolder() || (node.attributes & FileAttr::ReadOnly) ||
        node.protection != Protection::None) {
        return Err::AccessDenied;
    }
    if (node.openCount > 0) {
        return Err::SharingViolation;
    }
    used_ -= node.data.size();
    Detach(*loc.folder, node);
    return Err::Success;
}

Status MemoryFileSystem::CreateDirectory(std::wstring_view path)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::CreateDirectory, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (loc.node) {
        return Err::AlreadyExists;
    }
    if (loc.folder->protection != Protection::None) {
        return Err::AccessDenied;
    }
    Attach(*loc.folder, NewNode(loc.name, FileAttr::Directory));
    return Err::Success;
}

Status MemoryFileSystem::CreateJunction(std::wstring_view path, std::wstring_view target)
{
    std::lock_guard lock(mutex_);
    ParsedPath parsed;
    ParsedPath targetParsed;
    Location loc;
    if (Status s = ParseFilePath(target, Wildcards::Refused, &targetParsed)) {
        return s;
    }
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (loc.node) {
        return Err::AlreadyExists;
    }
    auto node = NewNode(loc.name, FileAttr::Directory | FileAttr::ReparsePoint);
    node->linkTarget = JoinFilePath(targetParsed.root, targetParsed.parts, targetParsed.parts.size());
    Attach(*loc.folder, std::move(node));
    return Err::Success;
}

Status MemoryFileSystem::RemoveDirectory(std::wstring_view path)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::RemoveDirectory, {path, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node) {
        return Err::FileNotFound;
    }
    Node& node = *loc.node;
    if (!loc.folder) {
        return Err::AccessDenied;  // a drive root
    }
    if (!node.IsFolder()) {
        return Err::DirectoryName;
    }
    // A junction goes by itself, whatever its target holds.
    if (!node.IsJunction() && !node.children.empty()) {
        return Err::DirNotEmpty;
    }
    if ((node.attributes & FileAttr::ReadOnly) || node.protection != Protection::None) {
        return Err::AccessDenied;
    }
    Detach(*loc.folder, node);
    return Err::Success;
}

Status MemoryFileSystem::MoveFile(std::wstring_view from, std::wstring_view to, bool replaceExisting)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::MoveFile, {from, {}})) {
        return s;
    }
    ParsedPath fromParsed;
    ParsedPath toParsed;
    Location src;
    Location dst;
    if (Status s = LocateText(from, Wildcards::Refused, &fromParsed, &src)) {
        return s;
    }
    if (!src.node) {
        return Err::FileNotFound;
    }
    if (Status s = LocateText(to, Wildcards::Refused, &toParsed, &dst)) {
        return s;
    }
    if (!src.folder || !dst.folder) {
        return Err::AccessDenied;  // a drive root
    }
    std::shared_ptr<Node> node = src.node;
    if (node->openCount > 0) {
        return Err::SharingViolation;
    }
    if (node->protection != Protection::None || dst.folder->protection != Protection::None) {
        return Err::AccessDenied;
    }
    if (dst.node && dst.node != node) {
        if (!replaceExisting) {
            return Err::AlreadyExists;
        }
        if (dst.node->IsFolder() || node->IsFolder() || (dst.node->attributes & FileAttr::ReadOnly) ||
            dst.node->protection != Protection::None) {
            return Err::AccessDenied;
        }
        if (dst.node->openCount > 0) {
            return Err::SharingViolation;
        }
    }
    // Moves stay on their drive: the Windows backend does not let a move
    // become a copy, so that the journal's renames are one step each.
    if (!RTI::EqualsIgnoreCase(src.root, dst.root)) {
        return kNotSameDevice;
    }
    if (node->IsFolder() && IsInside(*dst.folder, *node)) {
        return Err::InvalidParameter;  // into itself
    }
    if (dst.node && dst.node != node) {
        used_ -= dst.node->data.size();
        Detach(*dst.folder, *dst.node);
    }
    // Renaming to another spelling of the same name takes the new spelling.
    Detach(*src.folder, *node);
    node->name = dst.name;
    Attach(*dst.folder, std::move(node));
    return Err::Success;
}

Status MemoryFileSystem::FindFirst(std::wstring_view pattern, FindData* out, FindHandle* find)
{
    std::lock_guard lock(mutex_);
    if (Status s = faults_.Check(Operation::FindFirst, {pattern, {}})) {
        return s;
    }
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(pattern, Wildcards::AllowedInLastName, &parsed, &loc)) {
        return s;
    }
    if (!loc.folder || parsed.trailingSeparator) {
        return Err::FileNotFound;  // "C:\" or "C:\dir\": no name to look for
    }
    if (loc.folder->protection == Protection::NoAccess) {
        return Err::AccessDenied;
    }
    auto state = std::make_unique<OpenFind>();
    state->pattern = std::wstring(pattern);
    if (!parsed.hasWildcard) {
        if (loc.node) {
            state->entries.push_back(EntryOf(*loc.node, loc.node->name));
        }
    } else {
        const std::wstring& mask = loc.name;
        // Folders other than a root list themselves and their parent first.
        if (loc.folder->parent) {
            if (WildcardMatch(L".", mask)) {
                state->entries.push_back(EntryOf(*loc.folder, L"."));
            }
            if (WildcardMatch(L"..", mask)) {
                FindData entry = EntryOf(*loc.folder->parent, L"..");
                entry.attributes = FileAttr::Directory;
                state->entries.push_back(std::move(entry));
            }
        }
        for (const auto& child : loc.folder->children) {
            if (WildcardMatch(child->name, mask)) {
                state->entries.push_back(EntryOf(*child, child->name));
            }
        }
    }
    if (state->entries.empty()) {
        return Err::FileNotFound;
    }
    *out = state->entries[0];
    state->next = 1;
    auto handle = reinterpret_cast<FindHandle>(state.get());
    finds_.emplace(handle, std::move(state));
    *find = handle;
    return Err::Success;
}

Status MemoryFileSystem::FindNext(FindHandle find, FindData* out)
{
    std::lock_guard lock(mutex_);
    auto it = finds_.find(find);
    if (it == finds_.end()) {
        return Err::InvalidHandle;
    }
    OpenFind& f = *it->second;
    if (Status s = faults_.Check(Operation::FindNext, {f.pattern, {}})) {
        return s;
    }
    if (f.next >= f.entries.size()) {
        return Err::NoMoreFiles;
    }
    *out = f.entries[f.next++];
    return Err::Success;
}

Status MemoryFileSystem::FindClose(FindHandle find)
{
    std::lock_guard lock(mutex_);
    return finds_.erase(find) ? Err::Success : Err::InvalidHandle;
}

Status MemoryFileSystem::SetProtection(std::wstring_view path, Protection protection)
{
    std::lock_guard lock(mutex_);
    ParsedPath parsed;
    Location loc;
    if (Status s = LocateText(path, Wildcards::Refused, &parsed, &loc)) {
        return s;
    }
    if (!loc.node) {
        return Err::FileNotFound;
    }
    loc.node->protection = protection;
    return Err::Success;
}

void MemoryFileSystem::SetCapacity(uint64_t bytes)
{
    std::lock_guard lock(mutex_);
    capacity_ = bytes;
}

size_t MemoryFileSystem::OpenHandleCount()
{
    std::lock_guard lock(mutex_);
    return files_.size() + finds_.size();
}

}  // namespace Platform::Portable
