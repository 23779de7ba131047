#pragma once
// A read-only COM stream over one resource of a module, so that GDI+ can decode
// images shipped as resources. The bytes belong to the module: the stream never
// copies or frees them. Like every managed object it starts with no reference;
// the first AddRef owns it and the last Release deletes it.
#include <windows.h>

#include <objidl.h>

#include <atomic>

namespace Resources {

class ResourceStream final : public IStream {
public:
    ResourceStream() = default;
    ResourceStream(const ResourceStream&) = delete;
    ResourceStream& operator=(const ResourceStream&) = delete;

    // IUnknown: IStream, ISequentialStream and IUnknown all hand out this object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ISequentialStream. Read copies what is left up to `count` and returns S_OK;
    // S_FALSE when no resource is open.
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;

    // IStream. A seek that would leave the resource (or one from the end with a
    // non-zero offset) returns S_FALSE and keeps the position.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

    // Finds, loads and locks the resource and puts the position at its start.
    // Returns 0 or the Win32 error; on error the stream is unchanged.
    [[nodiscard]] DWORD OpenResource(HMODULE module, LPCWSTR name, LPCWSTR type);

private:
    // Only Release deletes the stream.
    ~ResourceStream() = default;

    std::atomic<LONG> count_{0};
    const BYTE* data_ = nullptr;
    ULONG position_ = 0;
    ULONG size_ = 0;
};

}  // namespace Resources
