// Date to day number and back, beside the standard library's calendar
// (year_month_day to sys_days and back), on the same dates.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "datetime/datetime.h"

namespace {

struct STDate {
    int nJour, nMois, nAnnee;
};

const std::vector<STDate>& _Dates() {
    static const std::vector<STDate> s_dates = [] {
        std::vector<STDate> v;
        std::mt19937 gen(12345);
        std::uniform_int_distribution<int> annee(1900, 2100), mois(1, 12), jour(1, 28);
        for (int i = 0; i < 4096; ++i) v.push_back({jour(gen), mois(gen), annee(gen)});
        return v;
    }();
    return s_dates;
}

void BM_DayNumberRoundTrip(benchmark::State& state) {
    const auto& dates = _Dates();
    int64_t nSomme = 0;
    for (auto _ : state) {
        for (const STDate& d : dates) {
            int32_t n = 0;
            if (!CDateTimeBase::__bDateVersEntier(d.nJour, d.nMois, d.nAnnee, n, true)) continue;
            int j = 0, m = 0, a = 0;
            CDateTimeBase::__bEntierVersDate(n, j, m, a);
            nSomme += n + j + m + a;
        }
        benchmark::DoNotOptimize(nSomme);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(dates.size()));
}
BENCHMARK(BM_DayNumberRoundTrip);

void BM_StdChronoRoundTrip(benchmark::State& state) {
    using namespace std::chrono;
    const auto& dates = _Dates();
    int64_t nSomme = 0;
    for (auto _ : state) {
        for (const STDate& d : dates) {
            // Checked as ours is.
            year_month_day ymd{year{d.nAnnee}, month{unsigned(d.nMois)}, day{unsigned(d.nJour)}};
            if (!ymd.ok()) continue;
            int32_t n = int32_t(sys_days{ymd}.time_since_epoch().count()) + 62092;
            year_month_day retour{sys_days{days{n - 62092}}};
            nSomme += n + int(unsigned(retour.day())) + int(unsigned(retour.month())) + int(retour.year());
        }
        benchmark::DoNotOptimize(nSomme);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(dates.size()));
}
BENCHMARK(BM_StdChronoRoundTrip);

}  // namespace

BENCHMARK_MAIN();
