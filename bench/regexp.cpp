// Checking one text against the same pattern many times: the language
// function's path (VerifieExpressionReguliere without output variables)
// beside the C library's raw pair, compiling and matching each time, and
// beside the C library matching a pattern compiled once (the fair floor:
// ours serves the pattern from its cache). All three are checked once,
// before timing, to give the same answer.
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

bool bNotre() {
    int nErreur = 0;
    CRegExp* pcl = REGEXP_pclCompile(k_szPattern, nErreur);
    return pcl != nullptr && pcl->bMatch(k_szTexte);
}

// The C library's pattern, compiled once; whole-text match as ours.
class CBrut {
public:
    CBrut() {
        re_set_syntax(CRegExpBase::SYNTAXE);
        m_bCompile = re_compile_pattern(k_szPattern, std::strlen(k_szPattern), &m_st) == nullptr;
    }
    ~CBrut() {
        regfree(&m_st);
        std::free(m_stRegs.start);
        std::free(m_stRegs.end);
    }
    bool bMatch() {
        const int nTexte = static_cast<int>(std::strlen(k_szTexte));
        return m_bCompile && re_match(&m_st, k_szTexte, nTexte, 0, &m_stRegs) == nTexte;
    }

private:
    re_pattern_buffer m_st{};
    re_registers m_stRegs{};
    bool m_bCompile = false;
};

void BM_RawCompiledOnceMatch(benchmark::State& state) {
    CBrut cl;
    if (!cl.bMatch() || !bNotre()) {
        state.SkipWithError("the pattern must match on both sides");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(cl.bMatch());
}
BENCHMARK(BM_RawCompiledOnceMatch);

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
