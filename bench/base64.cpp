// Base64 (padded form, one line) beside OpenSSL's EVP_EncodeBlock and
// EVP_DecodeBlock on the same random bytes (4 KB and 1 MB). OpenSSL is
// loaded at run time (libcrypto.so.3); without it the peer's benchmarks say
// so and are skipped. The time ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "rapport.h"
#include "codec/encode.h"

namespace {

using PFN_Bloc = int (*)(unsigned char*, const unsigned char*, int);

struct STOpenssl {
    void* h = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
    PFN_Bloc pfnEncode = h != nullptr ? reinterpret_cast<PFN_Bloc>(dlsym(h, "EVP_EncodeBlock")) : nullptr;
    PFN_Bloc pfnDecode = h != nullptr ? reinterpret_cast<PFN_Bloc>(dlsym(h, "EVP_DecodeBlock")) : nullptr;
    bool bPret() const { return pfnEncode != nullptr && pfnDecode != nullptr; }
};

const STOpenssl& Openssl() {
    static const STOpenssl s_st;
    return s_st;
}

std::vector<uint8_t> Donnees(size_t n) {
    std::vector<uint8_t> ab(n);
    uint32_t x = 9;
    for (auto& c : ab) c = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 16);
    return ab;
}

std::string Texte(size_t n) {
    const std::vector<uint8_t> ab = Donnees(n);
    CEncodeBase64 cl;
    std::string s(cl.nEncode(ab.data(), ab.size(), 0, nullptr) + 1, '\0');
    s.resize(cl.nEncode(ab.data(), ab.size(), 0, s.data()));
    return s;
}

void BM_Encode_Nous(benchmark::State& st) {
    const std::vector<uint8_t> ab = Donnees(static_cast<size_t>(st.range(0)));
    CEncodeBase64 cl;
    std::string s(cl.nEncode(ab.data(), ab.size(), 0, nullptr) + 1, '\0');
    for (auto _ : st) benchmark::DoNotOptimize(cl.nEncode(ab.data(), ab.size(), 0, s.data()));
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}

void BM_Encode_Openssl(benchmark::State& st) {
    if (!Openssl().bPret()) {
        st.SkipWithError("libcrypto.so.3 is not installed: peer skipped");
        return;
    }
    const std::vector<uint8_t> ab = Donnees(static_cast<size_t>(st.range(0)));
    std::string s(ab.size() / 3 * 4 + 8, '\0');
    for (auto _ : st)
        benchmark::DoNotOptimize(Openssl().pfnEncode(reinterpret_cast<unsigned char*>(s.data()), ab.data(),
                                                     static_cast<int>(ab.size())));
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}

void BM_Decode_Nous(benchmark::State& st) {
    const std::string s = Texte(static_cast<size_t>(st.range(0)));
    CEncodeBase64 cl;
    std::vector<uint8_t> ab(cl.nDecode(s.data(), s.size(), nullptr));
    for (auto _ : st) benchmark::DoNotOptimize(cl.nDecode(s.data(), s.size(), ab.data()));
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}

void BM_Decode_Openssl(benchmark::State& st) {
    if (!Openssl().bPret()) {
        st.SkipWithError("libcrypto.so.3 is not installed: peer skipped");
        return;
    }
    const std::string s = Texte(static_cast<size_t>(st.range(0)));
    std::vector<uint8_t> ab(s.size());
    for (auto _ : st)
        benchmark::DoNotOptimize(Openssl().pfnDecode(ab.data(), reinterpret_cast<const unsigned char*>(s.data()),
                                                     static_cast<int>(s.size())));
    st.SetBytesProcessed(int64_t(st.iterations()) * st.range(0));
}


}  // namespace

BENCHMARK(BM_Encode_Nous)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_Encode_Openssl)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_Decode_Nous)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_Decode_Openssl)->Arg(4096)->Arg(1 << 20);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRapportRatios clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    std::printf("\nRatios, ours / OpenSSL (processor time; below 1.0 is faster):\n");
    for (const char* pszOp : {"Encode", "Decode"})
        for (const char* psz : {"4096", "1048576"}) {
            std::printf("  %s %s bytes: %.2f\n", pszOp, psz,
                        clRapport.rRatio(std::string("BM_") + pszOp + "_Nous/" + psz,
                                         std::string("BM_") + pszOp + "_Openssl/" + psz));
        }
    benchmark::Shutdown();
    return 0;
}
