// Dynamic strings beside std::string: one cycle is a string made from 20,
// 100 or 1000 bytes, one append of 10 bytes, one copy, and both released;
// ours with the allocator's recycler (as under the host, which gives its
// multi-thread flag) and without it (plain malloc). The std::string peer
// reserves its final size first, as a careful caller would. Both sides are
// checked once, before timing, to build the same text.
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

std::string StdCycle(size_t n) {
    std::string s;
    s.reserve(n + 10);
    s.assign(g_sSource.data(), n);
    s.append(g_szSuite, 10);
    return s;
}

// The same text on both sides, or the benchmark stops.
bool bMemeTexte(size_t n) {
    const std::string sStd = StdCycle(n);
    CZNDSTR s(g_sSource.data(), int(n));
    s.nConcat(g_szSuite, 10);
    return size_t(s.nGetLongueur()) == sStd.size() && sStd.compare(0, sStd.size(), s.pszGet(), sStd.size()) == 0;
}

void BM_StdString(benchmark::State& state) {
    const size_t n = size_t(state.range(0));
    if (!bMemeTexte(n)) {
        state.SkipWithError("the two sides build different texts");
        return;
    }
    for (auto _ : state) {
        std::string s;
        s.reserve(n + 10);
        s.assign(g_sSource.data(), n);
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

// The same cycle written by a careful caller of ours: the final size
// prepared first, as the std::string peer reserves it.
void BM_ZNDSTR_Prepare_Recycleur(benchmark::State& state) {
    Prepare(true);
    const int n = int(state.range(0));
    for (auto _ : state) {
        CZNDSTR s;
        s.__nPrepareModification(uint32_t(n + 10));
        s.nAssign(g_sSource.data(), n);
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
BENCHMARK(BM_ZNDSTR_Prepare_Recycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_Recycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_SansRecycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_StdString_Cree)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_Cree_Recycleur)->Arg(20)->Arg(100)->Arg(1000);
BENCHMARK(BM_ZNDSTR_Cree_SansRecycleur)->Arg(20)->Arg(100)->Arg(1000);

BENCHMARK_MAIN();
