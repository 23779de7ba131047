#pragma once
// Files in a Startup folder: plain files, programs and shortcuts.
#include <string>
#include <string_view>

#include "startup/IEntry.h"

namespace StartUp {

class File : public IElement {
public:
    File() = default;
    explicit File(std::wstring path) : path_(std::move(path)) {}

    std::wstring ClassName() const override { return L"File"; }
    // The file name without its folder and its last extension.
    std::wstring Name() const override;
    uint32_t TypeCode() const override { return FourCC("FILE"); }
    std::wstring Location() const override { return path_; }
    bool IsSame(const IElement& other) const override;

    // Digests the file and keeps a copy as <snapshot>\Files\<digest>. A copy
    // already there is checked (size and digest) and replaced when it differs.
    Platform::Status Backup(const SnapshotPlace& place, std::wstring* element) override;
    Platform::Status Delete() override;
    // Copies <snapshot>\Files\<md5> back: 2 when the copy is missing, -1 when
    // it no longer has the recorded digest, 80 when the path now holds other
    // content (an identical file there is success).
    Platform::Status Restore(const SnapshotPlace& place) override;
    bool ExistsNow() const override;

    // Reads an element named ClassName(): 0, or -1 when the path is empty or
    // md5 is not 32 hexadecimal digits.
    [[nodiscard]] Platform::Status Load(std::wstring_view element);

    const std::wstring& Path() const { return path_; }
    const std::wstring& Digest() const { return digest_; }

protected:
    std::wstring path_;
    std::wstring digest_;
};

class Executable final : public File {
public:
    Executable() = default;
    explicit Executable(std::wstring path) : File(std::move(path)) {}
    std::wstring ClassName() const override { return L"Executable"; }
    uint32_t TypeCode() const override { return FourCC("EXE "); }
    std::wstring Command() const override { return path_; }
    RTI::Reference<IInfo> GetInfo(uint32_t kind) const override;
};

// A shortcut, read without resolving it: the shell neither searches for a
// moved target nor rewrites the file.
class Shortcut final : public File {
public:
    Shortcut() = default;
    explicit Shortcut(std::wstring path);
    std::wstring ClassName() const override { return L"Shortcut"; }
    uint32_t TypeCode() const override { return FourCC("LINK"); }
    // The target and its arguments.
    std::wstring Command() const override;
    RTI::Reference<IInfo> GetInfo(uint32_t kind) const override;
    std::vector<RTI::Reference<IElement>> Children() const override;

private:
    std::wstring target_;
    std::wstring arguments_;
};

// A File, Executable or Shortcut for a path as a Startup folder lists it: a
// shortcut by its ".lnk" extension, a program by its first bytes.
RTI::Reference<IElement> MakeFileEntry(const std::wstring& path);

}  // namespace StartUp
