#pragma once
// Shared pieces of the system helper tests: a scratch fixture that also
// forgets the helpers' caches around each test, and a tracer that counts.
#include <map>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/rti/ITracer.h"
#include "core/system/Caches.h"
#include "tests/support/Scratch.h"

namespace Testing {

class SystemTest : public ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        Sys::ResetSystemCachesForTesting();
    }
    void TearDown() override
    {
        Sys::ResetSystemCachesForTesting();
        ScratchTest::TearDown();
    }

    // A manual-reset event that is already set, for the cancel paths.
    Platform::UniqueEvent SetEvent() { return Platform::UniqueEvent(Os().Threads().CreateEvent(true, true)); }
};

class CountingTracer : public RTI::ITracer {
public:
    void Begin(const void*, unsigned) override {}
    void End(const void*, unsigned) override {}
    void Trace(uint32_t code, int32_t first, int32_t second) override
    {
        ++counts[code];
        firsts[code] += first;
        EXPECT_EQ(second, 1);
    }
    int Count(uint32_t code) const
    {
        auto it = counts.find(code);
        return it == counts.end() ? 0 : it->second;
    }
    int64_t SumOfFirsts(uint32_t code) const
    {
        auto it = firsts.find(code);
        return it == firsts.end() ? 0 : it->second;
    }

private:
    std::map<uint32_t, int> counts;
    std::map<uint32_t, int64_t> firsts;
};

}  // namespace Testing
