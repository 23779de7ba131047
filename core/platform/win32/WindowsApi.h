#pragma once
// The Windows headers of the Win32 backend, in one place. Several seam methods
// share their names with macros of windows.h (CreateFile, DeleteFile ...);
// those macros are removed here so that the seam's classes read the same in
// every translation unit, and the backend calls the wide functions by name.
// windows.h goes first: the other headers expect its definitions.
#include <windows.h>

#include <objbase.h>
#include <process.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <taskschd.h>

#undef CreateFile
#undef DeleteFile
#undef CreateDirectory
#undef RemoveDirectory
#undef MoveFile
#undef SetFileAttributes
#undef CreateEvent
#undef ExpandEnvironmentStrings
#undef GetLongPathName
