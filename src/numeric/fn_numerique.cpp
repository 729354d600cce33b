// NumeriqueVersChaine and TailleVersChaine.
#include <cstdio>
#include <cstring>
#include <string>

#include "component/compo.h"
#include "core/any.h"
#include "core/tstring.h"
#include "numeric/numfmt.h"
#include "numeric/masquenum.h"

namespace {

bool _bTypeEntier(int nType) {
    return (nType >= ANY_BOOL && nType <= ANY_I8) || nType == ANY_I4BIS;
}

// The variant as a text (through the host's conversions); false when it
// has none.
bool _bTexte(const CAny& clValeur, std::string& s) {
    CAny cl;
    if (cl.nCopy(clValeur) != 0) return false;
    if (cl.nGetType() != ANY_CSTR && (cl.nCastTo(ANY_CSTR) > 99 || cl.nGetType() != ANY_CSTR)) return false;
    const char* psz = nullptr;
    if (cl.nGetPCXSTR(&psz) != 0) return false;
    s = psz != nullptr ? psz : "";
    return true;
}

}  // namespace

CZNDSTR CComposanteStandard::NumeriqueVersChaine(const char* pszFormat) {
    CAny clValeur;
    if (!bGetParamAny(1, &clValeur)) return CZNDSTR();
    const int nType = clValeur.nGetType();
    std::string s;
    // Characters and texts come back as they are.
    if (nType >= ANY_CAR && nType <= 23) {
        _bTexte(clValeur, s);
        return CZNDSTR(s.c_str());
    }
    const bool bSansFormat = pszFormat == nullptr || *pszFormat == 0;
    if (bSansFormat) {
        if (_bTypeEntier(nType)) {
            CAny cl;
            int32_t n = 0;
            if (cl.nCopy(clValeur) == 0 && cl.nCastTo(ANY_I4) <= 99 && cl.nGetType() == ANY_I4 && cl.nGetINT(&n) == 0) {
                char sz[16];
                std::snprintf(sz, sizeof sz, "%d", static_cast<int>(n));
                return CZNDSTR(sz);
            }
        }
        if (!_bTexte(clValeur, s)) return CZNDSTR();
        if (!s.empty() && s.back() == '.') s.pop_back();
        return CZNDSTR(s.c_str());
    }
    STValeurNum stValeur;
    stValeur.nType = nType;
    {
        CAny cl;
        if (cl.nCopy(clValeur) != 0 || cl.nCastTo(ANY_R8) > 99 || cl.nGetREAL(&stValeur.r) != 0) stValeur.r = 0;
    }
    if (nType == ANY_I8 || nType == ANY_UI8) memcpy(&stValeur.ll, clValeur.pGetValeur(), sizeof stValeur.ll);
    if (NUM_eFormate(stValeur, pszFormat, s) != RF_OK) {
        RaiseError(80270, pszFormat);
        return CZNDSTR();
    }
    return CZNDSTR(s.c_str());
}

CZNDSTR CComposanteStandard::TailleVersChaine(int64_t llTaille, int nUnite) {
    if (nUnite < 0 || nUnite > 5) {
        RaiseError(81507);
        return CZNDSTR();
    }
    CMasqueNumerique clMasque("DiskSize");
    clMasque.SetInfoLangue(piGetInfoLangue(), 0, 0);
    CTString clResultat;
    clMasque.MetAuFormatTailleDisque(llTaille, clResultat, nUnite);
    return CZNDSTR(clResultat.pszGet());
}
