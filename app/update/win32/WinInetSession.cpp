// The update check's request through WinINet. Synchronous WinINet calls are
// cancelled by closing their handles from another thread; that is what
// Cancel does, so the program never has to terminate the update thread.
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

class WinInetSession final : public IHttpSession {
public:
    Platform::Status Open(std::wstring_view url, const Timeouts& timeouts, uint32_t* status) override
    {
        HINTERNET session = ::InternetOpenW(L"Corvane", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (session == nullptr) {
            return ::GetLastError();
        }
        {
            std::lock_guard lock(mutex_);
            session_.reset(session);
            if (cancelled_) {
                session_.reset();
                return Err::Cancelled;
            }
        }
        DWORD connect = timeouts.connectMs;
        DWORD receive = timeouts.receiveMs;
        (void)::InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
        (void)::InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
        (void)::InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof(receive));
        const std::wstring address(url);
        HINTERNET request = ::InternetOpenUrlW(session, address.c_str(), nullptr, 0, kOpenFlags, 0);
        if (request == nullptr) {
            return Failure();
        }
        {
            std::lock_guard lock(mutex_);
            if (cancelled_) {
                ::InternetCloseHandle(request);
                return Err::Cancelled;
            }
            request_.reset(request);
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
        session_.reset();
    }

    ~WinInetSession() override { Cancel(); }

private:
    Platform::Status Failure()
    {
        const DWORD error = ::GetLastError();
        std::lock_guard lock(mutex_);
        return cancelled_ ? Err::Cancelled : (error != 0 ? error : Err::BadFormat);
    }

    std::mutex mutex_;
    bool cancelled_ = false;
    UniqueInternet session_;
    UniqueInternet request_;
};

}  // namespace

std::unique_ptr<IHttpSession> MakeSystemSession()
{
    return std::make_unique<WinInetSession>();
}

}  // namespace Update
