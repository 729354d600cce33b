// The Mem* language functions over the memory-zone engine.
#include <cstring>

#include "memzone/functions.h"
#include "memzone/memzone.h"
#include "memzone/mz_valeur.h"
#include "qvstd/xerror.h"

namespace memzone {

namespace {

// Absent and empty names both mean the default zone.
const char* _pszZone(const char* pszZone) { return pszZone != nullptr && pszZone[0] != '\0' ? pszZone : nullptr; }

bool _bTousLesNoms(const char* pszZone) { return pszZone != nullptr && strcmp(pszZone, "*") == 0; }

// Raises the user error of an engine outcome: an unknown zone only when the
// call named one other than the default.
void _Erreur(CZNLibrary& lib, eMemRes e, const char* pszZone, const CMemValeur* pclCle = nullptr,
             const CMemValeur* pclValeur = nullptr) {
    if (e == MEMR_ZONE_INCONNUE && !MEM_bZoneDefaut(pszZone)) {
        lib.RaiseError(MEM_ERR_ZONE_INCONNUE);
    } else if (e == MEMR_TROP_LONG && pclCle != nullptr && pclValeur != nullptr) {
        const uint32_t nTotal = pclCle->stGet().nLongueur + pclValeur->stGet().nLongueur;
        lib.RaiseError(MEM_ERR_TROP_LONG, unsigned(nTotal), unsigned(MEM_MAX_ENREG - MEM_SURCOUT_ENREG));
    }
}

// Converts a value for the engine; false after raising the error.
bool _bConvertit(CZNLibrary& lib, const CAny& clValeur, CMemValeur* pclStocke) {
    const int nErr = pclStocke->nDepuisAny(clValeur);
    if (nErr == 0) return true;
    if (nErr == MEM_ERR_TROP_LONG)
        lib.RaiseError(nErr, unsigned(pclStocke->nGetLongueur()), unsigned(MEM_MAX_TEXTE));
    else
        lib.RaiseError(nErr);
    return false;
}

// A reading of the engine handed to the language: the value reached, or
// the empty string.
using PFN_Lecture = eMemRes (*)(const char*, CMemLecture*);

void _Rend(CZNLibrary& lib, eMemRes e, const char* pszZone, const CMemLecture& clLu, CAny& clResultat) {
    if (e != MEMR_OK || !MEM_bVersAny(clLu.cGetType(), clLu.pGetOctets(), clLu.nGetLongueur(), &clResultat)) {
        _Erreur(lib, e, pszZone);
        MEM_AnyVide(&clResultat);
    }
}

void _Lit(CZNLibrary& lib, const char* pszZone, PFN_Lecture pfn, CAny& clResultat) {
    CMemLecture clLu;
    _Rend(lib, pfn(_pszZone(pszZone), &clLu), pszZone, clLu, clResultat);
}

void _LitNumero(CZNLibrary& lib, const char* pszZone, int32_t n, bool bPositionne, CAny& clResultat) {
    CMemLecture clLu;
    const eMemRes e = bPositionne ? MEM_ePositionne(_pszZone(pszZone), n, &clLu)
                                  : MEM_eRecupere(_pszZone(pszZone), n, &clLu);
    _Rend(lib, e, pszZone, clLu, clResultat);
}

bool _bEtat(CZNLibrary& lib, const char* pszZone, STMemEtat* pst) {
    if (MEM_bEtat(_pszZone(pszZone), pst)) return true;
    _Erreur(lib, MEMR_ZONE_INCONNUE, pszZone);
    return false;
}

}  // namespace

// --- Zones ---------------------------------------------------------------------

bool MemCree(CZNLibrary&, const char* pszZone) { return bMemCree(_pszZone(pszZone)); }

bool MemExiste(CZNLibrary&, const char* pszZone) { return MEM_bExiste(_pszZone(pszZone)); }

bool MemSupprimeTout(CZNLibrary& lib, const char* pszZone) { return MemSupprime(lib, pszZone, -1); }
bool MemSupprimeTout(CZNLibrary& lib) { return MemSupprime(lib, nullptr, -1); }

// --- Adding, replacing and deleting records -------------------------------------------

bool MemAjoute(CZNLibrary& lib, const char* pszZone, const CAny& clCle, const CAny& clValeur) {
    CMemValeur clC, clV;
    if (!_bConvertit(lib, clCle, &clC) || !_bConvertit(lib, clValeur, &clV)) return false;
    const eMemRes e = MEM_eAjoute(_pszZone(pszZone), clC.stGet(), clV.stGet());
    _Erreur(lib, e, pszZone, &clC, &clV);
    return e == MEMR_OK;
}

bool MemAjoute(CZNLibrary& lib, const CAny& clCle, const CAny& clValeur) {
    return MemAjoute(lib, nullptr, clCle, clValeur);
}

bool MemAjoute(CZNLibrary& lib, const CAny& clValeur) { return MemAjoute(lib, nullptr, clValeur, clValeur); }

bool MemModifie(CZNLibrary& lib, const char* pszZone, const CAny& clCle, const CAny& clValeur, int32_t n) {
    if (!MEM_bExiste(_pszZone(pszZone))) {
        _Erreur(lib, MEMR_ZONE_INCONNUE, pszZone);
        return false;
    }
    CMemValeur clC, clV;
    if (!_bConvertit(lib, clCle, &clC) || !_bConvertit(lib, clValeur, &clV)) return false;
    const eMemRes e = MEM_eModifie(_pszZone(pszZone), clC.stGet(), clV.stGet(), n);
    _Erreur(lib, e, pszZone, &clC, &clV);
    return e == MEMR_OK;
}

bool MemSupprime(CZNLibrary& lib, const char* pszZone, int32_t n) {
    // "*" is every zone, not a zone's name.
    const eMemRes e = MEM_eSupprime(_bTousLesNoms(pszZone) && n == -1 ? "*" : _pszZone(pszZone), n);
    _Erreur(lib, e, pszZone);
    return e == MEMR_OK;
}

bool MemSupprime(CZNLibrary& lib, const char* pszZone) { return MemSupprime(lib, pszZone, -1); }

// --- Sorting --------------------------------------------------------------------

bool MemTri(CZNLibrary& lib, const char* pszZone, int32_t nSens) {
    const eMemRes e = MEM_eTri(_pszZone(pszZone), nSens);
    _Erreur(lib, e, pszZone);
    return e == MEMR_OK;
}

bool MemTri(CZNLibrary& lib, int32_t nSens) { return MemTri(lib, nullptr, nSens); }
bool MemTri(CZNLibrary& lib, const char* pszZone) { return MemTri(lib, pszZone, 1); }
bool MemTrie(CZNLibrary& lib, const char* pszZone) { return MemTri(lib, pszZone, 1); }
bool MemTrie(CZNLibrary& lib, const char* pszZone, int32_t nSens) { return MemTri(lib, pszZone, nSens); }

// --- Reading and moving ----------------------------------------------------------

void MemRecupere(CZNLibrary& lib, const char* pszZone, int32_t n, CAny& clResultat) {
    _LitNumero(lib, pszZone, n, false, clResultat);
}
void MemRecupere(CZNLibrary& lib, int32_t n, CAny& clResultat) { _LitNumero(lib, nullptr, n, false, clResultat); }

void MemPositionne(CZNLibrary& lib, const char* pszZone, int32_t n, CAny& clResultat) {
    _LitNumero(lib, pszZone, n, true, clResultat);
}
void MemPositionne(CZNLibrary& lib, int32_t n, CAny& clResultat) { _LitNumero(lib, nullptr, n, true, clResultat); }

void MemPremier(CZNLibrary& lib, const char* pszZone, CAny& clResultat) { _Lit(lib, pszZone, MEM_ePremier, clResultat); }
void MemPremier(CZNLibrary& lib, CAny& clResultat) { _Lit(lib, nullptr, MEM_ePremier, clResultat); }
void MemDernier(CZNLibrary& lib, const char* pszZone, CAny& clResultat) { _Lit(lib, pszZone, MEM_eDernier, clResultat); }
void MemDernier(CZNLibrary& lib, CAny& clResultat) { _Lit(lib, nullptr, MEM_eDernier, clResultat); }
void MemSuivant(CZNLibrary& lib, const char* pszZone, CAny& clResultat) { _Lit(lib, pszZone, MEM_eSuivant, clResultat); }
void MemSuivant(CZNLibrary& lib, CAny& clResultat) { _Lit(lib, nullptr, MEM_eSuivant, clResultat); }
void MemPrecedent(CZNLibrary& lib, const char* pszZone, CAny& clResultat) {
    _Lit(lib, pszZone, MEM_ePrecedent, clResultat);
}
void MemPrecedent(CZNLibrary& lib, CAny& clResultat) { _Lit(lib, nullptr, MEM_ePrecedent, clResultat); }
void MemValCle(CZNLibrary& lib, const char* pszZone, CAny& clResultat) {
    _Lit(lib, pszZone, MEM_eCleCourante, clResultat);
}
void MemValCle(CZNLibrary& lib, CAny& clResultat) { _Lit(lib, nullptr, MEM_eCleCourante, clResultat); }

// --- Searching --------------------------------------------------------------------

void MemRecherche(CZNLibrary& lib, const char* pszZone, const CAny& clCherche, int32_t nMode, CAny& clResultat) {
    constexpr int32_t SUR_VAL_RETOUR = 0;   // mSurValRetour: by value, the record number
    const bool bParValeur = nMode == SUR_VAL_RETOUR;
    const auto Neutre = [&]() {
        if (!bParValeur) return MEM_AnyVide(&clResultat);
        const int32_t n = -1;
        clResultat.Vide();
        clResultat.__SetType(ANY_I4);
        clResultat.SetValue(&n);
    };
    if (!MEM_bExiste(_pszZone(pszZone))) {
        _Erreur(lib, MEMR_ZONE_INCONNUE, pszZone);
        return Neutre();
    }
    CMemValeur clC;
    if (!_bConvertit(lib, clCherche, &clC)) return Neutre();
    if (bParValeur) {
        int32_t n = -1;
        const eMemRes e = MEM_eChercheInverse(_pszZone(pszZone), clC.stGet(), &n);
        _Erreur(lib, e, pszZone);
        clResultat.Vide();
        clResultat.__SetType(ANY_I4);
        clResultat.SetValue(&n);
        return;
    }
    CMemLecture clLu;
    _Rend(lib, MEM_eRecherche(_pszZone(pszZone), clC.stGet(), &clLu), pszZone, clLu, clResultat);
}

void MemRecherche(CZNLibrary& lib, const char* pszZone, const CAny& clCherche, CAny& clResultat) {
    MemRecherche(lib, pszZone, clCherche, 1, clResultat);
}
void MemRecherche(CZNLibrary& lib, const CAny& clCherche, CAny& clResultat) {
    MemRecherche(lib, nullptr, clCherche, 1, clResultat);
}

// --- State ------------------------------------------------------------------------

int32_t MemOccurrence(CZNLibrary& lib, const char* pszZone) {
    const int32_t n = lMemOccurrence(_pszZone(pszZone));
    if (n < 0) _Erreur(lib, MEMR_ZONE_INCONNUE, pszZone);
    return n;
}
int32_t MemOccurrence(CZNLibrary& lib) { return MemOccurrence(lib, nullptr); }

bool MemTrouve(CZNLibrary& lib, const char* pszZone) {
    STMemEtat st;
    return _bEtat(lib, pszZone, &st) && st.bTrouve;
}
bool MemTrouve(CZNLibrary& lib) { return MemTrouve(lib, nullptr); }

bool MemEnDehors(CZNLibrary& lib, const char* pszZone) {
    STMemEtat st;
    return !_bEtat(lib, pszZone, &st) || st.bEnDehors;
}
bool MemEnDehors(CZNLibrary& lib) { return MemEnDehors(lib, nullptr); }

int32_t MemEnCours(CZNLibrary& lib, const char* pszZone) {
    STMemEtat st;
    return _bEtat(lib, pszZone, &st) ? st.nEnCours : -1;
}
int32_t MemEnCours(CZNLibrary& lib) { return MemEnCours(lib, nullptr); }

}  // namespace memzone
