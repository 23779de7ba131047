#include "core/win/ResourceStream.h"

#include <cstring>

namespace Resources {
namespace {

// The times Stat reports: one value for the whole process, taken the first
// time a stream is asked, since resources carry no times of their own.
FILETIME ProcessStreamTime()
{
    static const FILETIME time = [] {
        FILETIME t{};
        GetSystemTimeAsFileTime(&t);
        return t;
    }();
    return time;
}

}  // namespace

HRESULT ResourceStream::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IStream) || IsEqualIID(riid, IID_ISequentialStream) || IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ResourceStream::AddRef()
{
    return static_cast<ULONG>(count_.fetch_add(1, std::memory_order_relaxed) + 1);
}

ULONG ResourceStream::Release()
{
    // As for every managed object: the thread whose decrement reaches 0
    // deletes, and a stream no one ever referenced is deleted as it is.
    LONG now = 0;
    if (count_.load(std::memory_order_relaxed) != 0) {
        now = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    }
    if (now != 0) {
        return static_cast<ULONG>(now);
    }
    delete this;
    return 0;
}

HRESULT ResourceStream::Read(void* buffer, ULONG count, ULONG* read)
{
    if (read != nullptr) {
        *read = 0;
    }
    if (data_ == nullptr) {
        return S_FALSE;
    }
    if (buffer == nullptr) {
        return STG_E_INVALIDPOINTER;
    }
    const ULONG n = count < size_ - position_ ? count : size_ - position_;
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    if (read != nullptr) {
        *read = n;
    }
    return S_OK;
}

HRESULT ResourceStream::Write(const void*, ULONG, ULONG* written)
{
    if (written != nullptr) {
        *written = 0;
    }
    return E_NOTIMPL;
}

HRESULT ResourceStream::Seek(LARGE_INTEGER offset, DWORD origin, ULARGE_INTEGER* position)
{
    const LONGLONG move = offset.QuadPart;
    LONGLONG target = 0;
    bool valid = false;
    switch (origin) {
        case STREAM_SEEK_SET:
            target = move;
            valid = move >= 0 && move <= static_cast<LONGLONG>(size_);
            break;
        case STREAM_SEEK_CUR:
            // Bounds are tested before adding, so a huge `move` cannot overflow.
            valid = move >= -static_cast<LONGLONG>(position_) &&
                    move <= static_cast<LONGLONG>(size_) - static_cast<LONGLONG>(position_);
            target = valid ? static_cast<LONGLONG>(position_) + move : 0;
            break;
        case STREAM_SEEK_END:
            target = size_;
            valid = move == 0;
            break;
        default:
            return STG_E_INVALIDFUNCTION;
    }
    if (valid) {
        position_ = static_cast<ULONG>(target);
    }
    if (position != nullptr) {
        position->QuadPart = position_;
    }
    return valid ? S_OK : S_FALSE;
}

HRESULT ResourceStream::SetSize(ULARGE_INTEGER)
{
    return E_NOTIMPL;
}

HRESULT ResourceStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*)
{
    return E_NOTIMPL;
}

HRESULT ResourceStream::Commit(DWORD)
{
    return E_NOTIMPL;
}

HRESULT ResourceStream::Revert()
{
    return E_NOTIMPL;
}

HRESULT ResourceStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
{
    return E_NOTIMPL;
}

HRESULT ResourceStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD)
{
    return E_NOTIMPL;
}

HRESULT ResourceStream::Stat(STATSTG* stat, DWORD flags)
{
    if (stat == nullptr) {
        return STG_E_INVALIDPOINTER;
    }
    if (flags != STATFLAG_DEFAULT && flags != STATFLAG_NONAME) {
        return STG_E_INVALIDFLAG;
    }
    LPOLESTR name = nullptr;
    if (flags == STATFLAG_DEFAULT) {
        name = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof(OLECHAR)));
        if (name == nullptr) {
            return STG_E_INSUFFICIENTMEMORY;
        }
        name[0] = L'\0';
    }
    std::memset(stat, 0, sizeof(*stat));
    stat->pwcsName = name;
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    stat->mtime = stat->ctime = stat->atime = ProcessStreamTime();
    return S_OK;
}

HRESULT ResourceStream::Clone(IStream** clone)
{
    if (clone != nullptr) {
        *clone = nullptr;
    }
    return E_NOTIMPL;
}

DWORD ResourceStream::OpenResource(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_RESOURCE_NAME_NOT_FOUND;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_RESOURCE_DATA_NOT_FOUND;
    }
    data_ = static_cast<const BYTE*>(data);
    size_ = SizeofResource(module, found);
    position_ = 0;
    return ERROR_SUCCESS;
}

}  // namespace Resources
