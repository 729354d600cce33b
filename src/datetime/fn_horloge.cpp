// The current date and time and the setting of the clock: DateSys,
// DateDuJour, HeureSys and Maintenant.
#include "datetime/calendar.h"
#include "datetime/functions.h"
#include "datetime/horloge.h"
#include "qvstd/xerror.h"

namespace datetime {

CZNDSTR DateSys(CZNLibrary&) {
    uint16_t j, m, a;
    GetDate(j, m, a);
    CZNDSTR s;
    s.nPrintf("%04d%02d%02d", a, m, j);
    return s;
}

void DateSys(CZNLibrary& lib, const char* pszDate) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, lib.pclGetError())) return;
    bSetDate(j, m, a, lib.pclGetError());
}

CZNDSTR HeureSys(CZNLibrary&) {
    uint16_t h, m, s, c;
    GetTime(h, m, s, c);
    CZNDSTR sRes;
    sRes.nPrintf("%02d%02d%02d%02d", h, m, s, c);
    return sRes;
}

void HeureSys(CZNLibrary& lib, const char* pszHeure) {
    // An invalid time is reported, not passed to the clock.
    uint16_t h = 0, m = 0, s = 0, c = 0;
    if (!bHeureVerif(pszHeure, h, m, s, c, lib.pclGetError())) return;
    bSetTime(h, m, s, c, lib.pclGetError());
}

}  // namespace datetime
