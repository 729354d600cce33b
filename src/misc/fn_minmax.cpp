// Max and Min over any number of arguments: the first is given, the others
// are fetched from the host as variants.
#include "core/any.h"
#include "core/strfunc.h"
#include "misc/functions.h"

namespace {

CZNDSTR _MinMaxTexte(CZNLibrary& lib, const char* pszPremier, bool bMax) {
    CAny clCourant;
    clCourant.__SetType(ANY_CSTR);
    clCourant.SetValue(pszPremier != nullptr ? pszPremier : "");
    for (int i = 2; i <= lib.wGetNbParam(); ++i) {
        CAny clArgument;
        if (!lib.bGetParamAny(i, &clArgument)) return CZNDSTR();
        // A value the host cannot show as a text takes no part.
        if (clArgument.nCastTo(ANY_CSTR) > 99 || clArgument.nGetType() != ANY_CSTR) continue;
        const char* pszCourant = "";
        const char* pszArgument = "";
        clCourant.nGetPCXSTR(&pszCourant);
        clArgument.nGetPCXSTR(&pszArgument);
        int nComparaison = STR_nCompare(pszCourant, pszArgument, 0);
        if ((bMax && nComparaison < 0) || (!bMax && nComparaison > 0)) clCourant.nCopy(clArgument);
    }
    const char* psz = "";
    clCourant.nGetPCXSTR(&psz);
    return CZNDSTR(psz);
}

double _MinMaxReel(CZNLibrary& lib, double rPremier, bool bMax) {
    double rCourant = rPremier;
    for (int i = 2; i <= lib.wGetNbParam(); ++i) {
        CAny clArgument;
        if (!lib.bGetParamAny(i, &clArgument)) return 0;
        double r = 0;
        if (clArgument.nCastTo(ANY_R8) > 99 || clArgument.nGetREAL(&r) != 0) continue;
        if ((bMax && rCourant < r) || (!bMax && rCourant > r)) rCourant = r;
    }
    return rCourant;
}

}  // namespace

namespace misc {

CZNDSTR Max(CZNLibrary& lib, const char* pszPremier) { return _MinMaxTexte(lib, pszPremier, true); }
CZNDSTR Min(CZNLibrary& lib, const char* pszPremier) { return _MinMaxTexte(lib, pszPremier, false); }
double Max(CZNLibrary& lib, double rPremier) { return _MinMaxReel(lib, rPremier, true); }
double Min(CZNLibrary& lib, double rPremier) { return _MinMaxReel(lib, rPremier, false); }

}  // namespace misc
