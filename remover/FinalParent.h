#pragma once
// Where a file command acts, as the system resolves it. A journal lies in the
// user's AppData while the program may run elevated, and a folder on a
// recorded path may be replaced by a link after the tune-up; so each file
// command records the final path of its target's folder, and a restore acts
// only where that folder still resolves to the same place.
#include <string>
#include <string_view>

#include "core/platform/Platform.h"
#include "core/rti/IReader.h"
#include "core/rti/IWriter.h"

namespace Remover {

// A restore refused because the folder of its target now resolves elsewhere:
// nothing was written there. (ERROR_CANT_ACCESS_FILE.)
constexpr Platform::Status kFolderMoved = 1920;

// The final path of the folder holding `path`: that of its nearest existing
// folder, followed by the components below it as given, so that folders a
// tune-up creates are covered by the one that held them. 0 with *out; 2 when
// no folder above resolves; 120 where the system cannot tell; any other error
// of looking.
[[nodiscard]] Platform::Status FinalParentPath(std::wstring_view path, std::wstring* out);

// Writes the record of path's final folder, when the system can tell: nothing
// for 2 and 120, the error for any other failure of looking.
[[nodiscard]] uint32_t WriteFinalParent(RTI::IWriter& writer, std::wstring_view path);

// Reads the record when the block holds one (older journals do not): a wide
// string at the reader; *recorded stays empty otherwise.
[[nodiscard]] uint32_t ReadFinalParent(RTI::IReader& reader, std::wstring* recorded);

// 0 when nothing was recorded, when the system cannot tell now, or when the
// folder of path resolves to the recorded place; kFolderMoved when it resolves
// elsewhere; another error of looking.
[[nodiscard]] Platform::Status CheckFinalParent(std::wstring_view path, std::wstring_view recorded);

}  // namespace Remover
