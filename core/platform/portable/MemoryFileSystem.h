#pragma once
// An in-memory file system with the behaviour of Win32 over NTFS: drive
// letters and "\\server\share" roots, names compared without regard to case
// but kept as spelled, attributes (read-only files refuse writing and
// deletion), creation and last-write times from the portable clock, open
// files that cannot be deleted or moved (they are not shared for deletion),
// junctions that lead to another folder, and the Windows error codes.
// Wildcards of FindFirst match long names only, with Platform::WildcardMatch.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/platform/Platform.h"
#include "core/platform/portable/Clock.h"
#include "core/platform/portable/Faults.h"
#include "core/platform/portable/PathParser.h"
#include "core/platform/portable/Protection.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform::Portable {

class MemoryFileSystem final : public IFileSystem {
public:
    // Starts with an empty drive C:.
    MemoryFileSystem(FaultInjector& faults, const Clock& clock);
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    Status GetFileInfo(std::wstring_view path, FileInfo* out) override;
    Status SetFileAttributes(std::wstring_view path, uint32_t attributes) override;
    Status CreateFile(std::wstring_view path, FileAccess access, Disposition disposition, FileHandle* out) override;
    Status CloseFile(FileHandle file) override;
    Status ReadFile(FileHandle file, void* buffer, uint32_t size, uint32_t* read) override;
    Status WriteFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* written) override;
    Status Seek(FileHandle file, int64_t offset, SeekOrigin origin, uint64_t* position) override;
    Status GetFileSize(FileHandle file, uint64_t* size) override;
    Status SetEndOfFile(FileHandle file) override;
    Status FlushFile(FileHandle file) override;
    Status DeleteFile(std::wstring_view path) override;
    Status CreateDirectory(std::wstring_view path) override;
    Status RemoveDirectory(std::wstring_view path) override;
    Status MoveFile(std::wstring_view from, std::wstring_view to, bool replaceExisting) override;
    // Junctions followed, names as stored: "C:\real\folder".
    Status GetFinalPath(std::wstring_view path, std::wstring* out) override;
    // Each part as stored, short names replaced by their long names.
    Status GetLongPathName(std::wstring_view path, std::wstring* out) override;
    Status FindFirst(std::wstring_view pattern, FindData* out, FindHandle* find) override;
    Status FindNext(FindHandle find, FindData* out) override;
    Status FindClose(FindHandle find) override;

    // Adds an empty drive ("D") or network share ("\\server\share"); nothing
    // happens when it exists.
    void AddDrive(wchar_t letter);
    void AddShare(std::wstring_view share);
    // Makes `path` a junction to the folder `target` (which need not exist
    // yet): a folder with the reparse-point attribute through which paths
    // and searches reach the target's entries. RemoveDirectory removes the
    // junction alone. Errors as CreateDirectory.
    [[nodiscard]] Status CreateJunction(std::wstring_view path, std::wstring_view target);
    // The access tests grant on an existing file or folder, in place of a
    // security descriptor: NoAccess refuses opening, changing and deleting
    // (5) and listing a folder; ReadOnly refuses opening for writing,
    // changing, deleting, and creating entries in a folder. Error 2 when missing.
    [[nodiscard]] Status SetProtection(std::wstring_view path, Protection protection);
    // Gives an existing entry an 8.3 alias ("PROGRA~1"), by which paths reach
    // it as well; FindFirst still matches long names only. Error 2 when missing.
    [[nodiscard]] Status SetShortName(std::wstring_view path, std::wstring_view shortName);
    // Bytes all files together may hold; writing beyond fails with 112.
    void SetCapacity(uint64_t bytes);
    // Files and searches open now, to find leaks.
    size_t OpenHandleCount();

    struct Node;

private:
    struct OpenFile;
    struct OpenFind;
    struct Location;

    Status Locate(const ParsedPath& path, Location* out, int depth = 0);
    Status LocateText(std::wstring_view text, Wildcards wildcards, ParsedPath* parsed, Location* out);
    std::shared_ptr<Node> NewNode(std::wstring name, uint32_t attributes);
    void Attach(Node& folder, std::shared_ptr<Node> child);
    void Detach(Node& folder, const Node& child);
    Status ResizeContent(Node& node, uint64_t size);
    static bool IsInside(const Node& node, const Node& folder);
    static FindData EntryOf(const Node& node, std::wstring name);

    std::mutex mutex_;
    FaultInjector& faults_;
    const Clock& clock_;
    std::map<std::wstring, std::shared_ptr<Node>, RTI::IgnoreCaseStringComparator> roots_;
    std::unordered_map<FileHandle, std::unique_ptr<OpenFile>> files_;
    std::unordered_map<FindHandle, std::unique_ptr<OpenFind>> finds_;
    uint64_t capacity_ = uint64_t{1} << 30;
    uint64_t used_ = 0;
};

}  // namespace Platform::Portable
