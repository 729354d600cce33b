// Launching /bin/true and waiting for its end: LanceAppli's waiting mode
// (exit code returned) beside the C library's posix_spawn and waitpid on
// the same program, in one run, with the time ratio printed at the end.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>
#include <string>

#include "rapport.h"
#include "runtime/znlibrary.h"
#include "system/functions.h"

extern "C" void* pQueryProxy(int);
extern char** environ;

namespace {


void BM_LanceAppli(benchmark::State& state) {
    auto* pclLib = static_cast<CZNLibrary*>(static_cast<IZNLibrary*>(pQueryProxy(60)));
    for (auto _ : state) {
        int32_t n = sys::LanceAppli(*pclLib, "/bin/true", 1, 2);
        if (n != 0) state.SkipWithError("LanceAppli failed");
        benchmark::DoNotOptimize(n);
    }
    pclLib->Release();
}

void BM_PosixSpawn(benchmark::State& state) {
    char szProgramme[] = "/bin/true";
    char* tabArgv[] = {szProgramme, nullptr};
    for (auto _ : state) {
        pid_t nPid = 0;
        int nStatut = 0;
        if (posix_spawn(&nPid, szProgramme, nullptr, nullptr, tabArgv, environ) != 0 ||
            waitpid(nPid, &nStatut, 0) != nPid)
            state.SkipWithError("posix_spawn failed");
        benchmark::DoNotOptimize(nStatut);
    }
}

BENCHMARK(BM_LanceAppli)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PosixSpawn)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRapportTempsReel clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    const char* pszNous = "BM_LanceAppli/min_time:2.000/real_time";
    const char* pszPair = "BM_PosixSpawn/min_time:2.000/real_time";
    const double r = clRapport.rRatio(pszNous, pszPair);
    if (!std::isnan(r))
        std::printf("\nLanceAppli (wait, exit code) / posix_spawn + waitpid: time %.2f (goal: at most 1.20)\n", r);
    benchmark::Shutdown();
    return 0;
}
