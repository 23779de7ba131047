// The update check's WinINet request against loopback servers this test
// starts: an HTTP server of its own (allowed only in the tests' build of the
// library) with scripted answers, and openssl's TLS server with a
// self-signed certificate, which must be refused. Every wait here is bounded:
// the server polls its sockets and gives up on a client after a while, and
// the requests carry short time-outs.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

// After winsock2.h, which brings the Windows types it needs.
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/Errors.h"
#include "tests/core/win32/WineSupport.h"
#include "tests/support/Scratch.h"
#include "tests/update/UpdateTesting.h"

namespace Testing {
namespace {

struct Reply {
    // Each piece is sent after waiting its milliseconds.
    std::vector<std::pair<std::string, DWORD>> pieces;
    // Answer nothing; wait until the client gives up.
    bool hang = false;
};

std::string Response(const std::string& statusLine, const std::string& body, const std::string& headers = "")
{
    return "HTTP/1.1 " + statusLine + "\r\nContent-Type: text/plain\r\n" + headers + "Connection: close\r\n\r\n" + body;
}

// How long the server waits for a client that neither sends nor closes.
constexpr auto kClientPatience = std::chrono::seconds(20);
constexpr DWORD kPollMs = 100;

class LoopbackServer {
public:
    explicit LoopbackServer(std::function<Reply(const std::string& requestLine)> answer) : answer_(std::move(answer))
    {
        WSADATA data;
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int size = sizeof(address);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            ::listen(listener_, 4) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port_ = ntohs(address.sin_port);
        }
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        stopping_ = true;
        thread_.join();
        ::closesocket(listener_);
        if (started_) {
            ::WSACleanup();
        }
    }
    uint16_t Port() const { return port_; }
    // Clients left unanswered that ended the wait themselves (before the
    // server lost patience).
    int ClientsThatGaveUp() const { return clientsThatGaveUp_; }
    std::vector<std::string> Requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    // True when `socket` has something to read (or was closed) within one poll.
    static bool Readable(SOCKET socket)
    {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket, &set);
        timeval wait{0, static_cast<long>(kPollMs) * 1000};
        return ::select(0, &set, nullptr, nullptr, &wait) > 0;
    }

    void Serve()
    {
        while (!stopping_) {
            if (!Readable(listener_)) {
                continue;
            }
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                return;
            }
            Answer(client);
            ::shutdown(client, SD_BOTH);
            ::closesocket(client);
        }
    }

    enum class End { Done, ClientClosed, ServerGaveUp };

    // Reads until `done` says so, the client closes, the server stops or the
    // client has had its time.
    template <class Done>
    End ReadUntil(SOCKET client, std::string* received, Done done)
    {
        const auto giveUp = std::chrono::steady_clock::now() + kClientPatience;
        char buffer[1024];
        while (!done(*received)) {
            if (stopping_ || std::chrono::steady_clock::now() > giveUp) {
                return End::ServerGaveUp;
            }
            if (!Readable(client)) {
                continue;
            }
            const int n = ::recv(client, buffer, sizeof(buffer), 0);
            if (n <= 0) {
                return End::ClientClosed;
            }
            received->append(buffer, n);
        }
        return End::Done;
    }

    void Answer(SOCKET client)
    {
        std::string request;
        if (ReadUntil(client, &request, [](const std::string& r) { return r.find("\r\n\r\n") != std::string::npos; }) !=
            End::Done) {
            return;
        }
        const std::string line = request.substr(0, request.find("\r\n"));
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(line);
        }
        const Reply reply = answer_(line);
        if (reply.hang) {
            // Until the client gives up and closes the connection.
            if (ReadUntil(client, &request, [](const std::string&) { return false; }) == End::ClientClosed) {
                ++clientsThatGaveUp_;
            }
        }
        for (const auto& [bytes, wait] : reply.pieces) {
            ::Sleep(wait);
            (void)::send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
        }
    }

    std::function<Reply(const std::string&)> answer_;
    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> clientsThatGaveUp_{0};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

class WinInetTest : public ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        config_.homePage = L"https://example.org/";
        config_.programPath = PathOf(L"Corvane.exe");
        // Short, so that a request the server leaves unanswered ends soon.
        config_.timeouts = {kTimeoutMs, kTimeoutMs};
        WriteFile(config_.programPath, "abc");
    }
    static constexpr uint32_t kTimeoutMs = 5000;
    Update::Outcome Check(uint16_t port, const wchar_t* scheme = L"http")
    {
        config_.endpoint = std::wstring(scheme) + L"://127.0.0.1:" + std::to_wstring(port);
        auto session = Update::MakeSystemSession();
        return Update::RunCheck(config_, *session, prompt_);
    }
    Update::Config config_;
    RecordingPrompt prompt_;
};

TEST_F(WinInetTest, AnswersOfALoopbackServer)
{
    struct Case {
        const char* what;
        Reply reply;
        Update::Outcome outcome;
    };
    const std::string forty = std::string(30, '0') + "1" + std::string(9, '0');
    const Case cases[] = {
        {"0", {{{Response("200 OK", "0"), 0}}}, Update::Outcome::NoUpdate},
        {"empty", {{{Response("200 OK", ""), 0}}}, Update::Outcome::NoUpdate},
        {"1", {{{Response("200 OK", "1"), 0}}}, Update::Outcome::Opened},
        {"0x10", {{{Response("200 OK", "0x10"), 0}}}, Update::Outcome::Opened},
        {"17abc", {{{Response("200 OK", "17abc"), 0}}}, Update::Outcome::Opened},
        {"40 bytes", {{{Response("200 OK", forty), 0}}}, Update::Outcome::Opened},
        {"31 zeros, then 1", {{{Response("200 OK", std::string(31, '0') + "1"), 0}}}, Update::Outcome::NoUpdate},
        {"slow chunks", {{{Response("200 OK", "0x"), 0}, {"10", 300}}}, Update::Outcome::Opened},
        {"404", {{{Response("404 Not Found", "1"), 0}}}, Update::Outcome::Failed},
        {"302 not followed",
         {{{Response("302 Found", "", "Location: /download/?check=moved\r\n"), 0}}},
         Update::Outcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackServer server([&](const std::string& line) {
            // A followed redirect would find an update here.
            return line.find("moved") != std::string::npos ? Reply{{{Response("200 OK", "1"), 0}}} : c.reply;
        });
        prompt_ = RecordingPrompt();
        EXPECT_EQ(Check(server.Port()), c.outcome);
        const bool asked = c.outcome == Update::Outcome::Opened;
        EXPECT_EQ(prompt_.confirmations, asked ? 1 : 0);
        EXPECT_EQ(prompt_.exits, asked ? 1 : 0);
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0], std::string("GET /download/?check=900150983cd24fb0d6963f7d28e17f72 HTTP/1.1"));
    }
}

TEST_F(WinInetTest, NoServerAndASilentServerEndTheCheckQuietly)
{
    uint16_t port = 0;
    {
        LoopbackServer gone([](const std::string&) { return Reply{}; });
        port = gone.Port();
    }
    EXPECT_EQ(Check(port), Update::Outcome::Failed);

    LoopbackServer silent([](const std::string&) { return Reply{{}, true}; });
    config_.timeouts.receiveMs = 500;
    EXPECT_EQ(Check(silent.Port()), Update::Outcome::Failed);
    EXPECT_EQ(silent.Requests().size(), 1u);
    // Ended by the check's own receive time-out.
    EXPECT_TRUE(Wine::WaitUntil([&] { return silent.ClientsThatGaveUp() == 1; }));
    EXPECT_EQ(prompt_.confirmations, 0);
}

// At exit the request's handles are closed and the thread ends without being
// terminated: on Windows at once; Wine's WinINet does not end a pending call
// when its handle is closed, so there it ends at the receive time-out, which
// bounds the wait either way.
TEST_F(WinInetTest, StoppingEndsAPendingRequest)
{
    LoopbackServer silent([](const std::string&) { return Reply{{}, true}; });
    config_.endpoint = L"http://127.0.0.1:" + std::to_wstring(silent.Port());
    Update::Checker checker(config_, Update::MakeSystemSession, &prompt_);
    checker.Start();
    ASSERT_TRUE(Wine::WaitUntil([&] { return !silent.Requests().empty(); }));
    const auto before = std::chrono::steady_clock::now();
    checker.Stop();
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_LT(waited, std::chrono::milliseconds(kTimeoutMs) + std::chrono::seconds(10));
    EXPECT_EQ(checker.Result(), Update::Outcome::Failed);
    EXPECT_EQ(prompt_.confirmations, 0);
    EXPECT_TRUE(Wine::WaitUntil([&] { return silent.ClientsThatGaveUp() == 1; }));
}

// A TLS server with a self-signed certificate: the request is refused for
// its certificate, and nothing the server says is read.
TEST_F(WinInetTest, ASelfSignedCertificateIsRefused)
{
    const std::string key = Wine::UnixPath(PathOf(L"key.pem"));
    const std::string cert = Wine::UnixPath(PathOf(L"cert.pem"));
    ASSERT_FALSE(key.empty());
    // An elliptic-curve key: made at once even on a busy machine.
    const std::string makeCertificate =
        "exec /usr/bin/openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout '" + key +
        "' -out '" + cert + "' -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 >/dev/null 2>&1";
    ASSERT_TRUE(Wine::RunUnixProgram(L"/bin/sh", {"-c", makeCertificate}));
    ASSERT_TRUE(Wine::WaitUntil([&] { return Exists(PathOf(L"cert.pem")) && !ReadFile(PathOf(L"cert.pem")).empty(); }));
    uint16_t port = 0;
    {
        LoopbackServer free([](const std::string&) { return Reply{}; });
        port = free.Port();
    }
    // The server answers any request with a page; it ends after a few
    // connections (the probe below, the check and any retry of it) or 30
    // seconds. Its output goes nowhere, so that nothing waits for it.
    const std::string server = "exec /usr/bin/timeout 30 /usr/bin/openssl s_server -accept " + std::to_string(port) +
                               " -cert '" + cert + "' -key '" + key + "' -www -naccept 4 >/dev/null 2>&1 </dev/null";
    ASSERT_TRUE(Wine::RunUnixProgram(L"/bin/sh", {"-c", server}));
    WSADATA data;
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    const bool listening = Wine::WaitUntil([&] {
        const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const bool connected = ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        ::closesocket(probe);
        return connected;
    });
    ::WSACleanup();
    ASSERT_TRUE(listening);

    auto session = Update::MakeSystemSession();
    uint32_t status = 0;
    const Platform::Status opened =
        session->Open(L"https://127.0.0.1:" + std::to_wstring(port) + L"/download/", config_.timeouts, &status);
    EXPECT_EQ(opened, static_cast<Platform::Status>(ERROR_INTERNET_INVALID_CA)) << "HTTP status " << status;
    EXPECT_EQ(status, 0u);
    // The whole check through the program's path gives up the same way.
    config_.endpoint = L"https://127.0.0.1:" + std::to_wstring(port);
    EXPECT_EQ(Update::RunCheck(config_, *Update::MakeSystemSession(), prompt_), Update::Outcome::Failed);
    EXPECT_EQ(prompt_.confirmations, 0);
}

}  // namespace
}  // namespace Testing
