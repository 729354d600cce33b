// Dynamic strings beside std::string: create, concatenate, copy and release
// strings of 20, 100 and 1000 bytes, with the allocator's recycler (as under
// the host, which gives its multi-thread flag) and without it (plain malloc).
#include <benchmark/benchmark.h>

#include <string>

#include "core/strmem.h"
#include "core/zndstr.h"

namespace {

const std::string g_sSource(2000, 'x');
const char g_szSuite[] = "0123456789";
int g_nMultiThread = 0;

void Prepare(bool bRecycleur) {
    STRMEM_TermModule();
    STRMEM_bInitModule();
    if (bRecycleur) STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&g_nMultiThread));
}

void BM_StdString(benchmark::State& state) {
    const size_t n = size_t(state.range(0));
    for (auto _ : state) {
        std::string s(g_sSource.data(), n);
        s.append(g_szSuite, 10);
        std::string t(s);
        benchmark::DoNotOptimize(s.data());
        benchmark::DoNotOptimize(t.data());
    }
}

void ZNDSTRCycle(benchmark::State& state, bool bRecycleur) {
    Prepare(bRecycleur);
    const int n = int(state.range(0));
    for (auto _ : state) {
        CZNDSTR s(g_sSource.data(), n);
        s.nConcat(g_szSuite, 10);
        CZNDSTR t(s);
        benchmark::DoNotOptimize(s.pGetMemoire());
        benchmark::DoNotOptimize(t.pGetMemoire());
    }
    STRMEM_TermModule();
}

void BM_ZNDSTR_Recycleur(benchmark::State& state) { ZNDSTRCycle(state, true); }
void BM_ZNDSTR_SansRecycleur(benchmark::State& state) { ZNDSTRCycle(state, false); }

// Create and release only.
void BM_StdString_Cree(benchmark::State& state) {
    const size_t n = size_t(state.range(0));
    for (auto _ : state) {
        std::string s(g_sSource.data(), n);
        benchmark::DoNotOptimize(s.data());
    }
}

void ZNDSTRCree(benchmark::State& state, bool bRecycleur) {
    Prepare(bRecycleur);
    const int n = int(state.range(0));
    for (auto _ : state) {
        CZNDSTR s(g_sSource.data(), n);
        benchmark::DoNotOptimize(s.pGetMemoire());
    }
    STRMEM_TermModule();
}

void BM_ZNDSTR_Cree_Recycleur(benchmark::State& state) { ZNDSTRCree(state, true); }
void BM_ZNDSTR_Cree_SansRecycleur(benchmark::State& state) { ZNDSTRCree(state, false); }

}  // namespace

BENCHMARK(BM_StdString)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_Recycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_SansRecycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_StdString_Cree)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_Cree_Recycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_Cree_SansRecycleur)->Arg(20)->Arg(100)->Arg(1000);

BENCHMARK_MAIN();
