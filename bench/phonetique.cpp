// Phonetic keys over a French word list (Debian's wfrench,
// /usr/share/dict/french): the language function Phonétique, its key
// engine alone, and the accent-folding upper case over the same words as
// the floor, since every key starts with it. Each reports its time per word.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/znlibrary.h"
#include "misc/functions.h"
#include "misc/phonetique.h"

namespace {

constexpr const char* LISTE = "/usr/share/dict/french";

// The words in Latin-1; those with characters beyond it are left out.
std::vector<std::string> LitMots() {
    std::vector<std::string> tab;
    std::ifstream f(LISTE);
    std::string sLigne;
    while (std::getline(f, sLigne)) {
        std::string s;
        bool bLatin1 = true;
        for (size_t i = 0; i < sLigne.size() && bLatin1; ++i) {
            const auto c = static_cast<unsigned char>(sLigne[i]);
            if (c < 0x80) {
                s += static_cast<char>(c);
            } else if ((c & 0xFE) == 0xC2 && i + 1 < sLigne.size()) {
                s += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(sLigne[++i]) & 0x3F));
            } else {
                bLatin1 = false;
            }
        }
        if (bLatin1 && !s.empty()) tab.push_back(s);
    }
    return tab;
}

const std::vector<std::string>& Mots() {
    static const std::vector<std::string> tab = LitMots();
    return tab;
}

void ParMot(benchmark::State& state) {
    const auto n = static_cast<double>(Mots().size());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Mots().size()));
    // Seconds per word (shown with its SI prefix: 120n is 120 ns).
    state.counters["per_word"] = benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

void BM_Phonetique(benchmark::State& state) {
    CZNLibrary lib;
    for (auto _ : state)
        for (const std::string& s : Mots()) {
            CZNDSTR sCle = misc::Phonetique(lib, s.c_str());
            benchmark::DoNotOptimize(sCle.pGetMemoire());
        }
    ParMot(state);
}
BENCHMARK(BM_Phonetique)->Unit(benchmark::kMillisecond);

void BM_fonetik(benchmark::State& state) {
    char szCle[512];
    for (auto _ : state)
        for (const std::string& s : Mots()) {
            if (s.size() < sizeof szCle) fonetik(s.c_str(), szCle, sizeof szCle, nullptr);
            benchmark::DoNotOptimize(szCle[0]);
        }
    ParMot(state);
}
BENCHMARK(BM_fonetik)->Unit(benchmark::kMillisecond);

void BM_ANSI_ToUpper(benchmark::State& state) {
    char szMot[512];
    for (auto _ : state)
        for (const std::string& s : Mots()) {
            if (s.size() >= sizeof szMot) continue;
            s.copy(szMot, s.size());
            szMot[s.size()] = 0;
            ANSI_ToUpper(szMot);
            benchmark::DoNotOptimize(szMot[0]);
        }
    ParMot(state);
}
BENCHMARK(BM_ANSI_ToUpper)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (Mots().empty()) {
        std::printf("phonetique: no French word list at %s (Debian package wfrench); benchmark skipped\n", LISTE);
        return 0;
    }
    std::printf("phonetique: %zu words from %s\n", Mots().size(), LISTE);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
