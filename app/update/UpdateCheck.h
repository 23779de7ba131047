#pragma once
// The update check: once per run, a background thread asks the vendor's
// endpoint whether a newer build than this one exists, identifying this
// build by the MD5 digest of the program's file. Only HTTPS endpoints are
// asked, certificate errors are never ignored, redirects are not followed,
// and every step is bounded by time-outs and can be cancelled at exit.
//
//   Update::Config config = Update::BuildConfig();   // the build's endpoint and home page
//   Update::Checker checker(config, Update::MakeSystemSession, &prompt);
//   checker.Start();   ...   checker.Stop();       // at exit: cancels and waits
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/crypto/Md5.h"
#include "core/platform/Platform.h"

namespace Update {

struct Timeouts {
    uint32_t connectMs = 15000;
    uint32_t receiveMs = 15000;
};

// One HTTP GET. Open and Read block; Cancel may be called from another
// thread at any time and makes a pending or later Open or Read fail.
class IHttpSession {
public:
    virtual ~IHttpSession() = default;
    // Sends the request and reads the status line; *status is the HTTP code.
    [[nodiscard]] virtual Platform::Status Open(std::wstring_view url, const Timeouts& timeouts, uint32_t* status) = 0;
    // Reads body bytes; *read = 0 at the end of the body.
    [[nodiscard]] virtual Platform::Status Read(void* buffer, uint32_t size, uint32_t* read) = 0;
    virtual void Cancel() = 0;
};

using SessionFactory = std::function<std::unique_ptr<IHttpSession>()>;

// The system's HTTP client (WinINet on Windows; none on other systems).
std::unique_ptr<IHttpSession> MakeSystemSession();

// What the user sees; the main window implements it.
class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Caption "Update", text "New update is available, do you want to open
    // download page?", Yes and No; true for Yes.
    virtual bool ConfirmOpenDownloadPage() = 0;
    // Opens the page in the browser; false when that failed.
    virtual bool OpenPage(const std::wstring& url) = 0;
    // Sends the main window its Exit command.
    virtual void RequestExit() = 0;
};

struct Config {
    std::wstring endpoint;  // "https://host[:port][/path]"; empty: no check
    std::wstring homePage;  // opened when the user agrees
    std::wstring programPath;
    Timeouts timeouts;
};

// The build's endpoint and home page (CMake cache settings), the running
// program's path and the program's time-outs.
Config BuildConfig();

enum class Outcome {
    NotChecked,  // no endpoint configured
    Refused,     // the endpoint is not https://
    NoDigest,    // the program's file could not be read
    Failed,      // no answer, an HTTP status other than 200 or 206, or cancelled
    NoUpdate,
    Declined,    // an update exists and the user said No
    OpenFailed,  // the page could not be opened: the program goes on
    Opened,      // the page was opened and the Exit command sent
};

// True for an endpoint the check may ask: "https://" and a host.
bool IsAllowedEndpoint(std::wstring_view endpoint);

// endpoint + "/download/?check=" + 32 lower-case hexadecimal digits.
std::wstring CheckUrl(std::wstring_view endpoint, const Crypto::Md5::Digest& digest);

// The answer's number, read as the C library reads an unsigned number with
// automatic base (decimal, "0x" hexadecimal, leading 0 octal, any text after
// the digits ignored); non-zero means an update exists. Empty: no update.
bool UpdateAvailable(std::string_view body);

// At most this many bytes of the answer are read.
constexpr uint32_t kAnswerLimit = 31;

// The whole check, on the calling thread.
Outcome RunCheck(const Config& config, IHttpSession& session, IPrompt& prompt);

// The check on a thread of its own.
class Checker {
public:
    Checker(Config config, SessionFactory makeSession, IPrompt* prompt);
    ~Checker();  // Stop()
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;

    void Start();
    // Cancels the request (its handles are closed, the thread is never
    // terminated) and waits for the thread to end.
    void Stop();
    // The outcome once the thread has ended; NotChecked before.
    Outcome Result() const { return outcome_; }

private:
    Config config_;
    SessionFactory makeSession_;
    IPrompt* prompt_;
    std::unique_ptr<IHttpSession> session_;
    Platform::ThreadHandle thread_ = nullptr;
    std::atomic<Outcome> outcome_{Outcome::NotChecked};
};

}  // namespace Update
