#include "app/corvane/TestSwitches.h"

#include "core/rti/IgnoreCaseStringComparator.h"
#include "tweaker/RunControl.h"

namespace AppShell {

namespace {

bool Is(const std::optional<std::wstring>& value, std::wstring_view text)
{
    return value && RTI::CompareIgnoreCase(*value, text) == 0;
}

// A whole number of milliseconds within [50, 30000]; 0 for anything else.
uint32_t TickMilliseconds(const std::optional<std::wstring>& value)
{
    if (!value || value->empty() || value->size() > 5) {
        return 0;
    }
    uint32_t ms = 0;
    for (const wchar_t c : *value) {
        if (c < L'0' || c > L'9') {
            return 0;
        }
        ms = ms * 10 + static_cast<uint32_t>(c - L'0');
    }
    return ms >= 50 && ms <= 30000 ? ms : 0;
}

}  // namespace

TestSwitches ReadTestSwitches(const EnvironmentReader& read)
{
    TestSwitches switches;
    switches.noPacing = Is(read(L"CORVANE_TEST_NO_PACING"), L"1");
    const std::optional<std::wstring> answer = read(L"CORVANE_TEST_RESTART_ANSWER");
    if (Is(answer, L"no")) {
        switches.restartAnswer = false;
    } else if (Is(answer, L"yes")) {
        switches.restartAnswer = true;
    }
    switches.failWindow = Is(read(L"CORVANE_TEST_FAIL_WINDOW"), L"1");
    switches.guardTickMilliseconds = TickMilliseconds(read(L"CORVANE_TEST_GUARD_TICK_MS"));
    return switches;
}

void ApplyEngineSwitches(const TestSwitches& switches)
{
    if (switches.noPacing) {
        Tweaker::SetPacing(Tweaker::Pacing::Off);
    }
}

}  // namespace AppShell
