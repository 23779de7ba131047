// Deciphering throughput of our cipher stream beside OpenSSL's Blowfish
// (through EVP with the legacy provider) on the same bytes.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/crypto/Blowfish.h"
#include "core/crypto/CipherStream.h"

namespace {

constexpr size_t kBytes = 4 << 20;
constexpr std::string_view kKey = "MORNINGDEWS";

const std::string& Ciphertext()
{
    static const std::string data = [] {
        std::mt19937 rng(42);
        std::string s(kBytes, '\0');
        for (char& c : s) {
            c = static_cast<char>(rng());
        }
        return s;
    }();
    return data;
}

Crypto::blowfish Key()
{
    Crypto::blowfish bf;
    if (bf.SetKey(kKey) != 0) {
        std::abort();
    }
    return bf;
}

void BM_CipherStream(benchmark::State& state)
{
    const Crypto::blowfish key = Key();
    std::istringstream source(Ciphertext());
    std::vector<char> out(kBytes);
    const auto chunk = static_cast<std::streamsize>(state.range(0));
    for (auto _ : state) {
        source.clear();
        source.seekg(0);
        Crypto::icipherstream<Crypto::blowfish> plain(source, key);
        for (std::streamsize at = 0; at < static_cast<std::streamsize>(kBytes); at += chunk) {
            plain.read(out.data() + at, chunk);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes));
}
// Whole-buffer reads, and reads of one 256-byte header's size.
BENCHMARK(BM_CipherStream)->Arg(kBytes)->Arg(256);

void BM_BlowfishBlocks(benchmark::State& state)
{
    const Crypto::blowfish key = Key();
    std::vector<uint32_t> words(kBytes / 4);
    std::memcpy(words.data(), Ciphertext().data(), kBytes);
    for (auto _ : state) {
        for (size_t i = 0; i < words.size(); i += 2) {
            key.DecryptBlock(words[i], words[i + 1]);
        }
        benchmark::DoNotOptimize(words.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes));
}
BENCHMARK(BM_BlowfishBlocks);

void OpenSslDecipher(benchmark::State& state, const char* cipherName)
{
    static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* base = OSSL_PROVIDER_load(nullptr, "default");
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, cipherName, nullptr);
    if (legacy == nullptr || base == nullptr || cipher == nullptr) {
        state.SkipWithError("OpenSSL legacy provider or Blowfish not available");
        return;
    }
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    const unsigned char iv[8] = {};
    EVP_DecryptInit_ex2(ctx, cipher, nullptr, nullptr, nullptr);
    EVP_CIPHER_CTX_set_key_length(ctx, static_cast<int>(kKey.size()));
    EVP_DecryptInit_ex2(ctx, nullptr, reinterpret_cast<const unsigned char*>(kKey.data()), iv, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    const auto* in = reinterpret_cast<const unsigned char*>(Ciphertext().data());
    std::vector<unsigned char> out(kBytes + 16);
    for (auto _ : state) {
        int n = 0;
        EVP_DecryptUpdate(ctx, out.data(), &n, in, static_cast<int>(kBytes));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes));
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
}

void BM_OpenSslBlowfishEcb(benchmark::State& state)
{
    OpenSslDecipher(state, "BF-ECB");
}
BENCHMARK(BM_OpenSslBlowfishEcb);

void BM_OpenSslBlowfishCbc(benchmark::State& state)
{
    OpenSslDecipher(state, "BF-CBC");
}
BENCHMARK(BM_OpenSslBlowfishCbc);

}  // namespace
