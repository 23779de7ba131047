#include "remover/FinalParent.h"

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "remover/CommandSupport.h"
#include "remover/FileBytes.h"
#include "remover/Format.h"

namespace Remover {

using Platform::Status;

Status FinalParentPath(std::wstring_view path, std::wstring* out)
{
    auto& files = Platform::Current().Files();
    std::wstring below;
    size_t slash = path.rfind(L'\\');
    while (slash != std::wstring_view::npos && slash > 0) {
        const std::wstring_view folder = path.substr(0, slash);
        // A drive is looked at with its backslash ("C:\"), as the system opens it.
        const std::wstring asked = folder.size() == 2 && folder[1] == L':' ? std::wstring(folder) + L'\\'
                                                                            : std::wstring(folder);
        std::wstring final;
        const Status s = files.GetFinalPath(asked, &final);
        if (s == Err::Success) {
            while (!final.empty() && final.back() == L'\\') {
                final.pop_back();
            }
            *out = final + below;
            return Err::Success;
        }
        if (!IsNotFound(s)) {
            return s;
        }
        // A folder that is not there yet: it counts as a name below the one
        // that holds it.
        const size_t up = folder.rfind(L'\\');
        if (up == std::wstring_view::npos) {
            break;
        }
        below.insert(0, folder.substr(up));
        slash = up;
    }
    return Err::FileNotFound;
}

uint32_t WriteFinalParent(RTI::IWriter& writer, std::wstring_view path)
{
    std::wstring final;
    const Status s = FinalParentPath(path, &final);
    if (s == Err::Success) {
        return WriteWide(writer, final);
    }
    return IsNotFound(s) || s == Err::CallNotImplemented ? Err::Success : s;
}

uint32_t ReadFinalParent(RTI::IReader& reader, std::wstring* recorded)
{
    if (reader.GetType() != Format::Record::StringW) {
        return Err::Success;
    }
    return ReadWide(reader, recorded);
}

Status CheckFinalParent(std::wstring_view path, std::wstring_view recorded)
{
    if (recorded.empty()) {
        return Err::Success;
    }
    std::wstring now;
    const Status s = FinalParentPath(path, &now);
    if (s == Err::CallNotImplemented) {
        return Err::Success;
    }
    if (s != Err::Success) {
        return IsNotFound(s) ? kFolderMoved : s;
    }
    return RTI::EqualsIgnoreCase(now, recorded) ? Err::Success : kFolderMoved;
}

}  // namespace Remover
