// The machine clock: the current local date and time, and the setting of
// the clock, through replaceable reader and setter.

// 64-bit seconds for the C library's conversions in this file, also in the
// i386 build.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64
#endif
#ifndef _TIME_BITS
#define _TIME_BITS 64
#endif

#include "datetime/horloge.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "qvstd/xerror.h"

namespace {

PFN_LitHorloge s_pfnLit = FN_LitHorlogeSysteme;
PFN_RegleHorloge s_pfnRegle = FN_nRegleHorlogeSysteme;

// Errors of the clock setting.
constexpr int ERR_DROITS = 80014;    // the process may not set the clock
constexpr int ERR_SYSTEME = 80153;   // any other system failure

bool _bHeureLocale(struct tm& stTm, int32_t& nMilli) {
    STInstant st = s_pfnLit();
    time_t t = time_t(st.llSecondes);
    nMilli = st.nMillisecondes;
    return localtime_r(&t, &stTm) != nullptr;
}

bool _bEchec(int nErreur, CXError* pclErreur) {
    if (pclErreur != nullptr) {
        pclErreur->SetUserErrorArgs(nErreur == EPERM ? ERR_DROITS : ERR_SYSTEME);
        pclErreur->SetSystemError(nErreur);
    }
    return false;
}

// The broken-down local time read back by the C library, then the clock
// set at that second.
bool _bSetLocalTime(struct tm& stTm, CXError* pclErreur) {
    stTm.tm_isdst = -1;
    errno = 0;
    time_t t = mktime(&stTm);
    if (t == time_t(-1)) return _bEchec(errno != 0 ? errno : EOVERFLOW, pclErreur);
    int nErreur = s_pfnRegle(int64_t(t));
    if (nErreur != 0) return _bEchec(nErreur, pclErreur);
    return true;
}

}  // namespace

PFN_LitHorloge FN_pfnSetLitHorloge(PFN_LitHorloge pfn) {
    PFN_LitHorloge pfnAncien = s_pfnLit;
    s_pfnLit = pfn != nullptr ? pfn : FN_LitHorlogeSysteme;
    return pfnAncien;
}

PFN_RegleHorloge FN_pfnSetRegleHorloge(PFN_RegleHorloge pfn) {
    PFN_RegleHorloge pfnAncien = s_pfnRegle;
    s_pfnRegle = pfn != nullptr ? pfn : FN_nRegleHorlogeSysteme;
    return pfnAncien;
}

STInstant FN_LitHorlogeSysteme() {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    return STInstant{int64_t(ts.tv_sec), int32_t(ts.tv_nsec / 1000000)};
}

int FN_nRegleHorlogeSysteme(int64_t llSecondes) {
    // Asked first, so that a process without the right never reaches the
    // system call.
    __user_cap_header_struct stEntete{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct tabDroits[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &stEntete, tabDroits) != 0) return errno;
    if ((tabDroits[CAP_TO_INDEX(CAP_SYS_TIME)].effective & CAP_TO_MASK(CAP_SYS_TIME)) == 0) return EPERM;
    struct timeval tv {};
    tv.tv_sec = time_t(llSecondes);
    if (int64_t(tv.tv_sec) != llSecondes) return EOVERFLOW;
    if (settimeofday(&tv, nullptr) != 0) return errno;
    return 0;
}

void GetDate(uint16_t& nJour, uint16_t& nMois, uint16_t& nAnnee) {
    struct tm stTm {};
    int32_t nMilli = 0;
    _bHeureLocale(stTm, nMilli);
    nJour = uint16_t(stTm.tm_mday);
    nMois = uint16_t(stTm.tm_mon + 1);
    nAnnee = uint16_t(stTm.tm_year + 1900);
}

void GetTime(uint16_t& nHeures, uint16_t& nMinutes, uint16_t& nSecondes, uint16_t& nCentiemes) {
    struct tm stTm {};
    int32_t nMilli = 0;
    _bHeureLocale(stTm, nMilli);
    nHeures = uint16_t(stTm.tm_hour);
    nMinutes = uint16_t(stTm.tm_min);
    nSecondes = uint16_t(stTm.tm_sec);
    nCentiemes = uint16_t(nMilli / 10);
}

bool bSetDate(uint16_t nJour, uint16_t nMois, uint16_t nAnnee, CXError* pclErreur) {
    struct tm stTm {};
    int32_t nMilli = 0;
    if (!_bHeureLocale(stTm, nMilli)) return _bEchec(EOVERFLOW, pclErreur);
    stTm.tm_year = int(nAnnee) - 1900;
    stTm.tm_mon = int(nMois) - 1;
    stTm.tm_mday = nJour;
    return _bSetLocalTime(stTm, pclErreur);
}

bool bSetTime(uint16_t nHeures, uint16_t nMinutes, uint16_t nSecondes, uint16_t /*nCentiemes*/,
              CXError* pclErreur) {
    struct tm stTm {};
    int32_t nMilli = 0;
    if (!_bHeureLocale(stTm, nMilli)) return _bEchec(EOVERFLOW, pclErreur);
    stTm.tm_hour = nHeures;
    stTm.tm_min = nMinutes;
    stTm.tm_sec = nSecondes;
    return _bSetLocalTime(stTm, pclErreur);
}
