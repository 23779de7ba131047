#pragma once
// Opening the keys of registry items.
#include <string>
#include <string_view>

#include "core/platform/Handles.h"

namespace Tweaker {

// Opens root\path; 6 (invalid handle) for a null root, which is what an
// unknown root name gives.
[[nodiscard]] Platform::Status OpenItemKey(Platform::KeyHandle root, std::wstring_view path, Platform::KeyAccess access,
                                           Platform::UniqueKey* key);

// "a" + "\" + "b", leaving out an empty side.
std::wstring JoinKeyPath(std::wstring_view first, std::wstring_view second);

// True when a name holds nothing a pattern would read as an expression, so
// that the registry's own lookup (which ignores case) finds exactly it.
bool IsLiteralName(std::wstring_view name);

}  // namespace Tweaker
