// Entry points of the date and time functions. Texts arrive as dynamic
// strings (a Unicode text is converted first; a null text reads as empty,
// which the functions take as "not given"), day numbers and flags as 4-byte
// integers, durations as 8-byte milliseconds, date-times as their 8 bytes.
#include "component/entries.h"
#include "datetime/datetime.h"
#include "datetime/duree.h"

using namespace entry;

namespace {

CDuree _Duree(void** ppArgs, int i) {
    int64_t ll = 0;
    if (ppArgs[i] != nullptr) memcpy(&ll, ppArgs[i], sizeof ll);
    CDuree cl;
    cl.SetMillisecondes(ll);
    return cl;
}

CDateTime _DateHeure(void** ppArgs, int i) {
    CDateTime cl;
    cl.InitDate();
    if (ppArgs[i] != nullptr) memcpy(static_cast<void*>(&cl), ppArgs[i], sizeof cl);
    return cl;
}

int _Texte(STZNAppel* pstAppel, const CZNDSTR& s) {
    Result(pstAppel, &s, qvstd::TC_DSTR);
    return 0;
}

int _Entier(STZNAppel* pstAppel, int32_t n) {
    ResultInt(pstAppel, n);
    return 0;
}

int _Booleen(STZNAppel* pstAppel, bool b) {
    ResultBool(pstAppel, b);
    return 0;
}

int _Duree(STZNAppel* pstAppel, const CDuree& cl) {
    int64_t ll = cl.llGetMillisecondes();
    Result(pstAppel, &ll, qvstd::TC_DURATION);
    return 0;
}

}  // namespace

extern "C" {

// DateSys, DateDuJour: today's date; with a date, sets the clock.
QV_EXPORT int ZNL_DateSys_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void**) {
    return _Texte(pstAppel, Lib(pclLib)->DateSys());
}
QV_EXPORT int ZNL_DateSys_1(STZNAppel*, IZNLibrary* pclLib, void** ppArgs) {
    Lib(pclLib)->DateSys(CTexte(ppArgs, 0));
    return 0;
}
QV_EXPORT int ZNL_DateDuJour_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void**) {
    return _Texte(pstAppel, Lib(pclLib)->DateSys());
}
QV_EXPORT int ZNL_DateDuJour_1(STZNAppel*, IZNLibrary* pclLib, void** ppArgs) {
    Lib(pclLib)->DateSys(CTexte(ppArgs, 0));
    return 0;
}

// HeureSys, Maintenant: the time now; with a time, sets the clock.
QV_EXPORT int ZNL_HeureSys_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void**) {
    return _Texte(pstAppel, Lib(pclLib)->HeureSys());
}
QV_EXPORT int ZNL_HeureSys_1(STZNAppel*, IZNLibrary* pclLib, void** ppArgs) {
    Lib(pclLib)->HeureSys(CTexte(ppArgs, 0));
    return 0;
}
QV_EXPORT int ZNL_Maintenant_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void**) {
    return _Texte(pstAppel, Lib(pclLib)->HeureSys());
}
QV_EXPORT int ZNL_Maintenant_1(STZNAppel*, IZNLibrary* pclLib, void** ppArgs) {
    Lib(pclLib)->HeureSys(CTexte(ppArgs, 0));
    return 0;
}

// EntierVersDate(day number [, part])
QV_EXPORT int ZNL_EntierVersDate_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->EntierVersDate(Int(ppArgs, 0), nullptr));
}
QV_EXPORT int ZNL_EntierVersDate_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->EntierVersDate(Int(ppArgs, 0), CTexte(ppArgs, 1)));
}

QV_EXPORT int ZNL_EntierVersJour_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Entier(pstAppel, CComposanteStandard::EntierVersJour(Int(ppArgs, 0)));
}

QV_EXPORT int ZNL_EntierVersHeure_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->EntierVersHeure(Int(ppArgs, 0)));
}

QV_EXPORT int ZNL_HeureVersEntier_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->HeureVersEntier(CTexte(ppArgs, 0)));
}

// HeureVersChaine(time [, mask])
QV_EXPORT int ZNL_HeureVersChaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->HeureVersChaine(CTexte(ppArgs, 0), nullptr));
}
QV_EXPORT int ZNL_HeureVersChaine_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->HeureVersChaine(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}

// DateVersEntier(date [, day of the year])
QV_EXPORT int ZNL_DateVersEntier_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->DateVersEntier(CTexte(ppArgs, 0), 0));
}
QV_EXPORT int ZNL_DateVersEntier_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->DateVersEntier(CTexte(ppArgs, 0), Int(ppArgs, 1)));
}

// DateVersChaine(date [, mask])
QV_EXPORT int ZNL_DateVersChaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->DateVersChaine(CTexte(ppArgs, 0), nullptr));
}
QV_EXPORT int ZNL_DateVersChaine_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->DateVersChaine(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}

QV_EXPORT int ZNL_DateValide_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Booleen(pstAppel, CComposanteStandard::DateValide(CTexte(ppArgs, 0)));
}
QV_EXPORT int ZNL_DateEstValide_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Booleen(pstAppel, CComposanteStandard::DateValide(CTexte(ppArgs, 0)));
}

QV_EXPORT int ZNL_NumeroDeSemaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->NumeroDeSemaine(CTexte(ppArgs, 0)));
}
QV_EXPORT int ZNL_DateVersNumeroDeSemaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->DateVersNumeroDeSemaine(CTexte(ppArgs, 0)));
}
QV_EXPORT int ZNL_EntierVersNumeroDeSemaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->EntierVersNumeroDeSemaine(Int(ppArgs, 0)));
}

QV_EXPORT int ZNL_EntierVersJourEnLettre_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->EntierVersJourEnLettre(Int(ppArgs, 0)));
}
QV_EXPORT int ZNL_EntierVersMoisEnLettre_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->EntierVersMoisEnLettre(Int(ppArgs, 0)));
}
QV_EXPORT int ZNL_DateVersJourEnLettre_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->DateVersJourEnLettre(CTexte(ppArgs, 0)));
}
QV_EXPORT int ZNL_DateVersMoisEnLettre_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->DateVersMoisEnLettre(CTexte(ppArgs, 0)));
}
QV_EXPORT int ZNL_DateVersJour_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->DateVersJour(CTexte(ppArgs, 0)));
}

// HeureValide answers its boolean with the integer type code.
QV_EXPORT int ZNL_HeureValide_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Entier(pstAppel, CComposanteStandard::HeureValide(CTexte(ppArgs, 0)) ? 1 : 0);
}
QV_EXPORT int ZNL_HeureEstValide_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Entier(pstAppel, CComposanteStandard::HeureValide(CTexte(ppArgs, 0)) ? 1 : 0);
}

QV_EXPORT int ZNL_DateDifference_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->DateDifference(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}
QV_EXPORT int ZNL_HeureDifference_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Entier(pstAppel, Lib(pclLib)->HeureDifference(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}
QV_EXPORT int ZNL_DateHeureDifference_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->DateHeureDifference(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}

// ChaineVersDate(text [, mask])
QV_EXPORT int ZNL_ChaineVersDate_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->ChaineVersDate(CTexte(ppArgs, 0), nullptr));
}
QV_EXPORT int ZNL_ChaineVersDate_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->ChaineVersDate(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}

// ChaineVersDuree(text, form) and (text, mask)
QV_EXPORT int ZNL_ChaineVersDuree_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Duree(pstAppel, CComposanteStandard::ChaineVersDuree(CTexte(ppArgs, 0), Int(ppArgs, 1)));
}
QV_EXPORT int ZNL_ChaineVersDuree_1(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Duree(pstAppel, CComposanteStandard::ChaineVersDuree(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}

// DureeVersChaine(duration, form) and (duration, mask)
QV_EXPORT int ZNL_DureeVersChaine_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Texte(pstAppel, CComposanteStandard::DureeVersChaine(_Duree(ppArgs, 0), Int(ppArgs, 1)));
}
QV_EXPORT int ZNL_DureeVersChaine_1(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Texte(pstAppel, CComposanteStandard::DureeVersChaine(_Duree(ppArgs, 0), CTexte(ppArgs, 1)));
}

// Age(birth date [, reference date])
QV_EXPORT int ZNL_Age_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Texte(pstAppel, CComposanteStandard::Age(CTexte(ppArgs, 0), nullptr));
}
QV_EXPORT int ZNL_Age_1(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Texte(pstAppel, CComposanteStandard::Age(CTexte(ppArgs, 0), CTexte(ppArgs, 1)));
}

// Paques(year as text) and (year as integer)
QV_EXPORT int ZNL_Paques_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Texte(pstAppel, CComposanteStandard::Paques(static_cast<const char*>(CTexte(ppArgs, 0))));
}
QV_EXPORT int ZNL_Paques_1(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Texte(pstAppel, CComposanteStandard::Paques(int(Int(ppArgs, 0))));
}

QV_EXPORT int ZNL_DateHeureUTCVersLocale_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->UTCVersLocale(_DateHeure(ppArgs, 0)));
}
QV_EXPORT int ZNL_DateHeureLocaleVersUTC_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->LocaleVersUTC(_DateHeure(ppArgs, 0)));
}

}  // extern "C"
