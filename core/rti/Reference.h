#pragma once
#include <cstddef>
#include <type_traits>
#include <utility>

namespace RTI {

// The only owner of managed objects. A new target gets AddRef before the old
// one gets Release, so assigning a reference to itself, or to another
// reference of the same object, never destroys it.
template <class T>
class Reference {
public:
    Reference() noexcept = default;
    Reference(std::nullptr_t) noexcept {}
    Reference(T* p) : ptr_(p) { Acquire(ptr_); }
    Reference(const Reference& other) : ptr_(other.ptr_) { Acquire(ptr_); }
    Reference(Reference&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}

    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Reference(const Reference<U>& other) : ptr_(other.Get())
    {
        Acquire(ptr_);
    }

    ~Reference() { Reset(); }

    Reference& operator=(const Reference& other)
    {
        Assign(other.ptr_);
        return *this;
    }
    Reference& operator=(Reference&& other) noexcept
    {
        if (this != &other) {
            T* old = std::exchange(ptr_, std::exchange(other.ptr_, nullptr));
            if (old) {
                old->Release();
            }
        }
        return *this;
    }
    Reference& operator=(T* p)
    {
        Assign(p);
        return *this;
    }
    Reference& operator=(std::nullptr_t)
    {
        Reset();
        return *this;
    }

    void Reset()
    {
        if (T* old = std::exchange(ptr_, nullptr)) {
            old->Release();
        }
    }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    T& operator*() const noexcept { return *ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // A checked downcast: empty when the target is not a U.
    template <class U>
    Reference<U> As() const
    {
        return Reference<U>(dynamic_cast<U*>(ptr_));
    }

    friend bool operator==(const Reference& a, const Reference& b) noexcept { return a.ptr_ == b.ptr_; }
    friend bool operator==(const Reference& a, std::nullptr_t) noexcept { return a.ptr_ == nullptr; }
    friend bool operator==(const Reference& a, const T* b) noexcept { return a.ptr_ == b; }
    friend bool operator<(const Reference& a, const Reference& b) noexcept { return a.ptr_ < b.ptr_; }

private:
    static void Acquire(T* p)
    {
        if (p) {
            p->AddRef();
        }
    }
    void Assign(T* p)
    {
        Acquire(p);
        T* old = std::exchange(ptr_, p);
        if (old) {
            old->Release();
        }
    }

    T* ptr_ = nullptr;
};

}  // namespace RTI
