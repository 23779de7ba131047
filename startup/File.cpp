#include "startup/File.h"

#include <cwctype>

#include "core/platform/Errors.h"
#include "core/system/FileDigest.h"
#include "core/system/Files.h"
#include "core/system/Folders.h"
#include "core/xml/XmlDocument.h"
#include "startup/FileCopy.h"
#include "startup/Info.h"
#include "startup/Text.h"

namespace StartUp {

namespace {

Platform::IFileSystem& Fs()
{
    return Platform::Current().Files();
}

bool HasExtension(std::wstring_view path, std::wstring_view extension)
{
    return path.size() >= extension.size() && SameText(path.substr(path.size() - extension.size()), extension);
}

}  // namespace

std::wstring File::Name() const
{
    std::wstring name(LastComponent(path_));
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

bool File::IsSame(const IElement& other) const
{
    return other.ClassName() == ClassName() && SameText(static_cast<const File&>(other).path_, path_);
}

Platform::Status File::Backup(const SnapshotPlace& place, std::wstring* element)
{
    Crypto::Md5::Digest digest{};
    if (Platform::Status s = Sys::DigestFile(path_, &digest, nullptr)) {
        return s == Err::BadFormat ? Err::FileNotFound : s;
    }
    Platform::FileInfo info;
    if (Platform::Status s = Fs().GetFileInfo(path_, &info)) {
        return s;
    }
    if (Platform::Status s = Sys::CreateFolderPath(place.FilesFolder())) {
        return s;
    }
    const std::wstring hex = Crypto::DigestToHex(digest);
    const std::wstring copy = place.FilesFolder() + L"\\" + hex;
    // Another file with the same content may have left its copy already;
    // it only counts when it really holds that content.
    if (!FileMatches(copy, info.size, digest)) {
        if (Platform::Status s = CopyFileSafely(path_, copy, false)) {
            return s;
        }
        if (!FileMatches(copy, info.size, digest)) {
            return Err::WriteFault;
        }
    }
    digest_ = hex;
    *element = L"<" + ClassName() + XmlAttribute(L"path", path_) + XmlAttribute(L"md5", hex) + L"/>";
    return Err::Success;
}

Platform::Status File::Delete()
{
    return Fs().DeleteFile(path_);
}

Platform::Status File::Load(std::wstring_view element)
{
    XmlDocument doc;
    const std::wstring name = ClassName();
    if (!doc.SetDoc(std::wstring(element)) || !doc.FindElem(name) || doc.GetTagName() != name) {
        return Err::BadFormat;
    }
    const std::wstring path = doc.GetAttrib(L"path");
    const std::wstring md5 = doc.GetAttrib(L"md5");
    if (path.empty() || !IsDigestText(md5)) {
        return Err::BadFormat;
    }
    path_ = path;
    digest_ = md5;
    for (wchar_t& c : digest_) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    stored_ = true;
    checked_ = false;
    return Err::Success;
}

Platform::Status File::Restore(const SnapshotPlace& place)
{
    if (!IsDigestText(digest_)) {
        return Err::BadFormat;
    }
    const std::wstring copy = place.FilesFolder() + L"\\" + digest_;
    Platform::FileInfo copyInfo;
    if (Fs().GetFileInfo(copy, &copyInfo) != Err::Success || (copyInfo.attributes & Platform::FileAttr::Directory)) {
        return Err::FileNotFound;
    }
    Crypto::Md5::Digest digest{};
    if (Platform::Status s = Sys::DigestFile(copy, &digest, nullptr)) {
        return s == Err::BadFormat ? Err::FileNotFound : s;
    }
    if (Crypto::DigestToHex(digest) != digest_) {
        return Err::BadFormat;
    }
    Platform::FileInfo present;
    if (Fs().GetFileInfo(path_, &present) == Err::Success) {
        return FileMatches(path_, copyInfo.size, digest) ? Err::Success : Err::FileExists;
    }
    return CopyFileSafely(copy, path_, true);
}

bool File::ExistsNow() const
{
    Platform::FileInfo info;
    return Fs().GetFileInfo(path_, &info) == Err::Success && !(info.attributes & Platform::FileAttr::Directory);
}

RTI::Reference<IInfo> Executable::GetInfo(uint32_t kind) const
{
    return kind == FourCC("FILE") ? InfoOfProgram(path_) : RTI::Reference<IInfo>();
}

Shortcut::Shortcut(std::wstring path) : File(std::move(path))
{
    Platform::ShellLink link;
    if (Platform::Current().System().LoadShellLink(path_, &link) == Err::Success) {
        target_ = Platform::Current().System().ExpandEnvironmentStrings(link.target);
        arguments_ = link.arguments;
    }
}

std::wstring Shortcut::Command() const
{
    if (target_.empty() || arguments_.empty()) {
        return target_;
    }
    return target_ + L" " + arguments_;
}

RTI::Reference<IInfo> Shortcut::GetInfo(uint32_t kind) const
{
    return kind == FourCC("FILE") ? InfoOfProgram(target_) : RTI::Reference<IInfo>();
}

std::vector<RTI::Reference<IElement>> Shortcut::Children() const
{
    Platform::FileInfo info;
    if (target_.empty() || Fs().GetFileInfo(target_, &info) != Err::Success) {
        return {};
    }
    if (Sys::IsExecutableFile(target_)) {
        return {RTI::Reference<IElement>(new Executable(target_))};
    }
    return {RTI::Reference<IElement>(new File(target_))};
}

RTI::Reference<IElement> MakeFileEntry(const std::wstring& path)
{
    if (HasExtension(path, L".lnk")) {
        return RTI::Reference<IElement>(new Shortcut(path));
    }
    if (Sys::IsExecutableFile(path)) {
        return RTI::Reference<IElement>(new Executable(path));
    }
    return RTI::Reference<IElement>(new File(path));
}

}  // namespace StartUp
