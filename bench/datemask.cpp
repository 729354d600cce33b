// One million date-times written through the mask "JJ/MM/AAAA HH:mm:SS",
// beside the C library writing the same instants with gmtime_r and strftime
// ("%d/%m/%Y %H:%M:%S"), in the same run.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "core/tstring.h"
#include "datetime/datetime.h"
#include "datetime/maskdate.h"

namespace {

constexpr size_t NOMBRE = 1000000;
constexpr int64_t SECONDES_1970_A_2100 = 4102444800LL;

// The same instants for both sides: seconds since 1970 and their date-time
// values (UTC, day and time of day).
struct STDonnees {
    std::vector<time_t> vSecondes;
    std::vector<CDateTime> vDates;
    std::vector<std::string> vStockage;   // "AAAAMMJJHHMMSSLLL"
};

const STDonnees& _Donnees() {
    static const STDonnees s_donnees = [] {
        STDonnees d;
        std::mt19937_64 gen(20240305);
        std::uniform_int_distribution<int64_t> secondes(0, SECONDES_1970_A_2100 - 1);
        d.vSecondes.reserve(NOMBRE);
        d.vDates.reserve(NOMBRE);
        d.vStockage.reserve(NOMBRE);
        for (size_t i = 0; i < NOMBRE; ++i) {
            const time_t t = time_t(secondes(gen));
            struct tm stTm;
            gmtime_r(&t, &stTm);
            CDateTime cl;
            cl.Set(stTm.tm_year + 1900, stTm.tm_mon + 1, stTm.tm_mday, stTm.tm_hour, stTm.tm_min, stTm.tm_sec, 0);
            d.vSecondes.push_back(t);
            d.vDates.push_back(cl);
            d.vStockage.push_back(cl.VersChaine().pszGet());
        }
        return d;
    }();
    return s_donnees;
}

// The peer: broken-down UTC time, then the C library's formatting.
void BM_GmtimeStrftime(benchmark::State& state) {
    const auto& d = _Donnees();
    char sz[64];
    size_t nTotal = 0;
    for (auto _ : state) {
        for (time_t t : d.vSecondes) {
            struct tm stTm;
            gmtime_r(&t, &stTm);
            nTotal += strftime(sz, sizeof sz, "%d/%m/%Y %H:%M:%S", &stTm);
        }
        benchmark::DoNotOptimize(nTotal);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(NOMBRE));
}
BENCHMARK(BM_GmtimeStrftime)->Unit(benchmark::kMillisecond);

// Ours from the date-time value: its fields, then the mask, into a text.
void BM_MasqueDepuisDateHeure(benchmark::State& state) {
    const auto& d = _Donnees();
    CMasqueDateHeure clMasque("JJ/MM/AAAA HH:mm:SS", 1, "AAAAMMJJHHmmSSCCC");
    CTString clResultat;
    size_t nTotal = 0;
    for (auto _ : state) {
        for (const CDateTime& cl : d.vDates) {
            STSystemTime st;
            cl.nVersSysteme(st);
            st.wDayOfWeek = MSQ_VIDE;
            clMasque.FormateDate(st, clResultat, 0);
            nTotal += size_t(clResultat.pszGet()[0]);
        }
        benchmark::DoNotOptimize(nTotal);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(NOMBRE));
}
BENCHMARK(BM_MasqueDepuisDateHeure)->Unit(benchmark::kMillisecond);

// Ours from the storage text, as the language functions call it: read by
// the return format, day of week, then written by the mask.
void BM_MasqueDepuisTexte(benchmark::State& state) {
    const auto& d = _Donnees();
    CMasqueDateHeure clMasque("JJ/MM/AAAA HH:mm:SS", 1, "AAAAMMJJHHmmSSCCC");
    CTString clResultat;
    size_t nTotal = 0;
    for (auto _ : state) {
        for (const std::string& s : d.vStockage) {
            clMasque.FormateEx(s.c_str(), clResultat, 0);
            nTotal += size_t(clResultat.pszGet()[0]);
        }
        benchmark::DoNotOptimize(nTotal);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(NOMBRE));
}
BENCHMARK(BM_MasqueDepuisTexte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
