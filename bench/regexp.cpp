// Checking one text against the same pattern many times: the language
// function's path (VerifieExpressionReguliere without output variables)
// beside the C library's raw pair, compiling and matching each time.
#include <benchmark/benchmark.h>
#include <regex.h>

#include <cstring>

#include "misc/regexp.h"

namespace {

const char k_szPattern[] = "([A-Za-z0-9._%+-]+)@([A-Za-z0-9.-]+)\\.([A-Za-z]{2,})";
const char k_szTexte[] = "first.last+tag@example.domain.org";

// The check as VerifieExpressionReguliere makes it: the pattern from the
// cache, then a whole-text match.
void BM_VerifieExpressionReguliere(benchmark::State& state) {
    for (auto _ : state) {
        int nErreur = 0;
        CRegExp* pcl = REGEXP_pclCompile(k_szPattern, nErreur);
        benchmark::DoNotOptimize(pcl != nullptr && pcl->bMatch(k_szTexte));
    }
}
BENCHMARK(BM_VerifieExpressionReguliere);

void BM_RawCompileAndMatch(benchmark::State& state) {
    const size_t nTexte = std::strlen(k_szTexte);
    for (auto _ : state) {
        re_pattern_buffer st;
        std::memset(&st, 0, sizeof st);
        re_registers stRegs;
        std::memset(&stRegs, 0, sizeof stRegs);
        re_set_syntax(CRegExpBase::SYNTAXE);
        if (re_compile_pattern(k_szPattern, std::strlen(k_szPattern), &st) == nullptr) {
            int n = re_match(&st, k_szTexte, static_cast<int>(nTexte), 0, &stRegs);
            benchmark::DoNotOptimize(n >= 0 && static_cast<size_t>(n) >= nTexte);
        }
        regfree(&st);
        std::free(stRegs.start);
        std::free(stRegs.end);
    }
}
BENCHMARK(BM_RawCompileAndMatch);

}  // namespace

BENCHMARK_MAIN();
