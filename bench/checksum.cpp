// CRC-32 and Adler-32 beside zlib's crc32 and adler32 on the same buffers
// (4 KB, 1 MB and 16 MB of random bytes). zlib is loaded at run time
// (libz.so.1); without it the peer's benchmarks say so and are skipped.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "codec/checksum.h"

namespace {

using PFN_Somme = unsigned long (*)(unsigned long, const unsigned char*, unsigned);

struct STZlib {
    void* h = dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
    PFN_Somme pfnCrc32 = h != nullptr ? reinterpret_cast<PFN_Somme>(dlsym(h, "crc32")) : nullptr;
    PFN_Somme pfnAdler32 = h != nullptr ? reinterpret_cast<PFN_Somme>(dlsym(h, "adler32")) : nullptr;
};

const STZlib& Zlib() {
    static const STZlib s_st;
    return s_st;
}

const std::vector<uint8_t>& Donnees() {
    static const std::vector<uint8_t> s_ab = [] {
        std::vector<uint8_t> ab(16u << 20);
        std::mt19937_64 g(42);
        for (size_t i = 0; i < ab.size(); i += 8) {
            const uint64_t q = g();
            std::memcpy(ab.data() + i, &q, 8);
        }
        return ab;
    }();
    return s_ab;
}

void BM_Crc32_Nous(benchmark::State& st) {
    const auto n = static_cast<size_t>(st.range(0));
    for (auto _ : st) benchmark::DoNotOptimize(CCrc2::nCalculeCRC32(Donnees().data(), n));
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(n));
}

void BM_Crc32_Zlib(benchmark::State& st) {
    if (Zlib().pfnCrc32 == nullptr) {
        st.SkipWithError("libz.so.1 is not installed: peer skipped");
        return;
    }
    const auto n = static_cast<unsigned>(st.range(0));
    for (auto _ : st) benchmark::DoNotOptimize(Zlib().pfnCrc32(0, Donnees().data(), n));
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(n));
}

void BM_Adler32_Nous(benchmark::State& st) {
    const auto n = static_cast<size_t>(st.range(0));
    for (auto _ : st) benchmark::DoNotOptimize(nAdler32(1, Donnees().data(), n));
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(n));
}

void BM_Adler32_Zlib(benchmark::State& st) {
    if (Zlib().pfnAdler32 == nullptr) {
        st.SkipWithError("libz.so.1 is not installed: peer skipped");
        return;
    }
    const auto n = static_cast<unsigned>(st.range(0));
    for (auto _ : st) benchmark::DoNotOptimize(Zlib().pfnAdler32(1, Donnees().data(), n));
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(n));
}

BENCHMARK(BM_Crc32_Nous)->Arg(4096)->Arg(1 << 20)->Arg(16 << 20);
BENCHMARK(BM_Crc32_Zlib)->Arg(4096)->Arg(1 << 20)->Arg(16 << 20);
BENCHMARK(BM_Adler32_Nous)->Arg(4096)->Arg(1 << 20)->Arg(16 << 20);
BENCHMARK(BM_Adler32_Zlib)->Arg(4096)->Arg(1 << 20)->Arg(16 << 20);

}  // namespace

BENCHMARK_MAIN();
