// Memory figures of the machine, read from "/proc/meminfo" in the shape of
// the classic memory-status record: six unsigned 32-bit words, byte counts
// computed modulo 2^32.
#pragma once
#include <cstdint>

struct STMemoryStatus {
    uint32_t dwLength;          // 24
    uint32_t dwMemoryLoad;      // percent in use
    uint32_t dwTotalPhys;
    uint32_t dwAvailPhys;       // free memory plus buffers and cache
    uint32_t dwTotalPageFile;   // swap
    uint32_t dwAvailPageFile;
};

// The figures, computed at most once per second of time(): a call within
// the second of the last reading gets that reading again.
void GlobalMemoryStatus(STMemoryStatus* pst);

// One reading of a meminfo file (for tests: any path). A file that cannot be
// opened gives a load of 0 and 16,777,216 for each figure.
void MEM_LitMeminfo(const char* pszChemin, STMemoryStatus* pst);
