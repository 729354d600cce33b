// Number formatting and currency arithmetic beside their plain C and
// compiler counterparts, in one run: one million reals written with
// "%.2f"-like formats by NumériqueVersChaîne (the language function on a
// variant, and its formatting engine alone) and by snprintf; one million
// currency products and quotients beside the same operations on __int128.
// The time ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/any.h"
#include "numeric/functions.h"
#include "numeric/money.h"
#include "numeric/numfmt.h"
#include "runtime/znlibrary.h"

namespace {

constexpr size_t NB_VALEURS = 1000000;

uint64_t Suivant(uint64_t& x) {
    x = x * 6364136223846793005ULL + 1442695040888963407ULL;
    return x >> 11;
}

// Amounts as programs hold them: cents to millions, either sign.
const std::vector<double>& Reels() {
    static const std::vector<double> s_tab = [] {
        std::vector<double> tab;
        tab.reserve(NB_VALEURS);
        uint64_t x = 42;
        for (size_t i = 0; i < NB_VALEURS; ++i) {
            const double rMantisse = double(Suivant(x) % 100000000) / 100.0;
            const double rEchelle = std::pow(10.0, double(Suivant(x) % 5) - 2);
            tab.push_back((Suivant(x) & 1 ? -1 : 1) * rMantisse * rEchelle);
        }
        return tab;
    }();
    return s_tab;
}

// The formats, in the language's form and in the C library's.
const char* const k_tabFormats[] = {".2f", "10.2f", "-12.2f", "+.2f"};
const char* const k_tabFormatsC[] = {"%.2f", "%10.2f", "%-12.2f", "%+.2f"};

void BM_Reels_NumeriqueVersChaine(benchmark::State& st) {
    const std::vector<double>& tab = Reels();
    CZNLibrary lib;
    CAny cl;
    for (auto _ : st) {
        for (size_t i = 0; i < tab.size(); ++i) {
            cl.nAffecteParHolder(ANY_R8, &tab[i]);
            CZNDSTR s = numeric::NumeriqueVersChaine(lib, cl, k_tabFormats[i & 3]);
            benchmark::DoNotOptimize(s.pszGet());
        }
    }
}

void BM_Reels_Moteur(benchmark::State& st) {
    const std::vector<double>& tab = Reels();
    std::string s;
    for (auto _ : st) {
        for (size_t i = 0; i < tab.size(); ++i) {
            NUM_eFormate(STValeurNum{12, tab[i], 0}, k_tabFormats[i & 3], s);
            benchmark::DoNotOptimize(s.data());
        }
    }
}

void BM_Reels_snprintf(benchmark::State& st) {
    const std::vector<double>& tab = Reels();
    char sz[64];
    for (auto _ : st) {
        for (size_t i = 0; i < tab.size(); ++i) {
            int n = std::snprintf(sz, sizeof sz, k_tabFormatsC[i & 3], tab[i]);
            benchmark::DoNotOptimize(n);
            benchmark::DoNotOptimize(sz);
        }
    }
}

// A count of millionths as a currency value.
CMoney Millioniemes(int64_t ll) {
    CMoney cl;
    const uint64_t u = uint64_t(ll);
    for (int k = 0; k < 4; ++k) cl.m_aw[k] = uint16_t(u >> (16 * k));
    cl.m_aw[4] = ll < 0 ? 0xFFFF : 0;
    return cl;
}

// Pairs of amounts (in millionths) whose products and quotients fit.
struct STPaires {
    std::vector<CMoney> a, b;
    std::vector<__int128> a128, b128;
};

const STPaires& Paires() {
    static const STPaires s_st = [] {
        STPaires st;
        uint64_t x = 7;
        for (size_t i = 0; i < NB_VALEURS; ++i) {
            // Up to a billion units with six decimals, and rates or
            // quantities up to ten thousand.
            const int64_t a = int64_t(Suivant(x) % 1000000000000000ULL) * ((Suivant(x) & 1) ? -1 : 1);
            const int64_t b = int64_t(Suivant(x) % 10000000000ULL) + 1;
            const CMoney clA = Millioniemes(a), clB = Millioniemes(b);
            st.a.push_back(clA);
            st.b.push_back(clB);
            st.a128.push_back(a);
            st.b128.push_back(b);
        }
        return st;
    }();
    return s_st;
}

void BM_Monetaire_Mul(benchmark::State& st) {
    const STPaires& p = Paires();
    for (auto _ : st) {
        for (size_t i = 0; i < NB_VALEURS; ++i) {
            CMoney cl = p.a[i];
            benchmark::DoNotOptimize(pstMulMonetaire(&cl, &p.b[i]));
            benchmark::DoNotOptimize(cl);
        }
    }
}

void BM_Monetaire_Div(benchmark::State& st) {
    const STPaires& p = Paires();
    for (auto _ : st) {
        for (size_t i = 0; i < NB_VALEURS; ++i) {
            CMoney cl = p.a[i];
            benchmark::DoNotOptimize(pstDivMonetaire(&cl, &p.b[i]));
            benchmark::DoNotOptimize(cl);
        }
    }
}

void BM_Int128_Mul(benchmark::State& st) {
    const STPaires& p = Paires();
    for (auto _ : st) {
        for (size_t i = 0; i < NB_VALEURS; ++i) {
            __int128 v = p.a128[i] * p.b128[i] / 1000000;
            benchmark::DoNotOptimize(v);
        }
    }
}

void BM_Int128_Div(benchmark::State& st) {
    const STPaires& p = Paires();
    for (auto _ : st) {
        for (size_t i = 0; i < NB_VALEURS; ++i) {
            __int128 v = p.a128[i] * 1000000 / p.b128[i];
            benchmark::DoNotOptimize(v);
        }
    }
}

// Keeps each run's time so that the ratios can be printed at the end.
class CRapport : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> mapTemps;
    void ReportRuns(const std::vector<Run>& tabRuns) override {
        for (const Run& r : tabRuns) mapTemps[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(tabRuns);
    }
};

}  // namespace

BENCHMARK(BM_Reels_NumeriqueVersChaine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reels_Moteur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reels_snprintf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Monetaire_Mul)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Int128_Mul)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Monetaire_Div)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Int128_Div)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRapport clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    auto temps = [&](const char* psz) {
        auto it = clRapport.mapTemps.find(psz);
        return it != clRapport.mapTemps.end() ? it->second : NAN;
    };
    std::printf("\nRatios (processor time; below 1.0 is faster):\n");
    std::printf("  NumeriqueVersChaine / snprintf:        %.2f (goal at most 1.5)\n",
                temps("BM_Reels_NumeriqueVersChaine") / temps("BM_Reels_snprintf"));
    std::printf("  its formatting engine / snprintf:      %.2f\n", temps("BM_Reels_Moteur") / temps("BM_Reels_snprintf"));
    std::printf("  currency multiply / __int128:          %.2f (goal at most 2)\n",
                temps("BM_Monetaire_Mul") / temps("BM_Int128_Mul"));
    std::printf("  currency divide / __int128:            %.2f (goal at most 2)\n",
                temps("BM_Monetaire_Div") / temps("BM_Int128_Div"));
    benchmark::Shutdown();
    return 0;
}
