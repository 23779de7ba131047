// One instance per user session: the decision of a start over a stand-in
// system whose first instance appears (or never does) at a given time.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "app/corvane/SingleInstance.h"

namespace AppShell {
namespace {

class FakeSystem final : public IInstanceSystem {
public:
    FakeSystem(bool mutexFree, std::optional<uint64_t> windowAt, bool postWorks = true)
        : mutexFree_(mutexFree), windowAt_(windowAt), postWorks_(postWorks)
    {
    }
    bool TakeMutex() override { return mutexFree_; }
    bool FindHandOver() override
    {
        ++looks;
        return windowAt_ && now_ >= *windowAt_;
    }
    bool AskToShow() override
    {
        ++asks;
        return postWorks_;
    }
    uint64_t NowMs() override { return now_; }
    void SleepMs(uint32_t milliseconds) override
    {
        EXPECT_GT(milliseconds, 0u);
        EXPECT_LE(milliseconds, Instance::kRetryMs);
        now_ += milliseconds;
    }

    int looks = 0;
    int asks = 0;
    uint64_t now() const { return now_; }

private:
    bool mutexFree_;
    std::optional<uint64_t> windowAt_;
    bool postWorks_;
    uint64_t now_ = 1000000;  // the clock does not start at 0
};

TEST(SingleInstance, TheMutexAndTheHandOverWindowDecide)
{
    const uint64_t t0 = 1000000;
    const struct {
        const char* name;
        bool mutexFree;
        std::optional<uint64_t> windowAt;
        bool postWorks;
        InstanceRole role;
        int exitCode;
        uint64_t maxWaitMs;
        int asks;
    } cases[] = {
        {"first start", true, std::nullopt, true, InstanceRole::First, 0, 0, 0},
        {"window already there", false, t0, true, InstanceRole::HandedOver, 0, 0, 1},
        {"first instance still starting (2 s)", false, t0 + 2000, true, InstanceRole::HandedOver, 0, 2000, 1},
        {"window at the last moment", false, t0 + 5000, true, InstanceRole::HandedOver, 0, 5000, 1},
        {"first instance hangs", false, std::nullopt, true, InstanceRole::NotResponding, 1, 5000, 0},
        {"window too late", false, t0 + 5001, true, InstanceRole::NotResponding, 1, 5000, 0},
        {"window that takes no message", false, t0, false, InstanceRole::NotResponding, 1, 5000, 51},
    };
    for (const auto& c : cases) {
        FakeSystem system(c.mutexFree, c.windowAt, c.postWorks);
        const InstanceRole role = DecideInstance(system);
        EXPECT_EQ(role, c.role) << c.name;
        EXPECT_EQ(role == InstanceRole::First ? 0 : ExitCodeOf(role), c.exitCode) << c.name;
        EXPECT_LE(system.now() - t0, c.maxWaitMs) << c.name;
        if (c.role == InstanceRole::NotResponding) {
            EXPECT_EQ(system.now() - t0, Instance::kPatienceMs) << c.name << ": waits the whole time, no longer";
        }
        EXPECT_EQ(system.asks, c.asks) << c.name;
        if (c.role == InstanceRole::First) {
            EXPECT_EQ(system.looks, 0) << c.name;
        }
    }
}

}  // namespace
}  // namespace AppShell
