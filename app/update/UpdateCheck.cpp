#include "app/update/UpdateCheck.h"

#include <cctype>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/system/FileDigest.h"

namespace Update {
namespace {

constexpr std::wstring_view kHttps = L"https://";
#ifdef CORVANE_UPDATE_TESTING
// Only the tests' build of this library knows plain HTTP, and only to the
// loopback address, for the servers the tests start.
constexpr std::wstring_view kLoopbackHttp = L"http://127.0.0.1:";
#endif

bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix)
{
    return text.size() >= prefix.size() && RTI::EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

}  // namespace

bool IsAllowedEndpoint(std::wstring_view endpoint)
{
#ifdef CORVANE_UPDATE_TESTING
    if (StartsWithIgnoreCase(endpoint, kLoopbackHttp)) {
        return true;
    }
#endif
    if (!StartsWithIgnoreCase(endpoint, kHttps)) {
        return false;
    }
    const std::wstring_view host = endpoint.substr(kHttps.size());
    return !host.empty() && host.front() != L'/' && host.find_first_of(L" \t\r\n\"") == std::wstring_view::npos;
}

std::wstring CheckUrl(std::wstring_view endpoint, const Crypto::Md5::Digest& digest)
{
    std::wstring url(endpoint);
    while (!url.empty() && url.back() == L'/') {
        url.pop_back();
    }
    url += L"/download/?check=";
    static const wchar_t kHex[] = L"0123456789abcdef";
    for (uint8_t byte : digest) {
        url += kHex[byte >> 4];
        url += kHex[byte & 15];
    }
    return url;
}

bool UpdateAvailable(std::string_view body)
{
    size_t i = 0;
    while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) {
        ++i;
    }
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
        ++i;  // the sign does not change whether the number is 0
    }
    int base = 10;
    if (i < body.size() && body[i] == '0') {
        base = 8;
        if (i + 2 < body.size() && (body[i + 1] == 'x' || body[i + 1] == 'X') && DigitValue(body[i + 2]) < 16) {
            base = 16;
            i += 2;
        }
    }
    for (; i < body.size() && DigitValue(body[i]) < base; ++i) {
        if (body[i] != '0') {
            return true;
        }
    }
    return false;
}

Outcome RunCheck(const Config& config, IHttpSession& session, IPrompt& prompt)
{
    if (config.endpoint.empty()) {
        return Outcome::NotChecked;
    }
    if (!IsAllowedEndpoint(config.endpoint)) {
        return Outcome::Refused;
    }
    Crypto::Md5::Digest digest{};
    if (config.programPath.empty() || Sys::DigestFile(config.programPath, &digest, nullptr) != Err::Success) {
        return Outcome::NoDigest;
    }
    uint32_t status = 0;
    if (session.Open(CheckUrl(config.endpoint, digest), config.timeouts, &status) != Err::Success ||
        (status != 200 && status != 206)) {
        return Outcome::Failed;
    }
    // One read may return only part of the answer ("0x" of "0x10").
    char answer[kAnswerLimit] = {};
    uint32_t length = 0;
    while (length < kAnswerLimit) {
        uint32_t read = 0;
        if (session.Read(answer + length, kAnswerLimit - length, &read) != Err::Success) {
            return Outcome::Failed;
        }
        if (read == 0) {
            break;
        }
        length += read;
    }
    if (!UpdateAvailable(std::string_view(answer, length))) {
        return Outcome::NoUpdate;
    }
    if (!prompt.ConfirmOpenDownloadPage()) {
        return Outcome::Declined;
    }
    if (config.homePage.empty() || !prompt.OpenPage(config.homePage)) {
        return Outcome::OpenFailed;
    }
    prompt.RequestExit();
    return Outcome::Opened;
}

Checker::Checker(Config config, SessionFactory makeSession, IPrompt* prompt)
    : config_(std::move(config)), makeSession_(std::move(makeSession)), prompt_(prompt)
{
}

Checker::~Checker()
{
    Stop();
}

void Checker::Start()
{
    if (thread_ != nullptr || config_.endpoint.empty() || prompt_ == nullptr) {
        return;
    }
    session_ = makeSession_ ? makeSession_() : nullptr;
    if (!session_) {
        return;
    }
    thread_ = Platform::Current().Threads().StartThread([this] { outcome_ = RunCheck(config_, *session_, *prompt_); });
}

void Checker::Stop()
{
    if (thread_ == nullptr) {
        return;
    }
    session_->Cancel();
    // CloseThread waits for the thread: a cancelled request ends at once.
    Platform::Current().Threads().CloseThread(thread_);
    thread_ = nullptr;
}

}  // namespace Update
