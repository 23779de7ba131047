// The update check's request through WinINet. Synchronous WinINet calls are
// cancelled by closing their handles from another thread; that is what
// Cancel does, so the program never has to terminate the update thread.
// Wine's WinINet does not end a pending call when its handle is closed; there
// the call ends at its time-out, which is why every handle carries them.
#include <mutex>

#include "app/update/UpdateCheck.h"
#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/platform/win32/WindowsApi.h"

#include <wininet.h>

namespace Update {
namespace {

struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::InternetCloseHandle(h); }
};
using UniqueInternet = Platform::UniqueAny<InternetTraits>;

// RELOAD, EXISTING_CONNECT, NO_CACHE_WRITE and NO_AUTO_REDIRECT; no flag
// that ignores a certificate error.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_NO_AUTO_REDIRECT;

// Time-outs are set on every handle, not only on the session: Wine's WinINet
// does not pass a session's send and receive time-outs on to the connections
// it makes, so a request opened in one step (InternetOpenUrlW) could wait for
// a silent server for ever there.
void SetTimeouts(HINTERNET handle, const Timeouts& timeouts)
{
    DWORD connect = timeouts.connectMs;
    DWORD receive = timeouts.receiveMs;
    (void)::InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
    (void)::InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
    (void)::InternetSetOptionW(handle, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof(receive));
}

// The parts of a URL that the request is made of.
struct UrlParts {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object;  // path and query
};

bool SplitUrl(const std::wstring& url, UrlParts* parts)
{
    URL_COMPONENTSW components{};
    components.dwStructSize = sizeof(components);
    // Non-zero lengths with no buffers: the parts are pointed to in `url`.
    components.dwSchemeLength = 1;
    components.dwHostNameLength = 1;
    components.dwUrlPathLength = 1;
    components.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &components) ||
        components.lpszHostName == nullptr || components.dwHostNameLength == 0) {
        return false;
    }
    if (components.nScheme != INTERNET_SCHEME_HTTPS && components.nScheme != INTERNET_SCHEME_HTTP) {
        return false;
    }
    parts->secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    parts->host.assign(components.lpszHostName, components.dwHostNameLength);
    parts->port = components.nPort;
    if (components.lpszUrlPath != nullptr) {
        parts->object.assign(components.lpszUrlPath, components.dwUrlPathLength);
    }
    if (components.lpszExtraInfo != nullptr) {
        parts->object.append(components.lpszExtraInfo, components.dwExtraInfoLength);
    }
    if (parts->object.empty()) {
        parts->object = L"/";
    }
    return true;
}

class WinInetSession final : public IHttpSession {
public:
    Platform::Status Open(std::wstring_view url, const Timeouts& timeouts, uint32_t* status) override
    {
        UrlParts parts;
        if (!SplitUrl(std::wstring(url), &parts)) {
            return Err::InvalidParameter;
        }
        HINTERNET session = ::InternetOpenW(L"Corvane", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (session == nullptr) {
            return ::GetLastError();
        }
        SetTimeouts(session, timeouts);
        if (!Keep(session, &session_)) {
            return Err::Cancelled;
        }
        const DWORD flags = kOpenFlags | (parts.secure ? INTERNET_FLAG_SECURE : 0);
        HINTERNET connection = ::InternetConnectW(session, parts.host.c_str(), parts.port, nullptr, nullptr,
                                                  INTERNET_SERVICE_HTTP, flags, 0);
        if (connection == nullptr) {
            return Failure();
        }
        SetTimeouts(connection, timeouts);
        if (!Keep(connection, &connection_)) {
            return Err::Cancelled;
        }
        HINTERNET request =
            ::HttpOpenRequestW(connection, L"GET", parts.object.c_str(), nullptr, nullptr, nullptr, flags, 0);
        if (request == nullptr) {
            return Failure();
        }
        SetTimeouts(request, timeouts);
        if (!Keep(request, &request_)) {
            return Err::Cancelled;
        }
        if (!::HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
            return Failure();
        }
        DWORD code = 0;
        DWORD size = sizeof(code);
        if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
            return Failure();
        }
        *status = code;
        return Err::Success;
    }

    Platform::Status Read(void* buffer, uint32_t size, uint32_t* read) override
    {
        HINTERNET request = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (cancelled_ || !request_) {
                return Err::Cancelled;
            }
            request = request_.get();
        }
        DWORD bytes = 0;
        if (!::InternetReadFile(request, buffer, size, &bytes)) {
            return Failure();
        }
        *read = bytes;
        return Err::Success;
    }

    void Cancel() override
    {
        // Closing the handles ends a pending call on them; before the
        // request exists, closing the session ends the pending open.
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        request_.reset();
        connection_.reset();
        session_.reset();
    }

    ~WinInetSession() override { Cancel(); }

private:
    // Hands `handle` to its owner, unless Cancel came first: then it is closed
    // at once and false is returned.
    bool Keep(HINTERNET handle, UniqueInternet* owner)
    {
        std::lock_guard lock(mutex_);
        owner->reset(handle);
        if (cancelled_) {
            owner->reset();
            return false;
        }
        return true;
    }

    Platform::Status Failure()
    {
        const DWORD error = ::GetLastError();
        std::lock_guard lock(mutex_);
        return cancelled_ ? Err::Cancelled : (error != 0 ? error : Err::BadFormat);
    }

    std::mutex mutex_;
    bool cancelled_ = false;
    UniqueInternet session_;
    UniqueInternet connection_;
    UniqueInternet request_;
};

}  // namespace

std::unique_ptr<IHttpSession> MakeSystemSession()
{
    return std::make_unique<WinInetSession>();
}

}  // namespace Update
