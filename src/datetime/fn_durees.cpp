// Language functions on durations and on date-times between UTC and local
// time.
#include "datetime/datetime.h"
#include "datetime/duree.h"
#include "datetime/functions.h"
#include "datetime/systime.h"
#include "datetime/xtime.h"

namespace {

constexpr int FORME_CENTIEMES = 1;
constexpr int ERR_CONVERSION = 80051;   // date invalid or out of range

bool _bMasque(const char* pszMasque) { return pszMasque != nullptr && pszMasque[0] != 0; }

CZNDSTR _Texte17(const STSystemTime& st) {
    CDateTime cl;
    cl.Set(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    CZNDSTR s;
    cl.nVersChaine(s);
    return s;
}

// The fields of a date-time that the clock conversions can take: a real
// date and a time within the day.
bool _bConvertible(const CDateTime& clDate) {
    int32_t n = 0;
    return clDate.nVersEntier(n) == 0 && clDate.dwGetMillisecondes() < CDateTimeBase::MS_PAR_JOUR;
}

}  // namespace

namespace datetime {

CDuree ChaineVersDuree(CZNLibrary&, const char* pszTexte, int32_t nForme) {
    CDuree cl;
    cl.SetMillisecondes(0);
    const char* p = pszTexte != nullptr ? pszTexte : "";
    int nRes = nForme == FORME_CENTIEMES ? cl.nDepuisChaineCentieme(p) : cl.nDepuisChaine(p);
    if (nRes != 0) cl.SetMillisecondes(0);
    return cl;
}

CDuree ChaineVersDuree(CZNLibrary& lib, const char* pszTexte, const char* pszMasque) {
    if (!_bMasque(pszMasque)) return ChaineVersDuree(lib, pszTexte, 0);
    CDuree cl;
    cl.SetMillisecondes(0);
    if (nChaineVersDuree(cl, pszTexte != nullptr ? pszTexte : "", pszMasque) != 0) cl.SetMillisecondes(0);
    return cl;
}

CZNDSTR DureeVersChaine(CZNLibrary&, const CDuree& clDuree, int32_t nForme) {
    CZNDSTR s;
    if (nForme == FORME_CENTIEMES)
        clDuree.nVersChaineCentieme(s);
    else
        clDuree.nVersChaine(s);
    return s;
}

CZNDSTR DureeVersChaine(CZNLibrary& lib, const CDuree& clDuree, const char* pszMasque) {
    if (!_bMasque(pszMasque)) return DureeVersChaine(lib, clDuree, 0);
    CZNDSTR s;
    nDureeVersChaine(clDuree, s, pszMasque);
    return s;
}

CZNDSTR DateHeureUTCVersLocale(CZNLibrary& lib, const CDateTime& clDate) {
    STSystemTime st{};
    STFileTime stUTC{}, stLocale{};
    if (_bConvertible(clDate) && clDate.nVersSysteme(st) == 0 && SYS_bSystemTimeToFileTime(st, stUTC) &&
        SYS_bFileTimeToLocalFileTime(stUTC, stLocale) && SYS_bFileTimeToSystemTime(stLocale, st))
        return _Texte17(st);
    lib.RaiseError(ERR_CONVERSION);
    return CZNDSTR();
}

CZNDSTR DateHeureLocaleVersUTC(CZNLibrary& lib, const CDateTime& clDate) {
    STSystemTime st{};
    STFileTime stUTC{};
    if (_bConvertible(clDate)) {
        CXTime clLocale(clDate);   // daylight saving left to the C library
        if (clLocale.bGetAsFileTime(stUTC) && SYS_bFileTimeToSystemTime(stUTC, st)) return _Texte17(st);
    }
    lib.RaiseError(ERR_CONVERSION);
    return CZNDSTR();
}

}  // namespace datetime
