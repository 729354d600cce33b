// The general compressor (type 4) beside zlib levels 1 and 6 on the same
// data: 20 MB of text (words of a generated vocabulary drawn with the skewed
// frequencies of real prose, punctuation and lines) and 20 MB of binary
// records (counters, flags, names, amounts). Compressed sizes are reported
// as counters, and the time and size ratios of ours to zlib's are printed
// at the end of the run.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "rapport.h"
#include "codec/compress.h"

namespace {

using Octets = std::vector<uint8_t>;
constexpr size_t TAILLE_CORPUS = 20u << 20;

uint32_t Suivant(uint32_t& x) {
    x = x * 1103515245u + 12345u;
    return x >> 8;
}

Octets Texte() {
    uint32_t x = 7;
    // A vocabulary of 4000 words of 1 to 10 letters.
    std::vector<std::string> tabMots;
    const char* pszLettres = "eeeeaaaiiinnnoorrssttlluudcmpvgbfhqjxyzkw";
    const size_t nLettres = std::char_traits<char>::length(pszLettres);
    for (int i = 0; i < 4000; ++i) {
        std::string s;
        const int n = 1 + static_cast<int>(Suivant(x) % 4 + Suivant(x) % 4 + Suivant(x) % 3);
        for (int k = 0; k < n; ++k) s += pszLettres[Suivant(x) % nLettres];
        tabMots.push_back(s);
    }
    std::string s;
    s.reserve(TAILLE_CORPUS + 64);
    bool bMajuscule = true;
    int nLigne = 0;
    while (s.size() < TAILLE_CORPUS) {
        // Skewed ranks: small ones far more often.
        const double r = (Suivant(x) % 1000000) / 1000000.0;
        size_t nRang = static_cast<size_t>(std::pow(4000.0, r * r)) - 1;
        std::string sMot = tabMots[nRang % tabMots.size()];
        if (bMajuscule) sMot[0] = static_cast<char>(sMot[0] - 'a' + 'A');
        s += sMot;
        nLigne += static_cast<int>(sMot.size()) + 1;
        bMajuscule = false;
        const uint32_t nPonct = Suivant(x) % 100;
        if (nPonct < 6) {
            s += ". ";
            bMajuscule = true;
        } else if (nPonct < 12) {
            s += ", ";
        } else {
            s += ' ';
        }
        if (nLigne > 70) {
            s += "\r\n";
            nLigne = 0;
        }
    }
    s.resize(TAILLE_CORPUS);
    return Octets(s.begin(), s.end());
}

Octets Enregistrements() {
    static const char* k_tabNoms[] = {"Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit",
                                      "Durand", "Leroy",  "Moreau",  "Simon",  "Laurent", "Lefebvre", "Michel"};
    Octets ab;
    ab.reserve(TAILLE_CORPUS + 64);
    uint32_t x = 11;
    for (uint32_t i = 0; ab.size() < TAILLE_CORPUS; i++) {
        uint8_t aby[40] = {};
        auto mot = [&](int nPos, uint32_t dw) {
            for (int k = 0; k < 4; ++k) aby[nPos + k] = static_cast<uint8_t>(dw >> (8 * k));
        };
        mot(0, i);                                   // record number
        mot(4, 20240101 + Suivant(x) % 1000);        // a date
        mot(8, Suivant(x) % 100000);                 // an amount in cents
        aby[12] = static_cast<uint8_t>(Suivant(x) % 4);   // flags
        const char* pszNom = k_tabNoms[Suivant(x) % 14];
        for (int k = 0; pszNom[k] != 0 && k < 15; ++k) aby[16 + k] = static_cast<uint8_t>(pszNom[k]);
        mot(32, Suivant(x));                         // noise
        mot(36, i / 16);                             // a group
        ab.insert(ab.end(), aby, aby + sizeof aby);
    }
    ab.resize(TAILLE_CORPUS);
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

Octets CompresseZlib(const Octets& ab, int nNiveau) {
    Octets abBloc(compressBound(static_cast<uLong>(ab.size())));
    uLongf dw = static_cast<uLongf>(abBloc.size());
    compress2(abBloc.data(), &dw, ab.data(), static_cast<uLong>(ab.size()), nNiveau);
    abBloc.resize(dw);
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
    const int nNiveau = static_cast<int>(st.range(1));
    Octets abBloc(compressBound(static_cast<uLong>(ab.size())));
    uLongf dw = 0;
    for (auto _ : st) {
        dw = static_cast<uLongf>(abBloc.size());
        int n = compress2(abBloc.data(), &dw, ab.data(), static_cast<uLong>(ab.size()), nNiveau);
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
    uint32_t dw = 0;
    for (auto _ : st) {
        cl.ChangeSource(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
        cl.ChangeDestination(abSortie.data(), static_cast<uint32_t>(abSortie.size()));
        dw = cl.dwDecompression(4);
        benchmark::DoNotOptimize(dw);
    }
    if (dw != ab.size() || abSortie != ab) st.SkipWithError("the decompressed bytes differ from the source");
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(ab.size()));
}

void BM_Decompresse_Zlib(benchmark::State& st) {
    const Octets& ab = Donnees(static_cast<int>(st.range(0)));
    const Octets abBloc = CompresseZlib(ab, static_cast<int>(st.range(1)));
    Octets abSortie(ab.size());
    for (auto _ : st) {
        uLongf dw = static_cast<uLongf>(abSortie.size());
        int n = uncompress(abSortie.data(), &dw, abBloc.data(), static_cast<uLong>(abBloc.size()));
        benchmark::DoNotOptimize(n);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(ab.size()));
}

// Keeps each run's time so that the ratios can be printed at the end.

}  // namespace

// First argument 0: text; 1: binary records. Second: zlib's level.
BENCHMARK(BM_Compresse_Nous)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compresse_Zlib)->Args({0, 1})->Args({0, 6})->Args({1, 1})->Args({1, 6})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decompresse_Nous)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decompresse_Zlib)->Args({0, 1})->Args({0, 6})->Args({1, 1})->Args({1, 6})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRapportRatios clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    auto temps = [&](const std::string& s) { return clRapport.rTemps(s); };
    auto taille = [&](const std::string& s) { return clRapport.rTaille(s); };
    const char* k_tabCorpus[] = {"text", "binary"};
    std::printf("\nRatios, ours / zlib (processor time; below 1.0 is faster):\n");
    for (int c = 0; c < 2; ++c) {
        const std::string sC = std::to_string(c);
        for (int nNiveau : {1, 6}) {
            const std::string sZ = sC + "/" + std::to_string(nNiveau);
            std::printf("  %-6s level %d: compression %.2f, decompression %.2f, size %.2f\n", k_tabCorpus[c], nNiveau,
                        temps("BM_Compresse_Nous/" + sC) / temps("BM_Compresse_Zlib/" + sZ),
                        temps("BM_Decompresse_Nous/" + sC) / temps("BM_Decompresse_Zlib/" + sZ),
                        taille("BM_Compresse_Nous/" + sC) / taille("BM_Compresse_Zlib/" + sZ));
        }
        std::printf("  %-6s sizes: ours %.0f, zlib 1 %.0f, zlib 6 %.0f (source %zu)\n", k_tabCorpus[c],
                    taille("BM_Compresse_Nous/" + sC), taille("BM_Compresse_Zlib/" + sC + "/1"),
                    taille("BM_Compresse_Zlib/" + sC + "/6"), TAILLE_CORPUS);
    }
    benchmark::Shutdown();
    return 0;
}
