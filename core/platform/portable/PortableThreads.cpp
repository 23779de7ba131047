#include "core/platform/portable/PortableThreads.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/platform/Errors.h"

namespace Platform::Portable {

namespace {

// The handles of the seam point at these; the tag types stay undefined so
// that no backend claims them.
struct Event {
    std::mutex mutex;
    std::condition_variable changed;
    bool set = false;
    bool manualReset = false;
};

struct Thread {
    // Shared with the running body, which may outlive the handle when a
    // thread closes its own handle.
    struct State {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };
    std::thread thread;
    std::shared_ptr<State> state = std::make_shared<State>();
};

// A held named lock; the handle points at it.
struct NamedLock {
    std::wstring name;
};

Event* ToEvent(EventHandle h)
{
    return reinterpret_cast<Event*>(h);
}
Thread* ToThread(ThreadHandle h)
{
    return reinterpret_cast<Thread*>(h);
}

// Waits on `cv` until `ready` holds or the time runs out; kInfinite waits for good.
template <class Ready>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint32_t milliseconds, Ready ready)
{
    if (milliseconds == kInfinite) {
        cv.wait(lock, ready);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
}
}  // namespace

EventHandle PortableThreads::CreateEvent(bool manualReset, bool initiallySet)
{
    auto event = std::make_unique<Event>();
    event->manualReset = manualReset;
    event->set = initiallySet;
    return reinterpret_cast<EventHandle>(event.release());
}

void PortableThreads::CloseEvent(EventHandle event)
{
    delete ToEvent(event);
}

void PortableThreads::SetEvent(EventHandle handle)
{
    Event* event = ToEvent(handle);
    if (!event) {
        return;
    }
    {
        std::lock_guard lock(event->mutex);
        event->set = true;
    }
    // An auto-reset event releases one waiter; the others see it reset.
    if (event->manualReset) {
        event->changed.notify_all();
    } else {
        event->changed.notify_one();
    }
}

void PortableThreads::ResetEvent(EventHandle handle)
{
    Event* event = ToEvent(handle);
    if (!event) {
        return;
    }
    std::lock_guard lock(event->mutex);
    event->set = false;
}

Status PortableThreads::WaitEvent(EventHandle handle, uint32_t milliseconds)
{
    Event* event = ToEvent(handle);
    if (!event) {
        return Err::InvalidHandle;
    }
    std::unique_lock lock(event->mutex);
    if (!WaitFor(event->changed, lock, milliseconds, [&] { return event->set; })) {
        return kWaitTimeout;
    }
    if (!event->manualReset) {
        event->set = false;
    }
    return Err::Success;
}

bool PortableThreads::IsEventSet(EventHandle handle)
{
    Event* event = ToEvent(handle);
    if (!event) {
        return false;
    }
    std::lock_guard lock(event->mutex);
    return event->set;
}

ThreadHandle PortableThreads::StartThread(std::function<void()> body)
{
    auto thread = std::make_unique<Thread>();
    try {
        thread->thread = std::thread([state = thread->state, body = std::move(body)] {
            body();
            std::lock_guard lock(state->mutex);
            state->done = true;
            state->ended.notify_all();
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return reinterpret_cast<ThreadHandle>(thread.release());
}

Status PortableThreads::WaitThread(ThreadHandle handle, uint32_t milliseconds)
{
    Thread* thread = ToThread(handle);
    if (!thread) {
        return Err::InvalidHandle;
    }
    Thread::State& state = *thread->state;
    std::unique_lock lock(state.mutex);
    return WaitFor(state.ended, lock, milliseconds, [&] { return state.done; }) ? Err::Success : kWaitTimeout;
}

Status PortableThreads::TerminateThread(ThreadHandle)
{
    return Err::NotSupported;
}

void PortableThreads::CloseThread(ThreadHandle handle)
{
    Thread* thread = ToThread(handle);
    if (!thread) {
        return;
    }
    if (thread->thread.joinable()) {
        if (thread->thread.get_id() == std::this_thread::get_id()) {
            thread->thread.detach();  // a thread closing its own handle cannot wait for itself
        } else {
            thread->thread.join();
        }
    }
    delete thread;
}

void PortableThreads::Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Status PortableThreads::AcquireNamedLock(std::wstring_view name, LockHandle* out)
{
    if (name.empty()) {
        return Err::InvalidParameter;
    }
    std::lock_guard lock(locksMutex_);
    if (heldLocks_.find(name) != heldLocks_.end()) {
        return Err::AlreadyExists;
    }
    auto held = std::make_unique<NamedLock>();
    held->name = name;
    heldLocks_.insert(held->name);
    *out = reinterpret_cast<LockHandle>(held.release());
    return Err::Success;
}

void PortableThreads::ReleaseNamedLock(LockHandle handle)
{
    std::unique_ptr<NamedLock> held(reinterpret_cast<NamedLock*>(handle));
    if (!held) {
        return;
    }
    std::lock_guard lock(locksMutex_);
    heldLocks_.erase(held->name);
}

}  // namespace Platform::Portable
