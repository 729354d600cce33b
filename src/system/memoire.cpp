// Memory figures from "/proc/meminfo", in kilobyte lines ("MemTotal: N kB")
// or in the older kernels' byte summaries ("Mem: total used free shared
// buffers cached", "Swap: total used free").
#include "system/memoire.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

namespace {

struct STCache {
    std::mutex mtx;
    time_t nSeconde = static_cast<time_t>(-1);
    STMemoryStatus st{};
};

STCache& _Cache() {
    static STCache s_st;
    return s_st;
}

}  // namespace

void MEM_LitMeminfo(const char* pszChemin, STMemoryStatus* pst) {
    *pst = STMemoryStatus{};
    pst->dwLength = sizeof(STMemoryStatus);
    std::FILE* f = std::fopen(pszChemin, "re");
    if (f == nullptr) {
        pst->dwTotalPhys = pst->dwAvailPhys = pst->dwTotalPageFile = pst->dwAvailPageFile = 16777216u;
        return;
    }
    char szLigne[257];
    while (std::fgets(szLigne, sizeof szLigne, f) != nullptr) {
        unsigned long long a = 0, b = 0, c = 0, d = 0, e = 0, g = 0;
        auto fnKo = [](unsigned long long n) { return static_cast<uint32_t>(n * 1024u); };
        if (std::sscanf(szLigne, "MemTotal: %llu", &a) == 1) pst->dwTotalPhys = fnKo(a);
        else if (std::sscanf(szLigne, "MemFree: %llu", &a) == 1) pst->dwAvailPhys = fnKo(a);
        else if (std::sscanf(szLigne, "Buffers: %llu", &a) == 1) pst->dwAvailPhys += fnKo(a);
        else if (std::sscanf(szLigne, "Cached: %llu", &a) == 1) pst->dwAvailPhys += fnKo(a);
        else if (std::sscanf(szLigne, "SwapTotal: %llu", &a) == 1) pst->dwTotalPageFile = fnKo(a);
        else if (std::sscanf(szLigne, "SwapFree: %llu", &a) == 1) pst->dwAvailPageFile = fnKo(a);
        else if (std::sscanf(szLigne, "Mem: %llu %llu %llu %llu %llu %llu", &a, &b, &c, &d, &e, &g) == 6) {
            pst->dwTotalPhys += static_cast<uint32_t>(a);
            pst->dwAvailPhys += static_cast<uint32_t>(c + e + g);
        } else if (std::sscanf(szLigne, "Swap: %llu %llu %llu", &a, &b, &c) == 3) {
            pst->dwTotalPageFile = static_cast<uint32_t>(a);
            pst->dwAvailPageFile = static_cast<uint32_t>(c);
        }
        // A line longer than the buffer: its rest is no new line.
        while (szLigne[0] && szLigne[std::strlen(szLigne) - 1] != '\n') {
            if (std::fgets(szLigne, sizeof szLigne, f) == nullptr) break;
        }
    }
    std::fclose(f);
    // In 64 bits: the figures wrap in 32, their sums must not. A total under
    // one hundred bytes has no percent to give (and must not divide by 0).
    const uint64_t nTotal = uint64_t(pst->dwTotalPhys) + pst->dwTotalPageFile;
    const uint64_t nLibre = uint64_t(pst->dwAvailPhys) + pst->dwAvailPageFile;
    if (pst->dwTotalPhys != 0 && nTotal >= 100 && nTotal >= nLibre)
        pst->dwMemoryLoad = static_cast<uint32_t>((nTotal - nLibre) / (nTotal / 100));
}

void GlobalMemoryStatus(STMemoryStatus* pst) {
    STCache& clCache = _Cache();
    std::lock_guard<std::mutex> verrou(clCache.mtx);
    const time_t nMaintenant = time(nullptr);
    if (nMaintenant != clCache.nSeconde) {
        MEM_LitMeminfo("/proc/meminfo", &clCache.st);
        clCache.nSeconde = nMaintenant;
    }
    *pst = clCache.st;
}
