// The euro functions: rates, conversions between currencies through the
// euro with their rounding differences, default currencies and names.
#include <cmath>
#include <cstring>

#include "core/any.h"
#include "numeric/euro.h"
#include "numeric/functions.h"
#include "numeric/money.h"

namespace {

constexpr int k_nErrTable = 80190;
constexpr int k_nErrDevise = 80191;
constexpr int k_nErrTaux = 80192;
constexpr int k_nErrDivision = 80164;
constexpr int k_nErrDepassement = 80165;
constexpr int k_nTauxMax = 2147;   // largest integer part of a rate

// The table, or 80190 raised.
CTauxDeChange* _pclTable(CZNLibrary& lib) {
    CTauxDeChange* pcl = EURO_pclGetTable(lib);
    if (pcl == nullptr) lib.RaiseError(k_nErrTable);
    return pcl;
}

// The rate of a currency given as a language integer; false and 80191
// raised when the table does not know it.
bool _bTaux(CZNLibrary& lib, const CTauxDeChange& cl, int32_t nDevise, uint32_t& dwTaux) {
    dwTaux = (nDevise < 0 || nDevise > 65535) ? TAUX_INCONNU : cl.dwGetTaux(uint16_t(nDevise));
    if (dwTaux != TAUX_INCONNU) return true;
    lib.RaiseError(k_nErrDevise);
    return false;
}

// One conversion of an amount between two rates, rounded; false with the
// error raised.
bool _bConvertit(CZNLibrary& lib, const CMoney& clMontant, uint32_t dwDe, uint32_t dwVers, int nDecimales,
                 CMoney& clResultat) {
    if (dwDe == 0 || dwVers == 0) {
        lib.RaiseError(k_nErrDivision);
        return false;
    }
    if (!bChangeDevise_MONETAIRE(&clMontant, &clResultat, dwDe, dwVers) ||
        pstArrMonetaire(&clResultat, nDecimales) == nullptr) {
        lib.RaiseError(k_nErrDepassement);
        return false;
    }
    return true;
}

// The conversion, and the rounding difference into the variable when one
// is given: the amount minus the result converted back, rounded.
CMoney _Change(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers, int32_t nDecimales,
               IVariable* piDifference) {
    CTauxDeChange* pcl = _pclTable(lib);
    if (pcl == nullptr) return gclMoneyNULL;
    uint32_t dwDe = 0, dwVers = 0;
    if (!_bTaux(lib, *pcl, nDe, dwDe) || !_bTaux(lib, *pcl, nVers, dwVers)) return gclMoneyNULL;
    CMoney clResultat;
    if (!_bConvertit(lib, clMontant, dwDe, dwVers, nDecimales, clResultat)) return gclMoneyNULL;
    if (piDifference != nullptr) {
        CMoney clRetour;
        if (!_bConvertit(lib, clResultat, dwVers, dwDe, nDecimales, clRetour)) return gclMoneyNULL;
        CMoney clDifference = clMontant;
        if (pstSubMonetaire(&clDifference, &clRetour) == nullptr) {
            lib.RaiseError(k_nErrDepassement);
            return gclMoneyNULL;
        }
        CAny clValeur;
        clValeur.nAffecteParHolder(ANY_CY, &clDifference);
        piDifference->bAffecte(&clValeur, lib.pclGetError());
    }
    return clResultat;
}

// A default currency: read, and replaced by a valid number given.
int32_t _Defaut(CZNLibrary& lib, int32_t nDevise, bool bAffichage) {
    CTauxDeChange* pcl = _pclTable(lib);
    if (pcl == nullptr) return -1;
    if (nDevise >= 0) {
        if (nDevise >= pcl->wGetNombreDeDevise()) {
            lib.RaiseError(k_nErrDevise);
            return -1;
        }
        if (bAffichage)
            pcl->SetDefautAff(uint16_t(nDevise));
        else
            pcl->SetDefautMem(uint16_t(nDevise));
    }
    return bAffichage ? pcl->wGetDefautAff() : pcl->wGetDefautMem();
}

}  // namespace

namespace numeric {

void eInitDevise(CZNLibrary& lib, int32_t nDevise, const char* pszNom, double rTaux) {
    CTauxDeChange* pcl = _pclTable(lib);
    if (pcl == nullptr) return;
    if (nDevise < 0 || nDevise >= pcl->wGetNombreDeDevise()) {
        lib.RaiseError(k_nErrDevise);
        return;
    }
    // Read as any real becomes a currency value (six decimals, rounded),
    // so that 6.55957 is stored as 6 559 570 and not one millionth less.
    CMoney clTaux;
    uint32_t dwTaux = 0;
    if (!(rTaux > 0) || rTaux >= k_nTauxMax + 1 || pstDoubleVersMonetaire(&clTaux, rTaux) == nullptr ||
        (dwTaux = uint32_t(clTaux.m_aw[0] | uint32_t(clTaux.m_aw[1]) << 16)) == 0) {
        lib.RaiseError(k_nErrTaux, k_nTauxMax);
        return;
    }
    if (nDevise == 0 && dwTaux != TAUX_EURO) {
        lib.RaiseError(k_nErrDevise);
        return;
    }
    pcl->bChange(uint16_t(nDevise), dwTaux, pszNom);
}

double eTauxDeChange(CZNLibrary& lib) { return eTauxDeChange(lib, 1); }

double eTauxDeChange(CZNLibrary& lib, int32_t nDevise) {
    CTauxDeChange* pcl = _pclTable(lib);
    if (pcl == nullptr) return -1;
    uint32_t dw = 0;
    return _bTaux(lib, *pcl, nDevise, dw) ? dw / 1e6 : -1;
}

CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant) { return eVersEuro(lib, clMontant, 1, 2, nullptr); }
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise) {
    return eVersEuro(lib, clMontant, nDevise, 2, nullptr);
}
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales) {
    return eVersEuro(lib, clMontant, nDevise, nDecimales, nullptr);
}
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales,
                 IVariable* piDifference) {
    return _Change(lib, clMontant, nDevise, 0, nDecimales, piDifference);
}

CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant) { return eVersDevise(lib, clMontant, 1, 2, nullptr); }
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise) {
    return eVersDevise(lib, clMontant, nDevise, 2, nullptr);
}
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales) {
    return eVersDevise(lib, clMontant, nDevise, nDecimales, nullptr);
}
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales,
                   IVariable* piDifference) {
    return _Change(lib, clMontant, 0, nDevise, nDecimales, piDifference);
}

CMoney eChangeDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers) {
    return eChangeDevise(lib, clMontant, nDe, nVers, 2, nullptr);
}
CMoney eChangeDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers, int32_t nDecimales) {
    return eChangeDevise(lib, clMontant, nDe, nVers, nDecimales, nullptr);
}
CMoney eChangeDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers, int32_t nDecimales,
                     IVariable* piDifference) {
    return _Change(lib, clMontant, nDe, nVers, nDecimales, piDifference);
}

int32_t eDeviseMemParDefaut(CZNLibrary& lib) { return _Defaut(lib, -1, false); }
int32_t eDeviseMemParDefaut(CZNLibrary& lib, int32_t nDevise) { return _Defaut(lib, nDevise, false); }
int32_t eDeviseAffParDefaut(CZNLibrary& lib) { return _Defaut(lib, -1, true); }
int32_t eDeviseAffParDefaut(CZNLibrary& lib, int32_t nDevise) { return _Defaut(lib, nDevise, true); }

CZNDSTR eNomDevise(CZNLibrary& lib) { return eNomDevise(lib, 1); }

CZNDSTR eNomDevise(CZNLibrary& lib, int32_t nDevise) {
    CTauxDeChange* pcl = _pclTable(lib);
    if (pcl == nullptr) return CZNDSTR();
    if (nDevise < 0 || nDevise > 65535 || pcl->wResout(uint16_t(nDevise)) == DEVISE_INCONNUE) {
        lib.RaiseError(k_nErrDevise);
        return CZNDSTR();
    }
    return CZNDSTR(pcl->pszGetNom(uint16_t(nDevise)));
}

CMoney eDifferenceArrondi(CZNLibrary&, int32_t) { return gclMoneyNULL; }

}  // namespace numeric
