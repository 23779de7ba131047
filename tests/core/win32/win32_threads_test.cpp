// Events and threads of the Windows backend, where the kernel's objects have
// behaviour of their own worth pinning down.
#include <gtest/gtest.h>

#include <atomic>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/platform/win32/WindowsApi.h"

namespace {

Platform::IThreads& Threads()
{
    return Platform::Current().Threads();
}

// Looking at an auto-reset event must not consume it: the next waiter still
// sees it set.
TEST(Win32Threads, LookingAtAnAutoResetEventLeavesItSet)
{
    Platform::UniqueEvent event(Threads().CreateEvent(false, false));
    ASSERT_TRUE(event);
    EXPECT_FALSE(Threads().IsEventSet(event.get()));
    Threads().SetEvent(event.get());
    EXPECT_TRUE(Threads().IsEventSet(event.get()));
    EXPECT_TRUE(Threads().IsEventSet(event.get()));
    EXPECT_EQ(Threads().WaitEvent(event.get(), 0), Err::Success);
    EXPECT_FALSE(Threads().IsEventSet(event.get()));
    EXPECT_EQ(Threads().WaitEvent(event.get(), 10), Platform::kWaitTimeout);
}

// The handles are kernel handles, so window code can wait on them directly.
TEST(Win32Threads, EventHandlesAreKernelHandles)
{
    Platform::UniqueEvent event(Threads().CreateEvent(true, true));
    ASSERT_TRUE(event);
    EXPECT_EQ(::WaitForSingleObject(reinterpret_cast<HANDLE>(event.get()), 0), WAIT_OBJECT_0);
    Threads().ResetEvent(event.get());
    EXPECT_EQ(::WaitForSingleObject(reinterpret_cast<HANDLE>(event.get()), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(Win32Threads, TerminateEndsAThreadThatNeverReturns)
{
    Platform::UniqueEvent started(Threads().CreateEvent(true, false));
    Platform::EventHandle startedHandle = started.get();
    Platform::UniqueThread thread(Threads().StartThread([startedHandle] {
        Threads().SetEvent(startedHandle);
        for (;;) {
            Threads().Sleep(1000);
        }
    }));
    ASSERT_TRUE(thread);
    ASSERT_EQ(Threads().WaitEvent(started.get(), 10000), Err::Success);
    EXPECT_EQ(Threads().WaitThread(thread.get(), 10), Platform::kWaitTimeout);
    EXPECT_EQ(Threads().TerminateThread(thread.get()), Err::Success);
    EXPECT_EQ(Threads().WaitThread(thread.get(), 10000), Err::Success);
}

TEST(Win32Threads, CloseWaitsForTheBodyToEnd)
{
    std::atomic<bool> done{false};
    Platform::ThreadHandle thread = Threads().StartThread([&done] {
        Threads().Sleep(50);
        done = true;
    });
    ASSERT_NE(thread, nullptr);
    Threads().CloseThread(thread);
    EXPECT_TRUE(done);
}

}  // namespace
