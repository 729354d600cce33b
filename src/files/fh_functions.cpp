// The file-handle functions of the language: open, read, write, move, lock,
// resize and close files by their integer handle.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <new>

#include "component/compo.h"
#include "core/any.h"
#include "core/tstring.h"
#include "files/diskfile.h"
#include "files/fh_table.h"
#include "files/fh_texte.h"
#include "misc/regexp.h"
#include "qvstd/manipaub.h"

namespace {

constexpr int ERR_TABLE = 80021;
constexpr int ERR_HANDLE = 80022;
constexpr int ERR_ORIGINE = 80023;
constexpr int ERR_MODE = 80024;
constexpr int ERR_LIGNE = 80028;
constexpr int ERR_TAILLE = 80034;
constexpr int ERR_NOM_VIDE = 80039;
constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_PARAMETRE = 80070;
constexpr int ERR_CARACTERES = 80222;
constexpr int ERR_TYPE_HANDLE = 80406;
// "The value is too long.", added to the line error to say why.
constexpr int MSG_TROP_LONG = 703;
constexpr char EOT = 4;

// Groups of a compiled pattern (the count the compiler keeps).
struct CGroupes : CRegExp {
    static int nDe(const CRegExp* pcl) {
        constexpr re_pattern_buffer CRegExpBase::*pm = &CGroupes::m_stPattern;
        return int((pcl->*pm).re_nsub);
    }
};
int _nGroupes(const CRegExp* pcl) { return CGroupes::nDe(pcl); }

// A user error at the level of the file-handle functions.
void _Erreur(CComposanteStandard& clLib, int nCode) {
    clLib.RaiseError(nCode);
    clLib.pclGetError()->SetErrorLevel(EL_ERROR);
}

void _LigneTropLongue(CComposanteStandard& clLib) {
    _Erreur(clLib, ERR_LIGNE);
    clLib.pclGetError()->AddUserMessage(MSG_TROP_LONG);
}

// 0, or the error of a name the file system cannot be given as it stands:
// empty, or cut short by a zero inside it.
int _nErreurNom(const STManipAUB* pstNom) {
    if (pstNom == nullptr || pstNom->bEstVide() || pstNom->nGetLongueur() == 0) return ERR_NOM_VIDE;
    if (pstNom->bEstUNICODE()) {
        const size_t n = pstNom->nGetLongueur() / sizeof(wchar_t);
        if (n == 0) return ERR_NOM_VIDE;
        return wcsnlen(pstNom->pszGetStringW(), n) == n ? 0 : ERR_CARACTERES;
    }
    const size_t n = pstNom->nGetLongueur();
    return strnlen(pstNom->pszGetString(), n) == n ? 0 : ERR_CARACTERES;
}

// What a disk file can still give from its position, or -1 when it is not
// known (devices, pipes, zones).
long long _oRestant(const _stINFOFIC* pst) {
    if (pst->nType != FIC_DISQUE) return -1;
    auto* pcl = static_cast<CDiskFile*>(pst->pclObjet);
    struct stat64 st;
    if (fstat64(pcl->nGetHandle(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return std::max(0LL, static_cast<long long>(st.st_size) - pcl->oGetOffset());
}

}  // namespace

// --- Common checks ------------------------------------------------------------

IXStream* CComposanteStandard::_pclFicStream(int nHandle, bool bDisqueSeulement) {
    _stINFOFIC* pst = s_pGetFicBagInfoFic(nHandle);
    if (pst == nullptr || pst->pclObjet == nullptr) {
        RaiseError(ERR_HANDLE, nHandle);
        m_pclErreur->SetErrorLevel(EL_ERROR);
        return nullptr;
    }
    if (bDisqueSeulement && pst->nType != FIC_DISQUE) {
        RaiseError(ERR_TYPE_HANDLE);
        m_pclErreur->SetErrorLevel(EL_ERROR);
        return nullptr;
    }
    return pst->pclObjet;
}

void CComposanteStandard::_FicErreurStream(IXStream* pclStream) {
    RaiseErrorCopy(pclStream != nullptr ? pclStream->pclGetXError() : nullptr);
    // The stream names its failure by its first message number (28001 to
    // 28307); the user sees that number and the system's reason with it.
    if (m_pclErreur->nGetUserError() == 0 && m_pclErreur->nNumErrorId() > 0)
        m_pclErreur->SetUserErrorCode(m_pclErreur->nGetErrorId(0));
    const char* pszRaison = m_pclErreur->pszGetSystemErrorMessage();
    if (m_pclErreur->nGetSystemError() != 0 && *pszRaison != 0) m_pclErreur->AddUserMessageNoFormat(pszRaison);
    m_pclErreur->SetErrorLevel(EL_ERROR);
}

// --- Open and close -------------------------------------------------------------

int CComposanteStandard::fOuvre(const STManipAUB* pstNom, int nMode) {
    // An unknown bit is a mistake, not a wish: -1 would otherwise ask, among
    // others, for the file to be deleted at close.
    if ((nMode & ~FO_MODES_CONNUS) != 0) {
        _Erreur(*this, ERR_MODE);
        return -1;
    }
    if (const int nErreur = _nErreurNom(pstNom); nErreur != 0) {
        _Erreur(*this, nErreur);
        return -1;
    }
    IXStream::eACCESS eAcces = (nMode & FO_LECTURE) ? IXStream::eACCESS_READ : IXStream::eACCESS_WRITE;
    if ((nMode & FO_ECRITURE) || nMode == 0) eAcces = IXStream::eACCESS_READWRITE;
    IXStream::eCREATE eCreation = IXStream::eCREATE_OPEN;
    if (nMode & FO_CREATIONSIINEXISTANT)
        eCreation = IXStream::eCREATE_OPEN_OR_CREATE;
    else if (nMode & FO_CREATION)
        eCreation = IXStream::eCREATE_TRUNCATE;
    const IXStream::eSHARE ePartage = (nMode & (FO_BLOQUELECTURE | FO_BLOQUEECRITURE)) ==
                                              (FO_BLOQUELECTURE | FO_BLOQUEECRITURE)
                                          ? IXStream::eSHARE_EXCLUSIVE
                                          : IXStream::eSHARE_NONE;

    auto* pclFichier = new (std::nothrow) CDiskFile();
    if (pclFichier == nullptr) {
        RaiseError(ERR_MEMOIRE);
        return -1;
    }
    // A Unicode name reaches the file system as UTF-8.
    const bool bUnicodeNom = pstNom->bEstUNICODE();
    auto ouvre = [&](IXStream::eACCESS e, int* pbCree) {
        if (bUnicodeNom)
            return pclFichier->bOpenW(pstNom->pszGetStringW(), e, ePartage, eCreation, IXStream::eFLAG_NONE, pbCree);
        return pclFichier->bOpen(pstNom->pszGetString(), e, ePartage, eCreation, IXStream::eFLAG_NONE, pbCree);
    };
    int bCree = 0;
    bool bOk = ouvre(eAcces, &bCree);
    if (!bOk && (nMode & FO_ECRITURE)) bOk = ouvre(IXStream::eACCESS_WRITE, &bCree);
    if (!bOk) {
        _FicErreurStream(pclFichier);
        delete pclFichier;
        return -1;
    }
    if ((nMode & FO_AJOUT) && !pclFichier->bSeek(0, IXStream::eSEEK_END)) {
        _FicErreurStream(pclFichier);
        delete pclFichier;
        return -1;
    }

    auto* pstInfo = new (std::nothrow) _stINFOFIC{FIC_DISQUE, pclFichier, 0, (nMode & FO_SUPPRESSIONAUTOMATIQUE) ? 1 : 0};
    const int nHandle = pstInfo != nullptr ? FIC_nAjoute(pstInfo) : -1;
    if (nHandle < 0) {
        // The file was opened (perhaps created) for nothing: do not leave a
        // file meant to disappear.
        pclFichier->Close();
        delete pclFichier;
        delete pstInfo;
        RaiseError(ERR_TABLE);
        m_pclErreur->SetErrorLevel(EL_ERROR);
        return -1;
    }
    if (!(nMode & FO_UNICODE)) return nHandle;

    pstInfo->bUnicode = 1;
    const bool bNouveau = (nMode & FO_CREATION) || ((nMode & FO_CREATIONSIINEXISTANT) && bCree);
    if (bNouveau) {
        static const unsigned char s_abyMarque[2] = {0xFF, 0xFE};
        unsigned nEcrit = 0;
        if (!pclFichier->bWrite(s_abyMarque, 2, &nEcrit) || nEcrit != 2) {
            _FicErreurStream(pclFichier);
            FIC_DetruitInfo(FIC_pRetire(nHandle));
            return -1;
        }
    } else if (!(nMode & FO_AJOUT)) {
        unsigned char aby[2] = {0, 0};
        unsigned nLu = 0;
        const bool bLu = pclFichier->bRead(aby, 2, &nLu);
        if (!(bLu && nLu == 2 && aby[0] == 0xFF && aby[1] == 0xFE)) pclFichier->bSeek(0, IXStream::eSEEK_BEGIN);
    }
    return nHandle;
}

int CComposanteStandard::fCree(const STManipAUB* pstNom, int nMode) {
    // The caller's own bits are checked before read-write and creation join
    // them; joined as bits, so that a mode already holding them keeps its
    // meaning instead of carrying into the next bit.
    if ((nMode & ~FO_MODES_CONNUS) != 0) {
        _Erreur(*this, ERR_MODE);
        return -1;
    }
    return fOuvre(pstNom, nMode | FO_LECTUREECRITURE | FO_CREATION);
}

int CComposanteStandard::fFerme(int nHandle) {
    if (_pclFicStream(nHandle, false) == nullptr) return -1;
    FIC_DetruitInfo(FIC_pRetire(nHandle));
    return 0;
}

// --- Lines ------------------------------------------------------------------------

CZNDSTR CComposanteStandard::fLitLigne(int nHandle) {
    CZNDSTR sLigne;
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return sLigne;
    const bool bUnicode = s_pGetFicBagInfoFic(nHandle)->bUnicode != 0;
    if (pcl->oGetOffset() >= pcl->oGetSize()) {
        if (bUnicode) {
            const char16_t u = char16_t(EOT);
            sLigne.nAssignUNICODE_UTF16(&u, 1);
        } else {
            sLigne.nAssign(&EOT, 1);
        }
        return sLigne;
    }
    switch (FIC_eLitLigne(pcl, bUnicode, sLigne)) {
    case FICLIGNE_OK: break;
    case FICLIGNE_LECTURE: _FicErreurStream(pcl); break;
    case FICLIGNE_TROP_LONGUE: _LigneTropLongue(*this); break;
    case FICLIGNE_MEMOIRE: RaiseError(ERR_MEMOIRE); break;
    }
    return sLigne;
}

bool CComposanteStandard::fLitLigne(int nHandle, const STManipAUB* pstFormat) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return false;
    char szLigne[256];
    CTString clDebord;
    const char* pszLigne = pcl->pszReadLine(szLigne, sizeof szLigne, &clDebord, nullptr);
    if (pszLigne == nullptr) {
        const CXError* pclErreur = pcl->pclGetXError();
        if (pclErreur != nullptr && pclErreur->bIsError()) {
            if (pclErreur->nGetSystemError() == EOVERFLOW)
                _LigneTropLongue(*this);
            else
                _FicErreurStream(pcl);
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
            RaiseError(ERR_MEMOIRE);
            return false;
        }
        pszFormat = sFormat.pszGet();
    }
    if (*pszFormat == '\0') pszFormat = ".*";
    int nErreur = 0;
    CRegExp* pclRegExp = REGEXP_pclCompile(pszFormat, nErreur);
    if (pclRegExp == nullptr) return false;

    const int nVariables = std::min(int(wGetNbParam()) - 2, 128);
    auto affecte = [this](int nVariable, const char* pTexte, int nLongueur) {
        IVariable* piVariable = nullptr;
        if (!bGetParamIVariable(nVariable + 3, &piVariable) || piVariable == nullptr) return false;
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
                RaiseError(ERR_MEMOIRE);
            else
                RaiseError(&clErreur);
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

bool CComposanteStandard::fEcritLigne(int nHandle, const STManipAUB* pstTexte) {
    IXStream* pcl = _pclFicStream(nHandle, false);
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
        RaiseError(ERR_MEMOIRE);
        return false;
    }
    const unsigned nTaille = unsigned(sOctets.nGetLongueur());
    unsigned nEcrit = 0;
    if (!pcl->bWrite(sOctets.pszGet(), nTaille, &nEcrit) || nEcrit != nTaille) {
        _FicErreurStream(pcl);
        return false;
    }
    return true;
}

bool CComposanteStandard::fEcritLigne(int nHandle, const void* pAdresse, int nLongueur) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return false;
    if (pAdresse == nullptr) {
        _Erreur(*this, ERR_PARAMETRE);
        return false;
    }
    if (nLongueur < 0) nLongueur = 0;
    unsigned nEcrit = 0;
    if (nLongueur > 0 && (!pcl->bWrite(pAdresse, unsigned(nLongueur), &nEcrit) || nEcrit != unsigned(nLongueur))) {
        _FicErreurStream(pcl);
        return false;
    }
    if (!pcl->bWrite("\r\n", 2, &nEcrit) || nEcrit != 2) {
        _FicErreurStream(pcl);
        return false;
    }
    return true;
}

// --- Blocks -----------------------------------------------------------------------

CZNDSTR CComposanteStandard::fLit(int nHandle, int nNombre) {
    CZNDSTR sResultat;
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr || nNombre <= 0) return sResultat;
    // The buffer never outgrows what the stream can give: a regular file
    // tells it; from a device or a pipe it grows block by block as the
    // bytes arrive.
    const long long oRestant = _oRestant(s_pGetFicBagInfoFic(nHandle));
    const bool bConnu = oRestant >= 0;
    const unsigned nVoulu = bConnu ? unsigned(std::min<long long>(nNombre, oRestant)) : unsigned(nNombre);
    unsigned nTotal = 0;
    while (nTotal < nVoulu) {
        const unsigned nBloc = bConnu ? nVoulu : std::min(nVoulu - nTotal, XSTREAM_COPY_BLOCK);
        if (sResultat.SetUtilLength(nTotal + nBloc, true) != 0) {
            sResultat.Vide();
            RaiseError(ERR_MEMOIRE);
            return sResultat;
        }
        unsigned nLu = 0;
        if (!pcl->bRead(static_cast<char*>(sResultat.pGetMemoire()) + nTotal, nBloc, &nLu)) {
            // Bytes already taken from a pipe cannot go back: they are the
            // result, and the read that failed after them ends it.
            if (nTotal > 0) break;
            sResultat.Vide();
            _FicErreurStream(pcl);
            return sResultat;
        }
        nTotal += nLu;
        if (bConnu || nLu < nBloc) break;
    }
    if (nTotal == 0)
        sResultat.Vide();
    else
        sResultat.Tronque(int(nTotal));
    return sResultat;
}

int CComposanteStandard::fLit(int nHandle, int nNombre, void* pAdresse) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return 0;
    if (pAdresse == nullptr) {
        _Erreur(*this, ERR_PARAMETRE);
        return 0;
    }
    if (nNombre <= 0) return 0;
    unsigned nLu = 0;
    if (!pcl->bRead(pAdresse, unsigned(nNombre), &nLu)) {
        _FicErreurStream(pcl);
        return 0;
    }
    return int(nLu);
}

int CComposanteStandard::fEcrit(int nHandle, const STManipAUB* pstValeur, int nLongueur) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return -1;
    CZNDSTR sUnicode;
    const char* p = "";
    size_t nTaille = 0;
    if (pstValeur != nullptr && pstValeur->bEstUNICODE()) {
        // A length counts characters; the file receives 16-bit units.
        size_t nCaracteres = pstValeur->nGetLongueur() / sizeof(wchar_t);
        if (nLongueur >= 0) nCaracteres = std::min(nCaracteres, size_t(nLongueur));
        if (!FIC_bAjouteUTF16LE(sUnicode, pstValeur->pszGetStringW(), nCaracteres)) {
            RaiseError(ERR_MEMOIRE);
            return -1;
        }
        p = sUnicode.pszGet();
        nTaille = size_t(sUnicode.nGetLongueur());
    } else if (pstValeur != nullptr) {
        // Strings and buffers alike: their bytes, never beyond the value.
        p = pstValeur->pszGetString();
        nTaille = pstValeur->nGetLongueur();
        if (nLongueur >= 0) nTaille = std::min(nTaille, size_t(nLongueur));
    }
    unsigned nEcrit = 0;
    if (nTaille > 0 && !pcl->bWrite(p, unsigned(nTaille), &nEcrit)) {
        _FicErreurStream(pcl);
        return -1;
    }
    return int(nEcrit);
}

int CComposanteStandard::fEcrit(int nHandle, const void* pAdresse, int nLongueur) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return -1;
    if (pAdresse == nullptr) {
        _Erreur(*this, ERR_PARAMETRE);
        return -1;
    }
    if (nLongueur <= 0) return 0;
    unsigned nEcrit = 0;
    if (!pcl->bWrite(pAdresse, unsigned(nLongueur), &nEcrit)) {
        _FicErreurStream(pcl);
        return -1;
    }
    return int(nEcrit);
}

// --- Position, locks, size -----------------------------------------------------------

long long CComposanteStandard::fPositionne(int nHandle, long long oDeplacement, int nOrigine) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return -1;
    if (nOrigine < 0 || nOrigine > 2) {
        RaiseError(ERR_ORIGINE);
        m_pclErreur->SetErrorLevel(EL_ERROR);
        return -1;
    }
    if (!pcl->bSeek(oDeplacement, IXStream::eSEEK(nOrigine))) {
        _FicErreurStream(pcl);
        return -1;
    }
    return pcl->oGetOffset();
}

bool CComposanteStandard::fBloque(int nHandle, long long oDebut, long long oLongueur) {
    IXStream* pcl = _pclFicStream(nHandle, true);
    if (pcl == nullptr) return false;
    // A length of 0 is the whole rest of the file and beyond.
    const unsigned long long qwLongueur = oLongueur == -1 ? 0 : static_cast<unsigned long long>(oLongueur);
    if (!pcl->bLockFile(static_cast<unsigned long long>(oDebut), qwLongueur)) {
        _FicErreurStream(pcl);
        return false;
    }
    return true;
}

bool CComposanteStandard::fDebloque(int nHandle, long long oDebut, long long oLongueur) {
    IXStream* pcl = _pclFicStream(nHandle, true);
    if (pcl == nullptr) return false;
    const unsigned long long qwLongueur = oLongueur == -1 ? 0 : static_cast<unsigned long long>(oLongueur);
    if (!pcl->bUnlockFile(static_cast<unsigned long long>(oDebut), qwLongueur)) {
        _FicErreurStream(pcl);
        return false;
    }
    return true;
}

bool CComposanteStandard::fChangeTaille(int nHandle, long long oTaille) {
    IXStream* pcl = _pclFicStream(nHandle, true);
    if (pcl == nullptr) return false;
    // Said as such, rather than as the failed positioning it would become.
    if (oTaille < 0) {
        _Erreur(*this, ERR_TAILLE);
        return false;
    }
    const long long oPosition = pcl->oGetOffset();
    if (!pcl->bSetSize(oTaille, IXStream::eGROW_ABSOLUTE)) {
        _FicErreurStream(pcl);
        return false;
    }
    const long long oNouvelle = oPosition == 0 ? 0 : std::min(oPosition, oTaille);
    if (!pcl->bSeek(oNouvelle, IXStream::eSEEK_BEGIN)) {
        _FicErreurStream(pcl);
        return false;
    }
    return true;
}
