#include "core/platform/win32/Win32Threads.h"

#include <memory>
#include <string>

#include "core/platform/Errors.h"
#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/WinHandles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

HANDLE ToHandle(EventHandle event)
{
    return reinterpret_cast<HANDLE>(event);
}
HANDLE ToHandle(ThreadHandle thread)
{
    return reinterpret_cast<HANDLE>(thread);
}

Status Wait(HANDLE handle, uint32_t milliseconds)
{
    switch (::WaitForSingleObject(handle, milliseconds)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:
            return Err::Success;
        case WAIT_TIMEOUT:
            return kWaitTimeout;
        default: {
            const DWORD error = ::GetLastError();
            return error != 0 ? static_cast<Status>(error) : Err::InvalidHandle;
        }
    }
}

// The thread's entry: runs the body and frees it. The C runtime's own start
// (rather than CreateThread) sets up its per-thread data. noexcept: an
// exception must not unwind into the system's frames; it ends the program.
unsigned __stdcall RunBody(void* parameter) noexcept
{
    const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

EventHandle Win32Threads::CreateEvent(bool manualReset, bool initiallySet)
{
    return reinterpret_cast<EventHandle>(::CreateEventW(nullptr, manualReset, initiallySet, nullptr));
}

void Win32Threads::CloseEvent(EventHandle event)
{
    if (event) {
        ::CloseHandle(ToHandle(event));
    }
}

void Win32Threads::SetEvent(EventHandle event)
{
    ::SetEvent(ToHandle(event));
}

void Win32Threads::ResetEvent(EventHandle event)
{
    ::ResetEvent(ToHandle(event));
}

Status Win32Threads::WaitEvent(EventHandle event, uint32_t milliseconds)
{
    return Wait(ToHandle(event), milliseconds);
}

bool Win32Threads::IsEventSet(EventHandle event)
{
    bool set = false;
    if (QueryEventState(ToHandle(event), &set)) {
        return set;
    }
    // Without ntdll's answer, a zero wait tells; it consumes an auto-reset
    // event, so the event is set again (harmless for a manual-reset one).
    if (::WaitForSingleObject(ToHandle(event), 0) != WAIT_OBJECT_0) {
        return false;
    }
    ::SetEvent(ToHandle(event));
    return true;
}

ThreadHandle Win32Threads::StartThread(std::function<void()> body)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, &RunBody, owned.get(), 0, nullptr);
    if (thread == 0) {
        return nullptr;
    }
    owned.release();  // the thread frees it
    return reinterpret_cast<ThreadHandle>(thread);
}

Status Win32Threads::WaitThread(ThreadHandle thread, uint32_t milliseconds)
{
    return Wait(ToHandle(thread), milliseconds);
}

Status Win32Threads::TerminateThread(ThreadHandle thread)
{
    // The body and whatever it holds are lost: this is the last resort.
    return ::TerminateThread(ToHandle(thread), ERROR_CANCELLED) ? Err::Success : static_cast<Status>(::GetLastError());
}

void Win32Threads::CloseThread(ThreadHandle thread)
{
    if (!thread) {
        return;
    }
    UniqueHandle handle(ToHandle(thread));
    ::WaitForSingleObject(handle.get(), INFINITE);
}

void Win32Threads::Sleep(uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

Status Win32Threads::AcquireNamedLock(std::wstring_view name, LockHandle* out)
{
    if (name.empty()) {
        return Err::InvalidParameter;  // an unnamed mutex would exclude nobody
    }
    const std::wstring objectName(name);
    UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, objectName.c_str()));
    if (!mutex) {
        return static_cast<Status>(::GetLastError());  // 6: the name belongs to another kind of object
    }
    switch (::WaitForSingleObject(mutex.get(), 0)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:  // the last holder ended without releasing
            break;
        case WAIT_TIMEOUT:
            return Err::AlreadyExists;
        default: {
            const DWORD error = ::GetLastError();
            return error != 0 ? static_cast<Status>(error) : Err::InvalidHandle;
        }
    }
    // A mutex lets its owning thread take it again; the lock must refuse a
    // second take by its own holder as it refuses everyone else.
    LONG count = 0;
    if (QueryMutantCount(mutex.get(), &count) && count < 0) {
        ::ReleaseMutex(mutex.get());
        return Err::AlreadyExists;
    }
    *out = reinterpret_cast<LockHandle>(mutex.release());
    return Err::Success;
}

void Win32Threads::ReleaseNamedLock(LockHandle lock)
{
    if (!lock) {
        return;
    }
    UniqueHandle mutex(reinterpret_cast<HANDLE>(lock));
    ::ReleaseMutex(mutex.get());
}

}  // namespace Platform::Win32
