// VerifieExpressionReguliere: whole-text match of a regular expression,
// with the captured groups stored into the caller's variables.
#include "core/any.h"
#include "misc/functions.h"
#include "misc/regexp.h"

namespace {

// The pattern's compiled form would pass the size limit; checking the text
// needed more work or memory than a check may take.
constexpr int ERR_REGEXP_TROP_GRANDE = 80503;
constexpr int ERR_REGEXP_LIMITE = 80504;

}  // namespace

namespace misc {

bool VerifieExpressionReguliere(CZNLibrary& lib, const char* pszTexte, const char* pszFormat) {
    if (pszFormat == nullptr || *pszFormat == '\0') pszFormat = ".*";
    if (pszTexte == nullptr) pszTexte = "";
    int nErreur = 0;
    CRegExp* pclRegExp = REGEXP_pclCompile(pszFormat, nErreur);
    if (pclRegExp == nullptr) {
        // A pattern too large to compile has its own error: it is not wrong.
        lib.RaiseError(nErreur == REGEXP_TROP_GRAND ? ERR_REGEXP_TROP_GRANDE : 80500);
        lib.pclGetError()->AddDebugMessage("Valeur de retour d'analyse du format : %1!d!", nErreur);
        return false;
    }
    if (!pclRegExp->bMatch(pszTexte)) {
        if (pclRegExp->bLimiteAtteinte()) lib.RaiseError(ERR_REGEXP_LIMITE);
        return false;
    }

    int nVariables = lib.wGetNbParam() - 2;
    if (nVariables < 1) return true;
    for (int i = 0; i < nVariables; ++i) {
        int nDebut = pclRegExp->nGetDebut(i + 1);
        int nFin = pclRegExp->nGetFin(i + 1);
        if (nDebut < 0 || nFin < nDebut) {
            lib.RaiseError(80502);
            return false;
        }
        IVariable* piVariable = nullptr;
        if (!lib.bGetParamIVariable(i + 3, &piVariable) || piVariable == nullptr) continue;
        CZNDSTR sGroupe;
        int nRes = sGroupe.nAssign(pszTexte + nDebut, nFin - nDebut);
        CAny clValeur;
        clValeur.__SetType(ANY_DSTR);
        void* pMemoire = sGroupe.pGetMemoire();
        if (nRes == 0) nRes = clValeur.SetValue(&pMemoire);
        CXError clErreur;
        bool bOk = nRes == 0 && piVariable->bAffecte(&clValeur, &clErreur) != 0;
        piVariable->Release();
        if (!bOk) {
            if (nRes != 0)
                lib.RaiseError(80041);
            else
                lib.RaiseError(&clErreur);
            return false;
        }
    }
    if (pclRegExp->nGetDebut(nVariables + 1) != -1) {
        lib.RaiseError(80501);
        return false;
    }
    return true;
}

}  // namespace misc
