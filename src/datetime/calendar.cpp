#include "datetime/calendar.h"

#include <cstring>

#include "datetime/datetime.h"
#include "datetime/dtinternal.h"
#include "qvstd/xerror.h"

const int32_t gnTabNbJourMoisBissextile[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const int32_t gnTabJourCumule[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

namespace {

bool _bChiffre(char c) { return c >= '0' && c <= '9'; }

int _nLitChiffres(const char* p, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
    return v;
}

void _Erreur(CXError* pclErreur, int nCode) {
    if (pclErreur != nullptr) pclErreur->SetUserErrorArgs(nCode);
}

}  // namespace

// --- Legacy family ----------------------------------------------------------------------

int nBissextille(int nAnnee) { return CDateTimeBase::__nBissextile(nAnnee); }

bool bJourGregorien(int nJour, int nMois, int nAnnee, int32_t& n) {
    n = 0;
    if (nAnnee < 1 || nMois < 1 || nMois > 12) return false;
    int nBis = nBissextille(nAnnee);
    int nLongueur = gnTabNbJourMoisBissextile[nMois - 1] - ((nMois == 2 && !nBis) ? 1 : 0);
    if (nJour < 1 || nJour > nLongueur) return false;
    // This family takes the century number from the year itself.
    int64_t k = 0;
    if (nAnnee <= 1582 && nMois <= 11 && nJour <= 4) {
        int64_t c = nAnnee / 100;
        k = 10 - (c - c / 4);
    }
    int64_t v;
    if (nAnnee <= 1000000) {
        // In 32 bits where it fits: 64-bit divisions are calls on i386.
        const int32_t y = nAnnee - 1;
        v = int64_t(365 * y + y / 4 - y / 100 + y / 400 + gnTabJourCumule[nMois - 1] + nJour + (nMois > 2 ? nBis : 0)) +
            k - DT_DECALAGE_JOUR;
    } else {
        const int64_t y = int64_t(nAnnee) - 1;
        v = 365 * y + y / 4 - y / 100 + y / 400 + gnTabJourCumule[nMois - 1] + nJour + (nMois > 2 ? nBis : 0) + k -
            DT_DECALAGE_JOUR;
    }
    if (v < INT32_MIN || v > INT32_MAX) return false;
    n = int32_t(v);
    return true;
}

bool bNbJour(const char* pszDate, int32_t& n) {
    n = 0;
    int a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j)) return false;
    return bJourGregorien(j, m, a, n);
}

bool bDateVerif(const char* pszDate, int& nAnnee, int& nMois, int& nJour) {
    nAnnee = nMois = nJour = 0;
    if (pszDate == nullptr || strnlen(pszDate, 9) != 8) return false;
    for (int i = 0; i < 8; ++i)
        if (!_bChiffre(pszDate[i])) return false;
    nAnnee = _nLitChiffres(pszDate, 4);
    nMois = _nLitChiffres(pszDate + 4, 2);
    nJour = _nLitChiffres(pszDate + 6, 2);
    if (nAnnee < 1) return false;
    if (nAnnee == 1582 && nMois == 11 && nJour >= 5 && nJour <= 14) return false;
    if (nMois < 1 || nMois > 12) return false;
    if (nJour < 1 || nJour > gnTabNbJourMoisBissextile[nMois - 1]) return false;
    if (nMois == 2 && nJour == 29 && !nBissextille(nAnnee)) return false;
    return true;
}

bool bDateValide(const char* pszDate) {
    int a, m, j;
    return bDateVerif(pszDate, a, m, j);
}

bool bHeureVerif(const char* pszHeure, int& nHeures, int& nMinutes, int& nSecondes, int& nCentiemes) {
    nHeures = nMinutes = nSecondes = nCentiemes = 0;
    char sz[9] = "00000000";
    size_t n = pszHeure ? strnlen(pszHeure, 8) : 0;
    for (size_t i = 0; i < n; ++i) {
        if (!_bChiffre(pszHeure[i])) return false;
        sz[i] = pszHeure[i];
    }
    nCentiemes = _nLitChiffres(sz + 6, 2);
    nSecondes = _nLitChiffres(sz + 4, 2);
    if (nSecondes > 59) return false;
    nMinutes = _nLitChiffres(sz + 2, 2);
    if (nMinutes > 59) return false;
    nHeures = _nLitChiffres(sz, 2);
    return nHeures <= 23;
}

bool bHeureValide(const char* pszHeure) {
    int h, m, s, c;
    return bHeureVerif(pszHeure, h, m, s, c);
}

bool bNbCentieme(const char* pszHeure, int32_t& n) {
    n = 0;
    int h, m, s, c;
    if (!bHeureVerif(pszHeure, h, m, s, c)) return false;
    n = h * 360000 + m * 6000 + s * 100 + c;
    return true;
}

bool bDateDifference(const char* pszA, const char* pszB, int32_t& n) {
    int32_t a = 0, b = 0;
    if (!bNbJour(pszA, a) || !bNbJour(pszB, b)) return false;
    n = b - a;
    return true;
}

bool bHeureDifference(const char* pszA, const char* pszB, int32_t& n) {
    int32_t a = 0, b = 0;
    if (!bNbCentieme(pszA, a) || !bNbCentieme(pszB, b)) return false;
    n = b - a;
    return true;
}

bool bExtraitDateHeure(const char* pszTexte, char* pszDate, char* pszHeure) {
    if (pszTexte == nullptr || strnlen(pszTexte, 8) < 8) return false;
    std::memcpy(pszDate, pszTexte, 8);
    pszDate[8] = 0;
    size_t n = strnlen(pszTexte + 8, 8);
    std::memcpy(pszHeure, pszTexte + 8, n);
    pszHeure[n] = 0;
    return true;
}

bool bDateHeureValide(const char* pszTexte) {
    char szDate[9], szHeure[9];
    if (!bExtraitDateHeure(pszTexte, szDate, szHeure)) return false;
    return bDateValide(szDate) && bHeureValide(pszTexte + 8);
}

bool bJourCentieme(const char* pszTexte, int32_t& nJours, int32_t& nCentiemes) {
    char szDate[9], szHeure[9];
    nJours = nCentiemes = 0;
    if (!bExtraitDateHeure(pszTexte, szDate, szHeure)) return false;
    return bNbJour(szDate, nJours) && bNbCentieme(szHeure, nCentiemes);
}

bool bCaractereNumerique(char c, bool bMoinsAutorise) { return _bChiffre(c) || (bMoinsAutorise && c == '-'); }

bool bChaineNumerique(const char* pszTexte, int nNombre, bool bMoinsAutorise) {
    if (nNombre <= 0) return true;
    if (pszTexte == nullptr) return false;
    for (int i = 0; i < nNombre; ++i) {
        if (pszTexte[i] == 0) return false;
        if (!bCaractereNumerique(pszTexte[i], bMoinsAutorise && i == 0)) return false;
    }
    return true;
}

bool bChaineVersEntier(const char* pszTexte, int32_t& n, bool bMoinsAutorise) {
    if (pszTexte == nullptr || !bCaractereNumerique(pszTexte[0], bMoinsAutorise)) return false;
    n = DT_nBorne32(DT_llLitDecimal(pszTexte, std::strlen(pszTexte)));
    return true;
}

// --- Checking functions of the date functions ----------------------------------------

bool JourGregorien(uint16_t nJour, uint16_t nMois, uint16_t nAnnee, int32_t& n) {
    if (nMois < 1 || nMois > 12) return false;
    return CDateTimeBase::__bDateVersEntier(nJour, nMois, nAnnee, n, false);
}

bool bDateVerif(const char* pszDate, uint16_t& nAnnee, uint16_t& nMois, uint16_t& nJour, CXError* pclErreur) {
    if (pszDate == nullptr || strnlen(pszDate, 9) != 8) {
        _Erreur(pclErreur, 80121);
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (!_bChiffre(pszDate[i])) {
            _Erreur(pclErreur, 80122);
            return false;
        }
    }
    nAnnee = uint16_t(_nLitChiffres(pszDate, 4));
    nMois = uint16_t(_nLitChiffres(pszDate + 4, 2));
    nJour = uint16_t(_nLitChiffres(pszDate + 6, 2));
    int nCode = 0;
    if (nAnnee == 0)
        nCode = 80123;
    else if (nAnnee == 1582 && nMois == 8 && nJour >= 5 && nJour <= 14)
        nCode = 80124;
    else if (nMois < 1 || nMois > 12)
        nCode = 80125;
    else if (nJour < 1 || nJour > gnTabNbJourMoisBissextile[nMois - 1])
        nCode = 80126;
    else if (nMois == 2 && nJour == 29 && !CDateTimeBase::__nBissextile(nAnnee))
        nCode = 80127;
    if (nCode == 0) return true;
    _Erreur(pclErreur, nCode);
    return false;
}

bool bHeureVerif(const char* pszHeure, uint16_t& nHeures, uint16_t& nMinutes, uint16_t& nSecondes,
                 uint16_t& nCentiemes, CXError* pclErreur) {
    const char* p = pszHeure ? pszHeure : "";
    for (const char* q = p; *q; ++q) {
        if (!_bChiffre(*q)) {
            _Erreur(pclErreur, 80128);
            return false;
        }
    }
    char sz[9] = "00000000";
    size_t n = strnlen(p, 8);
    std::memcpy(sz, p, n);
    nCentiemes = uint16_t(_nLitChiffres(sz + 6, 2));
    nSecondes = uint16_t(_nLitChiffres(sz + 4, 2));
    nMinutes = uint16_t(_nLitChiffres(sz + 2, 2));
    nHeures = uint16_t(_nLitChiffres(sz, 2));
    int nCode = 0;
    if (nSecondes >= 60)
        nCode = 80129;
    else if (nMinutes >= 60)
        nCode = 80130;
    else if (nHeures >= 24)
        nCode = 80131;
    if (nCode == 0) return true;
    _Erreur(pclErreur, nCode);
    return false;
}

bool bNumEnDate(int32_t n, uint16_t& nJour, uint16_t& nMois, uint16_t& nAnnee, CXError* pclErreur) {
    int j = 0, m = 0, a = 0;
    if (!CDateTimeBase::__bEntierVersDate(n, j, m, a)) {
        if (pclErreur != nullptr) pclErreur->SetUserErrorArgs(80132, int(n));
        return false;
    }
    nJour = uint16_t(j);
    nMois = uint16_t(m);
    nAnnee = uint16_t(a);
    return true;
}

int32_t NumJourGreg(uint16_t nJour, uint16_t nMois, uint16_t nAnnee) {
    int32_t n = 0;
    if (!JourGregorien(nJour, nMois, nAnnee, n)) return 0;
    return n - 1;
}

int NumToNumSemaine(int32_t n) { return DT_nJourSemaine(n); }
