#pragma once
#include "core/platform/Platform.h"

namespace Platform::Win32 {

// The file system of the running Windows. Paths beyond the classic limit get
// the extended-length prefix here, and a 32-bit process on 64-bit Windows
// reaches the real System32 rather than SysWOW64.
class Win32FileSystem final : public IFileSystem {
public:
    [[nodiscard]] Status GetFileInfo(std::wstring_view path, FileInfo* out) override;
    [[nodiscard]] Status SetFileAttributes(std::wstring_view path, uint32_t attributes) override;
    [[nodiscard]] Status CreateFile(std::wstring_view path, FileAccess access, Disposition disposition,
                                    FileHandle* out) override;
    Status CloseFile(FileHandle file) override;
    [[nodiscard]] Status ReadFile(FileHandle file, void* buffer, uint32_t size, uint32_t* read) override;
    [[nodiscard]] Status WriteFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* written) override;
    [[nodiscard]] Status Seek(FileHandle file, int64_t offset, SeekOrigin origin, uint64_t* position) override;
    [[nodiscard]] Status GetFileSize(FileHandle file, uint64_t* size) override;
    [[nodiscard]] Status SetEndOfFile(FileHandle file) override;
    [[nodiscard]] Status FlushFile(FileHandle file) override;
    [[nodiscard]] Status DeleteFile(std::wstring_view path) override;
    [[nodiscard]] Status CreateDirectory(std::wstring_view path) override;
    [[nodiscard]] Status RemoveDirectory(std::wstring_view path) override;
    [[nodiscard]] Status GetFinalPath(std::wstring_view path, std::wstring* out) override;
    // The answer keeps the form it was asked in (no "\\?\" prefix is added).
    [[nodiscard]] Status GetLongPathName(std::wstring_view path, std::wstring* out) override;
    [[nodiscard]] Status MoveFile(std::wstring_view from, std::wstring_view to, bool replaceExisting) override;
    // Windows also matches wildcards against 8.3 short names ("*.htm" finds
    // "page.html" through "PAGE~1.HTM"); entries whose long name does not
    // match the pattern are skipped here.
    [[nodiscard]] Status FindFirst(std::wstring_view pattern, FindData* out, FindHandle* find) override;
    [[nodiscard]] Status FindNext(FindHandle find, FindData* out) override;
    Status FindClose(FindHandle find) override;
};

}  // namespace Platform::Win32
