#pragma once
// Fault injection for the portable backend: tests make chosen operations fail
// with a chosen Windows error, to drive the error paths of the engine.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"

namespace Platform::Portable {

// The seam operations a fault can be attached to.
enum class Operation {
    Any,  // every operation below
    OpenKey,
    CreateKey,
    QueryKeyInfo,
    EnumKey,
    EnumValue,
    QueryValue,
    SetValue,
    DeleteValue,
    DeleteKey,
    GetFileInfo,
    SetFileAttributes,
    CreateFile,
    ReadFile,
    WriteFile,
    Seek,
    GetFileSize,
    SetEndOfFile,
    FlushFile,
    DeleteFile,
    CreateDirectory,
    RemoveDirectory,
    MoveFile,
    GetFinalPath,
    GetLongPathName,
    FindFirst,
    FindNext,
    SaveShellLink,
    LoadShellLink,
    RegisterTask,  // path = the task's name
    DeleteTask,
    QueryTask,
    ListTasks,  // path empty
    ListAutoStartServices,
};

// What an operation works on. path is the full path of the key ("HKCU\Software\X",
// roots by their short names HKCR HKCU HKLM HKU HKPD HKCC HKDD) or of the file
// ("C:\dir\file.txt", as the caller spelled it; for handle operations the
// path the file was opened with). name is the value name for value
// operations, empty otherwise. MoveFile is matched on its source path.
// Predicates run under the injector's lock and must not call the platform.
struct FaultSubject {
    std::wstring_view path;
    std::wstring_view name;
};

using FaultPredicate = std::function<bool(const FaultSubject&)>;

constexpr int kEveryTime = -1;

class FaultInjector {
public:
    // The next `times` calls of `op` whose subject satisfies `when` fail with
    // `error` and change nothing (kEveryTime: until cleared).
    void FailWhen(Operation op, FaultPredicate when, Status error, int times = kEveryTime);
    // Shorthand: the subject's path equals `path`, ignoring case.
    void FailWhen(Operation op, std::wstring_view path, Status error, int times = kEveryTime);
    void Clear();

    // The error to answer for this call, 0 to go on. Counts the hit.
    Status Check(Operation op, const FaultSubject& subject);

private:
    struct Fault {
        Operation op;
        FaultPredicate when;
        Status error;
        int remaining;
    };
    std::mutex mutex_;
    std::vector<Fault> faults_;
};

}  // namespace Platform::Portable
