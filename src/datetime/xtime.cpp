// 64-bit seconds for the C library's conversions in this file, also in the
// i386 build, so that dates after 2038 and before 1902 convert.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64
#endif
#ifndef _TIME_BITS
#define _TIME_BITS 64
#endif

#include "datetime/xtime.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "core/tstring.h"
#include "datetime/datetime.h"
#include "datetime/dtinternal.h"

namespace {

constexpr int64_t TICKS_PAR_SECONDE = 10000000;
constexpr int64_t SECONDES_1601_1970 = 11644473600LL;

int _nChamp(const char* p, size_t n) { return DT_nBorne32(DT_llLitDecimal(p, n)); }

bool _bChiffres(const char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] < '0' || p[i] > '9') return false;
    return true;
}

}  // namespace

CXTime::CXTime() { SetTo0(); }

CXTime::CXTime(int64_t llSecondes) { SetTime(llSecondes); }

CXTime::CXTime(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nHeureEte) {
    _SetChamps(nAnnee, nMois, nJour, nHeure, nMinute, nSeconde, 0, nHeureEte);
}

CXTime::CXTime(uint16_t wDateDOS, uint16_t wHeureDOS, int nHeureEte) {
    _SetChamps(1980 + (wDateDOS >> 9), (wDateDOS >> 5) & 0x0F, wDateDOS & 0x1F, wHeureDOS >> 11, (wHeureDOS >> 5) & 0x3F,
               (wHeureDOS & 0x1F) * 2, 0, nHeureEte);
}

CXTime::CXTime(const STSystemTime& st) {
    _SetChamps(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, -1);
    m_stTm.tm_wday = st.wDayOfWeek;
}

CXTime::CXTime(const STFileTime& stFichier) {
    STFileTime stLocale{};
    STSystemTime st{};
    if (!SYS_bFileTimeToLocalFileTime(stFichier, stLocale) || !SYS_bFileTimeToSystemTime(stLocale, st)) {
        SetTo0();
        return;
    }
    _SetChamps(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, -1);
    m_stTm.tm_wday = st.wDayOfWeek;
}

CXTime::CXTime(const struct tm& stTm) : m_stTm(stTm), m_nMilli(0) {}

CXTime::CXTime(const CDateTimeBase& clDate) {
    _SetChamps(clDate.nGetAnnee(), clDate.nGetMois(), clDate.nGetJour(), clDate.nGetHeure(), clDate.nGetMinute(),
               clDate.nGetSeconde(), clDate.nGetMilli(), -1);
}

CXTime::~CXTime() = default;

void CXTime::_SetChamps(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nMilli,
                        int nHeureEte) {
    m_stTm = tm{};
    m_stTm.tm_year = nAnnee - 1900;
    m_stTm.tm_mon = std::max(nMois - 1, 0);
    m_stTm.tm_mday = std::max(nJour, 1);
    m_stTm.tm_hour = nHeure;
    m_stTm.tm_min = nMinute;
    m_stTm.tm_sec = nSeconde;
    m_stTm.tm_wday = -1;
    m_stTm.tm_yday = -1;
    m_stTm.tm_isdst = nHeureEte;
    m_nMilli = nMilli;
}

void CXTime::SetTo0() {
    m_stTm = tm{};
    m_stTm.tm_mday = 1;
    m_stTm.tm_wday = -1;
    m_stTm.tm_yday = -1;
    m_nMilli = 0;
}

void CXTime::SetTime(int64_t llSecondes) {
    time_t t = time_t(llSecondes);
    m_stTm = tm{};
    if (localtime_r(&t, &m_stTm) == nullptr) SetTo0();
    m_nMilli = 0;
}

void CXTime::SetUTCTime(int64_t llSecondes) {
    time_t t = time_t(llSecondes);
    m_stTm = tm{};
    if (gmtime_r(&t, &m_stTm) == nullptr) SetTo0();
    m_nMilli = 0;
}

int64_t CXTime::nGetTime_t() const {
    struct tm st = m_stTm;
    return int64_t(mktime(&st));
}

bool CXTime::bGetAsSystemTime(STSystemTime& st) const {
    st.wYear = uint16_t(nGetYear());
    st.wMonth = uint16_t(nGetMonth());
    st.wDayOfWeek = uint16_t(m_stTm.tm_wday < 0 ? 0 : m_stTm.tm_wday);
    st.wDay = uint16_t(m_stTm.tm_mday);
    st.wHour = uint16_t(m_stTm.tm_hour);
    st.wMinute = uint16_t(m_stTm.tm_min);
    st.wSecond = uint16_t(m_stTm.tm_sec);
    st.wMilliseconds = uint16_t(m_nMilli);
    return true;
}

bool CXTime::bGetAsFileTime(STFileTime& stFichier) const {
    struct tm st = m_stTm;
    errno = 0;
    time_t t = mktime(&st);
    if (t == time_t(-1) && errno != 0) return false;
    int64_t ll = (int64_t(t) + SECONDES_1601_1970) * TICKS_PAR_SECONDE + int64_t(m_nMilli) * 10000;
    if (ll < 0) return false;
    stFichier.dwLowDateTime = uint32_t(uint64_t(ll));
    stFichier.dwHighDateTime = uint32_t(uint64_t(ll) >> 32);
    return true;
}

int64_t CXTime::nGetCurrentTime() { return int64_t(time(nullptr)); }

void CXTime::GetLocalTime(STSystemTime& st) { SYS_GetLocalTime(st); }

void CXTime::SetFromLocalTime() {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    SetTime(int64_t(ts.tv_sec));
    m_nMilli = int32_t(ts.tv_nsec / 1000000);
}

void CXTime::SetFromUTCTime() {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    SetUTCTime(int64_t(ts.tv_sec));
    m_nMilli = int32_t(ts.tv_nsec / 1000000);
}

// --- From digit strings -------------------------------------------------------------------

bool CXTime::bSetZNDateTime(const char* pszTexte, int nHeureEte) {
    if (pszTexte == nullptr) return false;
    size_t nL = std::strlen(pszTexte);
    if (nL < 16) return false;
    const char* q = pszTexte + 8;
    if (*q == ' ') ++q;
    const char* pReste = q + 6;
    size_t nReste = nL - size_t(pReste - pszTexte);
    int nMilli = 0;
    if (nReste == 2 && _bChiffres(pReste, 2))
        nMilli = _nChamp(pReste, 2) * 10;
    else if (nReste == 3 && _bChiffres(pReste, 3))
        nMilli = _nChamp(pReste, 3);
    _SetChamps(_nChamp(pszTexte, 4), _nChamp(pszTexte + 4, 2), _nChamp(pszTexte + 6, 2), _nChamp(q, 2),
               _nChamp(q + 2, 2), _nChamp(q + 4, 2), nMilli, nHeureEte);
    return true;
}

bool CXTime::_bSetPrefixe(const char* pszTexte, int nHeureEte, bool bMax, bool bAvecDate) {
    const size_t nForme = bAvecDate ? 17 : 9;
    const size_t nDebutHeure = bAvecDate ? 8 : 0;
    const char* p = pszTexte ? pszTexte : "";
    char sz[18];
    size_t j = 0;
    for (size_t i = 0; p[i] != 0; ++i) {
        if (bAvecDate && j == 8 && p[i] == ' ' && (i == 0 || p[i - 1] != ' ')) continue;
        if (j == nForme || p[i] < '0' || p[i] > '9') return false;
        sz[j++] = p[i];
    }
    if (j == 0 && !bMax) {
        if (bAvecDate) {
            SetTo0();
        } else {
            m_stTm.tm_hour = m_stTm.tm_min = m_stTm.tm_sec = 0;
            m_nMilli = 0;
        }
        return true;
    }
    for (size_t i = j; i < nForme; ++i) sz[i] = bMax ? '9' : '0';
    sz[nForme] = 0;

    int nAnnee = nGetYear(), nMois = nGetMonth(), nJour = nGetDay();
    if (bAvecDate) {
        nAnnee = _nChamp(sz, 4);
        nMois = _nChamp(sz + 4, 2);
        nJour = _nChamp(sz + 6, 2);
    }
    const char* h = sz + nDebutHeure;
    int nHeure = _nChamp(h, 2), nMinute = _nChamp(h + 2, 2), nSeconde = _nChamp(h + 4, 2), nMilli = _nChamp(h + 6, 3);
    if (bMax) {
        nMois = std::min(nMois, 12);
        int nFin = nGetDayInMonth(std::max(nMois, 1), nAnnee);
        nJour = std::min(nJour, nFin);
        nHeure = std::min(nHeure, 23);
        nMinute = std::min(nMinute, 59);
        nSeconde = std::min(nSeconde, 59);
    }
    if (bAvecDate) {
        _SetChamps(nAnnee, nMois, nJour, nHeure, nMinute, nSeconde, nMilli, nHeureEte);
    } else {
        m_stTm.tm_hour = nHeure;
        m_stTm.tm_min = nMinute;
        m_stTm.tm_sec = nSeconde;
        m_stTm.tm_isdst = nHeureEte;
        m_nMilli = nMilli;
    }
    return true;
}

bool CXTime::bSetZNDateTimeMin(const char* pszTexte, int nHeureEte) { return _bSetPrefixe(pszTexte, nHeureEte, false, true); }
bool CXTime::bSetZNDateTimeMax(const char* pszTexte, int nHeureEte) { return _bSetPrefixe(pszTexte, nHeureEte, true, true); }
bool CXTime::bSetZNTimeMin(const char* pszTexte, int nHeureEte) { return _bSetPrefixe(pszTexte, nHeureEte, false, false); }
bool CXTime::bSetZNTimeMax(const char* pszTexte, int nHeureEte) { return _bSetPrefixe(pszTexte, nHeureEte, true, false); }

bool CXTime::bSetZNDate(const char* pszTexte) {
    if (pszTexte == nullptr || strnlen(pszTexte, 9) != 8) return false;
    m_stTm.tm_year = _nChamp(pszTexte, 4) - 1900;
    m_stTm.tm_mon = std::max(_nChamp(pszTexte + 4, 2) - 1, 0);
    m_stTm.tm_mday = std::max(_nChamp(pszTexte + 6, 2), 1);
    m_stTm.tm_wday = -1;
    m_stTm.tm_yday = -1;
    return true;
}

bool CXTime::bSetZNTime(const char* pszTexte) {
    if (pszTexte == nullptr) return false;
    size_t nL = strnlen(pszTexte, 16);
    if (nL < 4) return false;
    m_stTm.tm_hour = _nChamp(pszTexte, 2);
    m_stTm.tm_min = _nChamp(pszTexte + 2, 2);
    m_stTm.tm_sec = nL >= 6 ? _nChamp(pszTexte + 4, 2) : 0;
    m_nMilli = 0;
    if (nL == 8)
        m_nMilli = _nChamp(pszTexte + 6, 2) * 10;
    else if (nL == 9)
        m_nMilli = _nChamp(pszTexte + 6, 3);
    return true;
}

// --- Calendar -------------------------------------------------------------------------------

bool CXTime::bBissextile(int nAnnee) { return (nAnnee % 4 == 0 && nAnnee % 100 != 0) || nAnnee % 400 == 0; }

int CXTime::nGetDayInMonth(int nMois, int nAnnee) {
    static const int s_nJours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nMois < 1 || nMois > 12) return 0;
    return s_nJours[nMois - 1] + ((nMois == 2 && bBissextile(nAnnee)) ? 1 : 0);
}

int CXTime::nGetDayInMonth(const char* pszDate) {
    if (pszDate == nullptr || strnlen(pszDate, 6) < 6) return 0;
    return nGetDayInMonth(_nChamp(pszDate + 4, 2), _nChamp(pszDate, 4));
}

// --- Text output ----------------------------------------------------------------------------

CTString CXTime::_clStrftime(const char* pszPattern) const {
    CTString cl;
    Format(pszPattern, cl);
    return cl;
}

bool CXTime::Format(const char* pszPattern, CTString& clResultat) const {
    clResultat.Vide();
    if (pszPattern == nullptr || *pszPattern == 0) return true;
    // strftime cannot tell an empty result from a short buffer: grow until
    // the result fits, within a fixed bound.
    for (size_t nTaille = 256; nTaille <= 65536; nTaille *= 4) {
        std::vector<char> buf(nTaille);
        size_t n = strftime(buf.data(), nTaille, pszPattern, &m_stTm);
        if (n > 0 || nTaille >= 65536) {
            if (n == 0 && nTaille >= 65536) return false;
            clResultat.Set(buf.data(), int(n));
            return true;
        }
    }
    return false;
}

CTString CXTime::GetZNDate() const { return _clStrftime("%Y%m%d"); }
CTString CXTime::GetZNTimeHHMM() const { return _clStrftime("%H%M"); }
CTString CXTime::GetZNTimeHHMMSS() const { return _clStrftime("%H%M%S"); }
CTString CXTime::GetZNTimeAAAAMMJJ_HHMMSS() const { return _clStrftime("%Y%m%d %H%M%S"); }

CTString CXTime::GetZNTimeAAAAMMJJHHMMSSCCm() const {
    CTString cl = _clStrftime("%Y%m%d%H%M%S");
    cl.AddPrintf("%03d", m_nMilli);
    return cl;
}

CTString CXTime::GetZNTimeHHMMSSCCm() const {
    CTString cl = _clStrftime("%H%M%S");
    cl.AddPrintf("%03d", m_nMilli);
    return cl;
}

CTString CXTime::GetZNTimeReadable() const {
    CTString cl;
    cl.printf("%02d/%02d/%04d %02d:%02d:%02d,%03d", nGetDay(), nGetMonth(), nGetYear(), nGetHour(), nGetMinute(),
              nGetSecond(), m_nMilli);
    return cl;
}

CTString CXTime::GetZNTimeReadableSS() const {
    CTString cl;
    cl.printf("%02d/%02d/%04d %02d:%02d:%02d", nGetDay(), nGetMonth(), nGetYear(), nGetHour(), nGetMinute(),
              nGetSecond());
    return cl;
}

CTString CXTime::FormatToOdbcDate() const {
    CTString cl;
    cl.printf("{d '%04d-%02d-%02d'}", nGetYear(), nGetMonth(), nGetDay());
    return cl;
}

CTString CXTime::FormatToOdbcTime() const {
    CTString cl;
    cl.printf("{t '%02d:%02d:%02d.%03d'}", nGetHour(), nGetMinute(), nGetSecond(), m_nMilli);
    return cl;
}

CTString CXTime::FormatToOdbcTimeStamp() const {
    CTString cl;
    cl.printf("{ts '%04d-%02d-%02d %02d:%02d:%02d.%03d'}", nGetYear(), nGetMonth(), nGetDay(), nGetHour(), nGetMinute(),
              nGetSecond(), m_nMilli);
    return cl;
}

void CXTime::GetZNDateTime(CDateTime& clDate) const {
    clDate.Set(nGetYear(), nGetMonth(), nGetDay(), nGetHour(), nGetMinute(), nGetSecond(), m_nMilli);
}

// --- Comparison -----------------------------------------------------------------------------

int CXTime::snCompare(const CXTime& clA, const CXTime& clB) {
    const struct tm& a = clA.m_stTm;
    const struct tm& b = clB.m_stTm;
    if (a.tm_year != b.tm_year) return a.tm_year - b.tm_year;
    if (a.tm_mon != b.tm_mon) return a.tm_mon - b.tm_mon;
    if (a.tm_mday != b.tm_mday) return a.tm_mday - b.tm_mday;
    if (a.tm_hour != b.tm_hour) return a.tm_hour - b.tm_hour;
    if (a.tm_min != b.tm_min) return a.tm_min - b.tm_min;
    return a.tm_sec - b.tm_sec;
}

bool CXTime::operator>(const CXTime& clAutre) const {
    int n = snCompare(*this, clAutre);
    return n > 0 || (n == 0 && m_nMilli > clAutre.m_nMilli);
}

bool CXTime::operator>=(const CXTime& clAutre) const {
    int n = snCompare(*this, clAutre);
    return n > 0 || (n == 0 && m_nMilli >= clAutre.m_nMilli);
}
