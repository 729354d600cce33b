// The file-handle functions that open and close files and move, lock and
// resize them by their handle.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"

namespace files {

namespace {

constexpr int ERR_TABLE = 80021;
constexpr int ERR_ORIGINE = 80023;
constexpr int ERR_MODE = 80024;
constexpr int ERR_TAILLE = 80034;
constexpr int ERR_NOM_VIDE = 80039;
constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_CARACTERES = 80222;

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

}  // namespace

// --- Open and close -------------------------------------------------------------

int32_t fOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nMode) {
    // An unknown bit is a mistake, not a wish: -1 would otherwise ask, among
    // others, for the file to be deleted at close.
    if ((nMode & ~FO_MODES_CONNUS) != 0) {
        FIC_Erreur(lib, ERR_MODE);
        return -1;
    }
    if (const int nErreur = _nErreurNom(pstNom); nErreur != 0) {
        FIC_Erreur(lib, nErreur);
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
        lib.RaiseError(ERR_MEMOIRE);
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
        FIC_ErreurStream(lib, pclFichier);
        delete pclFichier;
        return -1;
    }
    if ((nMode & FO_AJOUT) && !pclFichier->bSeek(0, IXStream::eSEEK_END)) {
        FIC_ErreurStream(lib, pclFichier);
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
        FIC_Erreur(lib, ERR_TABLE);
        return -1;
    }
    if (!(nMode & FO_UNICODE)) return nHandle;

    pstInfo->bUnicode = 1;
    const bool bNouveau = (nMode & FO_CREATION) || ((nMode & FO_CREATIONSIINEXISTANT) && bCree);
    if (bNouveau) {
        static const unsigned char s_abyMarque[2] = {0xFF, 0xFE};
        unsigned nEcrit = 0;
        if (!pclFichier->bWrite(s_abyMarque, 2, &nEcrit) || nEcrit != 2) {
            FIC_ErreurStream(lib, pclFichier);
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

int32_t fCree(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nMode) {
    // The caller's own bits are checked before read-write and creation join
    // them; joined as bits, so that a mode already holding them keeps its
    // meaning instead of carrying into the next bit.
    if ((nMode & ~FO_MODES_CONNUS) != 0) {
        FIC_Erreur(lib, ERR_MODE);
        return -1;
    }
    return fOuvre(lib, pstNom, nMode | FO_LECTUREECRITURE | FO_CREATION);
}

int32_t fOuvre(CZNLibrary& lib, const STManipAUB* pstNom) { return fOuvre(lib, pstNom, FO_LECTUREECRITURE); }
int32_t fCree(CZNLibrary& lib, const STManipAUB* pstNom) { return fCree(lib, pstNom, 0); }

int32_t fFerme(CZNLibrary& lib, int32_t nHandle) {
    if (FIC_pclStream(lib, nHandle, false) == nullptr) return -1;
    FIC_DetruitInfo(FIC_pRetire(nHandle));
    return 0;
}

// --- Position, locks, size -----------------------------------------------------------

int64_t fPositionne(CZNLibrary& lib, int32_t nHandle, int64_t oDeplacement, int32_t nOrigine) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return -1;
    if (nOrigine < 0 || nOrigine > 2) {
        FIC_Erreur(lib, ERR_ORIGINE);
        return -1;
    }
    if (!pcl->bSeek(oDeplacement, IXStream::eSEEK(nOrigine))) {
        FIC_ErreurStream(lib, pcl);
        return -1;
    }
    return pcl->oGetOffset();
}

namespace {

bool _bBloque(CZNLibrary& lib, int nHandle, long long oDebut, long long oLongueur) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, true);
    if (pcl == nullptr) return false;
    // A length of 0 is the whole rest of the file and beyond.
    const unsigned long long qwLongueur = oLongueur == -1 ? 0 : static_cast<unsigned long long>(oLongueur);
    if (!pcl->bLockFile(static_cast<unsigned long long>(oDebut), qwLongueur)) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    return true;
}

bool _bDebloque(CZNLibrary& lib, int nHandle, long long oDebut, long long oLongueur) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, true);
    if (pcl == nullptr) return false;
    const unsigned long long qwLongueur = oLongueur == -1 ? 0 : static_cast<unsigned long long>(oLongueur);
    if (!pcl->bUnlockFile(static_cast<unsigned long long>(oDebut), qwLongueur)) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    return true;
}

}  // namespace

bool fBloque(CZNLibrary& lib, int32_t nHandle) { return _bBloque(lib, nHandle, 0, -1); }
bool fBloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut) { return _bBloque(lib, nHandle, nDebut, -1); }
bool fBloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut, int32_t nLongueur) {
    return _bBloque(lib, nHandle, nDebut, nLongueur);
}
bool fDebloque(CZNLibrary& lib, int32_t nHandle) { return _bDebloque(lib, nHandle, 0, -1); }
bool fDebloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut) { return _bDebloque(lib, nHandle, nDebut, -1); }
bool fDebloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut, int32_t nLongueur) {
    return _bDebloque(lib, nHandle, nDebut, nLongueur);
}

bool fChangeTaille(CZNLibrary& lib, int32_t nHandle, int64_t oTaille) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, true);
    if (pcl == nullptr) return false;
    // Said as such, rather than as the failed positioning it would become.
    if (oTaille < 0) {
        FIC_Erreur(lib, ERR_TAILLE);
        return false;
    }
    const long long oPosition = pcl->oGetOffset();
    if (!pcl->bSetSize(oTaille, IXStream::eGROW_ABSOLUTE)) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    const long long oNouvelle = oPosition == 0 ? 0 : std::min<long long>(oPosition, oTaille);
    if (!pcl->bSeek(oNouvelle, IXStream::eSEEK_BEGIN)) {
        FIC_ErreurStream(lib, pcl);
        return false;
    }
    return true;
}

}  // namespace files
