// Date-time values with the calendar: the day-number rules, the shifts,
// the clock, and the same operations on digit strings.
#include "datetime/datetime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/tstring.h"
#include "core/zndstr.h"
#include "datetime/duree.h"
#include "datetime/dtinternal.h"

namespace {

constexpr int64_t MS_JOUR = 86400000;

// Day number of 1 January of a year, by the date-time rule.
int32_t _nPremierJanvier(int nAnnee) {
    int32_t n = 0;
    CDateTimeBase::_bDateVersEntierGeneral(1, 1, nAnnee, n, false);
    return n;
}

void _Maintenant(bool bUTC, struct tm& stTm, int& nMilli) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    time_t t = ts.tv_sec;
    if (bUTC)
        gmtime_r(&t, &stTm);
    else
        localtime_r(&t, &stTm);
    nMilli = int(ts.tv_nsec / 1000000);
}

}  // namespace

// --- Internal helpers shared by the subsystem ------------------------------------------

int DT_nJourSemaine(int32_t nJour) {
    int64_t r = (int64_t(nJour) + DT_DECALAGE_JOUR) % 7;
    return int(r < 0 ? r + 7 : r);
}

// --- Calendar rules ---------------------------------------------------------------------

int CDateTimeBase::__nBissextile(int nAnnee) {
    if (nAnnee % 4 != 0) return 0;
    if (nAnnee < 1583) return 1;   // Julian rule
    return (nAnnee % 100 != 0 || nAnnee % 400 == 0) ? 1 : 0;
}

bool CDateTimeBase::_bDateVersEntierGeneral(int nJour, int nMois, int nAnnee, int32_t& n, bool bVerifie) {
    if (bVerifie && (nJour < 1 || nJour > 31 || nMois < 1 || nMois > 12 || nAnnee < 1 || nAnnee > 9999))
        return false;
    if (nMois < 1 || nMois > 12) return false;
    int nBis = __nBissextile(nAnnee);
    // The early-date correction only touches the first four days of the
    // months before December, up to 1582.
    int64_t k = 0;
    if (nAnnee <= 1582 && nMois <= 11 && nJour <= 4) {
        int64_t c = (int64_t(nAnnee) - 1500) / 100;
        k = 10 - (c - c / 4);
    }
    int nLongueur = ms_pbyNbJoursMois[nMois - 1] + (nMois == 2 ? nBis : 0);
    if (nJour < 1 || nJour > nLongueur) return false;
    int64_t y = int64_t(nAnnee) - 1;
    int64_t v = 365 * y + y / 4 - y / 100 + y / 400 + ms_pnJoursCumules[nMois - 1] + nJour + (nMois > 2 ? nBis : 0) +
                k - DT_DECALAGE_JOUR;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    n = int32_t(v);
    return true;
}

bool CDateTimeBase::_bEntierVersDateGeneral(int32_t n, int& nJour, int& nMois, int& nAnnee) {
    if (n >= DT_JOUR_1583 && n <= DT_JOUR_MAX_CONVERSION) return __bEntierVersDate(n, nJour, nMois, nAnnee);
    return DT_bEntierVersDateParcours(n, nJour, nMois, nAnnee);
}

bool DT_bEntierVersDateParcours(int32_t n, int& nJour, int& nMois, int& nAnnee) {
    using D = CDateTimeBase;
    // Numbers outside years 0 to 10000 have no date.
    if (n > DT_JOUR_MAX_CONVERSION || n < DT_JOUR_MIN_CONVERSION) return false;
    int y = int16_t((int64_t(n) + DT_DECALAGE_JOUR) / 365);
    int32_t f = _nPremierJanvier(y);
    while (f > n) {
        if (--y < 0) return false;
        f = _nPremierJanvier(y);
    }
    // The estimate may also be short of the year (early years carry their
    // correction on 1 January).
    while (y < 10000) {
        int32_t g = _nPremierJanvier(y + 1);
        if (g > n) break;
        ++y;
        f = g;
    }
    int32_t r = n - f;
    int nBis = D::__nBissextile(y);
    int m = 0;
    for (; m < 12; ++m) {
        int nLongueur = D::ms_pbyNbJoursMois[m] + (m == 1 ? nBis : 0);
        if (r < nLongueur) break;
        r -= nLongueur;
    }
    if (m == 12) return false;
    nJour = int(r) + 1;
    nMois = m + 1;
    nAnnee = y;
    return true;
}

int CDateTimeBase::__nRectifieFinMois(int nJour, int nMois, int nAnnee) {
    if (nJour == 0 || nMois == 0 || nAnnee == 0) return nJour;
    int nLongueur = s_nGetNbJourMois(nMois, nAnnee);
    if (nLongueur == 0) return nJour;
    return std::min(nJour, nLongueur);
}

int CDateTimeBase::s_nGetNbJourMois(int nMois, int nAnnee) {
    if (nMois < 1 || nMois > 12) return 0;
    return __nBissextile(nAnnee) ? ms_pbyNbJoursMoisBissextile[nMois - 1] : ms_pbyNbJoursMois[nMois - 1];
}

int32_t CDateTimeBase::s_nDateVersEntier(int nJour, int nMois, int nAnnee) {
    int32_t n = 0;
    return __bDateVersEntier(nJour, nMois, nAnnee, n, true) ? n : 0;
}

// --- Setting ----------------------------------------------------------------------------

void CDateTimeBase::InitDate(const STSystemTime& st) {
    bModifieAnnee(st.wYear);
    bModifieMois(st.wMonth);
    bModifieJour(st.wDay);
    bModifieHeure(st.wHour);
    bModifieMinute(st.wMinute);
    bModifieSeconde(st.wSecond);
    bModifieMilli(st.wMilliseconds);
}

void CDateTimeBase::InitDateCourante() {
    struct tm stTm {};
    int nMilli = 0;
    _Maintenant(false, stTm, nMilli);
    Set(stTm.tm_year + 1900, stTm.tm_mon + 1, stTm.tm_mday, stTm.tm_hour, stTm.tm_min, stTm.tm_sec, nMilli);
}

void CDateTimeBase::InitDateCouranteUTC() {
    struct tm stTm {};
    int nMilli = 0;
    _Maintenant(true, stTm, nMilli);
    Set(stTm.tm_year + 1900, stTm.tm_mon + 1, stTm.tm_mday, stTm.tm_hour, stTm.tm_min, stTm.tm_sec, nMilli);
}

bool CDateTimeBase::bModifieHeure(int nHeure) {
    if (nHeure < 0 || nHeure > 23) return false;
    m_dwMillisecondes = uint32_t(nHeure) * 3600000u + m_dwMillisecondes % 3600000u;
    return true;
}

bool CDateTimeBase::bModifieMinute(int nMinute) {
    if (nMinute < 0 || nMinute > 59) return false;
    m_dwMillisecondes = m_dwMillisecondes / 3600000u * 3600000u + uint32_t(nMinute) * 60000u + m_dwMillisecondes % 60000u;
    return true;
}

bool CDateTimeBase::bModifieSeconde(int nSeconde) {
    if (nSeconde < 0 || nSeconde > 59) return false;
    m_dwMillisecondes = m_dwMillisecondes / 60000u * 60000u + uint32_t(nSeconde) * 1000u + m_dwMillisecondes % 1000u;
    return true;
}

bool CDateTimeBase::bModifieMilli(int nMilli) {
    if (nMilli < 0 || nMilli > 999) return false;
    m_dwMillisecondes = m_dwMillisecondes / 1000u * 1000u + uint32_t(nMilli);
    return true;
}

bool CDateTimeBase::bModifieAnnee(int nAnnee) {
    if (nAnnee < 1 || nAnnee > 9999) return false;
    m_wAnnee = uint16_t(nAnnee);
    m_byJour = uint8_t(__nRectifieFinMois(m_byJour, m_byMois, m_wAnnee));
    return true;
}

bool CDateTimeBase::bModifieMois(int nMois) {
    if (nMois < 1 || nMois > 12) return false;
    m_byMois = uint8_t(nMois);
    m_byJour = uint8_t(__nRectifieFinMois(m_byJour, m_byMois, m_wAnnee));
    return true;
}

bool CDateTimeBase::bModifieJour(int nJour) {
    if (nJour < 1 || nJour > 31) return false;
    m_byJour = uint8_t(nJour);
    m_byJour = uint8_t(__nRectifieFinMois(m_byJour, m_byMois, m_wAnnee));
    return true;
}

bool CDateTimeBase::_bDecaleAnneeSansVerif(int n) {
    // The resulting year is kept as computed; a year beyond 9999 is caught
    // when the value becomes a day number.
    m_wAnnee = uint16_t(int(m_wAnnee) + n);
    m_byJour = uint8_t(__nRectifieFinMois(m_byJour, m_byMois, m_wAnnee));
    return true;
}

bool CDateTimeBase::bDecaleAnnee(int n) {
    if (m_wAnnee < 1 || m_wAnnee > 9999) return false;
    return _bDecaleAnneeSansVerif(n);
}

bool CDateTimeBase::bDecaleMois(int n) {
    if (m_byMois < 1 || m_byMois > 12) return false;
    // The year shift decides the result; checked first so that a failure
    // leaves the value as it was.
    if (m_wAnnee < 1 || m_wAnnee > 9999) return false;
    int m = int(m_byMois) + n % 12;
    int q = n / 12;
    if (m < 1) {
        m += 12;
        --q;
    } else if (m > 12) {
        m -= 12;
        ++q;
    }
    m_byMois = uint8_t(m);
    _bDecaleAnneeSansVerif(q);
    m_byJour = uint8_t(__nRectifieFinMois(m_byJour, m_byMois, m_wAnnee));
    return true;
}

bool CDateTimeBase::bDecaleJour(int n) {
    if (m_wAnnee < 1 || m_wAnnee > 9999 || m_byMois < 1 || m_byMois > 12 || m_byJour < 1 || m_byJour > 31) return false;
    int32_t nJour = 0;
    if (!__bDateVersEntier(m_byJour, m_byMois, m_wAnnee, nJour, true)) return false;
    int64_t nCible = int64_t(nJour) + n;
    if (nCible < INT32_MIN || nCible > INT32_MAX) return false;
    int j = 0, m = 0, a = 0;
    if (!__bEntierVersDate(int32_t(nCible), j, m, a)) return false;
    m_byJour = uint8_t(j);
    m_byMois = uint8_t(m);
    m_wAnnee = uint16_t(a);
    return true;
}

bool CDateTimeBase::bDecaleMilli(int64_t n) {
    int64_t r = n % MS_JOUR;
    int64_t d = n / MS_JOUR;
    int64_t t = int64_t(m_dwMillisecondes) + r;
    if (t < 0) {
        t += MS_JOUR;
        --d;
    } else if (t >= MS_JOUR) {
        t -= MS_JOUR;
        ++d;
    }
    m_dwMillisecondes = uint32_t(t);
    if (d == 0) return true;
    if (d < INT32_MIN || d > INT32_MAX) return false;
    return bDecaleJour(int(d));
}

// --- Reading ----------------------------------------------------------------------------

int CDateTimeBase::nVersEntier(int32_t& n) const {
    return __bDateVersEntier(m_byJour, m_byMois, m_wAnnee, n, true) ? 0 : 110;
}

int CDateTimeBase::nGetJourDeLaSemaine() const {
    int32_t n = 0;
    if (nVersEntier(n) != 0) n = 0;
    return DT_nJourSemaine(n);
}

CTString CDateTimeBase::VersChaineFormate() const {
    CTString cl;
    cl.printf("%d-%d-%d %d:%d:%d,%d", nGetAnnee(), nGetMois(), nGetJour(), nGetHeure(), nGetMinute(), nGetSeconde(),
              nGetMilli());
    return cl;
}

int CDateTimeBase::nVersSysteme(STSystemTime& st) const {
    st.wYear = m_wAnnee;
    st.wMonth = m_byMois;
    st.wDay = m_byJour;
    st.wHour = uint16_t(nGetHeure());
    st.wMinute = uint16_t(nGetMinute());
    st.wSecond = uint16_t(nGetSeconde());
    st.wMilliseconds = uint16_t(nGetMilli());
    return 0;
}

int CDateTimeBase::nVersDate(char* pszBuffer, int nLongueur) const {
    char sz[32];
    std::snprintf(sz, sizeof sz, ms_pcszFormatDate, nGetAnnee(), nGetMois(), nGetJour());
    DT_CopieCoupee(pszBuffer, nLongueur, sz);
    return 0;
}

int CDateTimeBase::nVersHeure(char* pszBuffer, int nLongueur) const {
    char sz[48];
    std::snprintf(sz, sizeof sz, ms_pcszFormatHeure, nGetHeure(), nGetMinute(), nGetSeconde(), nGetMilli());
    DT_CopieCoupee(pszBuffer, nLongueur, sz);
    return 0;
}

int CDateTimeBase::nCompare(const CDateTimeBase& clA, const CDateTimeBase& clB) {
    uint32_t a = clA.dwGetDate(), b = clB.dwGetDate();
    if (a != b) return a < b ? -1 : 1;
    if (clA.m_dwMillisecondes != clB.m_dwMillisecondes) return clA.m_dwMillisecondes < clB.m_dwMillisecondes ? -1 : 1;
    return 0;
}

int CDateTimeBase::s_nCompareDateSeule(const CDateTimeBase& clA, const CDateTimeBase& clB) {
    uint32_t a = clA.dwGetDate(), b = clB.dwGetDate();
    return a == b ? 0 : (a < b ? -1 : 1);
}

int CDateTimeBase::nCompare(const CDateTimeBase& clA, const char* pszB) {
    char sz[TAILLE_CHAINE + 1];
    clA.VersChaine(sz, TAILLE_CHAINE);
    return nCompareDate(sz, pszB);
}

// --- On numbers and digit strings -------------------------------------------------------

bool CDateTimeBase::bCalculeDiffJour(const CDateTimeBase& clA, const CDateTimeBase& clB, int32_t& nJours) {
    int32_t a = 0, b = 0;
    if (clA.nVersEntier(a) != 0 || clB.nVersEntier(b) != 0) return false;
    nJours = a - b;   // both within the day numbers of years 1-9999
    return true;
}

int CDateTimeBase::nCalculeDuree(const CDateTimeBase& clA, const CDateTimeBase& clB, CDureeBase& clDuree) {
    int32_t a = 0, b = 0;
    if (clA.nVersEntier(a) != 0 || clB.nVersEntier(b) != 0) return 110;
    int64_t llA = int64_t(a) * MS_JOUR + clA.m_dwMillisecondes;
    int64_t llB = int64_t(b) * MS_JOUR + clB.m_dwMillisecondes;
    clDuree.SetMillisecondes(llA - llB);
    return 0;
}

int CDateTimeBase::nDateVersEntier(const char* pszDate, int32_t& n) {
    CDateTimeBase cl;
    cl.InitDate();
    cl.bSetPartieDate(pszDate);
    return cl.nVersEntier(n);
}

int CDateTimeBase::nDateVersSysteme(const char* pszDate, STSystemTime& st) {
    st = STSystemTime{};
    st.wYear = uint16_t(nGetPropDateTime(pszDate, 0, 4, false));
    st.wMonth = uint16_t(nGetPropDateTime(pszDate, 4, 2, false));
    st.wDay = uint16_t(nGetPropDateTime(pszDate, 6, 2, false));
    return 0;
}

int CDateTimeBase::nHeureVersEntier(const char* pszHeure, int32_t& n) {
    int64_t v = int64_t(nGetPropDateTime(pszHeure, 0, 2, false)) * 360000 +
                int64_t(nGetPropDateTime(pszHeure, 2, 2, false)) * 6000 +
                int64_t(nGetPropDateTime(pszHeure, 4, 2, false)) * 100 + nGetPropDateTime(pszHeure, 6, 2, true);
    n = DT_nBorne32(v);
    return 0;
}

int CDateTimeBase::nHeureVersSysteme(const char* pszHeure, STSystemTime& st) {
    st = STSystemTime{};
    st.wHour = uint16_t(nGetPropDateTime(pszHeure, 0, 2, false));
    st.wMinute = uint16_t(nGetPropDateTime(pszHeure, 2, 2, false));
    st.wSecond = uint16_t(nGetPropDateTime(pszHeure, 4, 2, false));
    st.wMilliseconds = uint16_t(nGetPropDateTime(pszHeure, 6, 3, true));
    return 0;
}

int CDateTimeBase::nChaineVersDate(char* pszBuffer, const char* pszTexte, int nLongueur) {
    if (pszBuffer == nullptr || nLongueur < 0) return 0;
    size_t nMax = std::min(size_t(nLongueur), size_t(8));
    size_t n = pszTexte ? strnlen(pszTexte, nMax) : 0;
    if (n > 0) std::memcpy(pszBuffer, pszTexte, n);
    pszBuffer[n] = 0;
    return 0;
}

int CDateTimeBase::nChaineVersHeure(char* pszBuffer, const char* pszTexte, int nLongueur) {
    if (pszBuffer == nullptr || nLongueur < 0) return 0;
    size_t nMax = std::min(size_t(nLongueur), size_t(9));
    size_t n = pszTexte ? strnlen(pszTexte, nMax) : 0;
    if (n > 0) std::memcpy(pszBuffer, pszTexte, n);
    for (; n < nMax; ++n) pszBuffer[n] = '0';
    pszBuffer[n] = 0;
    return 0;
}

int CDateTimeBase::nEntierVersDate(char* pszBuffer, int32_t n, int nLongueur) {
    int j = 0, m = 0, a = 0;
    if (!__bEntierVersDate(n, j, m, a)) {
        DT_CopieCoupee(pszBuffer, nLongueur, "");
        return 110;
    }
    char sz[32];
    std::snprintf(sz, sizeof sz, ms_pcszFormatDate, a, m, j);
    DT_CopieCoupee(pszBuffer, nLongueur, sz);
    return 0;
}

int CDateTimeBase::nEntierVersHeure(char* pszBuffer, int32_t n, int nLongueur) {
    if (n < 0) {
        DT_CopieCoupee(pszBuffer, nLongueur, "");
        return 111;
    }
    char sz[48];
    std::snprintf(sz, sizeof sz, ms_pcszFormatHeure, int(n / 360000 % 24), int(n % 360000 / 6000), int(n % 6000 / 100),
                  int(n % 100 * 10));
    DT_CopieCoupee(pszBuffer, nLongueur, sz);
    return 0;
}

void CDateTimeBase::InitDateCourante(char* pszBuffer, int nLongueur) {
    CDateTimeBase cl;
    cl.InitDateCourante();
    cl.nVersDate(pszBuffer, nLongueur);
}

void CDateTimeBase::InitHeureCourante(char* pszBuffer, int nLongueur) {
    CDateTimeBase cl;
    cl.InitDateCourante();
    cl.nVersHeure(pszBuffer, nLongueur);
}

int CDateTimeBase::nCompareDate(const char* pszA, const char* pszB) {
    if (pszA == nullptr) pszA = "";
    if (pszB == nullptr) pszB = "";
    if (*pszA == 0) return *pszB == 0 ? 0 : -1;
    if (*pszB == 0) return 1;
    size_t n = std::min(std::strlen(pszA), std::strlen(pszB));
    int r = std::memcmp(pszA, pszB, n);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CDateTimeBase::nCompareHeure(const char* pszA, const char* pszB) { return nCompareDate(pszA, pszB); }

void CDateTimeBase::SetPropDateTime(char* pszTexte, int nDecalage, int nNombre, int nValeur, int nLongueur) {
    if (pszTexte == nullptr || nLongueur < 0) return;
    size_t nL = size_t(nLongueur);
    // A shorter text is first extended to its length with "0", so that no
    // character of the result is left unwritten.
    for (size_t i = strnlen(pszTexte, nL); i < nL; ++i) pszTexte[i] = '0';
    pszTexte[nL] = 0;
    if (nDecalage < 0 || nNombre <= 0 || size_t(nDecalage) >= nL) return;
    size_t nDebut = size_t(nDecalage);
    size_t nFin = nDebut + size_t(nNombre);
    if (nFin > nL) {
        for (size_t i = nDebut; i < nL; ++i) pszTexte[i] = '0';
        return;
    }
    // Right-aligned; the last digits of a number longer than the field.
    uint32_t u = nValeur < 0 ? 0u - uint32_t(nValeur) : uint32_t(nValeur);
    size_t nChiffres = 1;
    for (uint32_t v = u; v >= 10; v /= 10) ++nChiffres;
    for (size_t i = nFin; i > nDebut; --i) {
        pszTexte[i - 1] = char('0' + u % 10);
        u /= 10;
    }
    // A negative value keeps its sign in front when there is room.
    if (nValeur < 0 && nChiffres < size_t(nNombre)) pszTexte[nDebut] = '-';
}

// --- String forms of the shifts ---------------------------------------------------------

template <typename F>
bool CDateTimeBase::_bSurDate(char* pszDate, int nLongueur, F fnOperation) {
    if (pszDate == nullptr || nLongueur < 0) return false;
    CDateTimeBase cl;
    cl.InitDate();
    cl.bSetPartieDate(pszDate);
    if (!fnOperation(cl)) return false;
    cl.nVersDate(pszDate, nLongueur);
    return true;
}

template <typename F>
bool CDateTimeBase::_bSurHeure(char* pszHeure, int nLongueur, F fnOperation) {
    if (pszHeure == nullptr || nLongueur < 0) return false;
    CDateTimeBase cl;
    cl.InitDate();
    cl.bSetPartieHeure(pszHeure);
    if (!fnOperation(cl)) return false;
    SetPropDateTime(pszHeure, 0, 2, cl.nGetHeure(), nLongueur);
    SetPropDateTime(pszHeure, 2, 2, cl.nGetMinute(), nLongueur);
    SetPropDateTime(pszHeure, 4, 2, cl.nGetSeconde(), nLongueur);
    SetPropDateTime(pszHeure, 6, 3, cl.nGetMilli(), nLongueur);
    return true;
}

bool CDateTimeBase::bModifieAnnee(char* pszDate, int nValeur, int nLongueur) {
    return _bSurDate(pszDate, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieAnnee(nValeur); });
}
bool CDateTimeBase::bDecaleAnnee(char* pszDate, int n, int nLongueur) {
    return _bSurDate(pszDate, nLongueur, [=](CDateTimeBase& cl) { return cl.bDecaleAnnee(n); });
}
bool CDateTimeBase::bModifieMois(char* pszDate, int nValeur, int nLongueur) {
    return _bSurDate(pszDate, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieMois(nValeur); });
}
bool CDateTimeBase::bDecaleMois(char* pszDate, int n, int nLongueur) {
    return _bSurDate(pszDate, nLongueur, [=](CDateTimeBase& cl) { return cl.bDecaleMois(n); });
}
bool CDateTimeBase::bModifieJour(char* pszDate, int nValeur, int nLongueur) {
    return _bSurDate(pszDate, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieJour(nValeur); });
}
bool CDateTimeBase::bDecaleJour(char* pszDate, int n, int nLongueur) {
    return _bSurDate(pszDate, nLongueur, [=](CDateTimeBase& cl) { return cl.bDecaleJour(n); });
}
bool CDateTimeBase::bModifieHeure(char* pszHeure, int nValeur, int nLongueur) {
    return _bSurHeure(pszHeure, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieHeure(nValeur); });
}
bool CDateTimeBase::bModifieMinute(char* pszHeure, int nValeur, int nLongueur) {
    return _bSurHeure(pszHeure, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieMinute(nValeur); });
}
bool CDateTimeBase::bModifieSeconde(char* pszHeure, int nValeur, int nLongueur) {
    return _bSurHeure(pszHeure, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieSeconde(nValeur); });
}
bool CDateTimeBase::bModifieMilli(char* pszHeure, int nValeur, int nLongueur) {
    return _bSurHeure(pszHeure, nLongueur, [=](CDateTimeBase& cl) { return cl.bModifieMilli(nValeur); });
}

bool CDateTimeBase::bDecaleMilli(char* pszHeure, int64_t n, int nLongueur) {
    if (pszHeure == nullptr || nLongueur < 0) return false;
    int64_t h = nGetPropDateTime(pszHeure, 0, 2, false);
    int64_t m = nGetPropDateTime(pszHeure, 2, 2, false);
    int64_t s = nGetPropDateTime(pszHeure, 4, 2, false);
    int64_t l = nGetPropDateTime(pszHeure, 6, 3, true);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || l < 0 || l > 999) return false;
    // Wraps within the day; the date is not part of a time string.
    int64_t t = (h * 3600000 + m * 60000 + s * 1000 + l + n % MS_JOUR) % MS_JOUR;
    if (t < 0) t += MS_JOUR;
    SetPropDateTime(pszHeure, 0, 2, int(t / 3600000), nLongueur);
    SetPropDateTime(pszHeure, 2, 2, int(t / 60000 % 60), nLongueur);
    SetPropDateTime(pszHeure, 4, 2, int(t / 1000 % 60), nLongueur);
    SetPropDateTime(pszHeure, 6, 3, int(t % 1000), nLongueur);
    return true;
}
