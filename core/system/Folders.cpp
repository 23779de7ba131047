#include "core/system/Folders.h"

namespace Sys {
namespace {

bool IsDirectory(std::wstring_view path)
{
    Platform::FileInfo info;
    return Platform::Current().Files().GetFileInfo(path, &info) == 0 &&
           (info.attributes & Platform::FileAttr::Directory);
}

// Where the creatable part of a path begins: after "\\server\share\" of a UNC
// path, at 0 otherwise.
size_t FirstCreatable(std::wstring_view path)
{
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') {
        return 0;
    }
    size_t pos = 2;
    for (int part = 0; part < 2 && pos != std::wstring_view::npos; ++part) {
        pos = path.find(L'\\', pos);
        if (pos != std::wstring_view::npos) {
            ++pos;
        }
    }
    return pos == std::wstring_view::npos ? path.size() : pos;
}

}  // namespace

Platform::Status CreateFolderPath(std::wstring_view path)
{
    auto& files = Platform::Current().Files();
    size_t pos = FirstCreatable(path);
    while (pos < path.size()) {
        size_t end = path.find(L'\\', pos);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        const std::wstring_view component = path.substr(pos, end - pos);
        if (!component.empty() && component.back() != L':') {
            const std::wstring_view folder = path.substr(0, end);
            const Platform::Status status = files.CreateDirectory(folder);
            // Some systems refuse to create an existing folder with another
            // error (access denied on a protected parent); what counts is that
            // the folder is there.
            if (status != 0 && !IsDirectory(folder)) {
                return status;
            }
        }
        pos = end + 1;
    }
    return 0;
}

Platform::Status CreateParentFolders(std::wstring_view path)
{
    const size_t last = path.rfind(L'\\');
    return last == std::wstring_view::npos ? 0 : CreateFolderPath(path.substr(0, last));
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') {
        path.push_back(L'\\');
    }
    path.append(name);
    return path;
}

}  // namespace Sys
