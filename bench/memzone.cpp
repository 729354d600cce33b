// A memory zone beside std::multimap on the same one million text keys:
// adding every record, sorting (the multimap keeps its order as it goes)
// and searching every key once in another order. Memory in use after the
// adds is reported for both (heap bytes from the allocator's own count),
// and for the zone the bytes it spilled to its temporary file.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "memzone/memzone.h"

namespace {

constexpr int k_nEnregistrements = 1000000;

// Keys of 12 characters from a seeded generator, and the order in which
// they are searched.
struct STJeu {
    std::vector<std::string> tabCles;
    std::vector<uint32_t> tabOrdre;
    STJeu() {
        std::mt19937_64 g(20240611u);
        const char* const pszChiffres = "0123456789abcdefghijklmnopqrstuvwxyz";
        tabCles.reserve(k_nEnregistrements);
        for (int i = 0; i < k_nEnregistrements; ++i) {
            std::string s(12, ' ');
            uint64_t q = g();
            for (char& c : s) {
                c = pszChiffres[q % 36];
                q /= 36;
            }
            tabCles.push_back(s);
        }
        tabOrdre.resize(k_nEnregistrements);
        for (int i = 0; i < k_nEnregistrements; ++i) tabOrdre[i] = uint32_t(i);
        std::shuffle(tabOrdre.begin(), tabOrdre.end(), g);
    }
};

const STJeu& Jeu() {
    static const STJeu s_st;
    return s_st;
}

// Heap bytes in use, small blocks and mapped ones.
double rTas() {
    const struct mallinfo2 st = mallinfo2();
    return double(st.uordblks + st.hblkhd);
}

void BM_ZoneMemoire(benchmark::State& state) {
    const STJeu& stJeu = Jeu();
    MEM_InitModule();
    double rOctets = 0, rFichier = 0, rTrouves = 0;
    for (auto _ : state) {
        const double rAvant = rTas();
        bMemCree("BENCH");
        // Texts are stored with their terminating zero, as the language does.
        for (int i = 0; i < k_nEnregistrements; ++i) {
            const std::string& s = stJeu.tabCles[size_t(i)];
            const int32_t n = i;
            MEM_eAjoute("BENCH", STMemDonnee{MEMT_BINAIRE, s.c_str(), uint32_t(s.size() + 1)},
                        STMemDonnee{MEMT_ENTIER, &n, sizeof n});
        }
        state.PauseTiming();
        rOctets = rTas() - rAvant;
        STMemStatistiques st;
        MEM_bStatistiques("BENCH", &st);
        rFichier = double(st.nOctetsFichier);
        state.ResumeTiming();
        MEM_eTri("BENCH", 1);
        CMemLecture cl;
        int nTrouves = 0;
        for (uint32_t i : stJeu.tabOrdre) {
            const std::string& s = stJeu.tabCles[i];
            nTrouves += MEM_eRecherche("BENCH", STMemDonnee{MEMT_BINAIRE, s.c_str(), uint32_t(s.size() + 1)}, &cl) ==
                        MEMR_OK;
        }
        rTrouves = nTrouves;
        MEM_eSupprime("BENCH", -1);
    }
    MEM_FinModule();
    state.counters["octets_tas"] = rOctets;
    state.counters["octets_fichier"] = rFichier;
    state.counters["trouves"] = rTrouves;
}

void BM_Multimap(benchmark::State& state) {
    const STJeu& stJeu = Jeu();
    double rOctets = 0, rTrouves = 0;
    for (auto _ : state) {
        const double rAvant = rTas();
        auto* pMap = new std::multimap<std::string, int32_t>;
        for (int i = 0; i < k_nEnregistrements; ++i) pMap->emplace(stJeu.tabCles[size_t(i)], i);
        state.PauseTiming();
        rOctets = rTas() - rAvant;
        state.ResumeTiming();
        int nTrouves = 0;
        for (uint32_t i : stJeu.tabOrdre) {
            auto it = pMap->find(stJeu.tabCles[i]);
            nTrouves += it != pMap->end();
            benchmark::DoNotOptimize(it);
        }
        rTrouves = nTrouves;
        delete pMap;
    }
    state.counters["octets_tas"] = rOctets;
    state.counters["trouves"] = rTrouves;
}

}  // namespace

BENCHMARK(BM_ZoneMemoire)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Multimap)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
