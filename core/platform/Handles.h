#pragma once
// One owner type per handle kind of the platform seam, all built on UniqueAny.
// Owners close through the platform that is current when they close.
#include <utility>

#include "core/platform/Platform.h"

namespace Platform {

template <class Traits>
class UniqueAny {
public:
    using Handle = typename Traits::Handle;

    UniqueAny() noexcept = default;
    explicit UniqueAny(Handle h) noexcept : handle_(h) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueAny() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }
    // For out-parameters: closes what is held and hands out the slot.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }
    Handle release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    void reset(Handle h = Traits::Empty()) noexcept
    {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::Empty()) {
            Traits::Close(old);
        }
    }

private:
    Handle handle_ = Traits::Empty();
};

struct KeyTraits {
    using Handle = KeyHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { (void)Current().Registry().CloseKey(h); }
};
struct FileTraits {
    using Handle = FileHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { (void)Current().Files().CloseFile(h); }
};
struct FindTraits {
    using Handle = FindHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { (void)Current().Files().FindClose(h); }
};
struct EventTraits {
    using Handle = EventHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { Current().Threads().CloseEvent(h); }
};
struct ThreadTraits {
    using Handle = ThreadHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { Current().Threads().CloseThread(h); }
};

struct NamedLockTraits {
    using Handle = LockHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { Current().Threads().ReleaseNamedLock(h); }
};

struct DeviceTraits {
    using Handle = DeviceHandle;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { (void)Current().Hardware().CloseDevice(h); }
};

using UniqueKey = UniqueAny<KeyTraits>;
using UniqueFile = UniqueAny<FileTraits>;
using UniqueFind = UniqueAny<FindTraits>;
using UniqueEvent = UniqueAny<EventTraits>;
using UniqueThread = UniqueAny<ThreadTraits>;
using UniqueNamedLock = UniqueAny<NamedLockTraits>;
using UniqueDevice = UniqueAny<DeviceTraits>;

// Runs a clean-up when the scope ends, for one-off cases without an owner type.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit()
    {
        if (armed_) {
            f_();
        }
    }
    void Dismiss() noexcept { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

}  // namespace Platform
