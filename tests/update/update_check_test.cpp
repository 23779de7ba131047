// The update check's logic over a scripted HTTP session: which endpoints are
// asked, the address, the lenient reading of the answer in pieces, and when
// the user is asked, the page opened and the program told to exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "tests/support/Scratch.h"
#include "tests/update/UpdateTesting.h"

namespace Testing {
namespace {

// Answers with a status and the body in the given pieces.
class ScriptedSession final : public Update::IHttpSession {
public:
    Platform::Status Open(std::wstring_view url, const Update::Timeouts& timeouts, uint32_t* status) override
    {
        urls.emplace_back(url);
        connectMs = timeouts.connectMs;
        if (openError) {
            return openError;
        }
        *status = httpStatus;
        return Err::Success;
    }
    Platform::Status Read(void* buffer, uint32_t size, uint32_t* read) override
    {
        readSizes.push_back(size);
        if (pieces.empty()) {
            *read = 0;
            return readError;
        }
        std::string& piece = pieces.front();
        const uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(piece.size()));
        std::memcpy(buffer, piece.data(), n);
        piece.erase(0, n);
        if (piece.empty()) {
            pieces.pop_front();
        }
        *read = n;
        return Err::Success;
    }
    void Cancel() override { ++cancels; }

    uint32_t httpStatus = 200;
    Platform::Status openError = 0;
    Platform::Status readError = 0;
    std::deque<std::string> pieces;
    std::vector<std::wstring> urls;
    std::vector<uint32_t> readSizes;
    uint32_t connectMs = 0;
    int cancels = 0;
};

class UpdateCheckTest : public ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        config_.endpoint = L"https://updates.example.org/";
        config_.homePage = L"https://example.org/";
        config_.programPath = PathOf(L"Corvane.exe");
        WriteFile(config_.programPath, "abc");
    }
    Update::Config config_;
    RecordingPrompt prompt_;
};

TEST(UpdateAnswer, ReadAsAnUnsignedNumberWithAutomaticBase)
{
    struct Case {
        const char* body;
        bool update;
    };
    const Case cases[] = {
        {"", false},     {"0", false},    {"1", true},   {"0x10", true}, {"0X0", false}, {"17abc", true},
        {"abc", false},  {" \n 2", true}, {"00", false}, {"010", true},  {"08", false},  {"0x", false},
        {"0xg1", false}, {"-0", false},   {"+3", true},  {"0.5", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Update::UpdateAvailable(c.body), c.update) << '"' << c.body << '"';
    }
}

TEST(UpdateEndpoint, OnlyHttpsEndpointsAreAsked)
{
    EXPECT_TRUE(Update::IsAllowedEndpoint(L"https://updates.example.org"));
    EXPECT_TRUE(Update::IsAllowedEndpoint(L"HTTPS://updates.example.org:8443/corvane"));
    EXPECT_FALSE(Update::IsAllowedEndpoint(L"http://updates.example.org"));
    EXPECT_FALSE(Update::IsAllowedEndpoint(L"https://"));
    EXPECT_FALSE(Update::IsAllowedEndpoint(L"https:///path"));
    EXPECT_FALSE(Update::IsAllowedEndpoint(L"ftp://updates.example.org"));
    EXPECT_FALSE(Update::IsAllowedEndpoint(L"http://127.0.0.2:80")) << "only the tests' loopback address";
}

TEST_F(UpdateCheckTest, TheAnswerDecidesWhetherTheUserIsAsked)
{
    struct Case {
        std::vector<std::string> pieces;
        uint32_t status;
        Update::Outcome outcome;
    };
    const Case cases[] = {
        {{"0"}, 200, Update::Outcome::NoUpdate},
        {{}, 200, Update::Outcome::NoUpdate},
        {{"1"}, 200, Update::Outcome::Opened},
        {{"0x", "10"}, 200, Update::Outcome::Opened},  // one read returns only part of it
        {{"0", "x", "1", "0"}, 206, Update::Outcome::Opened},
        {{"17abc"}, 200, Update::Outcome::Opened},
        {{std::string(31, '0'), "1"}, 200, Update::Outcome::NoUpdate},  // the 32nd byte is not read
        {{std::string(30, '0') + "1" + std::string(9, '0')}, 200, Update::Outcome::Opened},
        {{"1"}, 404, Update::Outcome::Failed},
        {{"1"}, 302, Update::Outcome::Failed},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        session.httpStatus = c.status;
        session.pieces.assign(c.pieces.begin(), c.pieces.end());
        RecordingPrompt prompt;
        EXPECT_EQ(Update::RunCheck(config_, session, prompt), c.outcome) << c.status << " " << c.pieces.size();
        const bool asked = c.outcome == Update::Outcome::Opened;
        EXPECT_EQ(prompt.confirmations, asked ? 1 : 0);
        EXPECT_EQ(prompt.opened,
                  asked ? std::vector<std::wstring>{L"https://example.org/"} : std::vector<std::wstring>{});
        EXPECT_EQ(prompt.exits, asked ? 1 : 0);
        ASSERT_EQ(session.urls.size(), 1u);
        EXPECT_EQ(session.urls[0], std::wstring(L"https://updates.example.org/download/?check=") + kAbcDigest);
        EXPECT_EQ(session.connectMs, 15000u);
        uint32_t offered = 0;
        for (uint32_t size : session.readSizes) {
            offered = std::max(offered, size);
        }
        EXPECT_LE(offered, 31u);
    }
}

TEST_F(UpdateCheckTest, ExitIsSentOnlyWhenThePageOpened)
{
    struct Case {
        bool agree;
        bool openWorks;
        Update::Outcome outcome;
        int opened;
        int exits;
    };
    const Case cases[] = {
        {false, true, Update::Outcome::Declined, 0, 0},
        {true, false, Update::Outcome::OpenFailed, 1, 0},
        {true, true, Update::Outcome::Opened, 1, 1},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        session.pieces = {"1"};
        RecordingPrompt prompt;
        prompt.agree = c.agree;
        prompt.openWorks = c.openWorks;
        EXPECT_EQ(Update::RunCheck(config_, session, prompt), c.outcome);
        EXPECT_EQ(static_cast<int>(prompt.opened.size()), c.opened);
        EXPECT_EQ(prompt.exits, c.exits);
    }
}

TEST_F(UpdateCheckTest, NothingIsAskedWithoutAnHttpsEndpointOrADigest)
{
    struct Case {
        std::wstring endpoint;
        std::wstring program;
        Update::Outcome outcome;
    };
    const Case cases[] = {
        {L"", config_.programPath, Update::Outcome::NotChecked},
        {L"http://updates.example.org", config_.programPath, Update::Outcome::Refused},
        {L"https://updates.example.org", PathOf(L"missing.exe"), Update::Outcome::NoDigest},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        session.pieces = {"1"};
        Update::Config config = config_;
        config.endpoint = c.endpoint;
        config.programPath = c.program;
        EXPECT_EQ(Update::RunCheck(config, session, prompt_), c.outcome);
        EXPECT_TRUE(session.urls.empty());
    }
    EXPECT_EQ(prompt_.confirmations, 0);
}

TEST_F(UpdateCheckTest, NetworkFailuresEndSilently)
{
    ScriptedSession noServer;
    noServer.openError = 12029;  // ERROR_INTERNET_CANNOT_CONNECT
    EXPECT_EQ(Update::RunCheck(config_, noServer, prompt_), Update::Outcome::Failed);
    ScriptedSession brokenBody;
    brokenBody.pieces = {"0"};
    brokenBody.readError = 12002;  // ERROR_INTERNET_TIMEOUT after "0"
    EXPECT_EQ(Update::RunCheck(config_, brokenBody, prompt_), Update::Outcome::Failed);
    EXPECT_EQ(prompt_.confirmations, 0);
}

TEST_F(UpdateCheckTest, TheCheckerCancelsItsRequestWhenStopped)
{
    ScriptedSession* made = nullptr;
    {
        Update::Checker checker(
            config_,
            [&] {
                auto session = std::make_unique<ScriptedSession>();
                session->pieces = {"0"};
                made = session.get();
                return session;
            },
            &prompt_);
        checker.Start();
        checker.Stop();
        EXPECT_EQ(checker.Result(), Update::Outcome::NoUpdate);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->cancels, 1);
    }
    config_.endpoint.clear();
    Update::Checker idle(
        config_, [&] { return std::make_unique<ScriptedSession>(); }, &prompt_);
    idle.Start();
    idle.Stop();
    EXPECT_EQ(idle.Result(), Update::Outcome::NotChecked);
}

}  // namespace
}  // namespace Testing
