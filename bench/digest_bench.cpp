// File digests and Base64 throughput. DigestFile (through the platform seam,
// over the in-memory file system of the portable backend) runs beside
// OpenSSL's MD5 through EVP on the same 256 MiB of bytes, fed in the same
// 32768-byte blocks. Before timing, our MD5 is checked against OpenSSL on
// random messages of random lengths and on the whole file.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/crypto/Base64.h"
#include "core/crypto/Md5.h"
#include "core/platform/FileIO.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/FileDigest.h"

namespace {

constexpr size_t kFileBytes = size_t(256) << 20;
constexpr size_t kBlock = 32768;
constexpr wchar_t kFilePath[] = L"C:\\bench.bin";

std::string RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937_64 rng(seed);
    std::string bytes(size, '\0');
    for (size_t i = 0; i + 8 <= size; i += 8) {
        const uint64_t v = rng();
        std::memcpy(&bytes[i], &v, 8);
    }
    for (size_t i = size & ~size_t(7); i < size; ++i) {
        bytes[i] = char(rng());
    }
    return bytes;
}

Crypto::Md5::Digest OpenSslMd5(const void* data, size_t size)
{
    Crypto::Md5::Digest digest{};
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    unsigned length = 0;
    const auto* p = static_cast<const uint8_t*>(data);
    bool ok = EVP_DigestInit_ex(ctx, EVP_md5(), nullptr) == 1;
    for (size_t done = 0; ok && done < size; done += kBlock) {
        ok = EVP_DigestUpdate(ctx, p + done, size - done < kBlock ? size - done : kBlock) == 1;
    }
    ok = ok && EVP_DigestFinal_ex(ctx, digest.data(), &length) == 1 && length == 16;
    EVP_MD_CTX_free(ctx);
    if (!ok) {
        std::fprintf(stderr, "OpenSSL MD5 failed\n");
        std::abort();
    }
    return digest;
}

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// The 256 MiB file, written once into a portable platform that stays
// installed for the whole run, and checked against OpenSSL.
struct DigestFixture {
    Platform::Portable::PortablePlatform platform;
    std::string bytes = RandomBytes(kFileBytes, 1);

    DigestFixture()
    {
        Platform::Install(&platform);
        std::mt19937 rng(7);
        for (int i = 0; i < 200; ++i) {
            const size_t size = rng() % 5000;
            const size_t offset = rng() % (kFileBytes - size);
            Require(Crypto::Md5::Of(bytes.data() + offset, size) == OpenSslMd5(bytes.data() + offset, size),
                    "MD5 of a random message equals OpenSSL's");
        }
        Require(Platform::WriteWholeFile(kFilePath, bytes) == 0, "writing the benchmark file");
        Crypto::Md5::Digest digest{};
        Require(Sys::DigestFile(kFilePath, &digest, nullptr) == 0, "DigestFile succeeds");
        Require(digest == OpenSslMd5(bytes.data(), bytes.size()), "DigestFile equals OpenSSL's MD5");
    }
};

DigestFixture& Fixture()
{
    static DigestFixture fixture;
    return fixture;
}

void BM_DigestFile(benchmark::State& state)
{
    Fixture();
    for (auto _ : state) {
        Crypto::Md5::Digest digest{};
        if (Sys::DigestFile(kFilePath, &digest, nullptr) != 0) {
            state.SkipWithError("DigestFile failed");
            break;
        }
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileBytes));
}
BENCHMARK(BM_DigestFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OpenSslMd5Evp(benchmark::State& state)
{
    const std::string& bytes = Fixture().bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenSslMd5(bytes.data(), bytes.size()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileBytes));
}
BENCHMARK(BM_OpenSslMd5Evp)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Our MD5 alone on the same bytes, without the platform seam.
void BM_Md5InMemory(benchmark::State& state)
{
    const std::string& bytes = Fixture().bytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crypto::Md5::Of(bytes.data(), bytes.size()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFileBytes));
}
BENCHMARK(BM_Md5InMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

constexpr size_t kBase64Bytes = size_t(4) << 20;

void BM_Base64Encode(benchmark::State& state)
{
    const std::string bytes = RandomBytes(kBase64Bytes, 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crypto::EncodeBase64(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBase64Bytes));
}
BENCHMARK(BM_Base64Encode)->Unit(benchmark::kMillisecond);

// Throughput counts the decoded bytes.
void BM_Base64Decode(benchmark::State& state)
{
    const std::string bytes = RandomBytes(kBase64Bytes, 3);
    const std::wstring text = Crypto::EncodeBase64(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    Require(Crypto::DecodeBase64(text).size() == kBase64Bytes, "Base64 round trip");
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crypto::DecodeBase64(text));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBase64Bytes));
}
BENCHMARK(BM_Base64Decode)->Unit(benchmark::kMillisecond);

}  // namespace
