#pragma once
// Folder creation and path joining.
#include <string>
#include <string_view>

#include "core/platform/Errors.h"
#include "core/platform/Platform.h"

namespace Sys {

// Creates every folder of the path, the last component included. Drive
// components ("C:") and the server and share of a UNC path are skipped, as are
// empty components of repeated backslashes. A folder that already exists is
// fine; a file in the way of a folder is error 183.
[[nodiscard]] Platform::Status CreateFolderPath(std::wstring_view path);

// The same up to the last backslash: the last component is a file name.
[[nodiscard]] Platform::Status CreateParentFolders(std::wstring_view path);

// folder + "\" + name, without doubling a backslash that ends the folder.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

}  // namespace Sys
