// 64-bit seconds for the C library's conversions in this file, also in the
// i386 build.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64
#endif
#ifndef _TIME_BITS
#define _TIME_BITS 64
#endif

#include "datetime/systime.h"

#include <cerrno>
#include <ctime>

namespace {

constexpr int64_t TICKS_PAR_SECONDE = 10000000;
constexpr int64_t TICKS_PAR_MILLI = 10000;
constexpr int64_t SECONDES_1601_1970 = 11644473600LL;
constexpr int64_t SECONDES_JOUR = 86400;

int64_t _llTicks(const STFileTime& st) {
    return int64_t((uint64_t(st.dwHighDateTime) << 32) | st.dwLowDateTime);
}

void _SetTicks(STFileTime& st, int64_t ll) {
    st.dwLowDateTime = uint32_t(uint64_t(ll));
    st.dwHighDateTime = uint32_t(uint64_t(ll) >> 32);
}

bool _bBissextile(int64_t a) { return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0; }

// Days from 1 January 1970 of a proleptic Gregorian date, and back.
int64_t _llJoursDepuisCivil(int64_t a, int64_t m, int64_t j) {
    a -= m <= 2;
    const int64_t ere = (a >= 0 ? a : a - 399) / 400;
    const int64_t ae = a - ere * 400;
    const int64_t ja = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + j - 1;
    const int64_t je = ae * 365 + ae / 4 - ae / 100 + ja;
    return ere * 146097 + je - 719468;
}

void _CivilDepuisJours(int64_t z, int64_t& a, int64_t& m, int64_t& j) {
    z += 719468;
    const int64_t ere = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t je = z - ere * 146097;
    const int64_t ae = (je - je / 1460 + je / 36524 - je / 146096) / 365;
    const int64_t ja = je - (365 * ae + ae / 4 - ae / 100);
    const int64_t mp = (5 * ja + 2) / 153;
    j = ja - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    a = ae + ere * 400 + (m <= 2);
}

void _DepuisTm(const struct tm& t, int nMilli, STSystemTime& st) {
    st.wYear = uint16_t(t.tm_year + 1900);
    st.wMonth = uint16_t(t.tm_mon + 1);
    st.wDayOfWeek = uint16_t(t.tm_wday);
    st.wDay = uint16_t(t.tm_mday);
    st.wHour = uint16_t(t.tm_hour);
    st.wMinute = uint16_t(t.tm_min);
    st.wSecond = uint16_t(t.tm_sec);
    st.wMilliseconds = uint16_t(nMilli);
}

void _Maintenant(bool bUTC, STSystemTime& st) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm t {};
    time_t s = ts.tv_sec;
    if (bUTC)
        gmtime_r(&s, &t);
    else
        localtime_r(&s, &t);
    _DepuisTm(t, int(ts.tv_nsec / 1000000), st);
}

}  // namespace

bool SYS_bSystemTimeToFileTime(const STSystemTime& st, STFileTime& stFichier) {
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 || st.wHour > 23 ||
        st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999)
        return false;
    static const int s_nJours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int nFin = s_nJours[st.wMonth - 1] + ((st.wMonth == 2 && _bBissextile(st.wYear)) ? 1 : 0);
    if (st.wDay > nFin) return false;
    int64_t llJours = _llJoursDepuisCivil(st.wYear, st.wMonth, st.wDay);
    int64_t llSecondes = llJours * SECONDES_JOUR + st.wHour * 3600 + st.wMinute * 60 + st.wSecond + SECONDES_1601_1970;
    _SetTicks(stFichier, llSecondes * TICKS_PAR_SECONDE + int64_t(st.wMilliseconds) * TICKS_PAR_MILLI);
    return true;
}

bool SYS_bFileTimeToSystemTime(const STFileTime& stFichier, STSystemTime& st) {
    int64_t ll = _llTicks(stFichier);
    if (ll < 0) return false;
    int64_t llSecondes = ll / TICKS_PAR_SECONDE - SECONDES_1601_1970;
    int64_t nMilli = ll % TICKS_PAR_SECONDE / TICKS_PAR_MILLI;
    int64_t llJours = llSecondes >= 0 ? llSecondes / SECONDES_JOUR : -((-llSecondes + SECONDES_JOUR - 1) / SECONDES_JOUR);
    int64_t nSecJour = llSecondes - llJours * SECONDES_JOUR;
    int64_t a = 0, m = 0, j = 0;
    _CivilDepuisJours(llJours, a, m, j);
    if (a > 30827) return false;
    st.wYear = uint16_t(a);
    st.wMonth = uint16_t(m);
    st.wDay = uint16_t(j);
    // 1 January 1970 was a Thursday.
    int64_t w = (llJours + 4) % 7;
    st.wDayOfWeek = uint16_t(w < 0 ? w + 7 : w);
    st.wHour = uint16_t(nSecJour / 3600);
    st.wMinute = uint16_t(nSecJour % 3600 / 60);
    st.wSecond = uint16_t(nSecJour % 60);
    st.wMilliseconds = uint16_t(nMilli);
    return true;
}

bool SYS_bFileTimeToLocalFileTime(const STFileTime& stUTC, STFileTime& stLocale) {
    int64_t ll = _llTicks(stUTC);
    if (ll < 0) return false;
    time_t t = time_t(ll / TICKS_PAR_SECONDE - SECONDES_1601_1970);
    struct tm stTm {};
    if (localtime_r(&t, &stTm) == nullptr) return false;
    int64_t llLocal = ll + int64_t(stTm.tm_gmtoff) * TICKS_PAR_SECONDE;
    if (llLocal < 0) return false;
    _SetTicks(stLocale, llLocal);
    return true;
}

bool SYS_bLocalFileTimeToFileTime(const STFileTime& stLocale, STFileTime& stUTC) {
    STSystemTime st{};
    if (!SYS_bFileTimeToSystemTime(stLocale, st)) return false;
    struct tm stTm {};
    stTm.tm_year = st.wYear - 1900;
    stTm.tm_mon = st.wMonth - 1;
    stTm.tm_mday = st.wDay;
    stTm.tm_hour = st.wHour;
    stTm.tm_min = st.wMinute;
    stTm.tm_sec = st.wSecond;
    stTm.tm_isdst = -1;
    errno = 0;
    time_t t = mktime(&stTm);
    if (t == time_t(-1) && errno != 0) return false;
    int64_t ll = (int64_t(t) + SECONDES_1601_1970) * TICKS_PAR_SECONDE + _llTicks(stLocale) % TICKS_PAR_SECONDE;
    if (ll < 0) return false;
    _SetTicks(stUTC, ll);
    return true;
}

void SYS_GetLocalTime(STSystemTime& st) { _Maintenant(false, st); }
void SYS_GetSystemTime(STSystemTime& st) { _Maintenant(true, st); }
