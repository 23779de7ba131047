#include "startup/Info.h"

#include "core/platform/Errors.h"

namespace StartUp {

Info::Info(std::wstring_view path)
{
    valid_ = Platform::Current().System().GetFileVersion(path, &version_) == Err::Success;
}

RTI::Reference<IInfo> InfoOfProgram(std::wstring_view path)
{
    Platform::FileInfo file;
    if (path.empty() || Platform::Current().Files().GetFileInfo(path, &file) != Err::Success ||
        (file.attributes & Platform::FileAttr::Directory)) {
        return {};
    }
    return RTI::Reference<IInfo>(new Info(path));
}

}  // namespace StartUp
