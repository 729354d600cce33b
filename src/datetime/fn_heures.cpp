// Language functions on times of day: "HHMMSSCC" texts and hundredths of a
// second since midnight.
#include <cstdio>

#include "core/tstring.h"
#include "datetime/calendar.h"
#include "datetime/functions.h"
#include "qvstd/xerror.h"

namespace datetime {

CZNDSTR EntierVersHeure(CZNLibrary& lib, int32_t nCentiemes) {
    CZNDSTR s;
    if (nCentiemes < 0) {
        lib.RaiseError(80120);
        return s;
    }
    // The hours are not reduced to one day: 24 hours and more stay as they are.
    s.nPrintf("%02d%02d%02d%02d", nCentiemes / 360000, nCentiemes % 360000 / 6000, nCentiemes % 6000 / 100,
              nCentiemes % 100);
    return s;
}

int32_t HeureVersEntier(CZNLibrary& lib, const char* pszHeure) {
    uint16_t h = 0, m = 0, sec = 0, c = 0;
    if (!bHeureVerif(pszHeure, h, m, sec, c, lib.pclGetError())) return -1;
    return h * 360000 + m * 6000 + sec * 100 + c;
}

int32_t HeureValide(CZNLibrary&, const char* pszHeure) {
    uint16_t h, m, s, c;
    return bHeureVerif(pszHeure, h, m, s, c, nullptr) ? 1 : 0;
}

CZNDSTR HeureVersChaine(CZNLibrary& lib, const char* pszHeure) { return HeureVersChaine(lib, pszHeure, nullptr); }

CZNDSTR HeureVersChaine(CZNLibrary& lib, const char* pszHeure, const char* pszMasque) {
    CZNDSTR s;
    uint16_t h = 0, m = 0, sec = 0, c = 0;
    if (!bHeureVerif(pszHeure, h, m, sec, c, lib.pclGetError())) return s;
    if (pszMasque == nullptr || pszMasque[0] == 0) {
        s.nPrintf("%02d:%02d:%02d:%02d", h, m, sec, c);
        return s;
    }
    CTString clTexte(pszMasque);
    // Each token as written, then in lower case.
    const char* pszAMPM = h < 12 ? "AM" : "PM";
    int nAMPM = clTexte.Remplace("AP", pszAMPM);
    nAMPM += clTexte.Remplace("ap", pszAMPM);
    int nHeure = h;
    if (nAMPM > 0) {
        if (h == 12)
            clTexte.Remplace("AM", "PM");
        else
            nHeure = h % 12 == 0 ? 12 : h % 12;
    }
    char sz[8];
    const struct {
        const char* pszJeton;
        const char* pszMinuscule;
        int nValeur;
    } tabJetons[] = {{"HH", "hh", nHeure}, {"MM", "mm", m}, {"SS", "ss", sec}, {"CC", "cc", c}};
    for (const auto& st : tabJetons) {
        snprintf(sz, sizeof sz, "%02d", st.nValeur);
        clTexte.Remplace(st.pszJeton, sz);
        clTexte.Remplace(st.pszMinuscule, sz);
    }
    s.nAssign(clTexte.pszGet());
    return s;
}

}  // namespace datetime
