// Hasard and InitHasard over the C library's generator, shared by the
// whole process. Only the low 15 bits of each draw are used.
#include <sys/time.h>

#include <cstdlib>

#include "misc/functions.h"

bool _DIVERS_bInitModule() {
    srand(0);
    return true;
}

namespace misc {

namespace {

constexpr int ERR_BORNE = 80260;     // Hasard(n) with n <= 0
constexpr int ERR_INTERVALLE = 80210;   // Hasard(a, b) with a > b

int32_t _nTirage() { return rand() & 0x7FFF; }

// 0 .. n-1 for n > 0, in 64 bits so that any range of 32-bit bounds fits.
int64_t random(int64_t n) { return (int64_t(_nTirage()) * n) / 32768; }

// Milliseconds of the clock, wrapping in 32 bits.
uint32_t GetTickCount() {
    timeval st{};
    gettimeofday(&st, nullptr);
    return static_cast<uint32_t>(uint64_t(st.tv_sec) * 1000u + uint64_t(st.tv_usec) / 1000u);
}

void _Entier(CAny& cl, int32_t n) {
    cl.__SetType(ANY_I4);
    cl.SetValue(&n);
}

}  // namespace

void Hasard(CZNLibrary& /*lib*/, CAny& clResultat) {
    const double r = _nTirage() / 32767.0;
    clResultat.__SetType(ANY_R8);
    clResultat.SetValue(&r);
}

void Hasard(CZNLibrary& lib, int32_t nMax, CAny& clResultat) {
    if (nMax <= 0) {
        lib.RaiseError(ERR_BORNE);
        _Entier(clResultat, 0);
        return;
    }
    _Entier(clResultat, static_cast<int32_t>(random(nMax) + 1));
}

void Hasard(CZNLibrary& lib, int32_t nMin, int32_t nMax, CAny& clResultat) {
    if (nMin > nMax) {
        lib.RaiseError(ERR_INTERVALLE);
        _Entier(clResultat, 0);
        return;
    }
    _Entier(clResultat, static_cast<int32_t>(nMin + random(int64_t(nMax) - nMin + 1)));
}

// Seeds with the millisecond clock read as a new millisecond starts, times
// a small draw of the current sequence.
void InitHasard(CZNLibrary& /*lib*/) {
    const uint32_t nDebut = GetTickCount();
    uint32_t nTick;
    do {
        nTick = GetTickCount();
    } while (nTick == nDebut);
    srand(nTick * static_cast<uint32_t>(random(10) + 1));
}

void InitHasard(CZNLibrary& /*lib*/, int32_t nGraine) { srand(static_cast<unsigned>(nGraine)); }

}  // namespace misc
