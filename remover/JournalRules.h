#pragma once
// What a journal may name. The reader refuses a block that breaks one of these
// rules, and the writer applies the same rules when it journals, so that it
// never records what the reader would refuse.
#include <string_view>

namespace Remover {

// A full path of a file or folder the journal may restore or remove: a drive
// path ("C:\dir\file") or a UNC path ("\\server\share\dir\file", where
// redirected Documents and AppData live). Refused: relative and drive-relative
// paths, ".." (and other components of only dots and spaces, which Windows
// shortens to ".." or "."), device paths ("\\.\", "\\?\") and device names
// (CON, NUL, COM1...), alternate data streams (a colon after the drive) and
// embedded zeros. Forward slashes count as backslashes.
bool IsAllowedFilePath(std::wstring_view path);

// The name of a saved copy: 32 lower-case hexadecimal digits, nothing else,
// so that a journal can never make the restore read outside the copy store.
bool IsCopyName(std::wstring_view name);

// A key's own name inside a key tree: not empty and without a backslash (a
// backslash would reach a key other than the one recorded).
bool IsSubkeyName(std::wstring_view name);

// One of the short root names the journal writes ("HKLM", "HKCU", ...,
// ".DEFAULT"), compared exactly.
bool IsRootName(std::wstring_view name);

}  // namespace Remover
