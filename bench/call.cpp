// The cost of one language call through the reference host, beside the
// same work done by a direct call of the library object's method.
//
//   BM_HostCallByName   the whole host path: name lookup, overload choice,
//                       argument conversion, call record, entry point,
//                       result capture and the JSON answer
//   BM_HostEntryPoint   the entry point alone, as the virtual machine calls
//                       it: call record, argument pointer, result service
//   BM_DirectMethod     component::EstPair called directly
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "component/compo.h"
#include "component/functions.h"
#include "session.h"

namespace {

qvhost::CSession& Session() {
    static qvhost::CSession* s_pcl = [] {
        auto* pcl = new qvhost::CSession;
        std::string sErreur;
        if (!pcl->bDemarre(QV_MODULE_PATH, qvhost::LANGUE_FR, sErreur)) {
            std::fprintf(stderr, "bench: start-up failed: %s\n", sErreur.c_str());
            std::exit(1);
        }
        return pcl;
    }();
    return *s_pcl;
}

void BM_HostCallByName(benchmark::State& state) {
    qvhost::CSession& cl = Session();
    int32_t n = 0;
    for (auto _ : state) {
        qvhost::json j = cl.Appel("EstPair", {qvhost::json(n++)});
        benchmark::DoNotOptimize(j);
    }
}
BENCHMARK(BM_HostCallByName);

void BM_HostEntryPoint(benchmark::State& state) {
    qvhost::CSession& cl = Session();
    const qvhost::STFonctionHote* pstF = cl.Fonctions().pCherche("EstPair");
    if (!pstF || pstF->tabSurcharges.empty() || !pstF->tabSurcharges[0].pfnEntree) {
        state.SkipWithError("EstPair has no entry point");
        return;
    }
    PFN_ZNL pfn = pstF->tabSurcharges[0].pfnEntree;
    IZNLibrary* piLib = cl.Module().piLib();
    qvhost::CHostContext& clHote = cl.Hote();
    int32_t n = 0;
    void* tabArgs[1] = {&n};
    for (auto _ : state) {
        STZNAppel stRecord{&clHote, 0, 0, nullptr, 1};
        STZNAppel* pstAncien = piLib->ChangeContexteAppel(&stRecord);
        pfn(&stRecord, piLib, tabArgs);
        piLib->ChangeContexteAppel(pstAncien);
        benchmark::DoNotOptimize(clHote.GetResultat().n4);
        ++n;
    }
}
BENCHMARK(BM_HostEntryPoint);

void BM_DirectMethod(benchmark::State& state) {
    CComposanteStandard clLib;
    int32_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(n);
        bool b = component::EstPair(clLib, n++);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_DirectMethod);

}  // namespace

BENCHMARK_MAIN();
