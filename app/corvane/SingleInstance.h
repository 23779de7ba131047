#pragma once
// One instance per user session. The first start owns the named mutex and
// makes a hidden hand-over window at once; a later start finds that window
// (waiting while the first one is still starting up), lets it take the
// foreground, asks it to show itself and ends. No port is opened: nothing
// outside the user's session can reach the program.
#include <cstdint>

namespace AppShell {

namespace Instance {
inline constexpr wchar_t kMutexName[] = L"Local\\Corvane.Instance";
inline constexpr wchar_t kHandOverClass[] = L"Corvane.HandOver";
inline constexpr wchar_t kShowMessage[] = L"Corvane.Show";
inline constexpr wchar_t kNotResponding[] = L"Corvane is already running but does not respond.";
// How long a second start looks for the first instance's hand-over window.
inline constexpr uint32_t kPatienceMs = 5000;
inline constexpr uint32_t kRetryMs = 100;
}  // namespace Instance

// What the decision needs of the system; the program's uses the real mutex
// and windows, tests a stand-in.
class IInstanceSystem {
public:
    virtual ~IInstanceSystem() = default;
    // Creates the named mutex; false when another process already holds it.
    // A mutex that cannot be made at all counts as taken by this process:
    // the program then runs as a first instance rather than not at all.
    virtual bool TakeMutex() = 0;
    // Looks for the first instance's hand-over window once.
    virtual bool FindHandOver() = 0;
    // Lets the window's process take the foreground and posts it the show
    // message; false when the post failed.
    virtual bool AskToShow() = 0;
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t milliseconds) = 0;
};

enum class InstanceRole {
    First,          // this process goes on as the program
    HandedOver,     // the running instance was asked to show itself: exit 0
    NotResponding,  // no hand-over window in time: tell the user, exit 1
};

InstanceRole DecideInstance(IInstanceSystem& system, uint32_t patienceMs = Instance::kPatienceMs,
                            uint32_t retryMs = Instance::kRetryMs);

// The exit code of a start that is not the first.
int ExitCodeOf(InstanceRole role);

}  // namespace AppShell
