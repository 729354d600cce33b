// NumeriqueVersChaine and TailleVersChaine: numbers and sizes as text.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/tstring.h"
#include "numeric/functions.h"
#include "numeric/masquenum.h"
#include "numeric/numfmt.h"

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

namespace numeric {

CZNDSTR NumeriqueVersChaine(CZNLibrary& lib, const CAny& clValeur) { return NumeriqueVersChaine(lib, clValeur, ""); }

CZNDSTR NumeriqueVersChaine(CZNLibrary& lib, const CAny& clValeur, const char* pszFormat) {
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
    if (nType == ANY_R8) {
        // The common case read as it stands, without a converted copy.
        memcpy(&stValeur.r, clValeur.pGetValeur(), sizeof stValeur.r);
    } else {
        CAny cl;
        if (cl.nCopy(clValeur) != 0 || cl.nCastTo(ANY_R8) > 99 || cl.nGetREAL(&stValeur.r) != 0) stValeur.r = 0;
    }
    if (nType == ANY_I8 || nType == ANY_UI8) memcpy(&stValeur.ll, clValeur.pGetValeur(), sizeof stValeur.ll);
    if (NUM_eFormate(stValeur, pszFormat, s) != RF_OK) {
        lib.RaiseError(80270, pszFormat);
        return CZNDSTR();
    }
    return CZNDSTR(s.c_str());
}

CZNDSTR TailleVersChaine(CZNLibrary& lib, int64_t llTaille) { return TailleVersChaine(lib, llTaille, 0); }

CZNDSTR TailleVersChaine(CZNLibrary& lib, int64_t llTaille, int32_t nUnite) {
    if (nUnite < 0 || nUnite > 5) {
        lib.RaiseError(81507);
        return CZNDSTR();
    }
    CMasqueNumerique clMasque("DiskSize");
    clMasque.SetInfoLangue(lib.piGetInfoLangue(), 0, 0);
    CTString clResultat;
    clMasque.MetAuFormatTailleDisque(llTaille, clResultat, nUnite);
    return CZNDSTR(clResultat.pszGet());
}

}  // namespace numeric
