#pragma once
// One owner per kind of Windows handle the backend holds, on the same UniqueAny
// template as the seam's own owners, so that no logic closes a handle by hand.
#include "core/platform/Handles.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

struct HkeyTraits {
    using Handle = HKEY;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};
// Events, threads, processes: empty is null.
struct HandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::FindClose(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};
// Item lists handed out by the shell belong to the COM task allocator.
struct PidlTraits {
    using Handle = LPITEMIDLIST;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CoTaskMemFree(h); }
};

using UniqueHkey = UniqueAny<HkeyTraits>;
using UniqueHandle = UniqueAny<HandleTraits>;
using UniqueFileHandle = UniqueAny<FileHandleTraits>;
using UniqueFindHandle = UniqueAny<FindHandleTraits>;
using UniqueModule = UniqueAny<ModuleTraits>;
using UniquePidl = UniqueAny<PidlTraits>;

// Holds one reference to a COM interface.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    // For out-parameters of CoCreateInstance and QueryInterface.
    void** put() noexcept
    {
        reset();
        return reinterpret_cast<void**>(&ptr_);
    }
    void reset() noexcept
    {
        if (ptr_) {
            ptr_->Release();
            ptr_ = nullptr;
        }
    }

private:
    T* ptr_ = nullptr;
};

// COM on the calling thread for as long as the object lives. A thread that
// already has COM keeps it: S_FALSE is balanced like S_OK, and a thread in the
// other apartment model (RPC_E_CHANGED_MODE) can use COM without us.
class ComApartment {
public:
    ComApartment() noexcept : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    bool Usable() const noexcept { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const noexcept { return result_; }

private:
    HRESULT result_;
};

}  // namespace Platform::Win32
