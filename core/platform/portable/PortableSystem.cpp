#include "core/platform/portable/PortableSystem.h"

#include <string>

#include "core/platform/Errors.h"
#include "core/platform/portable/ShellLinkFile.h"

namespace Platform::Portable {

namespace {
constexpr Status kBadFormat = 11;  // ERROR_BAD_FORMAT: the file is not a shell link
constexpr int kCsidlWindows = 36;
constexpr int kCsidlSystem = 37;

// Whole-file access through the given file system (not Platform::Current(),
// which may be another platform).
Status WriteAll(IFileSystem& fs, std::wstring_view path, const std::string& bytes)
{
    FileHandle file = nullptr;
    if (Status s = fs.CreateFile(path, FileAccess::Write, Disposition::CreateAlways, &file)) {
        return s;
    }
    uint32_t written = 0;
    Status s = fs.WriteFile(file, bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
    (void)fs.CloseFile(file);
    return s;
}

Status ReadAll(IFileSystem& fs, std::wstring_view path, std::string* bytes)
{
    FileHandle file = nullptr;
    if (Status s = fs.CreateFile(path, FileAccess::Read, Disposition::OpenExisting, &file)) {
        return s;
    }
    uint64_t size = 0;
    Status s = fs.GetFileSize(file, &size);
    if (s == Err::Success && size > (1u << 20)) {
        s = kBadFormat;  // far larger than any link
    }
    if (s == Err::Success) {
        bytes->resize(static_cast<size_t>(size));
        uint32_t read = 0;
        s = fs.ReadFile(file, bytes->data(), static_cast<uint32_t>(size), &read);
        bytes->resize(read);
    }
    (void)fs.CloseFile(file);
    return s;
}
}  // namespace

PortableSystem::PortableSystem(IFileSystem& files, FaultInjector& faults, Clock& clock)
    : files_(files), faults_(faults), clock_(clock)
{
    version_.platformId = 2;
    version_.major = 10;
    version_.minor = 0;
    version_.build = 19045;
    version_.productType = 1;
    environment_ = {
        {L"SystemDrive", L"C:"},
        {L"SystemRoot", L"C:\\WINDOWS"},
        {L"windir", L"C:\\WINDOWS"},
        {L"ProgramFiles", L"C:\\Program Files"},
        {L"USERPROFILE", L"C:\\Users\\User"},
        {L"APPDATA", L"C:\\Users\\User\\AppData\\Roaming"},
        {L"LOCALAPPDATA", L"C:\\Users\\User\\AppData\\Local"},
        {L"TEMP", L"C:\\Users\\User\\AppData\\Local\\Temp"},
        {L"TMP", L"C:\\Users\\User\\AppData\\Local\\Temp"},
    };
}

std::wstring PortableSystem::WindowsDirectory()
{
    std::lock_guard lock(mutex_);
    return windows_;
}

std::wstring PortableSystem::SystemDirectory()
{
    std::lock_guard lock(mutex_);
    return system_;
}

std::wstring PortableSystem::ExpandEnvironmentStrings(std::wstring_view text)
{
    std::lock_guard lock(mutex_);
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != L'%') {
            out += text[i++];
            continue;
        }
        const size_t close = text.find(L'%', i + 1);
        if (close == std::wstring_view::npos) {
            out.append(text.substr(i));
            break;
        }
        auto it = environment_.find(text.substr(i + 1, close - i - 1));
        if (it != environment_.end()) {
            out += it->second;
            i = close + 1;
        } else {
            // As Windows does: an unknown name stays, and its closing "%"
            // may open the next reference.
            out.append(text.substr(i, close - i));
            i = close;
        }
    }
    return out;
}

std::wstring PortableSystem::GetSpecialFolder(int csidl)
{
    std::lock_guard lock(mutex_);
    auto it = folders_.find(csidl);
    if (it != folders_.end()) {
        return it->second;
    }
    if (csidl == kCsidlWindows) {
        return windows_;
    }
    if (csidl == kCsidlSystem) {
        return system_;
    }
    return {};
}

Status PortableSystem::SaveShellLink(std::wstring_view linkPath, const ShellLink& link)
{
    if (Status s = faults_.Check(Operation::SaveShellLink, {linkPath, {}})) {
        return s;
    }
    return WriteAll(files_, linkPath, EncodeShellLink(link));
}

Status PortableSystem::LoadShellLink(std::wstring_view linkPath, ShellLink* out)
{
    if (Status s = faults_.Check(Operation::LoadShellLink, {linkPath, {}})) {
        return s;
    }
    std::string bytes;
    if (Status s = ReadAll(files_, linkPath, &bytes)) {
        return s;
    }
    return DecodeShellLink(bytes, out) ? Err::Success : kBadFormat;
}

VersionInfo PortableSystem::GetVersion()
{
    std::lock_guard lock(mutex_);
    return version_;
}

uint32_t PortableSystem::GetShellVersion()
{
    std::lock_guard lock(mutex_);
    return shellVersion_;
}

int64_t PortableSystem::CurrentTime()
{
    return clock_.Now();
}

bool PortableSystem::Is64BitWindows()
{
    std::lock_guard lock(mutex_);
    return is64Bit_;
}

Status PortableSystem::GetFileVersion(std::wstring_view path, FileVersion* out)
{
    FileInfo info;
    if (Status s = files_.GetFileInfo(path, &info)) {
        return s;
    }
    std::lock_guard lock(mutex_);
    auto it = versions_.find(std::wstring(path));
    if (it == versions_.end() || (info.attributes & FileAttr::Directory)) {
        return Err::ResourceTypeNotFound;
    }
    *out = it->second;
    return Err::Success;
}

void PortableSystem::Set64BitWindows(bool is64Bit)
{
    std::lock_guard lock(mutex_);
    is64Bit_ = is64Bit;
}

void PortableSystem::SetFileVersion(const std::wstring& path, FileVersion version)
{
    std::lock_guard lock(mutex_);
    versions_[path] = std::move(version);
}

void PortableSystem::SetWindowsDirectory(std::wstring path)
{
    std::lock_guard lock(mutex_);
    windows_ = std::move(path);
}

void PortableSystem::SetSystemDirectory(std::wstring path)
{
    std::lock_guard lock(mutex_);
    system_ = std::move(path);
}

void PortableSystem::SetEnvironmentVariable(const std::wstring& name, std::wstring value)
{
    std::lock_guard lock(mutex_);
    if (value.empty()) {
        environment_.erase(name);
    } else {
        environment_[name] = std::move(value);
    }
}

void PortableSystem::SetSpecialFolder(int csidl, std::wstring path)
{
    std::lock_guard lock(mutex_);
    folders_[csidl] = std::move(path);
}

void PortableSystem::SetVersion(const VersionInfo& version)
{
    std::lock_guard lock(mutex_);
    version_ = version;
}

void PortableSystem::SetShellVersion(uint32_t version)
{
    std::lock_guard lock(mutex_);
    shellVersion_ = version;
}

std::wstring PortableSystem::ProgramPath()
{
    std::lock_guard lock(mutex_);
    return programPath_;
}

std::wstring PortableSystem::UserAccount()
{
    std::lock_guard lock(mutex_);
    return userAccount_;
}

bool PortableSystem::IsElevated()
{
    std::lock_guard lock(mutex_);
    return elevated_;
}

Status PortableSystem::RegisterTask(std::wstring_view name, std::wstring_view definition)
{
    if (Status s = faults_.Check(Operation::RegisterTask, {name, {}})) {
        return s;
    }
    if (name.empty() || definition.empty()) {
        return Err::InvalidParameter;
    }
    std::lock_guard lock(mutex_);
    tasks_[std::wstring(name)] = std::wstring(definition);
    return Err::Success;
}

Status PortableSystem::DeleteTask(std::wstring_view name)
{
    if (Status s = faults_.Check(Operation::DeleteTask, {name, {}})) {
        return s;
    }
    std::lock_guard lock(mutex_);
    return tasks_.erase(std::wstring(name)) != 0 ? Err::Success : Err::FileNotFound;
}

Status PortableSystem::QueryTask(std::wstring_view name, std::wstring* definition)
{
    if (Status s = faults_.Check(Operation::QueryTask, {name, {}})) {
        return s;
    }
    std::lock_guard lock(mutex_);
    auto it = tasks_.find(std::wstring(name));
    if (it == tasks_.end()) {
        return Err::FileNotFound;
    }
    if (definition) {
        *definition = it->second;
    }
    return Err::Success;
}

Status PortableSystem::ListTasks(std::vector<TaskListing>* out)
{
    if (Status s = faults_.Check(Operation::ListTasks, {{}, {}})) {
        return s;
    }
    if (!out) {
        return Err::InvalidParameter;
    }
    std::lock_guard lock(mutex_);
    out->clear();
    for (const auto& [name, definition] : tasks_) {
        out->push_back({L"\\" + name, definition});
    }
    return Err::Success;
}

Status PortableSystem::ListAutoStartServices(std::vector<ServiceListing>* out)
{
    if (Status s = faults_.Check(Operation::ListAutoStartServices, {{}, {}})) {
        return s;
    }
    if (!out) {
        return Err::InvalidParameter;
    }
    constexpr uint32_t kAutoStart = 2;
    std::lock_guard lock(mutex_);
    out->clear();
    for (const auto& [name, service] : services_) {
        if (service.startType == kAutoStart) {
            out->push_back(service.listing);
        }
    }
    return Err::Success;
}

void PortableSystem::AddService(const ServiceListing& service, uint32_t startType)
{
    std::lock_guard lock(mutex_);
    services_[service.name] = {service, startType};
}

void PortableSystem::SetProgramPath(std::wstring path)
{
    std::lock_guard lock(mutex_);
    programPath_ = std::move(path);
}

void PortableSystem::SetUserAccount(std::wstring account)
{
    std::lock_guard lock(mutex_);
    userAccount_ = std::move(account);
}

void PortableSystem::SetElevated(bool elevated)
{
    std::lock_guard lock(mutex_);
    elevated_ = elevated;
}

}  // namespace Platform::Portable
