// The update check's WinINet request against loopback servers this test
// starts: an HTTP server of its own (allowed only in the tests' build of the
// library) with scripted answers, and openssl's TLS server with a
// self-signed certificate, which must be refused.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

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
    return "HTTP/1.1 " + statusLine + "\r\nContent-Type: text/plain\r\n" + headers + "Connection: close\r\n\r\n" +
           body;
}

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
            ::listen(listener_, 4) == 0 && ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port_ = ntohs(address.sin_port);
        }
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        stopping_ = true;
        ::closesocket(listener_);
        thread_.join();
        if (started_) {
            ::WSACleanup();
        }
    }
    uint16_t Port() const { return port_; }
    std::vector<std::string> Requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void Serve()
    {
        for (;;) {
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                return;
            }
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int n = ::recv(client, buffer, sizeof(buffer), 0);
                if (n <= 0) {
                    break;
                }
                request.append(buffer, n);
            }
            const std::string line = request.substr(0, request.find("\r\n"));
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(line);
            }
            const Reply reply = answer_(line);
            if (reply.hang) {
                while (!stopping_ && ::recv(client, buffer, sizeof(buffer), 0) > 0) {
                }
            }
            for (const auto& [bytes, wait] : reply.pieces) {
                ::Sleep(wait);
                (void)::send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
            }
            ::shutdown(client, SD_BOTH);
            ::closesocket(client);
        }
    }

    std::function<Reply(const std::string&)> answer_;
    bool started_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
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
        WriteFile(config_.programPath, "abc");
    }
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
        {"302 not followed", {{{Response("302 Found", "", "Location: /download/?check=moved\r\n"), 0}}},
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
    EXPECT_EQ(prompt_.confirmations, 0);
}

// At exit the request's handles are closed; the thread ends without being
// terminated, long before its time-out.
TEST_F(WinInetTest, StoppingCancelsAPendingRequest)
{
    LoopbackServer silent([](const std::string&) { return Reply{{}, true}; });
    config_.endpoint = L"http://127.0.0.1:" + std::to_wstring(silent.Port());
    config_.timeouts = {120000, 120000};
    Update::Checker checker(config_, Update::MakeSystemSession, &prompt_);
    checker.Start();
    ASSERT_TRUE(Wine::WaitUntil([&] { return !silent.Requests().empty(); }));
    const auto before = std::chrono::steady_clock::now();
    checker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(60));
    EXPECT_EQ(checker.Result(), Update::Outcome::Failed);
    EXPECT_EQ(prompt_.confirmations, 0);
}

// A TLS server with a self-signed certificate: the request is refused, and
// nothing the server says is read.
TEST_F(WinInetTest, ASelfSignedCertificateIsRefused)
{
    const std::string key = Wine::UnixPath(PathOf(L"key.pem"));
    const std::string cert = Wine::UnixPath(PathOf(L"cert.pem"));
    ASSERT_FALSE(key.empty());
    ASSERT_TRUE(Wine::RunUnixProgram(L"/usr/bin/openssl",
                                     {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                                      "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"}));
    ASSERT_TRUE(Wine::WaitUntil([&] { return Exists(PathOf(L"cert.pem")) && !ReadFile(PathOf(L"cert.pem")).empty(); }));
    uint16_t port = 0;
    {
        LoopbackServer free([](const std::string&) { return Reply{}; });
        port = free.Port();
    }
    // The server answers "1" to any request; it ends after two connections
    // (the probe below and the check) or a minute.
    WriteFile(PathOf(L"www\\download\\index.html"), "1");
    ASSERT_TRUE(Wine::RunUnixProgram(L"/usr/bin/timeout",
                                     {"60", "/usr/bin/openssl", "s_server", "-accept", std::to_string(port), "-cert",
                                      cert, "-key", key, "-HTTP", "-quiet", "-naccept", "2"}));
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

    config_.endpoint = L"https://127.0.0.1:" + std::to_wstring(port);
    auto session = Update::MakeSystemSession();
    uint32_t status = 0;
    const Platform::Status opened =
        session->Open(L"https://127.0.0.1:" + std::to_wstring(port) + L"/download/", config_.timeouts, &status);
    EXPECT_NE(opened, Err::Success) << "HTTP status " << status;
    EXPECT_EQ(prompt_.confirmations, 0);
}

}  // namespace
}  // namespace Testing
