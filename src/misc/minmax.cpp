// Max and Min over any number of arguments.
#include "component/compo.h"
#include "core/any.h"
#include "core/strfunc.h"

CZNDSTR CComposanteStandard::_MinMaxTexte(const char* pszPremier, bool bMax) {
    CAny clCourant;
    clCourant.__SetType(ANY_CSTR);
    clCourant.SetValue(pszPremier != nullptr ? pszPremier : "");
    for (int i = 2; i <= wGetNbParam(); ++i) {
        CAny clArgument;
        if (!bGetParamAny(i, &clArgument)) return CZNDSTR();
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

double CComposanteStandard::_MinMaxReel(double rPremier, bool bMax) {
    double rCourant = rPremier;
    for (int i = 2; i <= wGetNbParam(); ++i) {
        CAny clArgument;
        if (!bGetParamAny(i, &clArgument)) return 0;
        double r = 0;
        if (clArgument.nCastTo(ANY_R8) > 99 || clArgument.nGetREAL(&r) != 0) continue;
        if ((bMax && rCourant < r) || (!bMax && rCourant > r)) rCourant = r;
    }
    return rCourant;
}
