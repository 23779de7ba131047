#pragma once
// The platform seam. Every registry, file, shell, version, event and thread
// operation of the engine goes through IPlatform, so that the same logic runs
// over the real Windows API (platform/win32) and over the portable substitute
// (platform/portable) that the native tests use.
//
// Conventions shared by both backends:
// - Results are Windows error codes (see Errors.h); 0 = success.
// - Out-parameters are untouched on failure unless a comment says otherwise.
// - Paths are plain Windows paths ("C:\dir\file"); a backend adds any prefix it
//   needs itself. Names compare without regard to case, as Windows compares them.
// - Handles are opaque; each kind has one RAII owner in Handles.h.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

using Status = uint32_t;

// ---------------------------------------------------------------- registry

struct KeyTag;
using KeyHandle = KeyTag*;

// The predefined roots carry the values Windows gives them.
inline KeyHandle PredefinedKey(uint32_t value) { return reinterpret_cast<KeyHandle>(static_cast<uintptr_t>(static_cast<int32_t>(value))); }
inline KeyHandle ClassesRoot() { return PredefinedKey(0x80000000u); }
inline KeyHandle CurrentUser() { return PredefinedKey(0x80000001u); }
inline KeyHandle LocalMachine() { return PredefinedKey(0x80000002u); }
inline KeyHandle Users() { return PredefinedKey(0x80000003u); }
inline KeyHandle PerformanceData() { return PredefinedKey(0x80000004u); }
inline KeyHandle CurrentConfig() { return PredefinedKey(0x80000005u); }
inline KeyHandle DynData() { return PredefinedKey(0x80000006u); }
bool IsPredefinedKey(KeyHandle key);

namespace RegType {
constexpr uint32_t None = 0;
constexpr uint32_t Sz = 1;
constexpr uint32_t ExpandSz = 2;
constexpr uint32_t Binary = 3;
constexpr uint32_t Dword = 4;
constexpr uint32_t DwordBigEndian = 5;
constexpr uint32_t Link = 6;
constexpr uint32_t MultiSz = 7;
constexpr uint32_t Qword = 11;
}  // namespace RegType

enum class KeyAccess {
    Read,    // KEY_READ: analysis
    Change,  // KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE: never full access
};

// Which registry a root-relative path names on 64-bit Windows, where 32-bit
// programs see their own copy of HKLM\Software and of the classes (stored
// under "WOW6432Node"). Native is the system's own view; on 32-bit Windows
// both views are the same registry.
enum class RegistryView {
    Native,
    Wow32,
};

struct KeyInfo {
    uint32_t subkeys = 0;
    uint32_t values = 0;
    uint32_t maxSubkeyNameLength = 0;  // characters
    uint32_t maxValueNameLength = 0;   // characters
    uint32_t maxValueDataLength = 0;   // bytes
    uint64_t lastWriteTime = 0;        // FILETIME units
};

struct RegistryValue {
    std::wstring name;  // as stored, letter case included
    uint32_t type = RegType::None;
    std::vector<uint8_t> data;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Error 2 when the key is missing.
    [[nodiscard]] virtual Status OpenKey(KeyHandle parent, std::wstring_view subKey, KeyAccess access, KeyHandle* out) = 0;
    // Creates missing levels; *created tells whether the last level was new.
    [[nodiscard]] virtual Status CreateKey(KeyHandle parent, std::wstring_view subKey, KeyHandle* out, bool* created) = 0;
    // OpenKey and CreateKey in a chosen view. Keys opened or created below the
    // handle they give stay in that view.
    [[nodiscard]] virtual Status OpenKeyInView(KeyHandle parent, std::wstring_view subKey, KeyAccess access,
                                               RegistryView view, KeyHandle* out) = 0;
    [[nodiscard]] virtual Status CreateKeyInView(KeyHandle parent, std::wstring_view subKey, RegistryView view,
                                                 KeyHandle* out, bool* created) = 0;
    // Closing a predefined root does nothing.
    [[nodiscard]] virtual Status CloseKey(KeyHandle key) = 0;
    [[nodiscard]] virtual Status QueryKeyInfo(KeyHandle key, KeyInfo* out) = 0;
    // Error 259 past the last index. Names as stored.
    [[nodiscard]] virtual Status EnumKey(KeyHandle key, uint32_t index, std::wstring* name) = 0;
    [[nodiscard]] virtual Status EnumValue(KeyHandle key, uint32_t index, std::wstring* name, uint32_t* type) = 0;
    // Type and all data bytes of a value, whatever its size. Error 2 when missing.
    [[nodiscard]] virtual Status QueryValue(KeyHandle key, std::wstring_view name, uint32_t* type, std::vector<uint8_t>* data) = 0;
    // Overwriting keeps the stored spelling of the name.
    [[nodiscard]] virtual Status SetValue(KeyHandle key, std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) = 0;
    [[nodiscard]] virtual Status DeleteValue(KeyHandle key, std::wstring_view name) = 0;
    // Deletes a key without subkeys; error 5 when it has some.
    [[nodiscard]] virtual Status DeleteKey(KeyHandle parent, std::wstring_view subKey) = 0;
};

// -------------------------------------------------------------------- files

struct FileTag;
using FileHandle = FileTag*;
struct FindTag;
using FindHandle = FindTag*;

namespace FileAttr {
constexpr uint32_t ReadOnly = 0x1;
constexpr uint32_t Hidden = 0x2;
constexpr uint32_t System = 0x4;
constexpr uint32_t Directory = 0x10;
constexpr uint32_t Archive = 0x20;
constexpr uint32_t Normal = 0x80;
constexpr uint32_t ReparsePoint = 0x400;
constexpr uint32_t Invalid = 0xFFFFFFFFu;
}  // namespace FileAttr

enum class Disposition {
    CreateNew,         // fails with 80 when the file exists
    CreateAlways,      // replaces an existing file
    OpenExisting,      // fails with 2 when missing
    TruncateExisting,  // opens and empties; fails with 2 when missing
};

enum class FileAccess { Read, Write, ReadWrite };
enum class SeekOrigin { Begin, Current, End };

struct FileInfo {
    uint32_t attributes = FileAttr::Invalid;
    uint64_t size = 0;
    uint64_t creationTime = 0;   // FILETIME units (100 ns since 1601)
    uint64_t lastWriteTime = 0;  // FILETIME units
};

struct FindData {
    std::wstring name;  // the long name
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    [[nodiscard]] virtual Status GetFileInfo(std::wstring_view path, FileInfo* out) = 0;
    [[nodiscard]] virtual Status SetFileAttributes(std::wstring_view path, uint32_t attributes) = 0;
    // Files are shared for reading and writing, as the helpers need.
    [[nodiscard]] virtual Status CreateFile(std::wstring_view path, FileAccess access, Disposition disposition, FileHandle* out) = 0;
    [[nodiscard]] virtual Status CloseFile(FileHandle file) = 0;
    [[nodiscard]] virtual Status ReadFile(FileHandle file, void* buffer, uint32_t size, uint32_t* read) = 0;
    [[nodiscard]] virtual Status WriteFile(FileHandle file, const void* buffer, uint32_t size, uint32_t* written) = 0;
    [[nodiscard]] virtual Status Seek(FileHandle file, int64_t offset, SeekOrigin origin, uint64_t* position) = 0;
    [[nodiscard]] virtual Status GetFileSize(FileHandle file, uint64_t* size) = 0;
    // Cuts or extends the file at the current position.
    [[nodiscard]] virtual Status SetEndOfFile(FileHandle file) = 0;
    // Returns once the file's data is on the disk.
    [[nodiscard]] virtual Status FlushFile(FileHandle file) = 0;
    [[nodiscard]] virtual Status DeleteFile(std::wstring_view path) = 0;
    // Error 183 when it exists.
    [[nodiscard]] virtual Status CreateDirectory(std::wstring_view path) = 0;
    // Error 145 when not empty.
    [[nodiscard]] virtual Status RemoveDirectory(std::wstring_view path) = 0;
    // Renames; replaceExisting replaces a file at the destination in one step.
    // The move is written through to the disk before it returns.
    [[nodiscard]] virtual Status MoveFile(std::wstring_view from, std::wstring_view to, bool replaceExisting) = 0;
    // The path of an existing file or folder as the system resolves it, with
    // every link and junction on the way followed. Only results of this call
    // compare with each other (the Windows backend gives the system's own
    // form, "\\?\C:\..."). Error 120 where the system cannot tell.
    [[nodiscard]] virtual Status GetFinalPath(std::wstring_view path, std::wstring* out) = 0;
    // An existing path with every 8.3 short name ("PROGRA~1") replaced by
    // the long name it stands for; links are not followed. 2 when any part
    // is missing.
    [[nodiscard]] virtual Status GetLongPathName(std::wstring_view path, std::wstring* out) = 0;
    // "dir\*.txt" style; long names only. Error 2 when nothing matches.
    [[nodiscard]] virtual Status FindFirst(std::wstring_view pattern, FindData* out, FindHandle* find) = 0;
    // Error 18 past the last entry.
    [[nodiscard]] virtual Status FindNext(FindHandle find, FindData* out) = 0;
    [[nodiscard]] virtual Status FindClose(FindHandle find) = 0;
};

// The shell's wildcard match of a name against a pattern ("*" and "?",
// without regard to case), the same on every backend.
bool WildcardMatch(std::wstring_view name, std::wstring_view pattern);

// -------------------------------------------------------------- shell links

struct ShellLink {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingDirectory;
    std::wstring description;
    std::wstring iconPath;
    int iconIndex = 0;
};

// ----------------------------------------------------- system and version

// The texts of a program's version resource, in its first translation.
struct FileVersion {
    std::wstring description;  // FileDescription
    std::wstring company;      // CompanyName
    std::wstring product;      // ProductName
    std::wstring version;      // FileVersion
};

struct VersionInfo {
    uint32_t platformId = 2;  // 0 Win32s, 1 Windows 9x, 2 NT
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::wstring servicePack;  // "Service Pack 3", or empty
    uint16_t servicePackMajor = 0;
    uint16_t servicePackMinor = 0;
    uint16_t suiteMask = 0;
    uint8_t productType = 1;  // 1 workstation, 2 domain controller, 3 server
    bool extended = true;     // false when only the basic version information answered
};

// A service that the service control manager starts by itself at boot.
struct ServiceListing {
    std::wstring name;         // the service's own (key) name
    std::wstring displayName;  // empty when it has none
    std::wstring command;      // the program and arguments, as registered
    bool delayed = false;      // "Automatic (Delayed Start)"
};

// A task of the Task Scheduler with its definition.
struct TaskListing {
    std::wstring path;        // "\folder\name", as the scheduler names it
    std::wstring definition;  // the scheduler's task XML
};

class ISystem {
public:
    virtual ~ISystem() = default;
    virtual std::wstring WindowsDirectory() = 0;
    virtual std::wstring SystemDirectory() = 0;
    // %NAME% expanded; unknown names stay as written.
    virtual std::wstring ExpandEnvironmentStrings(std::wstring_view text) = 0;
    // A shell special folder by CSIDL number; empty when the shell has none.
    virtual std::wstring GetSpecialFolder(int csidl) = 0;
    [[nodiscard]] virtual Status SaveShellLink(std::wstring_view linkPath, const ShellLink& link) = 0;
    [[nodiscard]] virtual Status LoadShellLink(std::wstring_view linkPath, ShellLink* out) = 0;
    virtual VersionInfo GetVersion() = 0;
    // (major << 16) | minor of the shell library; 0 when unknown.
    virtual uint32_t GetShellVersion() = 0;
    // Seconds since 1970-01-01 UTC.
    virtual int64_t CurrentTime() = 0;

    // The full path of the running program's file, of any length; empty when
    // the system cannot say.
    virtual std::wstring ProgramPath() = 0;
    // The logged-on user of the process as "DOMAIN\name"; empty when unknown.
    virtual std::wstring UserAccount() = 0;
    // True when the process holds an elevated (administrator) token. Systems
    // without user account control answer false.
    virtual bool IsElevated() = 0;

    // Tasks of the Task Scheduler (version 2.0, Windows Vista and later), in
    // its root folder, by name. A definition is the scheduler's task XML.
    // Registering replaces a task of the same name and runs it as the calling
    // user with an interactive token. Where the scheduler is missing (Windows
    // XP) every call fails with the system's error for an unregistered class.
    [[nodiscard]] virtual Status RegisterTask(std::wstring_view name, std::wstring_view definition) = 0;
    // Error 2 when there is no such task.
    [[nodiscard]] virtual Status DeleteTask(std::wstring_view name) = 0;
    // The task's definition (definition may be null); error 2 when missing.
    [[nodiscard]] virtual Status QueryTask(std::wstring_view name, std::wstring* definition) = 0;
    // True when Windows itself is 64-bit (a 32-bit program then runs under
    // WOW64 and the two registry views differ).
    virtual bool Is64BitWindows() = 0;
    // The version texts of a program file. 2 when the file is missing, 1813
    // when it carries no version resource or no translation table; *out is
    // untouched on failure.
    [[nodiscard]] virtual Status GetFileVersion(std::wstring_view path, FileVersion* out) = 0;
    // The services of their own or a shared process (not drivers) whose start
    // type is automatic, in the manager's order. *out is untouched on failure.
    [[nodiscard]] virtual Status ListAutoStartServices(std::vector<ServiceListing>* out) = 0;
    // Every task of every folder of the Task Scheduler, hidden ones included,
    // folders before their sub-folders. Fails like RegisterTask where the
    // scheduler is missing; *out is untouched on failure.
    [[nodiscard]] virtual Status ListTasks(std::vector<TaskListing>* out) = 0;
};

// --------------------------------------------------------------- hardware

struct DeviceTag;
using DeviceHandle = DeviceTag*;

namespace DisplayFlag {
constexpr uint32_t AttachedToDesktop = 0x1;
constexpr uint32_t PrimaryDevice = 0x4;
constexpr uint32_t MirroringDriver = 0x8;
}  // namespace DisplayFlag

struct DisplayDevice {
    std::wstring name;         // "\\.\DISPLAY1"
    std::wstring description;  // the adapter's name, as the system summary shows it
    uint32_t flags = 0;        // DisplayFlag
};

// What the system summary asks of the machine. Device requests carry raw
// buffers, so that their layout is built and read by portable code.
class IHardware {
public:
    virtual ~IHardware() = default;
    // The installed physical memory in bytes.
    [[nodiscard]] virtual Status QueryPhysicalMemory(uint64_t* totalBytes) = 0;
    // The display adapters in the system's order; error 18 past the last.
    [[nodiscard]] virtual Status EnumDisplayDevice(uint32_t index, DisplayDevice* out) = 0;
    // Opens a device ("\\.\PhysicalDrive0") for queries only: no read or
    // write access is asked for, so no administrator rights are needed.
    [[nodiscard]] virtual Status OpenDevice(std::wstring_view path, DeviceHandle* out) = 0;
    // One control request; *returned is the number of output bytes written.
    [[nodiscard]] virtual Status DeviceControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize,
                                               void* out, uint32_t outSize, uint32_t* returned) = 0;
    virtual Status CloseDevice(DeviceHandle device) = 0;
};

// ------------------------------------------------------- events and threads

struct EventTag;
using EventHandle = EventTag*;
struct ThreadTag;
using ThreadHandle = ThreadTag*;
struct LockTag;
using LockHandle = LockTag*;

constexpr uint32_t kInfinite = 0xFFFFFFFFu;
constexpr Status kWaitTimeout = 258;

class IThreads {
public:
    virtual ~IThreads() = default;
    virtual EventHandle CreateEvent(bool manualReset, bool initiallySet) = 0;
    virtual void CloseEvent(EventHandle event) = 0;
    virtual void SetEvent(EventHandle event) = 0;
    virtual void ResetEvent(EventHandle event) = 0;
    // 0 when set, kWaitTimeout when the time ran out. An auto-reset event is
    // reset by the wait that sees it.
    [[nodiscard]] virtual Status WaitEvent(EventHandle event, uint32_t milliseconds) = 0;
    // True when set, without waiting (and without resetting).
    virtual bool IsEventSet(EventHandle event) = 0;
    virtual ThreadHandle StartThread(std::function<void()> body) = 0;
    // 0 when the thread has ended, kWaitTimeout otherwise.
    [[nodiscard]] virtual Status WaitThread(ThreadHandle thread, uint32_t milliseconds) = 0;
    // The last resort; the portable backend cannot terminate and returns 50.
    [[nodiscard]] virtual Status TerminateThread(ThreadHandle thread) = 0;
    // Waits for the thread to end when it has not, then releases the handle.
    virtual void CloseThread(ThreadHandle thread) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Takes a named lock that one holder at a time may have: on Windows a
    // named mutex, shared by every process of the session; on the portable
    // backend a name held within the platform. Never waits. 0 with *out set
    // when taken; 183 (already exists) when another holder has it, the caller
    // itself included (a second take by the same thread fails too); another
    // error when the name cannot be used. *out is untouched on failure. On
    // Windows a holder whose thread or process ended without releasing
    // counts as gone.
    [[nodiscard]] virtual Status AcquireNamedLock(std::wstring_view name, LockHandle* out) = 0;
    // Gives the lock up; on Windows, on the thread that took it.
    virtual void ReleaseNamedLock(LockHandle lock) = 0;
};

// ----------------------------------------------------------------- the seam

class IPlatform {
public:
    virtual ~IPlatform() = default;
    virtual IRegistry& Registry() = 0;
    virtual IFileSystem& Files() = 0;
    virtual ISystem& System() = 0;
    virtual IThreads& Threads() = 0;
    virtual IHardware& Hardware() = 0;
};

// The platform in use. Chosen once at start-up by the program entry points;
// tests install a fresh one per case. Until one is installed, the build's
// default backend answers (Windows builds: the real API; native: a portable
// substitute with an empty registry and file system).
IPlatform& Current();
// Installs a platform (not owned) and returns the previous one; nullptr
// restores the default.
IPlatform* Install(IPlatform* platform);

}  // namespace Platform
