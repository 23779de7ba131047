#include "app/corvane/TestSwitches.h"

#include "core/rti/IgnoreCaseStringComparator.h"
#include "tweaker/RunControl.h"

namespace AppShell {

namespace {

bool Is(const std::optional<std::wstring>& value, std::wstring_view text)
{
    return value && RTI::CompareIgnoreCase(*value, text) == 0;
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
    return switches;
}

void ApplyEngineSwitches(const TestSwitches& switches)
{
    if (switches.noPacing) {
        Tweaker::SetPacing(Tweaker::Pacing::Off);
    }
}

}  // namespace AppShell
