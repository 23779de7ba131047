// The services the service control manager starts by itself.
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/win32/Win32System.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseServiceHandle(h); }
};
using UniqueServiceHandle = UniqueAny<ServiceHandleTraits>;

Status LastError()
{
    return static_cast<Status>(::GetLastError());
}

// The configuration of one service; false when it cannot be read.
bool ReadConfig(SC_HANDLE service, std::vector<uint8_t>* buffer)
{
    DWORD needed = 0;
    (void)::QueryServiceConfigW(service, nullptr, 0, &needed);
    if (needed == 0) {
        return false;
    }
    buffer->assign(needed, 0);
    return ::QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer->data()), needed, &needed);
}

// SERVICE_DELAYED_AUTO_START_INFO, which the headers declare for Vista and
// later builds only; this program is built for XP too.
struct DelayedStartInfo {
    BOOL fDelayedAutostart;
};
constexpr DWORD kConfigDelayedStart = 3;  // SERVICE_CONFIG_DELAYED_AUTO_START_INFO

bool IsDelayed(SC_HANDLE service)
{
    // Systems before Vista know no delayed start and refuse the query.
    DelayedStartInfo info{};
    DWORD needed = 0;
    return ::QueryServiceConfig2W(service, kConfigDelayedStart, reinterpret_cast<BYTE*>(&info), sizeof(info),
                                  &needed) &&
           info.fDelayedAutostart;
}

std::wstring TextOf(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

}  // namespace

Status Win32System::ListAutoStartServices(std::vector<ServiceListing>* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) {
        return LastError();
    }
    // The list is asked for in rounds until the manager has given all of it.
    std::vector<std::wstring> names;
    std::vector<uint8_t> buffer(64 * 1024);
    DWORD resume = 0;
    for (;;) {
        DWORD needed = 0;
        DWORD count = 0;
        const BOOL done = ::EnumServicesStatusExW(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL,
                                                  buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count,
                                                  &resume, nullptr);
        const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
        if (!done && error != ERROR_MORE_DATA) {
            return static_cast<Status>(error);
        }
        const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            names.push_back(TextOf(entries[i].lpServiceName));
        }
        if (done) {
            break;
        }
        if (count == 0) {
            // Not even one entry fitted: a larger buffer, or no progress at all.
            if (needed <= buffer.size()) {
                return static_cast<Status>(error);
            }
            buffer.resize(needed);
        }
    }
    std::vector<ServiceListing> listed;
    std::vector<uint8_t> config;
    for (const std::wstring& name : names) {
        UniqueServiceHandle service(::OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG));
        // A service the user may not query is left out, as the console does.
        if (!service || !ReadConfig(service.get(), &config)) {
            continue;
        }
        const auto* c = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(config.data());
        if (c->dwStartType != SERVICE_AUTO_START) {
            continue;
        }
        listed.push_back({name, TextOf(c->lpDisplayName), TextOf(c->lpBinaryPathName), IsDelayed(service.get())});
    }
    *out = std::move(listed);
    return Err::Success;
}

}  // namespace Platform::Win32
