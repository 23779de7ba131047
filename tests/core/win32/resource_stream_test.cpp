#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>
#include <ocidl.h>

#include <climits>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "core/platform/Errors.h"
#include "core/resources/ResourceBytes.h"
#include "core/win/ResourceStream.h"

namespace {

using Resources::ResourceStream;

// Holds one reference for the test's duration.
class ResourceStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stream_ = new ResourceStream();
        EXPECT_EQ(stream_->AddRef(), 1u);
    }
    void TearDown() override { EXPECT_EQ(stream_->Release(), 0u); }

    void Open()
    {
        ASSERT_EQ(stream_->OpenResource(GetModuleHandleW(nullptr), L"TESTCATXML", L"BINARY"), 0u);
        std::span<const uint8_t> bytes;
        ASSERT_EQ(Resources::FindResourceBytes(L"TESTCATXML", Resources::kBinaryType, bytes), Err::Success);
        expected_.assign(bytes.begin(), bytes.end());
        ASSERT_GT(expected_.size(), 16u);
    }

    ULONGLONG Position()
    {
        ULARGE_INTEGER at{};
        LARGE_INTEGER zero{};
        EXPECT_EQ(stream_->Seek(zero, STREAM_SEEK_CUR, &at), S_OK);
        return at.QuadPart;
    }

    HRESULT SeekTo(LONGLONG offset, DWORD origin, ULONGLONG* result = nullptr)
    {
        LARGE_INTEGER move;
        move.QuadPart = offset;
        ULARGE_INTEGER at;
        at.QuadPart = 0xDEADBEEF;
        const HRESULT hr = stream_->Seek(move, origin, &at);
        if (result) {
            *result = at.QuadPart;
        }
        return hr;
    }

    ULONG size() const { return static_cast<ULONG>(expected_.size()); }

    ResourceStream* stream_ = nullptr;
    std::vector<uint8_t> expected_;
};

TEST_F(ResourceStreamTest, QueryInterfaceHandsOutTheStreamForItsThreeInterfaces)
{
    for (const IID* iid : {&IID_IStream, &IID_ISequentialStream, &IID_IUnknown}) {
        void* out = nullptr;
        ASSERT_EQ(stream_->QueryInterface(*iid, &out), S_OK);
        EXPECT_EQ(out, static_cast<IStream*>(stream_));
        EXPECT_EQ(stream_->Release(), 1u);
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(stream_->QueryInterface(IID_IPersistStream, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(stream_->QueryInterface(IID_IStream, nullptr), E_POINTER);
    EXPECT_EQ(stream_->AddRef(), 2u);
    EXPECT_EQ(stream_->Release(), 1u);
}

TEST_F(ResourceStreamTest, ReadsTheResourceBytes)
{
    Open();
    std::vector<uint8_t> got(size() + 8);
    ULONG read = 0;
    EXPECT_EQ(stream_->Read(got.data(), size() + 8, &read), S_OK);
    ASSERT_EQ(read, size());
    got.resize(read);
    EXPECT_EQ(got, expected_);
    EXPECT_EQ(stream_->Read(got.data(), 1, &read), S_OK);
    EXPECT_EQ(read, 0u);
}

TEST_F(ResourceStreamTest, ReadNearTheEndReturnsWhatIsLeftAndStopsAtTheEnd)
{
    Open();
    ULONGLONG at = 0;
    ASSERT_EQ(SeekTo(size() - 4, STREAM_SEEK_SET, &at), S_OK);
    EXPECT_EQ(at, size() - 4u);
    char buf[10] = {};
    ULONG read = 0;
    EXPECT_EQ(stream_->Read(buf, 10, &read), S_OK);
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(std::memcmp(buf, expected_.data() + size() - 4, 4), 0);
    EXPECT_EQ(Position(), size());
    EXPECT_EQ(stream_->Read(buf, 10, nullptr), S_OK);
}

TEST_F(ResourceStreamTest, ReadWithoutResourceOrBufferFails)
{
    char buf[4];
    ULONG read = 7;
    EXPECT_EQ(stream_->Read(buf, 4, &read), S_FALSE);
    EXPECT_EQ(read, 0u);
    Open();
    EXPECT_EQ(stream_->Read(nullptr, 4, &read), STG_E_INVALIDPOINTER);
    EXPECT_EQ(Position(), 0u);
}

TEST_F(ResourceStreamTest, MissingResourceReportsTheWin32Error)
{
    EXPECT_EQ(stream_->OpenResource(GetModuleHandleW(nullptr), L"NOSUCHRES", L"BINARY"),
              static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    char buf[4];
    ULONG read = 7;
    EXPECT_EQ(stream_->Read(buf, 4, &read), S_FALSE);
    EXPECT_EQ(read, 0u);
}

TEST_F(ResourceStreamTest, SeekStaysWithinTheResource)
{
    Open();
    ULONGLONG at = 0;
    EXPECT_EQ(SeekTo(size(), STREAM_SEEK_SET, &at), S_OK);
    EXPECT_EQ(at, size());
    EXPECT_EQ(SeekTo(5, STREAM_SEEK_SET), S_OK);
    EXPECT_EQ(SeekTo(3, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at, 8u);
    EXPECT_EQ(SeekTo(-8, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at, 0u);

    // Failures report S_FALSE and keep the position.
    ASSERT_EQ(SeekTo(7, STREAM_SEEK_SET), S_OK);
    for (auto [offset, origin] : {std::pair<LONGLONG, DWORD>{-1, STREAM_SEEK_SET},
                                  {static_cast<LONGLONG>(size()) + 1, STREAM_SEEK_SET},
                                  {-8, STREAM_SEEK_CUR},
                                  {static_cast<LONGLONG>(size()) - 6, STREAM_SEEK_CUR},
                                  {LLONG_MAX, STREAM_SEEK_CUR},
                                  {LLONG_MIN, STREAM_SEEK_CUR},
                                  {-1, STREAM_SEEK_END},
                                  {1, STREAM_SEEK_END}}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(SeekTo(offset, origin, &at), S_FALSE);
        EXPECT_EQ(at, 7u);
        EXPECT_EQ(Position(), 7u);
    }
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at, size());
    EXPECT_EQ(SeekTo(0, 3), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(Position(), size());
}

TEST_F(ResourceStreamTest, StatReportsSizeTypeAndOneFixedTime)
{
    Open();
    STATSTG first;
    std::memset(&first, 0xCC, sizeof(first));
    ASSERT_EQ(stream_->Stat(&first, STATFLAG_DEFAULT), S_OK);
    ASSERT_NE(first.pwcsName, nullptr);
    EXPECT_EQ(first.pwcsName[0], L'\0');
    CoTaskMemFree(first.pwcsName);
    EXPECT_EQ(first.type, static_cast<DWORD>(STGTY_STREAM));
    EXPECT_EQ(first.cbSize.QuadPart, size());
    EXPECT_EQ(first.grfMode, 0u);
    EXPECT_EQ(first.clsid, CLSID_NULL);
    EXPECT_EQ(CompareFileTime(&first.mtime, &first.ctime), 0);
    EXPECT_EQ(CompareFileTime(&first.mtime, &first.atime), 0);

    // Another stream, later, reports the same time.
    Sleep(20);
    auto* other = new ResourceStream();
    other->AddRef();
    STATSTG second;
    ASSERT_EQ(other->Stat(&second, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(second.pwcsName, nullptr);
    EXPECT_EQ(second.cbSize.QuadPart, 0u);
    EXPECT_EQ(CompareFileTime(&first.mtime, &second.mtime), 0);
    EXPECT_EQ(other->Release(), 0u);

    EXPECT_EQ(stream_->Stat(&second, STATFLAG_NOOPEN), STG_E_INVALIDFLAG);
    EXPECT_EQ(stream_->Stat(nullptr, STATFLAG_NONAME), STG_E_INVALIDPOINTER);
}

TEST_F(ResourceStreamTest, WritingOperationsAreNotImplemented)
{
    Open();
    ULONG written = 7;
    ULARGE_INTEGER n{};
    EXPECT_EQ(stream_->Write("x", 1, &written), E_NOTIMPL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream_->SetSize(n), E_NOTIMPL);
    EXPECT_EQ(stream_->CopyTo(nullptr, n, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(stream_->Commit(0), E_NOTIMPL);
    EXPECT_EQ(stream_->Revert(), E_NOTIMPL);
    EXPECT_EQ(stream_->LockRegion(n, n, 0), E_NOTIMPL);
    EXPECT_EQ(stream_->UnlockRegion(n, n, 0), E_NOTIMPL);
    IStream* clone = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(stream_->Clone(&clone), E_NOTIMPL);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(Position(), 0u);
}

TEST(ResourceStreamLifetime, StreamNobodyReferencedIsDeletedByRelease)
{
    auto* stream = new ResourceStream();
    EXPECT_EQ(stream->Release(), 0u);
}

}  // namespace
