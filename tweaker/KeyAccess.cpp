#include "tweaker/KeyAccess.h"

#include "core/platform/Errors.h"

namespace Tweaker {

bool IsLiteralName(std::wstring_view name)
{
    return name.find_first_of(L"\\^$.|?*+()[]{}") == std::wstring_view::npos;
}

Platform::Status OpenItemKey(Platform::KeyHandle root, std::wstring_view path, Platform::KeyAccess access,
                             Platform::UniqueKey* key)
{
    if (root == nullptr) {
        return Err::InvalidHandle;  // an unknown root name: nothing of the item can be opened
    }
    return Platform::Current().Registry().OpenKey(root, path, access, key->put());
}

std::wstring JoinKeyPath(std::wstring_view first, std::wstring_view second)
{
    std::wstring path(first);
    if (!path.empty() && !second.empty()) {
        path.push_back(L'\\');
    }
    path += second;
    return path;
}

}  // namespace Tweaker
