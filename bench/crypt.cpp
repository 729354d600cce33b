// RC5 with 16 rounds beside libtomcrypt's RC5 at 16 rounds, both in
// cipher-block chaining over the same buffers (4 KB and 1 MB), and the fast
// home-made cipher for scale. libtomcrypt is loaded at run time
// (libtomcrypt.so.1); without it the peer's benchmarks say so and are
// skipped. The time ratio is printed at the end.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "rapport.h"
#include "codec/crypt.h"

namespace {

using PFN_Setup = int (*)(const unsigned char*, int, int, void*);
using PFN_Bloc = int (*)(const unsigned char*, unsigned char*, const void*);

struct STTomcrypt {
    void* h = dlopen("libtomcrypt.so.1", RTLD_NOW | RTLD_LOCAL);
    PFN_Setup pfnSetup = h != nullptr ? reinterpret_cast<PFN_Setup>(dlsym(h, "rc5_setup")) : nullptr;
    PFN_Bloc pfnCrypte = h != nullptr ? reinterpret_cast<PFN_Bloc>(dlsym(h, "rc5_ecb_encrypt")) : nullptr;
    bool bPret() const { return pfnSetup != nullptr && pfnCrypte != nullptr; }
};

const STTomcrypt& Tomcrypt() {
    static const STTomcrypt s_st;
    return s_st;
}

std::vector<uint8_t> Donnees(size_t n) {
    std::vector<uint8_t> ab(n);
    uint32_t x = 3;
    for (auto& c : ab) c = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 16);
    return ab;
}

const unsigned char k_abyCle[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

void BM_Rc5_16_Nous(benchmark::State& st) {
    std::vector<uint8_t> ab = Donnees(static_cast<size_t>(st.range(0)));
    CCryptRC5 cl(16);
    cl.bSetCryptKey(&k_abyCle);
    for (auto _ : st) {
        cl.Crypt(ab.data(), static_cast<unsigned>(ab.size()));
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}

void BM_Rc5_16_Tomcrypt(benchmark::State& st) {
    if (!Tomcrypt().bPret()) {
        st.SkipWithError("libtomcrypt.so.1 is not installed: peer skipped");
        return;
    }
    std::vector<uint8_t> ab = Donnees(static_cast<size_t>(st.range(0)));
    // Room for the library's key union, whatever its size.
    alignas(64) static unsigned char s_abyCle[1 << 16];
    Tomcrypt().pfnSetup(k_abyCle, 16, 16, s_abyCle);
    for (auto _ : st) {
        uint8_t abyPrec[8] = {};
        for (size_t i = 0; i + 8 <= ab.size(); i += 8) {
            for (int k = 0; k < 8; ++k) ab[i + k] ^= abyPrec[k];
            Tomcrypt().pfnCrypte(ab.data() + i, ab.data() + i, s_abyCle);
            std::memcpy(abyPrec, ab.data() + i, 8);
        }
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}

void BM_Rapide_Nous(benchmark::State& st) {
    std::vector<uint8_t> ab = Donnees(static_cast<size_t>(st.range(0)));
    CCryptHomeMade cl;
    cl.bSetPassword("mot de passe");
    for (auto _ : st) {
        cl.Crypt(ab.data(), static_cast<unsigned>(ab.size()));
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}


}  // namespace

BENCHMARK(BM_Rc5_16_Nous)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_Rc5_16_Tomcrypt)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_Rapide_Nous)->Arg(4096)->Arg(1 << 20);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRapportRatios clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    std::printf("\nRatios, ours / libtomcrypt (processor time; below 1.0 is faster):\n");
    for (const char* psz : {"4096", "1048576"}) {
        std::printf("  RC5-16 on %s bytes: %.2f\n", psz,
                    clRapport.rRatio(std::string("BM_Rc5_16_Nous/") + psz, std::string("BM_Rc5_16_Tomcrypt/") + psz));
    }
    benchmark::Shutdown();
    return 0;
}
