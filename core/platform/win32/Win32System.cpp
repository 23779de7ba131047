#include "core/platform/win32/Win32System.h"

#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/Win32TaskFiles.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

// Shell links keep paths of any length since Windows Vista; this many
// characters cover the longest path Windows allows.
constexpr int kLinkTextCapacity = 32768;
constexpr int kDescriptionCapacity = INFOTIPSIZE;

// Calls fill(buffer, capacity), which returns the length written, or the size
// needed (terminating null included) when the buffer is short, or 0 on error.
template <class Fill>
std::wstring SizedText(Fill fill)
{
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const UINT n = fill(text.data(), static_cast<UINT>(text.size()));
        if (n == 0) {
            return {};
        }
        if (n < text.size()) {
            text.resize(n);
            return text;
        }
        text.resize(n);
    }
}

std::wstring BufferText(const std::wstring& buffer)
{
    return std::wstring(buffer.c_str());
}

using SHGetPathFromIDListExFn = BOOL(WINAPI*)(LPCITEMIDLIST, wchar_t*, DWORD, int);

std::wstring PathFromItemList(LPCITEMIDLIST list)
{
    // Newer shells give paths longer than MAX_PATH through the Ex form.
    HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    const auto pathEx = shell ? reinterpret_cast<SHGetPathFromIDListExFn>(
                                    reinterpret_cast<void (*)()>(::GetProcAddress(shell, "SHGetPathFromIDListEx")))
                              : nullptr;
    if (pathEx) {
        std::wstring buffer(kLinkTextCapacity, L'\0');
        if (pathEx(list, buffer.data(), static_cast<DWORD>(buffer.size()), 0)) {
            return BufferText(buffer);
        }
    }
    std::wstring buffer(MAX_PATH, L'\0');
    return ::SHGetPathFromIDListW(list, buffer.data()) ? BufferText(buffer) : std::wstring();
}

// The shell's link object with its file interface.
struct LinkObject {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
};

HRESULT MakeLinkObject(LinkObject* object)
{
    HRESULT hr =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, object->link.put());
    if (SUCCEEDED(hr)) {
        hr = object->link->QueryInterface(IID_IPersistFile, object->file.put());
    }
    return hr;
}

}  // namespace

Status StatusFromHresult(long hr)
{
    if (SUCCEEDED(hr)) {
        return Err::Success;
    }
    // Structured-storage errors below 0x100 carry the DOS error of the same number.
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32 ||
        (HRESULT_FACILITY(hr) == FACILITY_STORAGE && HRESULT_CODE(hr) < 0x100)) {
        return static_cast<Status>(HRESULT_CODE(hr));
    }
    if (hr == E_INVALIDARG) {
        return Err::InvalidParameter;
    }
    return static_cast<Status>(hr);
}

std::wstring Win32System::WindowsDirectory()
{
    return SizedText([](wchar_t* buffer, UINT size) { return ::GetWindowsDirectoryW(buffer, size); });
}

std::wstring Win32System::SystemDirectory()
{
    return SizedText([](wchar_t* buffer, UINT size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::wstring Win32System::ExpandEnvironmentStrings(std::wstring_view text)
{
    const std::wstring source(text);
    std::wstring expanded(source.size() + MAX_PATH, L'\0');
    for (;;) {
        // The count includes the terminating null, on success and when short.
        const DWORD n =
            ::ExpandEnvironmentStringsW(source.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (n == 0) {
            return source;
        }
        if (n <= expanded.size()) {
            expanded.resize(n - 1);
            return expanded;
        }
        expanded.resize(n);
    }
}

std::wstring Win32System::GetSpecialFolder(int csidl)
{
    UniquePidl list;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, list.put())) || !list) {
        return {};
    }
    return PathFromItemList(list.get());
}

Status Win32System::SaveShellLink(std::wstring_view linkPath, const ShellLink& link)
{
    ComApartment com;
    if (!com.Usable()) {
        return StatusFromHresult(com.Result());
    }
    LinkObject object;
    HRESULT hr = MakeLinkObject(&object);
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    hr = object.link->SetPath(link.target.c_str());
    if (SUCCEEDED(hr)) {
        hr = object.link->SetArguments(link.arguments.c_str());
    }
    if (SUCCEEDED(hr)) {
        hr = object.link->SetWorkingDirectory(link.workingDirectory.c_str());
    }
    if (SUCCEEDED(hr)) {
        hr = object.link->SetDescription(link.description.c_str());
    }
    if (SUCCEEDED(hr)) {
        hr = object.link->SetIconLocation(link.iconPath.c_str(), link.iconIndex);
    }
    if (SUCCEEDED(hr)) {
        const std::wstring path(linkPath);
        hr = object.file->Save(path.c_str(), TRUE);
    }
    return StatusFromHresult(hr);
}

Status Win32System::LoadShellLink(std::wstring_view linkPath, ShellLink* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    ComApartment com;
    if (!com.Usable()) {
        return StatusFromHresult(com.Result());
    }
    LinkObject object;
    HRESULT hr = MakeLinkObject(&object);
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    const std::wstring path(linkPath);
    hr = object.file->Load(path.c_str(), STGM_READ);
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    ShellLink result;
    std::wstring buffer(kLinkTextCapacity, L'\0');
    // Each getter may answer S_FALSE for a field the link does not have; the
    // buffer is then emptied first so that nothing stale is read back.
    const auto read = [&](auto get, std::wstring* field) {
        buffer[0] = L'\0';
        const HRESULT got = get();
        if (SUCCEEDED(got)) {
            *field = BufferText(buffer);
        }
        return got;
    };
    hr = read([&] { return object.link->GetPath(buffer.data(), kLinkTextCapacity, nullptr, 0); }, &result.target);
    if (SUCCEEDED(hr)) {
        hr = read([&] { return object.link->GetArguments(buffer.data(), kLinkTextCapacity); }, &result.arguments);
    }
    if (SUCCEEDED(hr)) {
        hr = read([&] { return object.link->GetWorkingDirectory(buffer.data(), kLinkTextCapacity); },
                  &result.workingDirectory);
    }
    if (SUCCEEDED(hr)) {
        hr =
            read([&] { return object.link->GetDescription(buffer.data(), kDescriptionCapacity); }, &result.description);
    }
    if (SUCCEEDED(hr)) {
        hr = read([&] { return object.link->GetIconLocation(buffer.data(), kLinkTextCapacity, &result.iconIndex); },
                  &result.iconPath);
    }
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    *out = std::move(result);
    return Err::Success;
}

VersionInfo Win32System::GetVersion()
{
    VersionInfo version;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    bool extended = QueryRtlVersion(&info);
    if (!extended) {
        info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        extended = ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
    }
    if (!extended) {
        // Systems before NT 4.0 SP6 know only the basic structure.
        info = {};
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
            version.extended = false;
            return version;
        }
    }
    version.platformId = info.dwPlatformId;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.build = info.dwBuildNumber;
    version.servicePack = info.szCSDVersion;
    version.extended = extended;
    if (extended) {
        version.servicePackMajor = info.wServicePackMajor;
        version.servicePackMinor = info.wServicePackMinor;
        version.suiteMask = info.wSuiteMask;
        version.productType = info.wProductType;
    }
    return version;
}

uint32_t Win32System::GetShellVersion()
{
    // A reference of our own keeps the library loaded while its export runs.
    UniqueModule shell(::LoadLibraryW(L"shell32.dll"));
    if (!shell) {
        return 0;
    }
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void (*)()>(::GetProcAddress(shell.get(), "DllGetVersion")));
    if (!getVersion) {
        return 0;
    }
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info))) {
        return 0;
    }
    return (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
}

int64_t Win32System::CurrentTime()
{
    // FILETIME counts 100 ns steps from 1601; 1970 is this many steps later.
    constexpr uint64_t kUnixEpoch = 116444736000000000ULL;
    constexpr uint64_t kStepsPerSecond = 10000000ULL;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const uint64_t steps = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<int64_t>((steps - kUnixEpoch) / kStepsPerSecond);
}

namespace {

// One BSTR, freed with the object.
class Bstr {
public:
    explicit Bstr(std::wstring_view text) : text_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(text_); }
    BSTR get() const noexcept { return text_; }
    BSTR* put() noexcept
    {
        ::SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }

private:
    BSTR text_ = nullptr;
};

// The scheduler's classes, spelled out here so that no import library of the
// scheduler is needed (the program still starts where it is missing).
const CLSID kClsidTaskScheduler = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
const IID kIidTaskService = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

// Connects to the local scheduler and runs use(root folder).
template <class Use>
Status WithTaskRoot(Use use)
{
    ComApartment com;
    if (!com.Usable()) {
        return StatusFromHresult(com.Result());
    }
    ComPtr<ITaskService> service;
    HRESULT hr =
        ::CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskService, service.put());
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    VARIANT none;
    ::VariantInit(&none);
    hr = service->Connect(none, none, none, none);
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    ComPtr<ITaskFolder> root;
    const Bstr rootPath(L"\\");
    hr = service->GetFolder(rootPath.get(), reinterpret_cast<ITaskFolder**>(root.put()));
    if (FAILED(hr)) {
        return StatusFromHresult(hr);
    }
    return StatusFromHresult(use(root.get()));
}

}  // namespace

std::wstring Win32System::ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        // A path that fills the buffer may have been cut: try a larger one.
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 65536) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::wstring Win32System::UserAccount()
{
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    DWORD size = 0;
    (void)::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<uint8_t> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    DWORD nameLength = 0;
    DWORD domainLength = 0;
    SID_NAME_USE use{};
    (void)::LookupAccountSidW(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use);
    if (nameLength == 0) {
        return {};
    }
    std::wstring name(nameLength, L'\0');
    std::wstring domain(domainLength + 1, L'\0');
    if (!::LookupAccountSidW(nullptr, sid, name.data(), &nameLength, domain.data(), &domainLength, &use)) {
        return {};
    }
    name.resize(nameLength);
    domain.resize(domainLength);
    return domain.empty() ? name : domain + L"\\" + name;
}

bool Win32System::IsElevated()
{
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return false;
    }
    // Systems before Vista do not know the query and answer false.
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

Status Win32System::RegisterTask(std::wstring_view name, std::wstring_view definition)
{
    return WithTaskRoot([&](ITaskFolder* root) {
        const Bstr taskName(name);
        const Bstr xml(definition);
        VARIANT none;
        ::VariantInit(&none);
        ComPtr<IRegisteredTask> task;
        return root->RegisterTask(taskName.get(), xml.get(), TASK_CREATE_OR_UPDATE, none, none,
                                  TASK_LOGON_INTERACTIVE_TOKEN, none, reinterpret_cast<IRegisteredTask**>(task.put()));
    });
}

Status Win32System::DeleteTask(std::wstring_view name)
{
    return WithTaskRoot([&](ITaskFolder* root) {
        const Bstr taskName(name);
        return root->DeleteTask(taskName.get(), 0);
    });
}

namespace {

std::wstring TextOfBstr(const Bstr& text)
{
    return text.get() ? std::wstring(text.get(), ::SysStringLen(text.get())) : std::wstring();
}

VARIANT IndexVariant(LONG index)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = index;
    return v;
}

// The scheduler's interfaces the listing asks its collections' items for.
const IID kIidRegisteredTask = {0x9c86f320, 0xdee3, 0x4dd1, {0xb9, 0x72, 0xa3, 0x03, 0xf2, 0x6b, 0x06, 0x1e}};
const IID kIidTaskFolder = {0x8cfac062, 0xa080, 0x4c15, {0x9a, 0x88, 0xaa, 0x7c, 0x2a, 0xf8, 0x0d, 0xfc}};

// Calls use(item) for each item of a scheduler collection: by count and
// index, or through its enumerator where the count is not implemented (Wine).
template <class T, class Collection, class Use>
HRESULT ForEachItem(Collection* collection, const IID& iid, Use use)
{
    LONG count = 0;
    if (SUCCEEDED(collection->get_Count(&count))) {
        for (LONG i = 1; i <= count; ++i) {
            ComPtr<T> item;
            if (SUCCEEDED(collection->get_Item(IndexVariant(i), reinterpret_cast<T**>(item.put())))) {
                use(item.get());
            }
        }
        return S_OK;
    }
    ComPtr<IUnknown> source;
    HRESULT hr = collection->get__NewEnum(reinterpret_cast<IUnknown**>(source.put()));
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IEnumVARIANT> items;
    if (FAILED(hr = source->QueryInterface(IID_IEnumVARIANT, items.put()))) {
        return hr;
    }
    for (;;) {
        VARIANT item;
        ::VariantInit(&item);
        ULONG fetched = 0;
        if (items->Next(1, &item, &fetched) != S_OK || fetched == 0) {
            ::VariantClear(&item);
            return S_OK;
        }
        if ((item.vt == VT_DISPATCH || item.vt == VT_UNKNOWN) && item.punkVal) {
            ComPtr<T> object;
            if (SUCCEEDED(item.punkVal->QueryInterface(iid, object.put()))) {
                use(object.get());
            }
        }
        ::VariantClear(&item);
    }
}

// Appends the tasks of folder, then those of its sub-folders, depth first.
HRESULT ListFolder(ITaskFolder* folder, int depth, std::vector<TaskListing>* out)
{
    ComPtr<IRegisteredTaskCollection> tasks;
    HRESULT hr = folder->GetTasks(TASK_ENUM_HIDDEN, reinterpret_cast<IRegisteredTaskCollection**>(tasks.put()));
    if (FAILED(hr)) {
        return hr;
    }
    hr = ForEachItem<IRegisteredTask>(tasks.get(), kIidRegisteredTask, [&](IRegisteredTask* task) {
        Bstr path;
        Bstr xml;
        // A task whose definition cannot be read (another user's) is left out.
        if (SUCCEEDED(task->get_Path(path.put())) && SUCCEEDED(task->get_Xml(xml.put()))) {
            out->push_back({TextOfBstr(path), TextOfBstr(xml)});
        }
    });
    if (FAILED(hr)) {
        return hr;
    }
    // Folders nest only a few levels; a deeper chain is not followed. A
    // folder whose sub-folders cannot be listed still gives its own tasks.
    constexpr int kMaxDepth = 32;
    ComPtr<ITaskFolderCollection> folders;
    if (depth < kMaxDepth &&
        SUCCEEDED(folder->GetFolders(0, reinterpret_cast<ITaskFolderCollection**>(folders.put())))) {
        (void)ForEachItem<ITaskFolder>(folders.get(), kIidTaskFolder,
                                       [&](ITaskFolder* child) { (void)ListFolder(child, depth + 1, out); });
    }
    return S_OK;
}

}  // namespace

Status Win32System::ListTasks(std::vector<TaskListing>* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    std::vector<TaskListing> listed;
    Status s = WithTaskRoot([&](ITaskFolder* root) { return ListFolder(root, 0, &listed); });
    if (s == static_cast<Status>(E_NOTIMPL)) {
        // Wine's scheduler registers tasks but cannot list them.
        listed = ListTaskFiles(SystemDirectory() + L"\\Tasks");
        s = Err::Success;
    }
    if (s == Err::Success) {
        *out = std::move(listed);
    }
    return s;
}

Status Win32System::QueryTask(std::wstring_view name, std::wstring* definition)
{
    return WithTaskRoot([&](ITaskFolder* root) {
        const Bstr taskName(name);
        ComPtr<IRegisteredTask> task;
        HRESULT hr = root->GetTask(taskName.get(), reinterpret_cast<IRegisteredTask**>(task.put()));
        if (SUCCEEDED(hr) && definition) {
            Bstr xml;
            hr = task->get_Xml(xml.put());
            if (SUCCEEDED(hr)) {
                *definition = xml.get() ? std::wstring(xml.get(), ::SysStringLen(xml.get())) : std::wstring();
            }
        }
        return hr;
    });
}

}  // namespace Platform::Win32
