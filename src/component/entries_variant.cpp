// Entry points of Max, Min and VerifieExpressionReguliere. Arguments after
// the declared ones are fetched by the bodies through the host's
// parameter services.
#include "component/entries.h"

using namespace entry;

namespace {

int _Texte(STZNAppel* pstAppel, CZNDSTR s) {
    Result(pstAppel, &s, qvstd::TC_DSTR);
    return 0;
}

int _Reel(STZNAppel* pstAppel, double r) {
    Result(pstAppel, &r, qvstd::TC_REAL);
    return 0;
}

}  // namespace

extern "C" {

// Max(text, ...) and Max(real, ...)
QV_EXPORT int ZNL_Max_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->Max(static_cast<const char*>(CTexte(ppArgs, 0))));
}
QV_EXPORT int ZNL_Max_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Reel(pstAppel, Lib(pclLib)->Max(Real(ppArgs, 0)));
}
// Min(text, ...) and Min(real, ...)
QV_EXPORT int ZNL_Min_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->Min(static_cast<const char*>(CTexte(ppArgs, 0))));
}
QV_EXPORT int ZNL_Min_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Reel(pstAppel, Lib(pclLib)->Min(Real(ppArgs, 0)));
}

// VerifieExpressionReguliere(text, pattern [, variable...])
QV_EXPORT int ZNL_VerifieExpressionReguliere_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    CZNDSTR sTexte(*static_cast<const CZNDSTRBase*>(ppArgs[0]));
    if (sTexte.nGetTypeAUB() == 16) {
        CZNDSTR sAnsi;
        sAnsi.nAffecteToANSI(sTexte);
        sTexte = sAnsi;
    }
    ResultBool(pstAppel, Lib(pclLib)->ChaineVerifieFormat(sTexte.pszGet(), CTexte(ppArgs, 1)));
    return 0;
}

}  // extern "C"
