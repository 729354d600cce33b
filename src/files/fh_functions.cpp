// The file-handle functions of the language: open, read, write, move, lock,
// resize and close files by their integer handle.
#include <algorithm>
#include <new>
#include <string>

#include "component/compo.h"
#include "core/any.h"
#include "core/tstring.h"
#include "files/diskfile.h"
#include "files/fh_table.h"
#include "misc/regexp.h"
#include "qvstd/manipaub.h"

namespace {

constexpr int ERR_TABLE = 80021;
constexpr int ERR_HANDLE = 80022;
constexpr int ERR_ORIGINE = 80023;
constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_TYPE_HANDLE = 80406;
constexpr char EOT = 4;

// Pieces of fLitLigne, in characters.
constexpr unsigned MORCEAU_LIGNE = 50;

// A Unicode text in its file form: 16-bit units, little-endian (characters
// above the basic plane as surrogate pairs).
std::string _UTF16LE(const wchar_t* pwsz, size_t nCaracteres) {
    std::string s;
    s.reserve(nCaracteres * 2);
    auto unite = [&s](uint32_t u) {
        s.push_back(char(u & 0xFF));
        s.push_back(char((u >> 8) & 0xFF));
    };
    for (size_t i = 0; i < nCaracteres; ++i) {
        uint32_t c = uint32_t(pwsz[i]);
        if (c > 0x10FFFF) c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            unite(0xD800 + (c >> 10));
            unite(0xDC00 + (c & 0x3FF));
        } else {
            unite(c);
        }
    }
    return s;
}

// File units back to characters: surrogate pairs joined, a lone surrogate
// kept as its unit.
std::wstring _Large(const std::u16string& s) {
    std::wstring w;
    w.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(s[i + 1]) - 0xDC00);
            ++i;
        }
        w.push_back(wchar_t(c));
    }
    return w;
}

// One piece of a line for fLitLigne, in units of U (bytes, or 16-bit units
// of a Unicode file): chunks of 80 bytes, the line ends at the first LF
// (the caller drops a CR before it). At most nPlace units are appended to
// sPiece; *pbCoupe tells that the room ran out before the end of the line,
// *pbLF that the LF was found. False on a read failure.
template <typename U>
bool _bLitMorceau(IXStream* pcl, std::basic_string<U>& sPiece, unsigned nPlace, bool* pbCoupe, bool* pbLF) {
    constexpr unsigned NB = XSTREAM_LINE_CHUNK / sizeof(U);
    U tab[NB];
    *pbCoupe = false;
    *pbLF = false;
    unsigned nCopie = 0;
    for (;;) {
        unsigned nLu = 0;
        if (!pcl->bRead(tab, sizeof tab, &nLu)) return false;
        const unsigned nUnites = nLu / unsigned(sizeof(U));
        // A lone byte at the end of a Unicode file is passed over, so that
        // the end of the file is always reached.
        if (nUnites == 0) return true;
        unsigned iLF = 0;
        while (iLF < nUnites && tab[iLF] != U('\n')) ++iLF;
        const unsigned nPrendre = std::min(iLF, nPlace - nCopie);
        sPiece.append(tab, nPrendre);
        nCopie += nPrendre;
        if (nPrendre < iLF) {
            *pbCoupe = true;
            return pcl->bSeek(-static_cast<long long>(nLu - nPrendre * unsigned(sizeof(U))), IXStream::eSEEK_CURRENT);
        }
        if (iLF < nUnites) {
            *pbLF = true;
            return pcl->bSeek(-static_cast<long long>(nLu - (iLF + 1) * unsigned(sizeof(U))), IXStream::eSEEK_CURRENT);
        }
        // A short chunk is the end of the file; an odd byte left after the
        // last unit is dropped with it.
        if (nLu < sizeof tab) return true;
    }
}

template <typename U>
bool _bLitLigne(IXStream* pcl, std::basic_string<U>& sLigne) {
    bool bCoupe = false, bLF = false;
    do {
        if (!_bLitMorceau<U>(pcl, sLigne, MORCEAU_LIGNE, &bCoupe, &bLF)) return false;
    } while (bCoupe);
    if (bLF && !sLigne.empty() && sLigne.back() == U('\r')) sLigne.pop_back();
    return true;
}

// Groups of a compiled pattern (the count the compiler keeps).
struct CGroupes : CRegExp {
    static int nDe(const CRegExp* pcl) {
        constexpr re_pattern_buffer CRegExpBase::*pm = &CGroupes::m_stPattern;
        return int((pcl->*pm).re_nsub);
    }
};
int _nGroupes(const CRegExp* pcl) { return CGroupes::nDe(pcl); }

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
    m_pclErreur->SetErrorLevel(EL_ERROR);
}

// --- Open and close -------------------------------------------------------------

int CComposanteStandard::fOuvre(const STManipAUB* pstNom, int nMode) {
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
    const bool bUnicodeNom = pstNom != nullptr && pstNom->bEstUNICODE();
    auto ouvre = [&](IXStream::eACCESS e, int* pbCree) {
        if (bUnicodeNom) return pclFichier->bOpenW(pstNom->pszGetStringW(), e, ePartage, eCreation,
                                                   IXStream::eFLAG_NONE, pbCree);
        return pclFichier->bOpen(pstNom != nullptr ? pstNom->pszGetString() : "", e, ePartage, eCreation,
                                 IXStream::eFLAG_NONE, pbCree);
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
    return fOuvre(pstNom, nMode + FO_LECTUREECRITURE + FO_CREATION);
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
    int nRes = 0;
    if (bUnicode) {
        std::u16string s;
        if (!_bLitLigne<char16_t>(pcl, s)) {
            _FicErreurStream(pcl);
            return sLigne;
        }
        const std::wstring w = _Large(s);
        if (w.empty())
            sLigne.Vide();
        else
            nRes = sLigne.nAssignUNICODE(w.data(), int(w.size()));
    } else {
        std::string s;
        if (!_bLitLigne<char>(pcl, s)) {
            _FicErreurStream(pcl);
            return sLigne;
        }
        nRes = sLigne.nAssign(s.data(), int(s.size()));
    }
    if (nRes != 0) {
        sLigne.Vide();
        RaiseError(ERR_MEMOIRE);
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
        if (pcl->pclGetXError() != nullptr && pcl->pclGetXError()->bIsError()) {
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
    std::string sOctets;
    if (pstTexte != nullptr && !pstTexte->bEstVide()) {
        CZNDSTR sSource, sConverti;
        int nRes = 0;
        if (pstTexte->bEstUNICODE()) {
            const wchar_t* pw = pstTexte->pszGetStringW();
            const int nCaracteres = int(pstTexte->nGetLongueur() / sizeof(wchar_t));
            if (bUnicode) {
                sOctets = _UTF16LE(pw, size_t(nCaracteres));
            } else {
                nRes = sSource.nAssignUNICODE(pw, nCaracteres);
                if (nRes == 0) nRes = sConverti.nAffecteToANSI(sSource);
                sOctets.assign(sConverti.pszGet(), size_t(sConverti.nGetLongueur()));
            }
        } else if (bUnicode) {
            nRes = sSource.nAssign(pstTexte->pszGetString(), int(pstTexte->nGetLongueur()));
            if (nRes == 0) nRes = sConverti.nAffecteToUNICODE(sSource);
            sOctets = _UTF16LE(sConverti.pwszGet(), size_t(sConverti.nGetLongueurUNICODE()));
        } else {
            sOctets.assign(pstTexte->pszGetString(), pstTexte->nGetLongueur());
        }
        if (nRes != 0) {
            RaiseError(ERR_MEMOIRE);
            return false;
        }
    }
    if (bUnicode)
        sOctets.append("\r\0\n\0", 4);
    else
        sOctets.append("\r\n", 2);
    unsigned nEcrit = 0;
    if (!pcl->bWrite(sOctets.data(), unsigned(sOctets.size()), &nEcrit) || nEcrit != sOctets.size()) {
        _FicErreurStream(pcl);
        return false;
    }
    return true;
}

bool CComposanteStandard::fEcritLigne(int nHandle, const void* pAdresse, int nLongueur) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr) return false;
    if (nLongueur < 0 || (pAdresse == nullptr && nLongueur > 0)) nLongueur = 0;
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
    char abyPile[4096 + 1];
    char* p = abyPile;
    if (nNombre > 4096) {
        p = new (std::nothrow) char[size_t(nNombre) + 1];
        if (p == nullptr) {
            RaiseError(ERR_MEMOIRE);
            return sResultat;
        }
    }
    memset(p, 0, size_t(nNombre) + 1);
    unsigned nLu = 0;
    if (!pcl->bRead(p, unsigned(nNombre), &nLu)) {
        _FicErreurStream(pcl);
    } else if (nLu > 0 && sResultat.nAssign(p, int(nLu)) != 0) {
        sResultat.Vide();
        RaiseError(ERR_MEMOIRE);
    }
    if (p != abyPile) delete[] p;
    return sResultat;
}

int CComposanteStandard::fLit(int nHandle, int nNombre, void* pAdresse) {
    IXStream* pcl = _pclFicStream(nHandle, false);
    if (pcl == nullptr || nNombre <= 0 || pAdresse == nullptr) return 0;
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
    std::string sUnicode;
    const char* p = "";
    size_t nTaille = 0;
    if (pstValeur != nullptr && pstValeur->bEstUNICODE()) {
        // A length counts characters; the file receives 16-bit units.
        size_t nCaracteres = pstValeur->nGetLongueur() / sizeof(wchar_t);
        if (nLongueur >= 0) nCaracteres = std::min(nCaracteres, size_t(nLongueur));
        sUnicode = _UTF16LE(pstValeur->pszGetStringW(), nCaracteres);
        p = sUnicode.data();
        nTaille = sUnicode.size();
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
    if (nLongueur <= 0 || pAdresse == nullptr) return 0;
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
