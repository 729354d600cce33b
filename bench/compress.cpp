// The general compressor (type 4) beside zlib's compress/uncompress on the
// same data: about 1 MB of repetitive text and 1 MB of mixed records. The
// compressed sizes are reported as counters so that ratios can be quoted.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "codec/compress.h"

namespace {

using Octets = std::vector<uint8_t>;

Octets Texte() {
    static const char* k_tab[] = {"le ", "chat ", "mange ", "la ", "souris, ", "Le CHIEN dort. ", "42 fois! ", "#tag "};
    std::string s;
    uint32_t x = 7;
    while (s.size() < (1u << 20)) {
        x = x * 1103515245u + 12345u;
        s += k_tab[(x >> 16) % 8];
    }
    return Octets(s.begin(), s.end());
}

Octets Enregistrements() {
    Octets ab;
    uint32_t x = 11;
    for (uint32_t i = 0; ab.size() < (1u << 20); i++) {
        x = x * 1103515245u + 12345u;
        const uint8_t aby[] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 0, 0,
                               static_cast<uint8_t>(x >> 24), 'n', 'o', 'm', static_cast<uint8_t>('0' + i % 10), 0};
        ab.insert(ab.end(), aby, aby + sizeof aby);
    }
    return ab;
}

const Octets& Donnees(int n) {
    static const Octets abTexte = Texte();
    static const Octets abEnreg = Enregistrements();
    return n == 0 ? abTexte : abEnreg;
}

Octets CompresseNous(const Octets& ab) {
    CCompresseur cl(4);
    Octets abSource = ab;
    cl.ChangeSource(abSource.data(), static_cast<uint32_t>(abSource.size()));
    Octets abBloc(cl.dwTailleMinCompression());
    cl.ChangeDestination(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
    abBloc.resize(cl.dwCompression());
    return abBloc;
}

void BM_Compresse_Nous(benchmark::State& st) {
    const Octets& ab = Donnees(static_cast<int>(st.range(0)));
    CCompresseur cl(4);
    Octets abSource = ab;
    Octets abBloc(cl.dwTailleBufferCompression(static_cast<uint32_t>(ab.size())));
    uint32_t dw = 0;
    for (auto _ : st) {
        cl.ChangeSource(abSource.data(), static_cast<uint32_t>(abSource.size()));
        cl.ChangeDestination(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
        dw = cl.dwCompression();
        benchmark::DoNotOptimize(dw);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(ab.size()));
    st.counters["taille"] = dw;
}

void BM_Compresse_Zlib(benchmark::State& st) {
    const Octets& ab = Donnees(static_cast<int>(st.range(0)));
    Octets abBloc(compressBound(static_cast<uLong>(ab.size())));
    uLongf dw = 0;
    for (auto _ : st) {
        dw = static_cast<uLongf>(abBloc.size());
        int n = compress(abBloc.data(), &dw, ab.data(), static_cast<uLong>(ab.size()));
        benchmark::DoNotOptimize(n);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(ab.size()));
    st.counters["taille"] = static_cast<double>(dw);
}

void BM_Decompresse_Nous(benchmark::State& st) {
    const Octets& ab = Donnees(static_cast<int>(st.range(0)));
    Octets abBloc = CompresseNous(ab);
    Octets abSortie(ab.size());
    CCompresseur cl(4);
    for (auto _ : st) {
        cl.ChangeSource(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
        cl.ChangeDestination(abSortie.data(), static_cast<uint32_t>(abSortie.size()));
        uint32_t dw = cl.dwDecompression(4);
        benchmark::DoNotOptimize(dw);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(ab.size()));
}

void BM_Decompresse_Zlib(benchmark::State& st) {
    const Octets& ab = Donnees(static_cast<int>(st.range(0)));
    Octets abBloc(compressBound(static_cast<uLong>(ab.size())));
    uLongf dwBloc = static_cast<uLongf>(abBloc.size());
    compress(abBloc.data(), &dwBloc, ab.data(), static_cast<uLong>(ab.size()));
    Octets abSortie(ab.size());
    for (auto _ : st) {
        uLongf dw = static_cast<uLongf>(abSortie.size());
        int n = uncompress(abSortie.data(), &dw, abBloc.data(), dwBloc);
        benchmark::DoNotOptimize(n);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(ab.size()));
}

}  // namespace

// Argument 0: repetitive text; 1: mixed binary records.
BENCHMARK(BM_Compresse_Nous)->Arg(0)->Arg(1);
BENCHMARK(BM_Compresse_Zlib)->Arg(0)->Arg(1);
BENCHMARK(BM_Decompresse_Nous)->Arg(0)->Arg(1);
BENCHMARK(BM_Decompresse_Zlib)->Arg(0)->Arg(1);

BENCHMARK_MAIN();
