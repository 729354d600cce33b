// The file-handle functions that read and write lines.
#include <algorithm>
#include <cerrno>

#include "core/any.h"
#include "core/tstring.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/fh_texte.h"
#include "files/functions.h"
#include "misc/regexp.h"

namespace files {

namespace {

constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_PARAMETRE = 80070;

// Groups of a compiled pattern (the count the compiler keeps).
struct CGroupes : CRegExp {
    static int nDe(const CRegExp* pcl) {
        constexpr re_pattern_buffer CRegExpBase::*pm = &CGroupes::m_stPattern;
        return int((pcl->*pm).re_nsub);
    }
};
int _nGroupes(const CRegExp* pcl) { return CGroupes::nDe(pcl); }

}  // namespace

void fLitLigne(CZNLibrary& lib, int32_t nHandle) {
    CZNDSTR sLigne = FIC_sLitLigne(lib, nHandle);
    lib.RenvoieValeur(&sLigne, 0x13);
}

bool fLitLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstFormat) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return false;
    char szLigne[256];
    CTString clDebord;
    const char* pszLigne = pcl->pszReadLine(szLigne, sizeof szLigne, &clDebord, nullptr);
    if (pszLigne == nullptr) {
        const CXError* pclErreur = pcl->pclGetXError();
        if (pclErreur != nullptr && pclErreur->bIsError()) {
            if (pclErreur->nGetSystemError() == EOVERFLOW)
                FIC_LigneTropLongue(lib);
            else
                FIC_ErreurStream(lib, pcl);
            return false;
        }
        pszLigne = "";   // end of the file: an empty line
    }
    CZNDSTR sFormat;
    const char* pszFormat = pstFormat != nullptr ? pstFormat->pszGetString() : "";
    if (pstFormat != nullptr && pstFormat->bEstUNICODE()) {
        CZNDSTR sLarge;
        if (sLarge.nAssignUNICODE(pstFormat->pszGetStringW(), int(pstFormat->nGetLongueur() / sizeof(wchar_t))) != 0 ||
            sFormat.nAffecteToANSI(sLarge) != 0) {
            lib.RaiseError(ERR_MEMOIRE);
            return false;
        }
        pszFormat = sFormat.pszGet();
    }
    if (*pszFormat == '\0') pszFormat = ".*";
    int nErreur = 0;
    CRegExp* pclRegExp = REGEXP_pclCompile(pszFormat, nErreur);
    if (pclRegExp == nullptr) return false;

    const int nVariables = std::min(int(lib.wGetNbParam()) - 2, 128);
    auto affecte = [&lib](int nVariable, const char* pTexte, int nLongueur) {
        IVariable* piVariable = nullptr;
        if (!lib.bGetParamIVariable(nVariable + 3, &piVariable) || piVariable == nullptr) return false;
        CZNDSTR s;
        int nRes = s.nAssign(pTexte, nLongueur);
        CAny clValeur;
        clValeur.__SetType(ANY_DSTR);
        void* pMemoire = s.pGetMemoire();
        if (nRes == 0) nRes = clValeur.SetValue(&pMemoire);
        CXError clErreur;
        const bool bOk = nRes == 0 && piVariable->bAffecte(&clValeur, &clErreur) != 0;
        piVariable->Release();
        if (!bOk) {
            if (nRes != 0)
                lib.RaiseError(ERR_MEMOIRE);
            else
                lib.RaiseError(&clErreur);
        }
        return bOk;
    };
    if (!pclRegExp->bMatch(pszLigne)) {
        if (nVariables >= 1) return affecte(0, "", 0);
        return true;
    }
    const int nGroupes = _nGroupes(pclRegExp);
    for (int i = 0; i < nVariables && i < nGroupes; ++i) {
        const int nDebut = pclRegExp->nGetDebut(i + 1);
        const int nFin = pclRegExp->nGetFin(i + 1);
        // A group that took no part in the match gives an empty string.
        const bool bPris = nDebut >= 0 && nFin >= nDebut;
        if (!affecte(i, bPris ? pszLigne + nDebut : "", bPris ? nFin - nDebut : 0)) return false;
    }
    return true;
}

bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstTexte) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return false;
    const bool bUnicode = s_pGetFicBagInfoFic(nHandle)->bUnicode != 0;
    // The line takes the file's kind: 16-bit units in a Unicode file,
    // the current code page in an ANSI one.
    CZNDSTR sOctets;
    bool bOk = true;
    if (pstTexte != nullptr && !pstTexte->bEstVide()) {
        CZNDSTR sSource, sConverti;
        if (pstTexte->bEstUNICODE()) {
            const wchar_t* pw = pstTexte->pszGetStringW();
            const int nCaracteres = int(pstTexte->nGetLongueur() / sizeof(wchar_t));
            if (bUnicode) {
                bOk = FIC_bAjouteUTF16LE(sOctets, pw, size_t(nCaracteres));
            } else {
                bOk = sSource.nAssignUNICODE(pw, nCaracteres) == 0 && sConverti.nAffecteToANSI(sSource) == 0 &&
                      sOctets.nAssign(sConverti.pszGet(), sConverti.nGetLongueur()) == 0;
            }
        } else if (bUnicode) {
            bOk = sSource.nAssign(pstTexte->pszGetString(), int(pstTexte->nGetLongueur())) == 0 &&
                  sConverti.nAffecteToUNICODE(sSource) == 0 &&
                  FIC_bAjouteUTF16LE(sOctets, sConverti.pwszGet(), size_t(sConverti.nGetLongueurUNICODE()));
        } else {
            bOk = sOctets.nAssign(pstTexte->pszGetString(), int(pstTexte->nGetLongueur())) == 0;
        }
    }
    if (bOk) bOk = bUnicode ? sOctets.nConcat("\r\0\n\0", 4) == 0 : sOctets.nConcat("\r\n", 2) == 0;
    if (!bOk) {
        lib.RaiseError(ERR_MEMOIRE);
        return false;
    }
    const unsigned nTaille = unsigned(sOctets.nGetLongueur());
    unsigned nEcrit = 0;
    if (!pcl->bWrite(sOctets.pszGet(), nTaille, &nEcrit) || nEcrit != nTaille) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    return true;
}

bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, void* pAdresse, int32_t nLongueur) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return false;
    if (pAdresse == nullptr) {
        FIC_Erreur(lib, ERR_PARAMETRE);
        return false;
    }
    if (nLongueur < 0) nLongueur = 0;
    unsigned nEcrit = 0;
    if (nLongueur > 0 && (!pcl->bWrite(pAdresse, unsigned(nLongueur), &nEcrit) || nEcrit != unsigned(nLongueur))) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    if (!pcl->bWrite("\r\n", 2, &nEcrit) || nEcrit != 2) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    return true;
}

// --- Blocks -----------------------------------------------------------------------

bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstTexte, int32_t nLongueur) {
    // The length never reaches beyond the string's own bytes.
    const uint32_t nDispo = pstTexte != nullptr ? pstTexte->nGetLongueur() : 0;
    if (nLongueur < 0 || uint32_t(nLongueur) > nDispo) nLongueur = int32_t(nDispo);
    const char* p = pstTexte != nullptr ? pstTexte->pszGetString() : "";
    return fEcritLigne(lib, nHandle, const_cast<char*>(p), nLongueur);
}

}  // namespace files
