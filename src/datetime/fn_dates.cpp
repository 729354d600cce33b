// Language functions on dates and day numbers: conversions, days of the
// week, week numbers, differences, Age and Paques.
#include <cstring>

#include "datetime/calendar.h"
#include "datetime/datetime.h"
#include "datetime/dtinternal.h"
#include "datetime/functions.h"
#include "datetime/horloge.h"
#include "qvstd/xerror.h"

namespace {

constexpr int ERR_COMPARAISON = 80134;   // one of the dates or times compared is invalid

// 1 Monday ... 7 Sunday.
int _nJourISO(int32_t n) {
    int w = DT_nJourSemaine(n);
    return w == 0 ? 7 : w;
}

// Week 1 holds the year's first Thursday; the days before it are week 0.
int _nSemaine(uint16_t nJour, uint16_t nMois, uint16_t nAnnee) {
    int32_t nPremier = 0, n = 0;
    if (!JourGregorien(1, 1, nAnnee, nPremier) || !JourGregorien(nJour, nMois, nAnnee, n)) return -1;
    const int w = _nJourISO(nPremier);
    const int d = n - nPremier;
    if (w >= 5) return d < 8 - w ? 0 : (d - (8 - w)) / 7 + 1;
    return (w - 1 + d) / 7 + 1;
}

}  // namespace

namespace datetime {

// --- Day numbers --------------------------------------------------------------------------

CZNDSTR EntierVersDate(CZNLibrary& lib, int32_t nJour) { return EntierVersDate(lib, nJour, nullptr); }

CZNDSTR EntierVersDate(CZNLibrary& lib, int32_t nJour, const char* pszPartie) {
    CZNDSTR s;
    uint16_t j = 0, m = 0, a = 0;
    if (!bNumEnDate(nJour, j, m, a, lib.pclGetError())) return s;
    switch (pszPartie != nullptr ? pszPartie[0] : 0) {
        case 'A':
        case 'Y':
        case 'a':
        case 'y': s.nPrintf("%04d", a); break;
        case 'J':
        case 'D':
        case 'j':
        case 'd': s.nPrintf("%02d", j); break;
        case 'M':
        case 'm': s.nPrintf("%02d", m); break;
        default: s.nPrintf("%04d%02d%02d", a, m, j); break;
    }
    return s;
}

int32_t EntierVersJour(CZNLibrary&, int32_t nJour) { return _nJourISO(nJour); }

int32_t DateVersEntier(CZNLibrary& lib, const char* pszDate) { return DateVersEntier(lib, pszDate, 0); }

int32_t DateVersEntier(CZNLibrary& lib, const char* pszDate, int32_t bDansAnnee) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, lib.pclGetError())) return -1;
    int32_t n = 0, nPremier = 0;
    if (!JourGregorien(j, m, a, n) || !JourGregorien(1, 1, a, nPremier)) {
        lib.RaiseError(80051);
        return -1;
    }
    return bDansAnnee != 0 ? n - nPremier + 1 : n;
}

bool DateValide(CZNLibrary&, const char* pszDate) {
    uint16_t a, m, j;
    return bDateVerif(pszDate, a, m, j, nullptr);
}

int32_t DateVersJour(CZNLibrary& lib, const char* pszDate) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, lib.pclGetError())) return -1;
    int32_t n = 0;
    if (!JourGregorien(j, m, a, n)) {
        lib.RaiseError(80051);
        return -1;
    }
    return _nJourISO(n);
}

// --- Week numbers -------------------------------------------------------------------------

int32_t NumeroDeSemaine(CZNLibrary& lib, const char* pszDate) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, lib.pclGetError())) return -1;
    int n = _nSemaine(j, m, a);
    if (n < 0) lib.RaiseError(80051);
    return n;
}

int32_t EntierVersNumeroDeSemaine(CZNLibrary& lib, int32_t nJour) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bNumEnDate(nJour, j, m, a, lib.pclGetError())) return -1;
    int n = _nSemaine(j, m, a);
    if (n < 0) lib.RaiseError(80132, int(nJour));
    return n;
}

// --- Differences (legacy day and hundredth counts) ----------------------------------------

int32_t DateDifference(CZNLibrary& lib, const char* pszDate1, const char* pszDate2) {
    int32_t n = 0;
    if (!bDateValide(pszDate1) || !bDateValide(pszDate2) || !bDateDifference(pszDate1, pszDate2, n)) {
        lib.RaiseError(ERR_COMPARAISON);
        return -1;
    }
    return n;
}

int32_t HeureDifference(CZNLibrary& lib, const char* pszHeure1, const char* pszHeure2) {
    int32_t n = 0;
    if (!bHeureValide(pszHeure1) || !bHeureValide(pszHeure2) || !bHeureDifference(pszHeure1, pszHeure2, n)) {
        lib.RaiseError(ERR_COMPARAISON);
        return -1;
    }
    return n;
}

CZNDSTR DateHeureDifference(CZNLibrary& lib, const char* pszDateHeure1, const char* pszDateHeure2) {
    CZNDSTR s;
    int32_t nJours1 = 0, nCent1 = 0, nJours2 = 0, nCent2 = 0;
    if (!bDateHeureValide(pszDateHeure1) || !bDateHeureValide(pszDateHeure2) ||
        !bJourCentieme(pszDateHeure1, nJours1, nCent1) || !bJourCentieme(pszDateHeure2, nJours2, nCent2)) {
        lib.RaiseError(ERR_COMPARAISON);
        return s;
    }
    // Whole hundredths, exact in 64 bits over the whole calendar.
    constexpr int64_t CENT_JOUR = 8640000;
    const int64_t d = (int64_t(nJours2) * CENT_JOUR + nCent2) - (int64_t(nJours1) * CENT_JOUR + nCent1);
    const int64_t v = d < 0 ? -d : d;
    s.nPrintf("%s%07lld%02lld%02lld%02lld%02lld", d < 0 ? "-" : "+", (long long)(v / CENT_JOUR),
              (long long)(v % CENT_JOUR / 360000), (long long)(v % 360000 / 6000), (long long)(v % 6000 / 100),
              (long long)(v % 100));
    return s;
}

// --- Age and Easter -----------------------------------------------------------------------

CZNDSTR Age(CZNLibrary& lib, const char* pszNaissance) { return Age(lib, pszNaissance, nullptr); }

CZNDSTR Age(CZNLibrary&, const char* pszNaissance, const char* pszReference) {
    CZNDSTR s;
    uint16_t aN = 0, mN = 0, jN = 0;
    if (!bDateVerif(pszNaissance, aN, mN, jN, nullptr)) return s;
    uint16_t aR = 0, mR = 0, jR = 0;
    if (pszReference != nullptr && pszReference[0] != 0) {
        if (!bDateVerif(pszReference, aR, mR, jR, nullptr)) return s;
    } else {
        GetDate(jR, mR, aR);
    }
    const uint32_t dwN = uint32_t(aN) << 16 | uint32_t(mN) << 8 | jN;
    const uint32_t dwR = uint32_t(aR) << 16 | uint32_t(mR) << 8 | jR;
    if (dwR < dwN) return s;
    int nAnnees = aR - aN;
    int nMois = mR - mN;
    if (nMois < 0) {
        nMois += 12;
        --nAnnees;
    }
    int nJours = jR - jN;
    if (jR < jN) {
        // One month borrowed: the rest of the birth month, then the days of
        // the reference month.
        int nReste = CDateTimeBase::s_nGetNbJourMois(mN, aN) - jN;
        nJours = (nReste > 0 ? nReste : 0) + jR;
        if (--nMois < 0) {
            nMois = 11;
            --nAnnees;
        }
    }
    if (nAnnees <= 9999 && nMois < 12 && nJours < 31) s.nPrintf("%04d%02d%02d", nAnnees, nMois, nJours);
    return s;
}

CZNDSTR Paques(CZNLibrary& lib, const char* pszAnnee) {
    const char* p = pszAnnee != nullptr ? pszAnnee : "";
    return Paques(lib, int32_t(DT_nBorne32(DT_llLitDecimal(p, strnlen(p, 4)))));
}

CZNDSTR Paques(CZNLibrary&, int32_t nAnnee) {
    CZNDSTR s;
    if (nAnnee < 1583 || nAnnee > 9999) return s;
    // Anonymous Gregorian algorithm, on the year moved by a whole cycle of
    // the Gregorian Easter dates (5 700 000 years): the same date.
    const int y = nAnnee + 5700000;
    const int a = y % 19, b = y / 100, c = y % 100;
    const int d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int nMois = (h + l - 7 * m + 114) / 31;
    const int nJour = (h + l - 7 * m + 114) % 31 + 1;
    s.nPrintf("%04d%02d%02d", nAnnee, nMois, nJour);
    return s;
}

}  // namespace datetime
