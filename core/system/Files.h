#pragma once
// File searches and file removal. Patterns are shell wildcards ("*", "?")
// matched against long names only. Recursive walks go depth first, skip "."
// and "..", and never descend into a folder carrying the reparse-point
// attribute (junctions, symbolic links), so that a cleanup never reaches
// outside its folder. Removals report 'cl.f' (first = 0) and 'rm.f' (first =
// the file's former size, at most INT32_MAX) with second = 1.
#include <string_view>

#include "core/platform/Platform.h"
#include "core/rti/ITracer.h"
#include "core/system/Options.h"

namespace Sys {

// With an empty pattern: true when folder itself names an existing file that
// is not a directory. Otherwise: true when folder holds a file (not a folder)
// matching the pattern; when recursive, the subfolders are searched first.
bool FileExists(std::wstring_view folder, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel);

// With an empty pattern: true when path is an existing folder. Otherwise: true
// when path holds a subfolder whose name matches; when recursive, the
// subfolders are searched first.
bool FolderExists(std::wstring_view path, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel);

// Clears the file's attributes (read-only and the others), overwrites its
// content with zero bytes in blocks of 4096 when wiping (testing the cancel
// event before each block, 1223 when it is set), then truncates it.
[[nodiscard]] Platform::Status ClearFile(std::wstring_view path, Wipe wipe, RTI::ITracer* tracer,
                                         Platform::EventHandle cancel);

// The same preparation and optional wipe, then deletes the file.
[[nodiscard]] Platform::Status RemoveFile(std::wstring_view path, Wipe wipe, RTI::ITracer* tracer,
                                          Platform::EventHandle cancel);

// Removes every file of folder matching pattern with RemoveFile, after doing
// the same in every subfolder when recursive. 87 when folder is empty, 1223
// when cancelled, otherwise the first failure (the other files are still
// tried), or 0. A folder without matching files is a success.
[[nodiscard]] Platform::Status DeleteFiles(std::wstring_view folder, std::wstring_view pattern, Recursive recursive,
                                           Wipe wipe, RTI::ITracer* tracer, Platform::EventHandle cancel);

// False as soon as a matching file of folder (then, when recursive, of its
// subfolders) is not empty; true otherwise. Cancelling ends the check with
// true.
bool FilesEmpty(std::wstring_view folder, std::wstring_view pattern, Recursive recursive, Platform::EventHandle cancel);

// True for an existing file of at least 64 bytes that begins with "MZ".
bool IsExecutableFile(std::wstring_view path);

}  // namespace Sys
