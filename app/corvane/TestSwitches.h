#pragma once
// Switches that only a test run sets, read from the program's environment.
// A user's program never sees them; each one only makes a test practical:
//
//   CORVANE_TEST_NO_PACING=1        the engine's per-tweak pacing pauses are
//                                   off (an analysis at launch otherwise takes
//                                   about 18 s)
//   CORVANE_TEST_RESTART_ANSWER=no  the system's restart prompt is answered
//                                   "No" without showing it ("yes" answers
//                                   "Yes"; under Wine "Yes" ends the session)
//   CORVANE_TEST_FAIL_WINDOW=1      the main window's creation is refused as
//                                   the system would refuse it, so that a
//                                   test sees how the program ends then
//   CORVANE_TEST_GUARD_TICK_MS=200  the startup guard looks for new entries
//                                   every 200 ms instead of every 30 s
//                                   (a whole number from 50 to 30000)
//
// Any other value leaves the switch off.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace AppShell {

struct TestSwitches {
    bool noPacing = false;
    // Empty: the prompt is shown.
    std::optional<bool> restartAnswer;
    bool failWindow = false;
    // 0: the guard's own period.
    uint32_t guardTickMilliseconds = 0;

    friend bool operator==(const TestSwitches&, const TestSwitches&) = default;
};

// The value of an environment variable; empty when it is not set.
using EnvironmentReader = std::function<std::optional<std::wstring>(const wchar_t* name)>;

TestSwitches ReadTestSwitches(const EnvironmentReader& read);

// Acts on the switches that belong to the engine (pacing).
void ApplyEngineSwitches(const TestSwitches& switches);

}  // namespace AppShell
